#pragma once
// The dialog "Zuschläge": the four lists of surcharges and discounts of one calculation and plant group. The
// grids write their rows as the user edits; the dialog computes nothing but the other-currency twin of a
// typed amount. The opener totals the lists afterwards (fee/ZuschlaegeListen.h).
//
// Controls (objectName): tab bar "SSTab1" (tabs "Grundhonorar", "bereinigtes Grundhonorar",
// "Bruttohonorar", "Leistungsphasen") in the picture box "Picture1"; grid "SSDBGrid1" for the lists of tabs
// 0 to 2 and grid "SSDBGrid2" for the phase list of tab 3 (both forms::BoundGridView); tool band
// "ActiveBar1" (band "Band1", tools "OK", "DM", "EUR").
//
// Opener's order: construct, LoadWindowPos, WährungsInput, Makeconection, exec(), SaveWindowPos, delete.
// OK, Esc and the close box hide the dialog (accepted).
#include "platform/forms/BoundGridModel.h"
#include "platform/forms/BoundGridView.h"

#include <QDialog>

#include <cstdint>
#include <memory>

class QTabBar;

namespace velu::db {
class Database;
}
namespace velu::forms {
class ToolBand;
}

namespace velu::fee {

class ZuLPDropDown;

class Zuschlaege : public QDialog {
    Q_OBJECT
public:
    // The master database is not read; it is taken like the other dialogs of the basic data take it.
    Zuschlaege(db::Database& projektDB, db::Database& stammDB, QWidget* parent = nullptr);
    ~Zuschlaege() override;

    // Calculation currency (0 DM, else euro): grid captions and the currency of ZuAbDM. Call first.
    void WährungsInput(int16_t währung);
    // Display currency, plant group, calculation key; binds the phase list and shows tab 0.
    void Makeconection(int16_t display, int16_t gruppe, int32_t berListNr);
    // Shows the amounts of tabs 0 to 2 in the other currency; on tab 3 only the members change.
    void SwitchWährung(int16_t display);
    // Binds SSDBGrid1 to the list of tab 0, 1 or 2.
    void SelectZuschlag(int16_t index);

    void ToolClick(const QString& key);

    int16_t Modus() const { return modus_; }
    int AktuellerTab() const;
    forms::BoundGridModel* Model1() { return model1_.get(); }
    forms::BoundGridModel* Model2() { return model2_.get(); }
    forms::BoundGridView& Grid1() { return *grid1_; }
    forms::BoundGridView& Grid2() { return *grid2_; }
    QTabBar& Tabs() { return *tab_; }
    forms::ToolBand& Toolband() { return *toolband_; }

public slots:
    void reject() override;

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void TabWahl(int tab);
    void BindPhasen();
    bool Speichern();
    void Ok();
    void AnzeigeHaken();
    bool Fragen(const QString& text);

    db::Database& projekt_;
    int16_t berechnung_ = 0;
    int16_t anzeige_ = 0;
    int16_t modus_ = 1;
    int16_t gruppe_ = 0;
    int32_t berListNr_ = 0;
    bool verbunden_ = false;

    QWidget* picture1_ = nullptr;
    QTabBar* tab_ = nullptr;
    forms::BoundGridView* grid1_ = nullptr;
    forms::BoundGridView* grid2_ = nullptr;
    ZuLPDropDown* dropDown_ = nullptr;
    std::unique_ptr<forms::BoundGridModel> model1_;
    std::unique_ptr<forms::BoundGridModel> model2_;
    forms::ToolBand* toolband_ = nullptr;
};

} // namespace velu::fee
