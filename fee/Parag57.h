#pragma once
// The dialog "Örtliche Bauüberwachung" of a site-supervision calculation (type "B"): the cost lines on the
// tab "Kosten", rate, services rendered and lump sum on the tab "Grunddaten", and the resulting fee. It reads
// nothing of the calculation's own row; the register hands the stored values in with MakeConnection and
// takes them back with GetDaten after an OK. The only table it writes is AnrechenbareKosten, as the cost
// lines are edited; they stay written whatever the outcome.
//
// Register's order: construct, restore the window position, MakeConnection, exec(), save the window
// position; on QDialog::Accepted (the tool band's tag is "X") GetDaten and store.
//
// Controls (objectName): dialog "Parag57"; "Picture1" holding the tabs "SSTab1"; entry fields
// "XtraText1_0" (rate), "XtraText1_1" (services rendered), "XtraText1_2" (fee, locked), "XtraText1_3" (lump
// sum) with labels "Label1_0".."Label1_3"; the cost grid "SSDBGrid1" under its caption "GridCaption"; tool
// band "ActiveBar1", band "Band1", tools "OK", "DM", "EUR".
#ifndef Q_MOC_RUN
#include "fee/Parag57Rechnung.h"
#include "fee/PauschalRechnung.h"
#endif

#include <QDialog>

#include <array>
#include <memory>
#include <optional>

class QLabel;
class QLineEdit;
class QTabWidget;

namespace velu::forms {
class BoundGridModel;
class BoundGridView;
class ToolBand;
} // namespace velu::forms

namespace velu::fee {

class Parag57 : public QDialog {
    Q_OBJECT
public:
    explicit Parag57(db::Database& projektDB, QWidget* parent = nullptr);
    ~Parag57() override;

    // key: the calculation's LfNr. satz is empty when the calculation has no stored rate: only then the
    // standard rate 2.1 is offered, a stored 0 stays 0. berechnung and anzeige: 0 DM, 1 euro.
    void MakeConnection(int32_t key, Currency kosten, std::optional<Currency> satz, Currency fertig,
                        Currency pausch, Currency alDispPausch, WaehrungCode berechnung,
                        WaehrungCode anzeige);
    // Sums the cost lines again where one changed, recomputes the fee and returns costs, rate, services
    // rendered, lump sum and its twin, fee and its twin (twin not rounded). Database failures throw DbError.
    void GetDaten(Currency& kosten, Currency& satz, Currency& fertig, Currency& pausch,
                  Currency& alDispPausch, Currency& honorar, Currency& alDispHonorar);

    // Writes the grid's pending row, then sums the cost lines again when one changed.
    void SumKostenEX();
    void CalcHonorar57();
    // Takes over the entry of field index when it was typed into; false when its text was refused (a
    // message says so and the fields show the stored values again).
    bool DoInput(int16_t index);
    void DisplayStuff();
    void configWährungsInput();
    void SwitchWährung(WaehrungCode anzeige);

    void ToolClick(const QString& key);
    forms::ToolBand& ActiveBar() { return *bar_; }
    const Parag57Rechnung& Rechnung() const { return rechnung_; }
    forms::BoundGridModel* KostenModell() const { return model_.get(); }

    // Esc: the tag becomes empty and the dialog hides.
    void reject() override;
    void done(int result) override;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    // The close box hides the dialog and leaves the tag as it is.
    void closeEvent(QCloseEvent* event) override;

private:
    void BindeKosten();
    void BaueSpalten();
    void MindestBreite();
    void TabGewechselt(int tab);
    void NachEingabe(int row, int column);
    void ZeigeFeld(int index, std::optional<Currency> wert, bool betrag);
    bool UebernimmEingaben();

    db::Database& db_;
    Parag57Rechnung rechnung_;
    forms::ToolBand* bar_ = nullptr;
    QTabWidget* tab_ = nullptr;
    QLabel* gridCaption_ = nullptr;
    forms::BoundGridView* grid_ = nullptr;
    std::unique_ptr<forms::BoundGridModel> model_;
    std::array<QLineEdit*, 4> feld_{};
    std::array<std::optional<AngezeigterBetrag>, 4> angezeigt_{};
    std::array<bool, 4> geaendert_{};
};

} // namespace velu::fee
