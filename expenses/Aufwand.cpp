#include "expenses/Aufwand.h"

#include "core/AppState.h"
#include "core/FormRegistry.h"
#include "core/MDIVelunta.h"
#include "core/ProjektSchema.h"
#include "expenses/BerechWaehrungAusw.h"
#include "expenses/PositionsPanel.h"
#include "expenses/SummAufwand.h"
#include "expenses/ZeilenModell.h"
#include "platform/db/Database.h"
#include "platform/db/DbError.h"
#include "platform/forms/BoundGridView.h"
#include "platform/forms/MessageBox.h"
#include "platform/forms/ToolBand.h"
#include "platform/forms/WindowPos.h"
#include "platform/help/Hilfe.h"

#include <QApplication>
#include <QCloseEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QMdiSubWindow>
#include <QTimer>
#include <QToolBar>
#include <QVBoxLayout>

namespace velu::expenses {

namespace {

int Feldlaenge(const char* feld, int sonst) {
    return PositionsPanel::Feldlaenge("Projektaufwand", feld, sonst);
}

} // namespace

void RegisterAufwand(FormRegistry& formen) {
    formen.Register("Aufwand", [](QWidget* owner) -> QWidget* {
        return new Aufwand(*App().ProjektDB(), *App().StammDB(), App().Einstellungen(), owner);
    });
}

Aufwand::Aufwand(db::Database& projektDB, db::Database& stammDB, settings::SettingsStore& settings,
                 QWidget* parent, QString systemWaehrung)
    : QWidget(parent), projekt_(projektDB), stamm_(stammDB), settings_(settings),
      systemWaehrung_(std::move(systemWaehrung)) {
    setObjectName("Aufwand");
    setWindowTitle("Erbrachte Leistungen");

    bar_ = new forms::ToolBand(this);
    bar_->AddBand("Band1", forms::ToolBand::BandKind::ToolBar);
    bar_->AddTools({{"Band1", "OK", "OK", QString::fromUtf8("Fenster schließen")},
                    {"Band1", "EXIT", "Beenden", QString::fromUtf8("Fenster schließen")}});
    for (const forms::ToolDef& d : PositionsPanel::KatalogTools())
        bar_->AddTool(d);
    bar_->AddTool({"Band1", "SUMMEN", "Summen", "Summen je Leistungsphase anzeigen"});
    bar_->SetHandler([this](const QString& key) { ToolClick(key); });
    // A failed write has been shown and the grid shows the stored data again; the command still runs.
    bar_->SetCommitHook([this] {
        panel_->Commit();
        return true;
    });
    connect(bar_, &forms::ToolBand::ToolEnter, this,
            [this](const QString&, const QString& d) { StatusText(d); });
    connect(bar_, &forms::ToolBand::ToolLeave, this, [this] { StatusText({}); });

    panel_ = new PositionsPanel(settings_, "Aufwand", this, true);
    panel_->SetStammDB(stamm_);
    connect(panel_, &PositionsPanel::katalogGewaehlt, this, &Aufwand::KatalogUebernehmen);
    auto* haupt = new QVBoxLayout(this);
    haupt->setContentsMargins(0, 0, 0, 0);
    haupt->addWidget(bar_->ToolBar("Band1"));
    haupt->addWidget(panel_, 1);
    help::InstallHelpKey(this, objectName());

    SetGrids();
    Makeconection();
}

Aufwand::~Aufwand() {
    panel_->SetPositionen(nullptr);
}

int Aufwand::Modus() const {
    return panel_->Modus();
}

void Aufwand::SetGrids() {
    // The positions grid is bound in Makeconection; the catalogue's columns are the panel's.
    panel_->Spaltenbreiten();
}

void Aufwand::Makeconection() {
    db::Recordset rs;
    int eingabe = 0;
    try {
        // The report's auxiliary rows are not records of the user.
        rs =
            projekt_.OpenRecordset("SELECT Projektaufwand.* FROM Projektaufwand "
                                   "WHERE Coalesce(Projektaufwand.HIDE, 0) = 0 ORDER BY Projektaufwand.LfNr");
        if (rs.Empty()) {
            BerechWährungAusw frage(this, systemWaehrung_);
            forms::LoadWindowPos(frage, settings_);
            frage.exec();
            eingabe = frage.Waehrung();
            forms::SaveWindowPos(frage, settings_);
        } else {
            rs.MoveFirst();
            eingabe = rs.GetInt("INPUTType", 0) != 0 ? 1 : 0;
        }
    } catch (const db::DbError& e) {
        panel_->Melden(QString::fromUtf8(e.what()));
        return;
    }
    WährungsInput(eingabe);

    std::vector<forms::BoundColumn> spalten;
    spalten.push_back(panel_->Textspalte("Numm", "Numm", 8));
    spalten.push_back(panel_->Textspalte("Leistung", "Leistung", Feldlaenge("Leistung", 255)));
    spalten.push_back(panel_->Mengenspalte("Menge"));
    spalten.push_back(panel_->Textspalte("Einheit", "Einheit", Feldlaenge("Einheit", 20)));
    spalten.push_back(panel_->Betragspalte("Satz", "Satz"));
    spalten.push_back(panel_->Betragspalte("AlDispSatz", "Satz"));
    spalten.push_back(panel_->Betragspalte("Summ", "Summe"));
    spalten.push_back(panel_->Betragspalte("AlDispSumm", "Summe"));
    spalten.push_back(panel_->Textspalte("Mitarbeiter", "Mitarbeiter", Feldlaenge("Mitarbeiter", 50)));
    spalten.push_back(panel_->Datumspalte("Datum"));
    // German captions where the field's own name would be a technical one.
    forms::BoundColumn phase = panel_->Phasenspalte("Phzuordnung");
    phase.caption = "Zuordnung";
    spalten.push_back(phase);
    spalten.push_back(panel_->Betragspalte("interSatz", "interner Satz"));
    spalten.push_back(panel_->Betragspalte("AlDispinterSatz", "interner Satz"));
    spalten.push_back(panel_->Betragspalte("interSumm", "interne Summe"));
    spalten.push_back(panel_->Betragspalte("AlDispinterSumm", "interne Summe"));
    spalten.push_back(panel_->Textspalte("LeistNr", "Leistungsnummer", Feldlaenge("LeistNr", 20)));
    // Left editable, so that a mark can be put right after a transferred position was deleted.
    spalten.push_back(forms::FlagSpalte("SchonVerbucht", "verbucht"));
    forms::BoundColumn inputType = panel_->Textspalte("INPUTType", "Währung", 0);
    inputType.art = forms::BoundColumn::Art::Ganzzahl;
    inputType.readOnly = true;
    // The entry currency by its sign, as the toolbar names it, not as the stored 0/1.
    inputType.anzeigen = [](const db::Value& v) -> QVariant {
        const auto* i = std::get_if<int64_t>(&v);
        if (!i) return QString();
        return *i == 0 ? QStringLiteral("DM") : QStringLiteral("EUR");
    };
    spalten.push_back(inputType);
    for (auto& c : spalten)
        if (c.field == "Summ" || c.field == "AlDispSumm" || c.field == "interSumm" ||
            c.field == "AlDispinterSumm")
            c.readOnly = true;

    panel_->SetPositionen(nullptr);
    model_ = std::make_unique<ZeilenModell>(std::move(rs), std::move(spalten));
    forms::BoundGridModel::Callbacks cb;
    cb.nachEingabe = [this](int row, int column) { NachEingabe(row, column); };
    cb.melden = [this](const QString& text) { panel_->Melden(text); };
    model_->SetCallbacks(std::move(cb));
    model_->SetLoeschfrage(false);
    panel_->SetPositionen(model_.get());
    try {
        panel_->MitarbeiterLesen();
    } catch (const db::DbError& e) {
        panel_->Melden(QString::fromUtf8(e.what()));
    }
    // Shown in the currency the records are kept in, so that what the user types is what is stored.
    SwitchWährung(eingabe);
    panel_->GespeicherteEinstellungen(*bar_, true, true);
}

void Aufwand::WährungsInput(int eingabe) {
    panel_->ZeigeEingabe(eingabe);
}

void Aufwand::SwitchWährung(int anzeige) {
    panel_->SetAnzeige(anzeige);
    PositionsPanel::AnzeigeMarkieren(*bar_, anzeige);
    if (!model_) return;
    forms::BoundGridView* grid = panel_->SSDBGrid1();
    grid->setUpdatesEnabled(false);
    const bool haupt = ZeigtHauptspalten(Modus());
    for (const char* f : {"Satz", "Summ", "interSatz", "interSumm"})
        model_->SetColumnVisible(model_->ColumnOf(f), haupt);
    for (const char* f : {"AlDispSatz", "AlDispSumm", "AlDispinterSatz", "AlDispinterSumm"})
        model_->SetColumnVisible(model_->ColumnOf(f), !haupt);
    grid->ApplyColumnVisibility();
    panel_->ResizeGrid1();
    grid->setUpdatesEnabled(true);
    grid->viewport()->update();
}

void Aufwand::OhneNull(int filter) {
    panel_->OhneNull(filter);
}

void Aufwand::SwitchLK(int zeigen) {
    panel_->SwitchLK(zeigen);
}

void Aufwand::ResizeGrid1() {
    panel_->ResizeGrid1();
}

bool Aufwand::Rechnen(int row, int spalte, bool intern) {
    const Currency menge = PositionsPanel::Betrag(*model_, row, "Menge");
    return PaareSetzen(row,
                       expenses::calcSumme(Modus(), intern ? NurMenge : spalte, menge,
                                           PositionsPanel::LiesPaar(*model_, row, ExterneSaetze)),
                       expenses::calcSumme(Modus(), intern ? spalte : NurMenge, menge,
                                           PositionsPanel::LiesPaar(*model_, row, InterneSaetze)));
}

bool Aufwand::PaareSetzen(int row, const std::optional<Satzpaar>& ext, const std::optional<Satzpaar>& in) {
    if (!ext || !in) {
        panel_->ZuGrossMelden();
        return false;
    }
    PositionsPanel::SetzePaar(*model_, row, ExterneSaetze, *ext);
    PositionsPanel::SetzePaar(*model_, row, InterneSaetze, *in);
    return true;
}

bool Aufwand::calcSumme(int spalte, bool intern) {
    if (!model_) return true;
    const int row = panel_->SSDBGrid1()->CurrentRow();
    return row < 0 || Rechnen(row, spalte, intern);
}

void Aufwand::NachEingabe(int row, int column) {
    const std::string& feld = model_->Columns()[size_t(column)].field;
    model_->SetValue(row, "INPUTType", int64_t{panel_->Eingabe()});
    if (HeuteEintragen(db::IsNull(model_->Value(row, "Datum")), feld))
        model_->SetValue(row, "Datum", PositionsPanel::Heute().toStdString());
    bool ok = true;
    if (PositionsPanel::IstFeld(*model_, column, "Menge"))
        ok = Rechnen(row, NurMenge, false);
    else if (PositionsPanel::IstFeld(*model_, column, "Satz") ||
             PositionsPanel::IstFeld(*model_, column, "AlDispSatz"))
        ok = Rechnen(row, column, false);
    else if (PositionsPanel::IstFeld(*model_, column, "interSatz") ||
             PositionsPanel::IstFeld(*model_, column, "AlDispinterSatz"))
        ok = Rechnen(row, column, true);
    else if (PositionsPanel::IstFeld(*model_, column, "Mitarbeiter"))
        MitarbeiterGewaehlt(row);
    if (!ok) model_->EingabeAblehnen();
}

bool Aufwand::SaetzeUebernehmen(int row, Currency extDM, Currency extEuro, Currency intDM, Currency intEuro) {
    const Currency menge = PositionsPanel::Betrag(*model_, row, "Menge");
    return PaareSetzen(row,
                       SatzUebernehmen(Modus(), menge, PositionsPanel::LiesPaar(*model_, row, ExterneSaetze),
                                       extDM, extEuro),
                       SatzUebernehmen(Modus(), menge, PositionsPanel::LiesPaar(*model_, row, InterneSaetze),
                                       intDM, intEuro));
}

void Aufwand::MitarbeiterGewaehlt(int row) {
    const db::Value name = model_->Value(row, "Mitarbeiter");
    const auto* text = std::get_if<std::string>(&name);
    const Mitarbeiterdaten* ma = text ? panel_->FindeMitarbeiter(QString::fromStdString(*text)) : nullptr;
    if (!ma) return;
    // Only a row without an external rate takes the employee's rates, both of them.
    if (MitarbeiterSatzGilt(PositionsPanel::Betrag(*model_, row, "Satz"))) {
        if (!SaetzeUebernehmen(row, ma->stundensatzext, ma->alDispStundensatzext, ma->stundensatzInt,
                               ma->alDispStundensatzInt)) {
            model_->EingabeAblehnen();
            return;
        }
    }
    model_->Commit();
}

void Aufwand::KatalogUebernehmen(int zeile) {
    forms::BoundGridModel* katalog = panel_->Katalog();
    if (!model_ || !katalog || zeile < 0 || zeile >= katalog->StoredRows()) return;
    forms::BoundGridView* grid = panel_->SSDBGrid1();
    int row = grid->CurrentRow();
    if (row < 0 || row >= model_->rowCount()) row = model_->rowCount() - 1;
    const auto k = [&](std::string_view feld) { return PositionsPanel::Betrag(*katalog, zeile, feld); };
    if (!SaetzeUebernehmen(row, k("Satz"), k("AlDispSatz"), k("interSatz"), k("AlDispinterSatz"))) return;
    model_->SetValue(row, "Numm", katalog->Value(zeile, "Positionsnummer"));
    model_->SetValue(row, "Leistung", katalog->Value(zeile, "Leistung"));
    model_->SetValue(row, "Einheit", katalog->Value(zeile, "Einheit"));
    model_->SetValue(row, "INPUTType", int64_t{panel_->Eingabe()});
    grid->SetCurrentRow(row);
}

void Aufwand::Summen() {
    SummAufwand s(projekt_, this);
    forms::LoadWindowPos(s, settings_);
    try {
        s.MakeConections(panel_->Eingabe(), panel_->Anzeige());
    } catch (const db::DbError& e) {
        panel_->Melden(QString::fromUtf8(e.what()));
        return;
    }
    if (summenGeoeffnet)
        summenGeoeffnet(s);
    else
        s.exec();
    forms::SaveWindowPos(s, settings_);
}

void Aufwand::ToolClick(const QString& key) {
    if (key == "OK" || key == "EXIT") {
        if (auto* sub = qobject_cast<QMdiSubWindow*>(parentWidget()))
            sub->close();
        else
            close();
    } else if (key == "DM") {
        SwitchWährung(0);
    } else if (key == "EUR") {
        SwitchWährung(1);
    } else if (key == "SUMMEN") {
        Summen();
    } else {
        panel_->KatalogTool(*bar_, key);
    }
}

void Aufwand::StatusText(const QString& text) {
    if (auto* m = qobject_cast<MDIVelunta*>(App().Hauptfenster()))
        if (QLabel* p = m->Panel(1)) p->setText(text);
}

void Aufwand::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    panel_->GespeicherteEinstellungen(*bar_, false, true);
}

void Aufwand::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    // The window stays maximised in the main window.
    if (auto* sub = qobject_cast<QMdiSubWindow*>(parentWidget());
        sub && sub->isVisible() && !sub->isMaximized())
        QTimer::singleShot(0, sub, [sub] {
            if (!sub->isMaximized()) sub->showMaximized();
        });
}

void Aufwand::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Escape) {
        bar_->Click("Band1", "EXIT");
        event->accept();
        return;
    }
    QWidget::keyPressEvent(event);
}

void Aufwand::closeEvent(QCloseEvent* event) {
    panel_->Commit();
    RefreshActiveBar(true);
    StatusText({});
    QWidget::closeEvent(event);
}

} // namespace velu::expenses
