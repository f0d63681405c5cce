#pragma once
// The program's editors of a calculation: the basic-data form for offers, invoices and comparisons, the
// site-supervision dialog and the positions of an hourly-rate invoice.
#include "register/BerechnungEditor.h"

class QWidget;

namespace velu::reg {

class ProgrammEditor : public BerechnungEditor {
public:
    explicit ProgrammEditor(QWidget* owner) : owner_(owner) {}
    // Opens Grunddat modally on the calculation over the current project and master databases, with its
    // window position kept in the settings store.
    EditorErgebnis EditGrunddaten(int64_t lfnr, int displayType, int inputType, int rechnungsart,
                                  const std::string& caption) override;
    // Opens StdRech modally on the invoice's positions, window position kept as above.
    EditorErgebnis EditStdRech(int64_t lfnr, int displayType, int inputType,
                               const std::string& caption) override;
    // Opens Parag57 modally over the current project database, window position kept as above; on OK daten
    // holds what GetDaten returned.
    EditorErgebnis EditParag57(int64_t lfnr, Parag57Daten& daten, int inputType, int displayType) override;

private:
    QWidget* owner_;
};

} // namespace velu::reg
