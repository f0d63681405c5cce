#pragma once
// One print run of an offer, an invoice or a summary, widget-free: the print tables filled for the
// calculation in the chosen currency, the template loaded into the document control, its fields filled
// and the fee statement of the report engine inserted at field 3000. The run is one transaction on the
// project connection; it commits once the document is built and leaves nothing changed when it fails.
#include "documents/CRModul.h"
#include "documents/RechnungsText.h"

#include <QDate>
#include <QString>
#include <stdexcept>
#include <vector>

namespace velu::documents {

// A run that cannot go on; text is the German message.
class DruckFehler : public std::runtime_error {
public:
    explicit DruckFehler(const QString& t) : std::runtime_error(t.toStdString()), text(t) {}
    QString text;
};

inline const QString KeinDrucksatz =
    QStringLiteral("Die Berechnung ist in den Drucktabellen nicht vorhanden; es wird nichts gedruckt.");

// Empties the six print tables and fills them with the calculation: as entered when the chosen currency is
// the entry currency, else through the AlDisp queries, with the amounts that have no twin converted.
// Returns the currency sign " DM" or " €".
QString TransDM(db::Database& projekt, int64_t lfnr, int eingabe, int waehrung);

class RechnungsDokument {
public:
    RechnungsDokument(richtext::ScribantPro& control, db::Database& projekt, CRModul& cr,
                      outside::ProjektUmgebung& umgebung, QString reportOrdner);

    RechnungsText& Text() { return text_; }
    richtext::ScribantPro& Control() { return control_; }

    // Fields, then the statement at field 3000. Throws DruckFehler.
    void TriggerBaueText(int64_t lfnr, const QString& zeichen, int art, const QString& datum);
    // Plant groups of the print copy of Grunddaten. Where the profile of group 1 has no plant groups,
    // the print rows of the higher groups are left out and the count is 1.
    int AnlageGruppenanzahl();
    // Puts the insertion point at field 3000; false when the template has none.
    void HebeEndbetragHervor();
    void HonorarNettoEinmal();
    bool FindeReportPosition();
    void FuegeHonorarReportEin();
    void FuegeStdReportEin();
    // File name of the statement inserted last, empty when none was.
    const QString& Bericht() const { return bericht_; }

private:
    void FuegeEin(const QString& datei, const NamenUndWerte& unterberichte, const NamenUndWerte& formeln);

    richtext::ScribantPro& control_;
    db::Database& projekt_;
    CRModul& cr_;
    ScribantFelder felder_;
    RechnungsText text_;
    QString ordner_;
    int64_t lfnr_ = 0;
    QString zeichen_;
    QString bericht_;
};

struct Druckauftrag {
    int64_t lfnr = 0;
    int art = 0;
    int eingabe = 0;            // entry currency: 0 DM, 1 euro
    int waehrung = 0;           // currency of the printout
    QString datumText;          // the date the dialog was opened with, "" for none
    QDate datum;                // the date chosen in the dialog
    std::vector<int64_t> liste; // summary: the calculations to sum up
};

// The run up to the built document: invoice date, print tables, template (the current row of vorlage, or
// none), fields and statement, then commit. Throws DruckFehler after rolling everything back.
void BaueDokument(RechnungsDokument& dok, const Druckauftrag& auftrag, const db::Recordset* vorlage);

} // namespace velu::documents
