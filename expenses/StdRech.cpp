#include "expenses/StdRech.h"

#include "core/ProjektSchema.h"
#include "expenses/KostenTransfer.h"
#include "expenses/PositionsPanel.h"
#include "expenses/ZeilenModell.h"
#include "platform/db/Database.h"
#include "platform/db/DbError.h"
#include "platform/forms/BoundGridView.h"
#include "platform/forms/MessageBox.h"
#include "platform/forms/ToolBand.h"
#include "platform/help/Hilfe.h"

#include <QApplication>
#include <QCloseEvent>
#include <QHeaderView>
#include <QLabel>
#include <QToolBar>
#include <QVBoxLayout>

namespace velu::expenses {

const QString StdRech::ZuGrossMeldung = PositionsPanel::ZuGrossMeldung;
const QString StdRech::KeineDatenMeldung = QStringLiteral("Es sind keine neuen Daten vorhanden");

namespace {

int Feldlaenge(const char* feld, int sonst) {
    return PositionsPanel::Feldlaenge("StdRePos", feld, sonst);
}

} // namespace

StdRech::StdRech(db::Database& projektDB, db::Database& stammDB, settings::SettingsStore& settings,
                 QWidget* parent)
    : QDialog(parent), projekt_(projektDB), stamm_(stammDB) {
    setObjectName("StdRech");
    setWindowTitle("Stundenlohnrechnung");

    bar_ = new forms::ToolBand(this);
    bar_->AddBand("Band1", forms::ToolBand::BandKind::ToolBar);
    bar_->AddTools(
        {{"Band1", "OK", "OK", "Eingaben übernehmen"}, {"Band1", "EXIT", "Beenden", "Fenster schließen"}});
    for (const forms::ToolDef& d : PositionsPanel::KatalogTools())
        bar_->AddTool(d);
    bar_->AddTool({"Band1", "TRANSEL", "Projektaufwand übernehmen",
                   "Noch nicht verbuchten Projektaufwand als Positionen übernehmen"});
    bar_->SetHandler([this](const QString& key) { ToolClick(key); });
    // A failed write has been shown and the grid shows the stored data again; the command still runs.
    bar_->SetCommitHook([this] {
        panel_->Commit();
        return true;
    });

    panel_ = new PositionsPanel(settings, "STDRECHNUNG", this);
    panel_->SetStammDB(stamm_);
    connect(panel_, &PositionsPanel::katalogGewaehlt, this, &StdRech::KatalogUebernehmen);
    auto* haupt = new QVBoxLayout(this);
    haupt->setMenuBar(bar_->ToolBar("Band1"));
    haupt->addWidget(panel_);
    resize(760, 520);

    panel_->GespeicherteEinstellungen(*bar_, false, true);
    help::InstallHelpKey(this, objectName());
}

StdRech::~StdRech() {
    panel_->SetPositionen(nullptr);
}

int StdRech::Modus() const {
    return panel_->Modus();
}

void StdRech::Makeconection(int32_t rechnung, int16_t anzeige, int16_t eingabe) {
    WährungsInput(eingabe);
    rechnung_ = rechnung;
    db::Recordset rs = projekt_.OpenRecordset("SELECT StdRePos.* FROM StdRePos "
                                              "WHERE StdRePos.REZuordnung = :Nr ORDER BY StdRePos.LfNr",
                                              db::Params().Set("Nr", int64_t{rechnung}));
    std::vector<forms::BoundColumn> spalten;
    spalten.push_back(panel_->Textspalte("PosNr", "PosNr", 8));
    spalten.push_back(panel_->Textspalte("Leistung", "Leistung", Feldlaenge("Leistung", 255)));
    spalten.push_back(panel_->Mengenspalte("Menge"));
    spalten.push_back(panel_->Textspalte("Einheit", "Einheit", Feldlaenge("Einheit", 20)));
    spalten.push_back(panel_->Betragspalte("Satz", "Satz"));
    spalten.push_back(panel_->Betragspalte("AlDispSatz", "Satz"));
    spalten.push_back(panel_->Textspalte("Mitarbeiter", "Mitarbeiter", Feldlaenge("Mitarbeiter", 50)));
    spalten.push_back(panel_->Datumspalte("Datum"));
    spalten.push_back(panel_->Betragspalte("Summ", "Summe"));
    // The invoice's number: written by the form into every row it stores, neither shown nor typed.
    forms::BoundColumn zuordnung = panel_->Textspalte("REZuordnung", "REZuordnung", 0);
    zuordnung.art = forms::BoundColumn::Art::Ganzzahl;
    zuordnung.readOnly = true;
    zuordnung.visible = false;
    spalten.push_back(zuordnung);
    spalten.push_back(panel_->Betragspalte("AlDispSumm", "Summe"));
    for (auto& c : spalten)
        if (c.field == "Summ" || c.field == "AlDispSumm") c.readOnly = true;

    panel_->SetPositionen(nullptr);
    model_ = std::make_unique<ZeilenModell>(std::move(rs), std::move(spalten));
    forms::BoundGridModel::Callbacks cb;
    cb.schluesselFuellen = [this](db::Recordset& r, bool) { r.Set("REZuordnung", int64_t{rechnung_}); };
    cb.nachEingabe = [this](int row, int column) { NachEingabe(row, column); };
    cb.melden = [this](const QString& text) { Melden(text); };
    model_->SetCallbacks(std::move(cb));
    // Positions go without a question.
    model_->SetLoeschfrage(false);
    panel_->SetPositionen(model_.get());
    panel_->MitarbeiterLesen();

    SwitchWährung(anzeige);
    panel_->GespeicherteEinstellungen(*bar_, true, false);
}

void StdRech::WährungsInput(int eingabe) {
    panel_->ZeigeEingabe(eingabe);
}

void StdRech::SwitchWährung(int anzeige) {
    panel_->SetAnzeige(anzeige);
    PositionsPanel::AnzeigeMarkieren(*bar_, anzeige);
    forms::BoundGridView* grid = panel_->SSDBGrid1();
    grid->setUpdatesEnabled(false);
    SpaltenEinrichten();
    grid->setUpdatesEnabled(true);
    grid->viewport()->update();
}

void StdRech::SpaltenEinrichten() {
    if (!model_) return;
    const bool haupt = ZeigtHauptspalten(Modus());
    model_->SetColumnVisible(model_->ColumnOf("Satz"), haupt);
    model_->SetColumnVisible(model_->ColumnOf("Summ"), haupt);
    model_->SetColumnVisible(model_->ColumnOf("AlDispSatz"), !haupt);
    model_->SetColumnVisible(model_->ColumnOf("AlDispSumm"), !haupt);
    panel_->SSDBGrid1()->ApplyColumnVisibility();
    panel_->ResizeGrid1();
}

void StdRech::OhneNull(int filter) {
    panel_->OhneNull(filter);
}

void StdRech::SwitchLK(int zeigen) {
    panel_->SwitchLK(zeigen);
}

void StdRech::ResizeGrid1() {
    panel_->ResizeGrid1();
}

void StdRech::resizeEvent(QResizeEvent* event) {
    QDialog::resizeEvent(event);
    panel_->ResizeGrid1();
}

void StdRech::Melden(const QString& text) {
    panel_->Melden(text);
}

bool StdRech::Rechnen(int row, int spalte) {
    const auto neu = expenses::calcSumme(Modus(), spalte, PositionsPanel::Betrag(*model_, row, "Menge"),
                                         PositionsPanel::LiesPaar(*model_, row, ExterneSaetze));
    if (!neu) {
        panel_->ZuGrossMelden();
        return false;
    }
    SetzeSaetze(row, *neu);
    return true;
}

void StdRech::SetzeSaetze(int row, const Satzpaar& p) {
    PositionsPanel::SetzePaar(*model_, row, ExterneSaetze, p);
}

bool StdRech::calcSumme(int spalte) {
    if (!model_) return true;
    const int row = panel_->SSDBGrid1()->CurrentRow();
    if (row < 0) return true;
    return Rechnen(row, spalte);
}

void StdRech::NachEingabe(int row, int column) {
    const std::string& feld = model_->Columns()[size_t(column)].field;
    if (HeuteEintragen(db::IsNull(model_->Value(row, "Datum")), feld))
        model_->SetValue(row, "Datum", PositionsPanel::Heute().toStdString());
    if (PositionsPanel::IstFeld(*model_, column, "Menge")) {
        if (!Rechnen(row, NurMenge)) model_->EingabeAblehnen();
    } else if (PositionsPanel::IstFeld(*model_, column, "Satz") ||
               PositionsPanel::IstFeld(*model_, column, "AlDispSatz")) {
        if (!Rechnen(row, column)) model_->EingabeAblehnen();
    } else if (PositionsPanel::IstFeld(*model_, column, "Mitarbeiter")) {
        MitarbeiterGewaehlt(row);
    }
}

void StdRech::MitarbeiterGewaehlt(int row) {
    const db::Value name = model_->Value(row, "Mitarbeiter");
    const auto* text = std::get_if<std::string>(&name);
    const Mitarbeiterdaten* ma = text ? panel_->FindeMitarbeiter(QString::fromStdString(*text)) : nullptr;
    if (!ma) return;
    // A row that has a rate keeps it, whoever does the work.
    if (MitarbeiterSatzGilt(PositionsPanel::Betrag(*model_, row, "Satz"))) {
        const auto neu = SatzUebernehmen(Modus(), PositionsPanel::Betrag(*model_, row, "Menge"),
                                         PositionsPanel::LiesPaar(*model_, row, ExterneSaetze),
                                         ma->stundensatzext, ma->alDispStundensatzext);
        if (!neu) {
            panel_->ZuGrossMelden();
            model_->EingabeAblehnen();
            return;
        }
        SetzeSaetze(row, *neu);
    }
    model_->Commit();
}

void StdRech::KatalogUebernehmen(int zeile) {
    forms::BoundGridModel* katalog = panel_->Katalog();
    if (!model_ || !katalog || zeile < 0 || zeile >= katalog->StoredRows()) return;
    forms::BoundGridView* grid = panel_->SSDBGrid1();
    panel_->Commit();
    int row = grid->CurrentRow();
    if (row < 0 || row >= model_->rowCount()) row = model_->rowCount() - 1;
    const auto neu = SatzUebernehmen(Modus(), PositionsPanel::Betrag(*model_, row, "Menge"),
                                     PositionsPanel::LiesPaar(*model_, row, ExterneSaetze),
                                     PositionsPanel::Betrag(*katalog, zeile, "Satz"),
                                     PositionsPanel::Betrag(*katalog, zeile, "AlDispSatz"));
    if (!neu) {
        panel_->ZuGrossMelden();
        return;
    }
    model_->SetValue(row, "PosNr", katalog->Value(zeile, "Positionsnummer"));
    model_->SetValue(row, "Leistung", katalog->Value(zeile, "Leistung"));
    model_->SetValue(row, "Einheit", katalog->Value(zeile, "Einheit"));
    SetzeSaetze(row, *neu);
    model_->Commit();
    grid->SetCurrentRow(row);
}

void StdRech::TransKosten() {
    if (!model_) return;
    panel_->Commit();
    int gebucht = 0;
    try {
        const std::vector<OffenerAufwand> offen = OffenenAufwandLesen(projekt_);
        if (!offen.empty()) gebucht = AufwandBuchen(projekt_, offen, rechnung_, panel_->Eingabe());
    } catch (const db::DbError& e) {
        // Rolled back: neither positions nor marks were stored.
        Melden(QString::fromUtf8(e.what()));
        return;
    }
    if (gebucht == 0) {
        forms::MsgBox(this, KeineDatenMeldung, forms::MsgButtons::OK, forms::MsgIcon::Information,
                      QApplication::applicationDisplayName());
        return;
    }
    model_->Requery();
}

void StdRech::ToolClick(const QString& key) {
    if (key == "OK" || key == "EXIT") {
        Schliessen();
    } else if (key == "DM") {
        SwitchWährung(0);
    } else if (key == "EUR") {
        SwitchWährung(1);
    } else if (key == "TRANSEL") {
        TransKosten();
    } else {
        panel_->KatalogTool(*bar_, key);
    }
}

void StdRech::Schliessen() {
    bar_->SetTag("X");
    QDialog::done(QDialog::Accepted);
}

void StdRech::reject() {
    bar_->Click("Band1", "OK");
}

void StdRech::closeEvent(QCloseEvent* event) {
    if (isVisible()) {
        panel_->Commit();
        Schliessen();
    }
    event->accept();
}

} // namespace velu::expenses
