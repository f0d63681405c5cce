#include "FeeTestDb.h"

#include "core/DatabaseSetup.h"
#include "core/MasterDataLoader.h"
#include "core/Money.h"
#include "platform/db/Recordset.h"

#include <cstdlib>
#include <sstream>
#include <stdexcept>
#include <vector>

// GCC 12 reports the moves of db::Value temporaries into Params as maybe-uninitialized (a known false
// positive of std::variant with inlining).
#pragma GCC diagnostic ignored "-Wmaybe-uninitialized"

namespace velu::fee::test {

namespace {

std::vector<std::string> split(const std::string& s) {
    std::vector<std::string> out;
    std::stringstream ss(s);
    std::string item;
    while (std::getline(ss, item, ',')) out.push_back(item);
    return out;
}

std::filesystem::path hoaiDir() {
    const char* src = std::getenv("VELU_SOURCE_DIR");
    return std::filesystem::path(src ? src : VELU_TEST_SOURCE_DIR) / "data" / "hoai";
}

int64_t pct(const std::string& s) { return Currency::FromString(s).Raw(); }

} // namespace

FeeDbs::FeeDbs() {
    std::string error;
    stamm = DatabaseSetup::CreateStammDB(dir.Path() / "VELUDAT32.MDB", &error);
    projekt = DatabaseSetup::CreateProjektDB(dir.Path() / "Velupro32.mdb", &error);
    if (!stamm || !projekt) throw std::runtime_error("test databases not created: " + error);
    MasterDataLoader::Load(*stamm, hoaiDir());
    db::Recordset t = stamm->OpenRecordset("SELECT LfNr FROM TafelVerzeichnis WHERE HoaiPara = '35'");
    if (t.Empty() || t.GetInt("LfNr") != Tafel35) throw std::runtime_error("§ 35 table not where expected");
}

void AddTafelRow(db::Database& stamm, int32_t lfnr, Currency akosten, const Currency (&s)[10]) {
    db::Params p;
    p.Add(int64_t{lfnr}).Add(akosten.Raw());
    for (const Currency& c : s) p.Add(c.Raw());
    stamm.Execute("INSERT INTO Tafel (LfNrTafel, AKosten, S1, S2, S3, S4, S5, S6, S7, S8, S9, S10) "
                  "VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)",
                  p);
}

int32_t AddProfil(db::Database& projekt, const Profil& p, int gruppe, int32_t berList) {
    db::Params q;
    q.Add(int64_t{berList}).Add(int64_t{gruppe}).Add(int64_t{p.mitAnlageGrp ? -1 : 0}).Add(int64_t{p.tafel});
    q.Add(int64_t{p.einheit}).Add(int64_t{p.integrationspl ? -1 : 0}).Add(p.maxWert.Raw()).Add(p.minWert.Raw());
    q.Add(int64_t{p.maxZone}).Add(int64_t{p.hoaiAlt ? -1 : 0});
    std::string names, marks;
    const auto koZU = split(p.koZU), proz = split(p.proz);
    for (int i = 1; i <= 10; ++i) {
        const std::string n = i < 10 ? "0" + std::to_string(i) : "10";
        names += ", KoZU" + n + ", proz" + n;
        marks += ", ?, ?";
        q.Add(int64_t{std::stoi(koZU.at(i - 1))}).Add(pct(proz.at(i - 1)));
    }
    projekt.Execute("INSERT INTO Leistungsbild (LfNrBeReList, ZuordnungAnlGrp, MitAnLageGrp, HoaiTafelZuordnung, "
                    "Einheit, Integrationspl, TafelMaxWert, TafelMinWert, TafelMaxZone, HOAIALT, "
                    "LeistungsbildPara" +
                        names + ") VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, '§ 34'" + marks + ")",
                    q);
    return static_cast<int32_t>(projekt.LastInsertId());
}

Profil DeliveredProfil(db::Database& stamm, const std::string& parag) {
    db::Recordset t =
        stamm.OpenRecordset("SELECT * FROM Leistungsbilder WHERE Parag = ?", db::Params().Add(parag));
    if (t.Empty()) throw std::runtime_error("no delivered profile § " + parag);
    t.MoveFirst();
    Profil p;
    p.tafel = static_cast<int32_t>(t.GetInt("HoaiTafelZuordnung"));
    p.einheit = static_cast<int>(t.GetInt("Einheit"));
    p.integrationspl = t.GetInt("Integrationspl") != 0;
    p.hoaiAlt = t.GetInt("HOAIALT") != 0;
    p.koZU.clear();
    p.proz.clear();
    for (int i = 1; i <= 10; ++i) {
        const std::string n = i < 10 ? "0" + std::to_string(i) : "10";
        p.koZU += (i > 1 ? "," : "") + std::to_string(t.GetInt("KoZU" + n, 0));
        p.proz += (i > 1 ? "," : "") + GetCY(t, "proz" + n).ToString();
    }
    db::Recordset v =
        stamm.OpenRecordset("SELECT ZonenAnz, MaxWert, MinWert FROM TafelVerzeichnis WHERE LfNr = ?",
                            db::Params().Add(int64_t{p.tafel}));
    if (v.Empty()) throw std::runtime_error("no fee table for § " + parag);
    v.MoveFirst();
    p.maxZone = static_cast<int>(v.GetInt("ZonenAnz"));
    p.minWert = GetCY(v, "MinWert");
    p.maxWert = GetCY(v, "MaxWert");
    return p;
}

int32_t AddGrunddaten(db::Database& projekt, int32_t profil, int gruppe, int zone, const char* satz1,
                      const char* kosten1, int32_t berList) {
    db::Params q;
    q.Add(int64_t{berList}).Add(int64_t{gruppe}).Add(int64_t{gruppe}).Add(int64_t{zone}).Add(pct(satz1));
    q.Add(Currency::FromString(kosten1).Raw()).Add(int64_t{profil});
    projekt.Execute("INSERT INTO Grunddaten (LfNrBeReList, AnlageGruppe, ZuordnungAnlGrp, Honorarzone, SatzUemin1, "
                    "SatzUemin2, SatzUemin3, SummAnreKostAB1, SummAnreKostAB2, SummAnreKostAB3, ZuordnungLBTabelle, "
                    "HOAIALT, PHonorarAB1, PHonorarAB2, PHonorarAB3, AlDispPHonorarAB1, AlDispPHonorarAB2, "
                    "AlDispPHonorarAB3) VALUES (?, ?, ?, ?, ?, 0, 0, ?, 0, 0, ?, 0, 0, 0, 0, 0, 0, 0)",
                    q);
    return static_cast<int32_t>(projekt.LastInsertId());
}

} // namespace velu::fee::test
