#include "FeeTestDb.h"

#include "core/Money.h"
#include "platform/db/Recordset.h"

#include <cstdlib>
#include <fstream>
#include <sstream>
#include <stdexcept>
#include <vector>

// GCC 12 reports the moves of db::Value temporaries into Params as maybe-uninitialized (a known false
// positive of std::variant with inlining).
#pragma GCC diagnostic ignored "-Wmaybe-uninitialized"

namespace velu::fee::test {

namespace {

std::string cols(const std::string& stem, int from, int to, const std::string& type, bool twin) {
    std::string s;
    for (int i = from; i <= to; ++i) {
        s += ", " + stem + std::to_string(i) + " " + type;
        if (twin) s += ", AlDisp" + stem + std::to_string(i) + " " + type;
    }
    return s;
}

std::string grunddatenSql() {
    std::string s = "CREATE TABLE Grunddaten (LfNr INTEGER PRIMARY KEY AUTOINCREMENT, LfNrBeReList INTEGER, "
                    "AnlageGruppe INTEGER, ZuordnungAnlGrp INTEGER, AnlageGrBez TEXT, REType INTEGER, "
                    "Honorarzone INTEGER, PunktekatUsed INTEGER, MwStPro DOUBLE, HOAIALT INTEGER, "
                    "ZuordnungLBTabelle INTEGER, INPUTType INTEGER, DisplayType INTEGER, "
                    "HonrarNetto CURRENCY, AlDispHonrarNetto CURRENCY, SumGrundHonorar CURRENCY, "
                    "AlDispSumGrundHonorar CURRENCY, SummZuNettoPro DOUBLE, SummZuNettoDM CURRENCY, "
                    "AlDispSummZuNettoDM CURRENCY, SummZuNettoProDM CURRENCY, AlDispSummZuNettoProDM CURRENCY, "
                    "HonorarBerNetto CURRENCY, AlDispHonorarBerNetto CURRENCY";
    s += cols("SatzUemin", 1, 3, "DOUBLE", false);
    for (const char* c : {"AnreKostAB", "AnreKostFremdAB", "SummAnreKostAB"}) s += cols(c, 1, 3, "CURRENCY", false);
    s += cols("FremdKoModAB", 1, 3, "INTEGER", false);
    for (const char* c : {"SumAnrechenbareKosten", "HonorarMinAB", "HonorarMaxAB", "SumHOMin", "SumHOMax",
                          "GrHonorarAb", "PHonorarAB", "HonrarNettoAB"})
        s += cols(c, 1, 3, "CURRENCY", true);
    s += cols("TeilleistPro", 1, 9, "DOUBLE", false);
    s += cols("SummZu", 1, 9, "DOUBLE", false);
    for (const char* c : {"TeilleistDM", "GrundLDM", "ZuDM", "VollZuschlagant", "TotalDMLP"})
        s += cols(c, 1, 9, "CURRENCY", true);
    s += cols("PhTX", 1, 3, "TEXT", false);
    return s + ")";
}

std::string leistungsbildSql() {
    std::string s = "CREATE TABLE Leistungsbild (LfNr INTEGER PRIMARY KEY AUTOINCREMENT, LfNrBeReList INTEGER, "
                    "ZuordnungAnlGrp INTEGER, MitAnLageGrp INTEGER, LeistungsbildLFNR INTEGER, "
                    "LeistungsbildBez TEXT, LeistungsbildPara TEXT, HoaiTafel TEXT, HoaiTafelBez TEXT, "
                    "HoaiTafelZuordnung INTEGER, PunktekatName TEXT, Punktekatzuordnung INTEGER, Einheit INTEGER, "
                    "Integrationspl INTEGER, Kontenplan INTEGER, TafelMaxWert CURRENCY, TafelMinWert CURRENCY, "
                    "TafelMaxZone INTEGER, HOAIALT INTEGER";
    for (int i = 1; i <= 10; ++i) {
        const std::string n = i < 10 ? "0" + std::to_string(i) : "10";
        s += ", LiTX" + n + " TEXT, proz" + n + " DOUBLE, KoZU" + n + " INTEGER";
    }
    return s + ")";
}

std::vector<std::string> split(const std::string& s) {
    std::vector<std::string> out;
    std::stringstream ss(s);
    std::string item;
    while (std::getline(ss, item, ',')) out.push_back(item);
    return out;
}

} // namespace

TempDir::TempDir() {
    std::string tmpl = (std::filesystem::temp_directory_path() / "velu-fee-XXXXXX").string();
    if (!mkdtemp(tmpl.data())) throw std::runtime_error("no temporary folder");
    path_ = tmpl;
}

TempDir::~TempDir() {
    std::error_code ec;
    std::filesystem::remove_all(path_, ec);
}

FeeDbs::FeeDbs() {
    stamm = db::Database::Create(dir.Path() / "VELUDAT32.MDB");
    projekt = db::Database::Create(dir.Path() / "Velupro32.mdb");
    if (!stamm || !projekt) throw std::runtime_error("test databases not created");
    std::string tafel = "CREATE TABLE Tafel (LfNr INTEGER PRIMARY KEY AUTOINCREMENT, LfNrTafel INTEGER, "
                        "AKosten CURRENCY";
    tafel += cols("S", 1, 10, "CURRENCY", false);
    stamm->Execute(tafel + ", BEZTAFEL TEXT, HOAIALT INTEGER, STDHOAI INTEGER)");
    stamm->SetQueryDef("GetTafel", "SELECT AKosten, S1, S2, S3, S4, S5, S6, S7, S8, S9, S10 FROM Tafel "
                                   "WHERE LfNrTafel = :TafelLfnr ORDER BY AKosten");
    LoadEuroTable(*stamm, "honorartafel-2021-p35-gebaeude-innenraeume.csv", Tafel35);

    projekt->Execute(grunddatenSql());
    projekt->Execute(leistungsbildSql());
    projekt->Execute("CREATE TABLE AnrechenbareKosten (LfNr INTEGER PRIMARY KEY AUTOINCREMENT, "
                     "LfNrBeReList INTEGER, ZuordnungAnlGrp INTEGER, Phase INTEGER, Kostenstellennr TEXT, "
                     "Bezeichnung TEXT, Eigenleistung CURRENCY, AlDispEigenleistung CURRENCY, "
                     "FremdLeistung CURRENCY, AlDispFremdLeistung CURRENCY)");
    projekt->SetQueryDef("GetGrunddaten", "SELECT * FROM Grunddaten WHERE LfNrBeReList = :LfNrBeReListx AND "
                                          "AnlageGruppe = :AnlageGruppex");
    projekt->SetQueryDef("GetALLGrunddaten", "SELECT * FROM Grunddaten WHERE LfNrBeReList = :LfNrBeReListx "
                                             "ORDER BY AnlageGruppe");
    projekt->SetQueryDef("GetLeistungsbild", "SELECT * FROM Leistungsbild WHERE LfNr = ?");
    projekt->SetQueryDef("GetAnrechenbareKosten",
                         "SELECT SUM(Eigenleistung), SUM(FremdLeistung) FROM AnrechenbareKosten WHERE "
                         "Phase = :PhaseAktiv AND ZuordnungAnlGrp = :AnlageGrNr AND LfNrBeReList = :LfNrBeReList");
    projekt->SetQueryDef("SumAnreBareKostenAnlageGrp",
                         "SELECT SUM(SummAnreKostAB1), SUM(SummAnreKostAB2), SUM(SummAnreKostAB3) FROM Grunddaten "
                         "WHERE LfNrBeReList = :BerListNr");
}

void AddTafelRow(db::Database& stamm, int32_t lfnr, Currency akosten, const Currency (&s)[10]) {
    db::Params p;
    p.Add(int64_t{lfnr}).Add(akosten.Raw());
    for (const Currency& c : s) p.Add(c.Raw());
    stamm.Execute("INSERT INTO Tafel (LfNrTafel, AKosten, S1, S2, S3, S4, S5, S6, S7, S8, S9, S10) "
                  "VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)",
                  p);
}

int LoadEuroTable(db::Database& stamm, const std::string& csvName, int32_t lfnr) {
    const char* src = std::getenv("VELU_SOURCE_DIR");
    std::filesystem::path file = std::filesystem::path(src ? src : ".") / "data" / "hoai" / csvName;
    if (!std::filesystem::exists(file)) file = std::filesystem::path("/work/shared/data/hoai") / csvName;
    std::ifstream in(file);
    if (!in) throw std::runtime_error("missing " + file.string());
    std::string line;
    std::getline(in, line);
    int rows = 0;
    // The program keeps its tables in DM: each published euro value times 1.95583, to four places.
    auto dm = [](const std::string& euro) { return DMEuroUmrechnung(Currency::FromString(euro), 0); };
    while (std::getline(in, line)) {
        const auto f = split(line);
        if (f.size() < 11) continue;
        Currency s[10];
        for (int i = 0; i < 10; ++i) s[i] = dm(f[i + 1]);
        AddTafelRow(stamm, lfnr, dm(f[0]), s);
        ++rows;
    }
    return rows;
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
        q.Add(int64_t{std::stoi(koZU.at(i - 1))}).Add(std::stod(proz.at(i - 1)));
    }
    projekt.Execute("INSERT INTO Leistungsbild (LfNrBeReList, ZuordnungAnlGrp, MitAnLageGrp, HoaiTafelZuordnung, "
                    "Einheit, Integrationspl, TafelMaxWert, TafelMinWert, TafelMaxZone, HOAIALT, "
                    "LeistungsbildPara" +
                        names + ") VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, '§ 34'" + marks + ")",
                    q);
    return static_cast<int32_t>(projekt.LastInsertId());
}

int32_t AddGrunddaten(db::Database& projekt, int32_t profil, int gruppe, int zone, const char* satz1,
                      const char* kosten1, int32_t berList) {
    db::Params q;
    q.Add(int64_t{berList}).Add(int64_t{gruppe}).Add(int64_t{gruppe}).Add(int64_t{zone}).Add(std::stod(satz1));
    q.Add(Currency::FromString(kosten1).Raw()).Add(int64_t{profil});
    projekt.Execute("INSERT INTO Grunddaten (LfNrBeReList, AnlageGruppe, ZuordnungAnlGrp, Honorarzone, SatzUemin1, "
                    "SatzUemin2, SatzUemin3, SummAnreKostAB1, SummAnreKostAB2, SummAnreKostAB3, ZuordnungLBTabelle, "
                    "HOAIALT, PHonorarAB1, PHonorarAB2, PHonorarAB3, AlDispPHonorarAB1, AlDispPHonorarAB2, "
                    "AlDispPHonorarAB3) VALUES (?, ?, ?, ?, ?, 0, 0, ?, 0, 0, ?, 0, 0, 0, 0, 0, 0, 0)",
                    q);
    return static_cast<int32_t>(projekt.LastInsertId());
}

} // namespace velu::fee::test
