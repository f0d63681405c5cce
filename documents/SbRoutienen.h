#pragma once
// Routines on any document control: load a print template (body, header, footer, margins) from a database
// row, paste one stored text, apply the default formatting record.
#include "platform/db/Recordset.h"
#include "platform/richtext/ScribantPro.h"

#include <QString>
#include <functional>
#include <optional>

namespace velu::documents {

// The default formatting record. Font values as ScribantPro::SetSBFont takes them (size in tenths of a
// point, colour 0x00BBGGRR, weight 100-900, style bits, family); tab width in tenths of a millimetre;
// margins in millimetres; colours 0x00BBGGRR; line spacing in percent; alignment 0 left .. 3 justified.
struct SBStandardTyp {
    int schriftGroesse = 0;
    long schriftFarbe = 0;
    int schriftGewicht = 0;
    int schriftStil = 0;
    QString schriftName;
    int stil = 0;
    int tabWeite = 0;
    int randOben = 0, randLinks = 0, randRechts = 0, randUnten = 0;
    long bookMarkFarbe = 0;
    int zeilenAbstand = 0;
    long hintergrund = 0;
    long feldHintergrund = 0;
    int ausrichtung = 0;
    long hyperLinkFarbe = 0;
    bool gesetzt = false;
};

// House defaults: DejaVu Sans 10 pt, tab 12.5 mm, the margins of the delivered templates, flag set.
SBStandardTyp HausStandard();
// The process's record, holding the house defaults from its first use.
SBStandardTyp& SBStandard();

// Loads the template of the current row of record into control. The optional arguments are field names
// ("" = not given); keep absent counts as True, 0 empties body, header and footer first. Headers and
// footers are read only when headerTextField is given, margins only when topField is. Missing fields and
// Null values are passed over; a row that is not there leaves the control untouched. A velu-doc text that
// cannot be read is reported and the result is false (the other texts are still loaded).
bool SBLoadTexte(richtext::ScribantPro& control, const db::Recordset& record, const QString& textField,
                 const QString& formatField, const QString& headerTextField = {},
                 const QString& headerFormatField = {}, const QString& footerTextField = {},
                 const QString& footerFormatField = {}, const QString& topField = {},
                 const QString& bottomField = {}, const QString& leftField = {},
                 const QString& rightField = {}, std::optional<int> keep = std::nullopt);

// Pastes text with its format into context (the current one when absent). With unicodeFlag 0, text and
// format hold Windows-1252 bytes one per character and are widened in place first. False when the control
// could not read the text.
bool SBPasteData(richtext::ScribantPro& control, QString& text, QString& format, int unicodeFlag,
                 std::optional<int> context = std::nullopt);

// Applies the record to control; with its flag not set it only beeps.
void SBDefaults(richtext::ScribantPro& control, const SBStandardTyp& standard = SBStandard());

// The beep of SBDefaults; tests replace it. Empty: QApplication::beep.
std::function<void()>& SBBeep();

inline const QString DruckvorlageUnlesbar = QStringLiteral("Die Druckvorlage konnte nicht gelesen werden.");

} // namespace velu::documents
