// The service profile of the basic-data form: the template and cost-plan menus, putting a template into
// force for the current plant group, the zone fitted to its fee table, and the section texts.
#include "fee/Grunddat.h"

#include "core/Money.h"
#include "core/MoneyFormat.h"
#include "platform/db/Database.h"
#include "platform/db/DbError.h"
#include "platform/db/QueryDef.h"
#include "platform/forms/BoundGridModel.h"
#include "platform/forms/MessageBox.h"
#include "platform/forms/ToolBand.h"

#include <QAction>
#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QTabWidget>

#include <cmath>

// GCC 12 false positive on moving db::Value temporaries.
#pragma GCC diagnostic ignored "-Wmaybe-uninitialized"

namespace velu::fee {

namespace {

db::QueryDef query(db::Database& db, const char* name) {
    return db.StoredQuery(name);
}

std::string slot(int i) {
    return i < 10 ? "0" + std::to_string(i) : std::to_string(i);
}

// Columns of the copy that keep their names in the calculation's profile row.
std::vector<std::string> gleicheSpalten() {
    std::vector<std::string> s = {"HoaiTafel", "HoaiTafelBez", "HoaiTafelZuordnung"};
    for (int i = 1; i <= 10; ++i) {
        s.push_back("LiTX" + slot(i));
        s.push_back("proz" + slot(i));
    }
    for (int i = 1; i <= 10; ++i)
        s.push_back("KoZU" + slot(i));
    for (const char* c :
         {"PunktekatName", "Punktekatzuordnung", "Einheit", "Integrationspl", "Kontenplan", "HOAIALT"})
        s.push_back(c);
    return s;
}

} // namespace

void Grunddat::CreateLPTools() {
    if (lpToolsDa_) return;
    lpToolsDa_ = true;
    db::Recordset rs = query(stammDB_, "GETLBBezeichnungen").OpenRecordset();
    int32_t ersterAktueller = 0;
    for (rs.MoveFirst(); !rs.Empty() && !rs.EOF_(); rs.MoveNext()) {
        const auto lfnr = static_cast<int32_t>(rs.GetInt("LfNr"));
        const bool alt = rs.GetInt("HOAIALT") != 0;
        forms::ToolDef d{alt ? "Leistungsphasen1991" : "Leistungsphasen", QString("PX%1").arg(lfnr),
                         "§ " + QString::fromStdString(rs.GetText("parag")) + " " +
                             QString::fromStdString(rs.GetText("ParagBezeichnung"))};
        d.checkable = true;
        bar_->AddTool(d);
        if (!alt && ersterAktueller == 0) ersterAktueller = lfnr;
    }
    bar_->AddTool({"Leistungsphasen", "VE", "HOAI Tafeln von 1991", {}, "Leistungsphasen1991"});
    if (standardProfil_ == 0) standardProfil_ = ersterAktueller;
}

void Grunddat::CreateKPTools() {
    if (kpToolsDa_) return;
    kpToolsDa_ = true;
    db::Recordset rs = query(stammDB_, "GatAllKP").OpenRecordset();
    for (rs.MoveFirst(); !rs.Empty() && !rs.EOF_(); rs.MoveNext())
        bar_->AddTool({"Kontenpläne", QString("KX%1").arg(rs.GetInt("LfNr")),
                       "Kontenplan " + QString::fromStdString(rs.GetText("Bezeichnung"))});
}

void Grunddat::LBToolCheckedOnOff(int32_t key, int16_t alt, int16_t on) {
    if (key == 0) return;
    bar_->SetChecked(alt != 0 ? "Leistungsphasen1991" : "Leistungsphasen", QString("PX%1").arg(key), on != 0);
}

void Grunddat::SwitchLP(const QString&, int32_t key) {
    const db::Recordset& p = calc_->Leistungsbild();
    const bool hatP = !p.Empty() && !p.EOF_() && !p.BOF();
    const auto inKraft = static_cast<int32_t>(hatP ? p.GetInt("LeistungsbildLFNR") : 0);
    const auto alt = static_cast<int16_t>(hatP ? p.GetInt("HOAIALT") : 0);
    if (key == inKraft) {
        // A menu click toggled the check mark of the template in force; it stays in force.
        LBToolCheckedOnOff(inKraft, alt, 1);
        focusNextChild();
        return;
    }
    LBToolCheckedOnOff(inKraft, alt, 0);
    if (!SetLeistungsbild(key)) {
        LBToolCheckedOnOff(inKraft, alt, 1);
        for (QAction* a : bar_->Tools(QString("PX%1").arg(key)))
            a->setChecked(false);
        return;
    }
    focusNextChild();
    // The mark moves as one: never no template or two marked as last used.
    db::Transaction tx(stammDB_);
    query(stammDB_, "SetLastUsednull").Execute();
    query(stammDB_, "SetLastUsed").SetParameter(1, int64_t{key}).Execute();
    tx.Commit();
}

bool Grunddat::ConectLeistungsbild(int32_t key) {
    return calc_->ConectLeistungsbild(key);
}

int32_t Grunddat::TransLeistungsbild(int32_t key, Currency max, Currency min, int16_t zones) {
    db::Recordset t = query(stammDB_, "GetAkLeistungsbild").SetParameter(1, int64_t{key}).OpenRecordset();
    if (t.Empty()) return 0;
    t.MoveFirst();

    // The template's values are bound, so no path or text of the master database enters the SQL.
    std::string spalten =
        "LeistungsbildPara, LeistungsbildBez, LeistungsbildLFNR, MitAnLageGrp, LfNrBeReList, "
        "ZuordnungAnlGrp, TafelMaxWert, TafelMinWert, TafelMaxZone";
    std::string marken = "?, ?, ?, ?, ?, ?, ?, ?, ?";
    db::Params p;
    p.Add(t.Get("Parag")).Add(t.Get("ParagBezeichnung")).Add(t.Get("LfNr")).Add(t.Get("Anlagegruppen"));
    p.Add(int64_t{berListNr_}).Add(int64_t{anlageGruppe_}).Add(max.Raw()).Add(min.Raw()).Add(int64_t{zones});
    for (const std::string& s : gleicheSpalten()) {
        spalten += ", " + s;
        marken += ", ?";
        p.Add(t.Get(s));
    }

    // The old profile rows go and the new one comes in one step: the group is never left without one.
    db::Transaction tx(projektDB_);
    query(projektDB_, "DELLeistungsbild")
        .SetParameter("LfNrBeReList", int64_t{berListNr_})
        .SetParameter("AnlageGr", int64_t{anlageGruppe_})
        .Execute();
    projektDB_.Execute("INSERT INTO Leistungsbild (" + spalten + ") VALUES (" + marken + ")", p);
    // The key of the row just inserted: it exists even before the group has its basic-data row.
    const auto neu = static_cast<int32_t>(projektDB_.LastInsertId());
    tx.Commit();
    return neu;
}

bool Grunddat::SetLeistungsbild(int32_t key) {
    db::Recordset vorlage =
        query(stammDB_, "GetAkLeistungsbild").SetParameter(1, int64_t{key}).OpenRecordset();
    if (vorlage.Empty()) {
        forms::MsgBox(this, "Es fehlt das Leistungsbild", forms::MsgButtons::OK, forms::MsgIcon::Critical);
        return false;
    }
    vorlage.MoveFirst();
    const int64_t tafel = vorlage.GetInt("HoaiTafelZuordnung", 0);
    db::Recordset info = query(stammDB_, "GetInfoTafelverz").SetParameter(1, tafel).OpenRecordset();
    if (info.Empty()) {
        // Without its fee table the template cannot compute anything; the profile in force stays.
        forms::MsgBox(this, "Es wurde keine entsprechende HOAI-Tafel gefunden", forms::MsgButtons::OK,
                      forms::MsgIcon::Critical);
        return false;
    }
    info.MoveFirst();
    const auto zonen = static_cast<int16_t>(info.GetInt("ZonenAnz", 1));
    const Currency max = GetCY(info, "MaxWert");
    const Currency min = GetCY(info, "MinWert");

    db::Transaction tx(projektDB_);
    CheckHonorarzone(zonen);
    const db::Recordset& p = calc_->Leistungsbild();
    const int64_t aktuelleTafel =
        (!p.Empty() && !p.EOF_() && !p.BOF()) ? p.GetInt("HoaiTafelZuordnung", 0) : -1;
    bool punkteVerworfen = false;
    if (zoneAusPunkten_ && tafel != aktuelleTafel) {
        query(projektDB_, "delPunkteTab")
            .SetParameter("Lfnr", int64_t{berListNr_})
            .SetParameter("ZuOrdGrupp", int64_t{anlageGruppe_})
            .Execute();
        SetZoneAusPunktekat(false);
        punkteVerworfen = true;
    }
    const int32_t neu = TransLeistungsbild(key, max, min, zonen);
    if (neu == 0) {
        forms::MsgBox(this, "Es fehlt das Leistungsbild", forms::MsgButtons::OK, forms::MsgIcon::Critical);
        return false;
    }
    db::Recordset& g = calc_->Grunddaten();
    g.Edit();
    g.Set("ZuordnungLBTabelle", int64_t{neu});
    if (punkteVerworfen) g.SetBool("PunktekatUsed", false);
    g.Update();
    tx.Commit();

    ConectLeistungsbild(neu);
    FillGrDatenControls({});
    SetPhasenTexte();
    calc_->CalcAllGrunddaten();
    fillHonorarFelder();
    if (tab_->currentIndex() == 4) fillLeistungsbildGrid();
    return true;
}

void Grunddat::CheckHonorarzone(int16_t zones) {
    const std::optional<double> z = LeadingNumber(text1_[1]->text().toStdString());
    if (z && *z > zones) {
        forms::MsgBox(this, "Die angegebene Honorarzone existiert nicht\rZone wurde angepasst",
                      forms::MsgButtons::OK, forms::MsgIcon::Exclamation);
        text1_[1]->setText(QString::fromStdString(StrZahl(static_cast<double>(zones))).trimmed());
        // The lowered zone is the one computed with, not the stored one the table does not have.
        db::Recordset& g = calc_->Grunddaten();
        if (!g.Empty() && !g.EOF_() && !g.BOF()) {
            g.Edit();
            g.Set("Honorarzone", int64_t{zones});
            g.Update();
        }
    }
    if (text1_[1]->text().isEmpty()) text1_[1]->setText("1");
}

void Grunddat::SetPhasenTexte() {
    const PhasenBereiche b = calc_->Bereiche();
    abschnitteInBenutzung_ = b.anzahl;
    if (b.anzahl == 0) {
        for (int t = 1; t <= 4; ++t)
            tab_->setTabEnabled(t, false);
        return;
    }
    tab_->setTabEnabled(4, true);
    std::array<std::string, 4> gespeichert{};
    for (int k = 1; k <= 3; ++k) {
        const bool an = k <= b.anzahl;
        tab_->setTabEnabled(k, an);
        text1_[1 + k]->setVisible(an);
        satzLabel_[k]->setVisible(an);
        prozentLabel_[k]->setVisible(an);
        honorarLabel_[k]->setVisible(an);
        grund_[k]->setVisible(an);
        if (k >= 2) netto_[k]->setVisible(an);
        if (an) {
            const QString bereich = QString::fromStdString(b.CaptionRange(k));
            tab_->setTabText(k, "Kosten Lp" + bereich);
            satzLabel_[k]->setText("Satz über Minimum Lp" + bereich);
            honorarLabel_[k]->setText("Honorar Leistungsphase" + bereich);
            gespeichert[k] = b.StoredText(k);
        } else {
            honorarLabel_[k]->clear();
        }
    }
    query(projektDB_, "AktPhasenText")
        .SetParameter("GdLfnf", calc_->Grunddaten().Key())
        .SetParameter("PhTX1", gespeichert[1])
        .SetParameter("PhTX2", gespeichert[2])
        .SetParameter("PhTX3", gespeichert[3])
        .Execute();
}

} // namespace velu::fee
