#pragma once
// The positions of one hourly-rate invoice (calculation of type "S"): the rows of StdRePos whose REZuordnung
// is the invoice's LfNr, edited in the grid "SSDBGrid1" and stored as they are edited; the catalogue of basic
// services below it, from which a double click fills the current position. The form computes each row's
// amount; the register totals the invoice from the stored rows after the form has closed.
//
// Register's order: construct, restore the window position, caption, Makeconection, exec(), save the window
// position. "OK", "EXIT", Esc and the close box all write the pending row, leave "X" in the tool band's tag
// and close; there is no cancel.
//
// Controls (objectName): dialog "StdRech"; the panel's controls (PositionsPanel.h); tool band "ActiveBar1",
// band "Band1", tools "OK", "EXIT", "DM", "EUR", "OHNENUL", "SWITCHLK", "TRANSEL".
#ifndef Q_MOC_RUN
#include "expenses/ZeilenRechnung.h"
#endif

#include <QDialog>

#include <cstdint>
#include <memory>

namespace velu {
namespace db {
class Database;
}
namespace forms {
class ToolBand;
}
namespace settings {
class SettingsStore;
}
} // namespace velu

namespace velu::expenses {

class PositionsPanel;
class ZeilenModell;

class StdRech : public QDialog {
    Q_OBJECT
public:
    StdRech(db::Database& projektDB, db::Database& stammDB, settings::SettingsStore& settings,
            QWidget* parent = nullptr);
    ~StdRech() override;

    // Recomputes the current position after an edit of column spalte (NurMenge: only the quantity changed).
    // False when an amount would leave the money range; the row keeps its values.
    bool calcSumme(int spalte);
    // Prepares the form for invoice rechnung (BeReList.LfNr) in display and entry currency (0 DM, 1 euro).
    // Throws DbError when the positions cannot be read.
    void Makeconection(int32_t rechnung, int16_t anzeige, int16_t eingabe);
    // Catalogue source: only rows with a rate in the entry currency (filter non-zero) or all; stored.
    void OhneNull(int filter);
    // Shows (non-zero) or hides the catalogue pane; stored.
    void SwitchLK(int zeigen);
    // Takes every unbilled expense record over as a new position, each exactly once, and shows them.
    void TransKosten();
    void ResizeGrid1();
    void WährungsInput(int eingabe);
    void SwitchWährung(int anzeige);

    // A double click on catalogue row zeile: its number, text, unit and rate into the current position.
    void KatalogUebernehmen(int zeile);

    void ToolClick(const QString& key);
    forms::ToolBand& ActiveBar1() { return *bar_; }
    PositionsPanel& Panel() { return *panel_; }
    ZeilenModell* Positionen() const { return model_.get(); }
    int Modus() const;

    // Esc: the "OK" command.
    void reject() override;

    static const QString ZuGrossMeldung;
    static const QString KeineDatenMeldung;

protected:
    // The close box acts as "OK".
    void closeEvent(QCloseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void NachEingabe(int row, int column);
    bool Rechnen(int row, int spalte);
    void MitarbeiterGewaehlt(int row);
    void SetzeSaetze(int row, const Satzpaar& p);
    void SpaltenEinrichten();
    void Schliessen();
    void Melden(const QString& text);

    db::Database& projekt_;
    db::Database& stamm_;
    forms::ToolBand* bar_ = nullptr;
    PositionsPanel* panel_ = nullptr;
    std::unique_ptr<ZeilenModell> model_;
    int32_t rechnung_ = 0;
};

} // namespace velu::expenses
