#pragma once
// The dialog "Pauschalhonorar": up to three lump sums, one per cost section, each beside the table fee of
// its section, shown and typed in the display currency. It writes nothing to the database; the opener takes
// the lump sums back with GetPausch after an OK.
//
// Opener's order: construct, restore the window position, LoadPausch, caption or hide the rows
// (BeschrifteZeile / VerbergeZeile), exec(); on QDialog::Accepted (the tool band's tag is "X") GetPausch;
// save the window position.
//
// Controls (objectName): dialog "Pauschal"; lump-sum fields "XtraText2_0".."XtraText2_2" with labels
// "Label2_0".."Label2_2"; table fees (display only) "XtraText1_0".."XtraText1_2" with labels
// "Label1_0".."Label1_2"; tool band "ActiveBar1", band "Band1", tools "OK", "DM", "EUR", "EXIT".
#ifndef Q_MOC_RUN
#include "fee/PauschalRechnung.h"
#endif

#include <QDialog>

#include <array>
#include <optional>

class QLabel;
class QLineEdit;

namespace velu::forms {
class ToolBand;
}

namespace velu::fee {

class Pauschal : public QDialog {
    Q_OBJECT
public:
    explicit Pauschal(QWidget* parent = nullptr);

    // Lump sums, their twins, the table fees' twins and the table fees of the basic data (elements 1 to 3),
    // the currencies and the number of sections whose rows get values.
    void LoadPausch(const Abschnitte<Currency>& pausch, const Abschnitte<Currency>& alDispPausch,
                    const Abschnitte<Currency>& alDispTafel, const Abschnitte<Currency>& tafel,
                    WaehrungCode berechnung, WaehrungCode anzeige, int16_t abschnitte);
    // The lump sums in the calculation currency and in the other one (elements 1 to 3).
    void GetPausch(Abschnitte<Currency>& pausch, Abschnitte<Currency>& alDispPausch) const;

    // Row k (1 to 3) captioned "Grundhonorar <abschnitt>" and "Pauschalhonorar <abschnitt>" and shown.
    void BeschrifteZeile(int k, const QString& abschnitt);
    // Row k (1 to 3) of a section the calculation does not use: labels and fields hidden.
    void VerbergeZeile(int k);

    void SwitchWährung(WaehrungCode anzeige);
    // Takes the text of lump-sum field index over. A text that is no amount is refused with a message and
    // the field shows the stored amount again; false then.
    bool calcwährung(int16_t index);

    void ToolClick(const QString& key);
    forms::ToolBand& ActiveBar() { return *bar_; }
    const PauschalRechnung& Rechnung() const { return rechnung_; }

    // Esc and "EXIT": the tag becomes empty and the dialog hides.
    void reject() override;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    // The close box hides the dialog and leaves the tag as it is.
    void closeEvent(QCloseEvent* event) override;

private:
    void ZeigeFeld(QLineEdit* feld, std::optional<AngezeigterBetrag>& angezeigt,
                   std::optional<Currency> wert);
    // Takes over every field typed into and not yet taken; false when one was refused.
    bool UebernimmEingaben();

    PauschalRechnung rechnung_;
    forms::ToolBand* bar_ = nullptr;
    std::array<QLineEdit*, 3> pausch_{};
    std::array<QLineEdit*, 3> tafel_{};
    std::array<QLabel*, 3> pauschLabel_{};
    std::array<QLabel*, 3> tafelLabel_{};
    std::array<std::optional<AngezeigterBetrag>, 3> angezeigt_{};
    std::array<std::optional<AngezeigterBetrag>, 3> tafelAngezeigt_{};
    std::array<bool, 3> geaendert_{}; // text of the lump-sum field changed since it was taken over or shown
};

} // namespace velu::fee
