// The basic-data form's grids, tabs, currency display and toolbar dispatch.
#include "fee/Grunddat.h"

#include "core/Money.h"
#include "core/MoneyFormat.h"
#include "fee/FeeMessages.h"
#include "platform/db/Database.h"
#include "platform/db/DbError.h"
#include "platform/db/QueryDef.h"
#include "platform/forms/BoundGridModel.h"
#include "platform/forms/BoundGridView.h"
#include "platform/forms/MessageBox.h"
#include "platform/forms/ToolBand.h"

#include <QAction>
#include <QApplication>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QLabel>
#include <QLayout>
#include <QLineEdit>
#include <QMenu>
#include <QTabWidget>
#include <QTableWidget>

#include <cmath>
#include <cstring>
#include <memory>
#include <set>
#include <utility>

// GCC 12 false positive on moving db::Value temporaries.
#pragma GCC diagnostic ignored "-Wmaybe-uninitialized"

namespace velu::fee {

namespace {

db::QueryDef query(db::Database& db, const char* name) {
    return db.StoredQuery(name);
}

forms::BoundColumn spalte(const char* feld, const QString& titel,
                          forms::BoundColumn::Art art = forms::BoundColumn::Art::Text) {
    forms::BoundColumn c;
    c.field = feld;
    c.caption = titel;
    c.art = art;
    return c;
}

constexpr int PhaseRolle = Qt::UserRole;

// Up to thirteen whole digits, as many as an amount cell takes.
const Currency GroessterBetrag = Currency::FromUnits(10'000'000'000'000);

// Amount columns of the cost grid in ConfigGrid's order, at their model columns 2 to 5.
const char* const Betragsfelder[] = {"Eigenleistung", "FremdLeistung", "AlDispEigenleistung",
                                     "AlDispFremdLeistung"};

// "1.234,56" with the unit after it ("######,##0.00 " & unit).
QString zahlMitEinheit(Currency c, const std::string& einheit) {
    QString t = QString::fromStdString(FormatBetrag(c, DM)).chopped(3);
    return einheit.empty() ? t : t + QChar(0x00A0) + QString::fromStdString(einheit);
}

QString prozentText(Currency c) {
    return QString::fromStdString(FormatBetrag(c, DM)).chopped(3);
}

std::optional<Currency> prozentLesen(QString t) {
    t = t.trimmed();
    if (t.endsWith('%')) t.chop(1);
    return ParseBetrag(t.toStdString());
}

} // namespace

// ---- currency
// ----------------------------------------------------------------------------------------------

void Grunddat::WährungsInput(int16_t c) {
    eingabe_ = c != 0 ? 1 : 0;
    calc_->SetBerechnungswaehrung(eingabe_);
    const QString titel = eingabe_ ? "Berechnungswährung €" : "Berechnungswährung DM";
    // A euro calculation stands out at a glance.
    const QString stil =
        eingabe_ ? "QLabel { color: rgb(255,255,0); background: rgb(0,0,128); font-weight: bold; }"
                 : QString();
    for (QLabel* l : {kostenTitel_, phasenTitel_}) {
        l->setText(titel);
        l->setStyleSheet(stil);
    }
}

void Grunddat::WährungsDisplay(int16_t d) {
    anzeige_ = d;
    bar_->SetChecked("Band1", "DM", d != 1);
    bar_->SetChecked("Band1", "EUR", d != 0);
    modus_ = WaehrungsModus(eingabe_, anzeige_);
}

void Grunddat::SwitchWährung(int16_t d) {
    anzeige_ = d;
    modus_ = WaehrungsModus(eingabe_, anzeige_);
    const int t = tab_->currentIndex();
    if (t >= 1 && t <= 3) {
        kostenGrid_->setUpdatesEnabled(false);
        LoadAnrechenbareKosten();
        kostenGrid_->setUpdatesEnabled(true);
    } else if (t == 4) {
        fillLeistungsbildGrid();
    }
    fillHonorarFelder();
}

KostenSpalten Grunddat::ConfigGrid() const {
    KostenSpalten s;
    fee::ConfigGrid(modus_, einheit_, fremdZaehlt_, s);
    return s;
}

// ---- cost grid
// ---------------------------------------------------------------------------------------------

void Grunddat::LoadAnrechenbareKosten() {
    if (abschnitt_.isEmpty()) return;
    db::Params p;
    p.Set("Phase", int64_t{abschnitt_.toInt()})
        .Set("Gruppe", int64_t{anlageGruppe_})
        .Set("Nr", int64_t{berListNr_});
    db::Recordset rs = projektDB_.OpenRecordset("SELECT AnrechenbareKosten.* FROM AnrechenbareKosten WHERE "
                                                "Phase = :Phase AND ZuordnungAnlGrp = :Gruppe "
                                                "AND LfNrBeReList = :Nr ORDER BY Kostenstellennr, LfNr",
                                                p);

    const KostenSpalten s = ConfigGrid();
    // Set by an amount column that refused a number too large to hold; the grid's message then says so.
    auto zuGross = std::make_shared<bool>(false);
    using forms::BoundColumn;
    std::vector<BoundColumn> spalten;
    BoundColumn nr = spalte("Kostenstellennr", "Kostenstelle");
    nr.maxLength = 20;
    BoundColumn bez = spalte("Bezeichnung", "Bezeichnung");
    bez.maxLength = 100;
    spalten.push_back(nr);
    spalten.push_back(bez);
    for (int i = 0; i < 4; ++i) {
        BoundColumn b = spalte(Betragsfelder[i], QString::fromStdString(s.titel[i]), BoundColumn::Art::Zahl);
        b.visible = s.sichtbar[i];
        const std::string einheit = s.einheit;
        b.anzeigen = [einheit](const db::Value& v) -> QVariant {
            if (db::IsNull(v)) return {};
            const auto* raw = std::get_if<int64_t>(&v);
            return raw ? zahlMitEinheit(Currency::FromRaw(*raw), einheit) : QVariant();
        };
        b.lesen = [zuGross](const QString& text) -> std::optional<db::Value> {
            if (text.trimmed().isEmpty()) return db::Value{};
            QString t = text.trimmed();
            for (const char* u : {" ha", "ha"})
                if (t.endsWith(u)) t.chop(static_cast<int>(strlen(u)));
            const std::optional<Currency> c = ParseBetrag(t.toStdString());
            if (!c) return std::nullopt;
            // The twin of a larger amount, or the section's sum, would leave the currency range.
            if (*c >= GroessterBetrag || *c <= -GroessterBetrag) {
                *zuGross = true;
                return std::nullopt;
            }
            return db::Value{c->Raw()};
        };
        spalten.push_back(std::move(b));
    }
    for (const char* f : {"LfNrBeReList", "LfNr", "Phase", "ZuordnungAnlGrp"}) {
        BoundColumn h = spalte(f, {});
        h.visible = false;
        h.readOnly = true;
        spalten.push_back(h);
    }

    auto* alt = kostenModel_;
    kostenModel_ = new forms::BoundGridModel(std::move(rs), std::move(spalten), this);
    kostenModel_->setObjectName("Data1");
    forms::BoundGridModel::Callbacks cb;
    cb.schluesselFuellen = [this](db::Recordset& r, bool) {
        r.Set("LfNrBeReList", int64_t{berListNr_});
        r.Set("Phase", int64_t{abschnitt_.toInt()});
        r.Set("ZuordnungAnlGrp", int64_t{anlageGruppe_});
        calc_->SetCostsChanged();
    };
    cb.nachEingabe = [this](int row, int column) {
        // The typed amount is in the display currency; its twin follows in the other one.
        const int i = column - 2;
        if (i < 0 || i > 3 || !kostenModel_->Columns()[column].visible) return;
        const db::Value v = kostenModel_->Value(row, Betragsfelder[i]);
        const char* haupt = Betragsfelder[i % 2];
        const char* zwilling = Betragsfelder[2 + i % 2];
        if (db::IsNull(v)) {
            kostenModel_->SetValue(row, haupt, db::Value{});
            kostenModel_->SetValue(row, zwilling, db::Value{});
            return;
        }
        Currency wert, altWert;
        WährungsWert(i < 2 ? 1 : 2, Currency::FromRaw(std::get<int64_t>(v)), anzeige_, wert, altWert);
        if (i >= 2) kostenModel_->SetValue(row, haupt, wert.Raw());
        kostenModel_->SetValue(row, zwilling, altWert.Raw());
    };
    cb.melden = [this, zuGross](const QString& text) {
        const QString t = std::exchange(*zuGross, false)
                              ? "Die Eingabe muss nummerisch sein \roder\rdie Zahl ist zu groß"
                              : text;
        forms::MsgBox(this, t, forms::MsgButtons::OK, forms::MsgIcon::Critical);
    };
    kostenModel_->SetCallbacks(std::move(cb));
    connect(kostenModel_, &forms::BoundGridModel::zeileGespeichert, this, &Grunddat::kostenZeileGeaendert);
    connect(kostenModel_, &QAbstractItemModel::rowsRemoved, this, &Grunddat::kostenZeileGeaendert);
    // A view does not delete the selection model of the model it leaves.
    QItemSelectionModel* altAuswahl = kostenGrid_->selectionModel();
    kostenGrid_->SetBoundModel(kostenModel_);
    if (altAuswahl) altAuswahl->deleteLater();
    kostenGrid_->horizontalHeader()->setSectionResizeMode(1, QHeaderView::Stretch);
    kostenGrid_->FitColumnsToContents();
    if (alt) alt->deleteLater();
    bar_->SetEnabled("Band1", "KTNP", kostenModel_->StoredRows() == 0);
}

void Grunddat::kostenZeileGeaendert() {
    bar_->SetEnabled("Band1", "KTNP", kostenModel_ && kostenModel_->StoredRows() == 0);
    calc_->SetCostsChanged();
    // The fee at the foot follows the costs as they are typed.
    try {
        HonorarStummRechnen();
    } catch (const std::exception& e) {
        fehlerZeigen(e);
    }
}

void Grunddat::ImportKontenplan(const QString& plan) {
    if (abschnitt_.isEmpty()) return;
    bool ok = false;
    const qlonglong nr = plan.trimmed().toLongLong(&ok);
    if (!ok) return;
    // A plan goes into an empty section only; a second import would list every account twice.
    {
        db::Recordset n = projektDB_.OpenRecordset(
            "SELECT Count(*) AS n FROM AnrechenbareKosten WHERE Phase = :Phase AND ZuordnungAnlGrp = :Gruppe "
            "AND LfNrBeReList = :Nr",
            db::Params()
                .Set("Phase", int64_t{abschnitt_.toInt()})
                .Set("Gruppe", int64_t{anlageGruppe_})
                .Set("Nr", int64_t{berListNr_}));
        n.MoveFirst();
        if (n.GetInt("n") > 0) {
            bar_->SetEnabled("Band1", "KTNP", false);
            return;
        }
    }
    db::Recordset kp = stammDB_.OpenRecordset(
        "SELECT Kostenstelle, BText FROM KONTENPL WHERE LfNrVerz = :Plan ORDER BY rowid",
        db::Params().Set("Plan", int64_t{nr}));
    db::Transaction tx(projektDB_);
    for (kp.MoveFirst(); !kp.Empty() && !kp.EOF_(); kp.MoveNext()) {
        db::Params p;
        p.Add(kp.Get("Kostenstelle"))
            .Add(kp.Get("BText"))
            .Add(int64_t{berListNr_})
            .Add(int64_t{anlageGruppe_});
        p.Add(int64_t{abschnitt_.toInt()});
        projektDB_.Execute("INSERT INTO AnrechenbareKosten (Kostenstellennr, Bezeichnung, LfNrBeReList, "
                           "ZuordnungAnlGrp, Phase) VALUES (?, ?, ?, ?, ?)",
                           p);
    }
    tx.Commit();
    LoadAnrechenbareKosten();
    bar_->SetEnabled("Band1", "KTNP", false);
}

void Grunddat::KPDEL0() {
    if (abschnitt_.isEmpty()) return;
    query(projektDB_, "DelKontenplanNullwerte")
        .SetParameter("LfNrBeReList", int64_t{berListNr_})
        .SetParameter("Phase", int64_t{abschnitt_.toInt()})
        .SetParameter("ZuordnungAnlGrp", int64_t{anlageGruppe_})
        .Execute();
    calc_->SetCostsChanged();
    LoadAnrechenbareKosten();
}

void Grunddat::kostenKontextmenue(const QPoint& pos) {
    if (!kostenModel_) return;
    const bool markiert = kostenGrid_->selectionModel() && kostenGrid_->selectionModel()->hasSelection();
    bar_->SetEnabled("KONTENPLANTOOLS", "DEL", markiert);
    bar_->SetEnabled("KONTENPLANTOOLS", "DEL0", kostenModel_->StoredRows() > 0);
    if (QMenu* m = bar_->Popup("KONTENPLANTOOLS")) m->popup(kostenGrid_->viewport()->mapToGlobal(pos));
}

void Grunddat::kostenLoeschen() {
    if (!kostenModel_ || !kostenGrid_->selectionModel()) return;
    std::set<int, std::greater<>> zeilen;
    for (const QModelIndex& i : kostenGrid_->selectionModel()->selectedIndexes())
        if (i.row() < kostenModel_->StoredRows()) zeilen.insert(i.row());
    if (zeilen.empty()) return;
    // One question for all marked lines, No as default.
    if (forms::MsgBox(this, forms::BoundGridModel::LoeschFrage, forms::MsgButtons::YesNo,
                      forms::MsgIcon::Question, {}, 1) != forms::MsgResult::Yes)
        return;
    // The marked lines go together or not at all.
    bool alle = true;
    {
        db::Transaction tx(projektDB_);
        kostenModel_->SetLoeschfrage(false);
        for (int r : zeilen)
            if (!kostenModel_->DeleteRow(r)) {
                alle = false;
                break;
            }
        kostenModel_->SetLoeschfrage(true);
        if (alle) tx.Commit();
    }
    // The rollback brought back the lines the grid had already dropped.
    if (!alle) LoadAnrechenbareKosten();
}

// ---- phase grid and fee fields
// -----------------------------------------------------------------------------

void Grunddat::fillLeistungsbildGrid() {
    const db::Recordset& p = calc_->Leistungsbild();
    const db::Recordset& g = calc_->Grunddaten();
    const bool hatP = !p.Empty() && !p.EOF_() && !p.BOF();
    const std::string prefix = ZeigtZwilling(modus_) ? "AlDisp" : "";
    fuellen_ = true;
    phasenGrid_->setRowCount(0);
    for (int i = 1; i <= 9 && hatP; ++i) {
        const std::string s = "0" + std::to_string(i);
        if (p.GetInt("KoZU" + s) <= 0) continue;
        const int row = phasenGrid_->rowCount();
        phasenGrid_->insertRow(row);
        auto zelle = [&](int col, const QString& text, bool editierbar) {
            auto* it = new QTableWidgetItem(text);
            if (!editierbar) it->setFlags(it->flags() & ~Qt::ItemIsEditable);
            if (col > 0) it->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
            phasenGrid_->setItem(row, col, it);
            return it;
        };
        // The phase number rides with the row: rows are only the phases that belong to a section.
        zelle(0, QString::fromStdString(p.GetText("LiTX" + s)), false)->setData(PhaseRolle, i);
        zelle(1, prozentText(GetCY(p, "proz" + s)), true);
        QTableWidgetItem* zuschlag = zelle(2, prozentText(GetCY(g, "SummZu" + std::to_string(i))), false);
        zuschlag->setBackground(phasenGrid_->palette().brush(QPalette::Disabled, QPalette::Base));
        zuschlag->setForeground(phasenGrid_->palette().brush(QPalette::Disabled, QPalette::Text));
        zuschlag->setToolTip(ZuschlagHinweis);
        zelle(3, prozentText(GetCY(g, "TeilleistPro" + std::to_string(i), Currency::FromUnits(100))), true);
        zelle(4, betragText(RundCY(GetCY(g, prefix + "TotalDMLP" + std::to_string(i)))), false);
    }
    fuellen_ = false;
    fillHonorarFelder();
}

void Grunddat::fillHonorarFelder() {
    const db::Recordset& g = calc_->Grunddaten();
    if (g.Empty() || g.EOF_() || g.BOF()) return;
    const std::string prefix = ZeigtZwilling(modus_) ? "AlDisp" : "";
    auto betrag = [&](const std::string& f) { return betragText(RundCY(GetCY(g, prefix + f))); };
    for (int k = 1; k <= 3; ++k) {
        netto_[k]->clear();
        grund_[k]->clear();
    }
    if (rechnungsart_ != 1) {
        for (int16_t k = 1; k <= 3; ++k) {
            netto_[k]->setText(betrag("HonrarNettoAB" + std::to_string(k)));
            grund_[k]->setText(betragText(RundCY(calc_->GetAnGezGrHonorar(k, prefix))));
        }
    } else {
        netto_[1]->setText(betrag("HonrarNetto"));
        grund_[1]->setText(betragText(RundCY(calc_->GetAnGezGrHonorar(1, prefix))));
    }
    netto_[4]->setText(betrag("HonrarNetto"));
}

void Grunddat::phaseGeaendert(int row, int column) {
    if (fuellen_ || (column != 1 && column != 3)) return;
    QTableWidgetItem* kopf = phasenGrid_->item(row, 0);
    if (!kopf) return;
    const int i = kopf->data(PhaseRolle).toInt();
    const std::string s = "0" + std::to_string(i);
    db::Recordset& p = calc_->Leistungsbild();
    db::Recordset& g = calc_->Grunddaten();

    // Nothing changes: the cell shows the stored value again.
    auto gespeichertZeigen = [&] {
        fuellen_ = true;
        if (column == 1)
            phasenGrid_->item(row, 1)->setText(prozentText(GetCY(p, "proz" + s)));
        else
            phasenGrid_->item(row, 3)->setText(
                prozentText(GetCY(g, "TeilleistPro" + std::to_string(i), Currency::FromUnits(100))));
        fuellen_ = false;
    };
    const std::optional<Currency> anteil = prozentLesen(phasenGrid_->item(row, 1)->text());
    const std::optional<Currency> teil = prozentLesen(phasenGrid_->item(row, 3)->text());
    if (!anteil || !teil) {
        forms::MsgBox(this, forms::BoundGridModel::NumerischMeldung, forms::MsgButtons::OK,
                      forms::MsgIcon::Critical);
        gespeichertZeigen();
        return;
    }
    // A share of the fee and a partial service are both shares of the phase: 0 to 100 %.
    const auto ausserhalb = [](Currency v) { return v < Currency{} || v > Currency::FromUnits(100); };
    if (ausserhalb(*anteil) || ausserhalb(*teil)) {
        forms::MsgBox(this, MeldungProzentBereich, forms::MsgButtons::OK, forms::MsgIcon::Critical);
        gespeichertZeigen();
        return;
    }
    try {
        if (!calc_->PhaseGeaendert(i, *anteil, *teil)) {
            // A phase of no cost section has no fee to recompute.
            gespeichertZeigen();
            return;
        }
        const std::string prefix = ZeigtZwilling(modus_) ? "AlDisp" : "";
        fuellen_ = true;
        phasenGrid_->item(row, 4)->setText(
            betragText(RundCY(GetCY(calc_->Grunddaten(), prefix + "TotalDMLP" + std::to_string(i)))));
        phasenGrid_->item(row, column)->setText(prozentText(column == 1 ? *anteil : *teil));
        fuellen_ = false;
        fillHonorarFelder();
    } catch (const std::exception& e) {
        fehlerZeigen(e);
        fuellen_ = false;
        fillLeistungsbildGrid();
    }
}

// ---- tabs
// --------------------------------------------------------------------------------------------------

void Grunddat::tabGewechselt(int neu) {
    if (tabWaechter_) {
        tabWaechter_ = false;
        aktTab_ = neu;
        // Moved to the inputs by an input error on OK: the tools of that page apply.
        if (neu == 0) {
            abschnitt_.clear();
            bar_->SetEnabled("Band1", "LPHBTN", anlageGruppe_ == 1);
            bar_->SetEnabled("Band1", "PUNKTEKAT", anlageGruppe_ == 1);
            bar_->SetEnabled("Band1", "KTNP", false);
        }
        return;
    }
    const int vorher = aktTab_;
    try {
        if (vorher >= 1 && vorher <= 3 && kostenModel_) kostenGrid_->Commit();
        if (vorher >= 0 && vorher <= 3) {
            // Costs outside the table or no table (recomputed, message shown) also hold the user on the tab
            // once; the next attempt passes, as nothing is left to recompute.
            const int16_t code = CheckCalcGrDaten();
            if (code != 0) {
                tabWaechter_ = true;
                tab_->setCurrentIndex(vorher);
                fokusNachFehler(code);
                return;
            }
        }
    } catch (const std::exception& e) {
        fehlerZeigen(e);
    }
    aktTab_ = neu;
    const bool eingaben = neu == 0;
    bar_->SetEnabled("Band1", "LPHBTN", eingaben && anlageGruppe_ == 1);
    bar_->SetEnabled("Band1", "PUNKTEKAT", eingaben && anlageGruppe_ == 1);
    bar_->SetEnabled("Band1", "KTNP", false);
    abschnitt_.clear();
    try {
        if (neu >= 1 && neu <= 3) {
            abschnitt_ = QString::number(neu);
            seiten_[neu]->layout()->addWidget(kostenPanel_);
            kostenPanel_->show();
            LoadAnrechenbareKosten();
        } else if (neu == 4) {
            fillLeistungsbildGrid();
        }
    } catch (const std::exception& e) {
        fehlerZeigen(e);
    }
}

// ---- commands
// ----------------------------------------------------------------------------------------------

void Grunddat::ToolClick(const QString& key) {
    try {
        gitterSchreiben();
        const int16_t code = CheckCalcGrDaten();
        if (key.startsWith("PX")) {
            if (anlageGruppe_ == 1) {
                bool ok = false;
                const int32_t vorlage = static_cast<int32_t>(std::llround(key.mid(2).toDouble(&ok)));
                const auto tools = bar_->Tools(key);
                if (ok) SwitchLP(tools.empty() ? QString() : tools.front()->text(), vorlage);
            } else {
                QApplication::beep();
            }
        } else if (key.startsWith("KX")) {
            ImportKontenplan(key.mid(2));
        } else if (key == "DM" || key == "EUR") {
            const int16_t d = key == "DM" ? 0 : 1;
            if (d != anzeige_) {
                bar_->SetChecked("Band1", key, true);
                bar_->SetChecked("Band1", d ? "DM" : "EUR", false);
                SwitchWährung(d);
            } else {
                bar_->SetChecked("Band1", key, true);
            }
        } else if (key == "DEL") {
            kostenGrid_->setFocus();
            kostenLoeschen();
        } else if (key == "DEL0") {
            // KPDEL0 reloads the lines and decides "KTNP" by what is left.
            KPDEL0();
        } else if (key == "OK") {
            if (istEingabeFehler(code)) {
                // The message was shown by the check above; the user corrects the field first.
                if (tab_->currentIndex() != 0 && code != KostenNegativ) {
                    tabWaechter_ = true;
                    tab_->setCurrentIndex(0);
                    abschnitt_.clear();
                }
                fokusNachFehler(code);
                return;
            }
            if (pruefenUndSchliessen(true)) accept();
        } else if (key == "PSCH") {
            PauschalAufruf();
        } else if (key == "PUNKTEKAT") {
            punktekataufruf();
        } else if (key == "ZUSCH") {
            ZuschlaegeAufruf();
        }
    } catch (const std::exception& e) {
        fehlerZeigen(e);
    }
}

void Grunddat::ZuschlaegeUebernehmen() {
    std::array<Currency, 10> summe{};
    {
        db::Recordset rs = query(projektDB_, "SummZuLP")
                               .SetParameter("LfNrBeReList", int64_t{berListNr_})
                               .SetParameter("ZuordnungAnlGrp", int64_t{anlageGruppe_})
                               .OpenRecordset();
        for (rs.MoveFirst(); !rs.Empty() && !rs.EOF_(); rs.MoveNext()) {
            const auto& f = rs.FieldNames();
            const Currency betrag = GetCY(rs, f.at(0));
            const int64_t phase = rs.GetInt(f.at(1), 0);
            if (phase >= 1 && phase <= 9) summe[static_cast<size_t>(phase)] = betrag;
        }
    }
    db::Transaction tx(projektDB_);
    db::Recordset& g = calc_->Grunddaten();
    g.Edit();
    for (int i = 1; i <= 9; ++i)
        SetCY(g, "SummZu" + std::to_string(i), summe[static_cast<size_t>(i)]);
    {
        db::Recordset rs = query(projektDB_, "SummZuSchBerNetto")
                               .SetParameter("LfNrBeReList", int64_t{berListNr_})
                               .SetParameter("ZuordnungAnlGrp", int64_t{anlageGruppe_})
                               .OpenRecordset();
        Currency pro, dm, alDisp;
        if (!rs.Empty()) {
            rs.MoveFirst();
            const auto& f = rs.FieldNames();
            pro = GetCY(rs, f.at(0));
            dm = GetCY(rs, f.at(1));
            alDisp = GetCY(rs, f.at(2));
        }
        SetCY(g, "SummZuNettoDM", dm);
        SetCY(g, "SummZuNettoPro", pro);
        SetCY(g, "AlDispSummZuNettoDM", alDisp);
    }
    g.Update();
    calc_->CalcLeistungsbild(0);
    calc_->CalcLeistungsbild(1);
    tx.Commit();
    fillHonorarFelder();
    if (tab_->currentIndex() == 4) fillLeistungsbildGrid();
}

} // namespace velu::fee
