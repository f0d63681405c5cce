#pragma once
// The project's expense and time records "Erbrachte Leistungen": every row of Projektaufwand (the report's
// auxiliary rows aside) with its external and internal rate and amount, employee, date and phase assignment,
// stored as they are edited. A maximised child window of the main window with its own tool band; the main
// window gets its band back however the window closes.
//
// The entry currency is that of the project's first record; a project without records asks for it first
// (BerechWährungAusw). The display currency starts as the entry currency.
//
// Controls (objectName): window "Aufwand"; the panel's controls (PositionsPanel.h) with the phase drop-down
// "SSDBDropDown2"; tool band "ActiveBar1", band "Band1", tools "OK", "EXIT", "DM", "EUR", "OHNENUL",
// "SWITCHLK", "SUMMEN".
#ifndef Q_MOC_RUN
#include "expenses/ZeilenRechnung.h"
#endif

#include <QString>
#include <QWidget>

#include <functional>
#include <memory>
#include <optional>

namespace velu {
class FormRegistry;
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

class Aufwand : public QWidget {
    Q_OBJECT
public:
    // systemWaehrung: the number 2 in the system's currency format, for the currency question (empty: the
    // system locale's). Throws DbError when the records cannot be read.
    Aufwand(db::Database& projektDB, db::Database& stammDB, settings::SettingsStore& settings,
            QWidget* parent = nullptr, QString systemWaehrung = {});
    ~Aufwand() override;

    // Recomputes the current row after an edit of column spalte of the external or the internal rate pair;
    // both sums always. False when an amount would leave the money range.
    bool calcSumme(int spalte, bool intern);
    void Makeconection();
    void OhneNull(int filter);
    void SetGrids();
    void SwitchLK(int zeigen);
    void ResizeGrid1();
    void WährungsInput(int eingabe);
    void SwitchWährung(int anzeige);

    // A double click on catalogue row zeile: number, text, unit and both rates into the current row, which
    // stays pending.
    void KatalogUebernehmen(int zeile);

    void ToolClick(const QString& key);
    forms::ToolBand& ActiveBar1() { return *bar_; }
    PositionsPanel& Panel() { return *panel_; }
    ZeilenModell* Positionen() const { return model_.get(); }
    int Modus() const;

    // Opens the totals window modally; the hook lets a test see it.
    std::function<void(QWidget& summen)> summenGeoeffnet;

protected:
    void closeEvent(QCloseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void NachEingabe(int row, int column);
    bool Rechnen(int row, int spalte, bool intern);
    bool PaareSetzen(int row, const std::optional<Satzpaar>& ext, const std::optional<Satzpaar>& in);
    bool SaetzeUebernehmen(int row, Currency extDM, Currency extEuro, Currency intDM, Currency intEuro);
    void MitarbeiterGewaehlt(int row);
    void StatusText(const QString& text);
    void Summen();

    db::Database& projekt_;
    db::Database& stamm_;
    settings::SettingsStore& settings_;
    QString systemWaehrung_;
    forms::ToolBand* bar_ = nullptr;
    PositionsPanel* panel_ = nullptr;
    std::unique_ptr<ZeilenModell> model_;
    bool geschlossen_ = false;
};

// Registers "Aufwand" for the main window's "PROAUF" over the current project and master databases.
void RegisterAufwand(FormRegistry& formen);

} // namespace velu::expenses
