#pragma once
// The body shared by the hourly-rate invoice window and the expense window: the caption line of the entry
// currency above the positions grid "SSDBGrid1", the catalogue of basic services "SSDBGrid2" below it in the
// vertical splitter (container "picSplitterVContainer", bar "picSplitterVBar"), the employee drop-down
// "SSDBDropDown1" of the grid's employee column and the date picker "DatePicSSDB1" of its date column.
//
// The owning form binds the positions grid to its table and keeps the row rules; the panel keeps the
// currency mode, the catalogue (filter and pane) and the display settings of the form's settings section
// ("AUFWANZ": only catalogue rows with a rate, "LKDISP": catalogue pane shown).
#ifndef Q_MOC_RUN
#include "core/Currency.h"
#include "core/Money.h"
#include "expenses/ZeilenRechnung.h"
#include "platform/db/Value.h"
#include "platform/forms/ToolBand.h"
#endif

#include <QString>
#include <QWidget>

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

class QLabel;

namespace velu {
class avbSplitterV;
class DatePicSSDB;
namespace db {
class Database;
}
namespace forms {
struct BoundColumn;
class BoundGridModel;
class BoundGridView;
class ToolBand;
} // namespace forms
namespace settings {
class SettingsStore;
}
} // namespace velu

namespace velu::expenses {

class MitarbeiterDropDown;
class PhasenDropDown;

struct Mitarbeiterdaten {
    QString name;
    Currency stundensatzext;
    Currency alDispStundensatzext;
    Currency stundensatzInt;
    Currency alDispStundensatzInt;
};

// The phase assignments of the expense records: 0 "Keine Zuordnung", 1 to 9 "Leistungsphase n", 10
// "Stundenlohnarbeiten".
QString PhasenText(int phase);

class PositionsPanel : public QWidget {
    Q_OBJECT
public:
    // mitInternemSatz: the expense window, whose catalogue and employee list show the internal rates too.
    PositionsPanel(settings::SettingsStore& settings, QString abschnitt, QWidget* form,
                   bool mitInternemSatz = false);
    ~PositionsPanel() override;

    forms::BoundGridView* SSDBGrid1() const { return grid1_; }
    forms::BoundGridView* SSDBGrid2() const { return grid2_; }
    forms::BoundGridModel* Katalog() const { return katalog_.get(); }
    DatePicSSDB* DatePicSSDB1() const { return picker_; }
    avbSplitterV& SplitterV() const { return *splitter_; }
    QLabel* GridCaption() const { return caption_; }

    // Master database of the employees and the catalogue.
    void SetStammDB(db::Database& stamm) { stamm_ = &stamm; }
    // The positions model; the panel shows it and attaches the drop-down and date picker to its columns.
    void SetPositionen(forms::BoundGridModel* model);
    // Employees of the master database, read again.
    void MitarbeiterLesen();
    const std::vector<Mitarbeiterdaten>& Mitarbeiter() const { return mitarbeiter_; }
    bool MitInternemSatz() const { return mitInternemSatz_; }
    const Mitarbeiterdaten* FindeMitarbeiter(const QString& name) const;

    int Eingabe() const { return eingabe_; }
    int Anzeige() const { return anzeige_; }
    int Modus() const;
    // Caption line and colours of the entry currency.
    void ZeigeEingabe(int eingabe);
    void SetAnzeige(int anzeige) { anzeige_ = anzeige != 0 ? 1 : 0; }

    // Catalogue source by filter (the stored query of the entry currency, or the whole table); throws
    // DbError.
    void KatalogLesen(int filter);
    // The catalogue's rate column of the entry currency shown, the other hidden.
    void KatalogWaehrung();
    // Shows or hides the catalogue pane.
    void KatalogZeigen(bool zeigen);
    bool KatalogGezeigt() const { return katalogGezeigt_; }

    // The form's operations of the same names: the catalogue source (stored as "AUFWANZ", a database error
    // shown) and the catalogue pane (stored as "LKDISP").
    void OhneNull(int filter);
    void SwitchLK(int zeigen);
    // The display and catalogue tools both forms carry ("DM", "EUR", "OHNENUL", "SWITCHLK"), their check
    // marks, and their clicks: "OHNENUL" and "SWITCHLK" switch and invert the mark; true when key was one.
    static std::vector<forms::ToolDef> KatalogTools();
    static void AnzeigeMarkieren(forms::ToolBand& bar, int anzeige);
    bool KatalogTool(forms::ToolBand& bar, const QString& key);
    // The stored settings applied when the form opens.
    void GespeicherteEinstellungen(forms::ToolBand& bar, bool filter, bool katalog);

    // A row's rate pair and writing one back (pending).
    static Satzpaar LiesPaar(const forms::BoundGridModel& m, int row, const Satzfelder& f);
    static void SetzePaar(forms::BoundGridModel& m, int row, const Satzfelder& f, const Satzpaar& p);
    static Currency Betrag(const forms::BoundGridModel& m, int row, std::string_view feld);
    static bool IstFeld(const forms::BoundGridModel& m, int column, std::string_view feld);
    // Input length of a text field of a project table: its declared size.
    static int Feldlaenge(const char* tabelle, const char* feld, int sonst);
    // "Der Betrag ist zu groß." with the form's caption.
    void ZuGrossMelden() const;
    void Melden(const QString& text) const;
    static const QString ZuGrossMeldung;

    // Settings of the form's section.
    int GespeicherterFilter() const;
    bool GespeicherteKatalogAnzeige() const;
    void FilterSpeichern(int filter);
    void KatalogAnzeigeSpeichern(int zeigen);

    // Takes over an open cell editor or drop-down, then writes the pending row. Nothing while the picker is
    // open. False when the row was refused.
    bool Commit();
    // The date button of the date column: opens the picker on the current date cell.
    void DatumKnopf();
    // Opens the employee or phase list of a cell of the positions grid.
    void ListeOeffnen(const QModelIndex& index);
    bool PickerOffen() const { return pickerOffen_; }

    // Fits the description columns of both grids to the window; the width reset of the positions grid.
    void ResizeGrid1();
    void Spaltenbreiten();

    // Column helpers for the owning form. Amounts are shown in the money format of the display currency.
    forms::BoundColumn Textspalte(const char* feld, const QString& caption, int laenge) const;
    forms::BoundColumn Betragspalte(const char* feld, const QString& caption) const;
    forms::BoundColumn Mengenspalte(const char* feld) const;
    forms::BoundColumn Datumspalte(const char* feld) const;
    forms::BoundColumn Phasenspalte(const char* feld) const;

    static std::optional<Currency> BetragAus(const db::Value& v);
    static QString Heute();

signals:
    // A catalogue row was double-clicked.
    void katalogGewaehlt(int zeile);

protected:
    void resizeEvent(QResizeEvent* e) override;
    void showEvent(QShowEvent* e) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void PickerErgebnis(const QString& datum, int aktion);
    void SplitterAusblenden();
    void ErstTeilen();

    settings::SettingsStore& settings_;
    QString abschnitt_;
    QWidget* form_;
    db::Database* stamm_ = nullptr;
    QLabel* caption_ = nullptr;
    QWidget* container_ = nullptr;
    QWidget* bar_ = nullptr;
    forms::BoundGridView* grid1_ = nullptr;
    forms::BoundGridView* grid2_ = nullptr;
    DatePicSSDB* picker_ = nullptr;
    MitarbeiterDropDown* dropDown_ = nullptr;
    avbSplitterV* splitter_ = nullptr;
    forms::BoundGridModel* positionen_ = nullptr;
    std::unique_ptr<forms::BoundGridModel> katalog_;
    std::vector<forms::BoundColumn> katalogSpalten_;
    std::vector<Mitarbeiterdaten> mitarbeiter_;
    int eingabe_ = 0;
    int anzeige_ = 0;
    bool mitInternemSatz_ = false;
    PhasenDropDown* phasenDropDown_ = nullptr;
    bool katalogGezeigt_ = true;
    bool erstGeteilt_ = false;
    bool pickerOffen_ = false;
};

} // namespace velu::expenses
