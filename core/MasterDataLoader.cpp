#include "core/MasterDataLoader.h"

#include "core/GelieferteDruckvorlagen.h"

#include "platform/db/Params.h"

#include <fstream>
#include <map>
#include <stdexcept>

namespace velu {

namespace {

using db::Params;

struct FeeTableFile {
    const char* file;
    const char* kurz; // HoaiPara / BEZTAFEL: the paragraph, as the menus show "§ " & its first 3 characters
    const char* bez;
    bool alt;
};

const FeeTableFile kFeeTables[] = {
    {"honorartafel-2021-p35-gebaeude-innenraeume.csv", "35", "§ 35 Gebäude und Innenräume (2021)", false},
    {"honorartafel-2021-p40-freianlagen.csv", "40", "§ 40 Freianlagen (2021)", false},
    {"honorartafel-2021-p44-ingenieurbauwerke.csv", "44", "§ 44 Ingenieurbauwerke (2021)", false},
    {"honorartafel-2021-p56-technische-ausruestung.csv", "56", "§ 56 Technische Ausrüstung (2021)", false},
    {"honorartafel-1996-p16-gebaeude-euro2002.csv", "16", "§ 16 Gebäude (1996, Euro 2002, bis 1 Mio €)",
     true},
};

int64_t ToInt(const std::string& s, const std::filesystem::path& file) {
    size_t pos = 0;
    long long v = 0;
    try {
        v = std::stoll(s, &pos);
    } catch (const std::exception&) {
        pos = 0;
    }
    if (pos == 0 || pos != s.size())
        throw std::runtime_error(file.filename().string() + ": keine Zahl: " + s);
    return v;
}

struct TableInfo {
    int64_t lfnr;
    std::string kurz, bez;
};

// Returns the header key. Checks that each row is band continuous and rises strictly over the previous one.
TableInfo LoadFeeTable(db::Database& db, const std::filesystem::path& dir, const FeeTableFile& f) {
    auto path = dir / f.file;
    auto rows = MasterDataLoader::ReadCsv(path);
    if (rows.empty()) throw std::runtime_error(std::string(f.file) + ": keine Zeilen");
    const size_t values = rows.front().size() - 1;
    if (values < 2 || values > 10 || values % 2)
        throw std::runtime_error(std::string(f.file) + ": Spaltenzahl");
    const int zones = static_cast<int>(values / 2);
    std::vector<int64_t> prev;
    for (const auto& r : rows) {
        if (r.size() != values + 1)
            throw std::runtime_error(std::string(f.file) + ": Spaltenzahl einer Zeile");
        std::vector<int64_t> v;
        for (const auto& s : r)
            v.push_back(ToInt(s, path));
        for (size_t z = 2; z + 1 < v.size(); z += 2)
            if (v[z] != v[z + 1])
                throw std::runtime_error(std::string(f.file) + ": Zonen nicht lückenlos bei " + r[0]);
        if (!prev.empty())
            for (size_t i = 0; i < v.size(); ++i)
                if (v[i] <= prev[i])
                    throw std::runtime_error(std::string(f.file) + ": Werte steigen nicht bei " + r[0]);
        prev = v;
    }
    const int64_t minWert = MasterDataLoader::EuroToDMRaw(ToInt(rows.front()[0], path));
    const int64_t maxWert = MasterDataLoader::EuroToDMRaw(ToInt(rows.back()[0], path));
    db.Execute(
        "INSERT INTO TafelVerzeichnis (HoaiPara, HoaiBez, STDHOAI, ZonenAnz, MaxWert, MinWert, HOAIALT) "
        "VALUES (:kurz, :bez, -1, :zonen, :max, :min, :alt)",
        Params()
            .Set("kurz", std::string(f.kurz))
            .Set("bez", std::string(f.bez))
            .Set("zonen", int64_t{zones})
            .Set("max", maxWert)
            .Set("min", minWert)
            .Set("alt", f.alt ? int64_t{-1} : int64_t{0}));
    const int64_t lfnr = db.LastInsertId();
    std::string sql = "INSERT INTO Tafel (LfNrTafel, AKosten";
    std::string vals = ":t, :a";
    for (size_t i = 1; i <= values; ++i) {
        sql += ", S" + std::to_string(i);
        vals += ", :s" + std::to_string(i);
    }
    sql += ", BEZTAFEL, HOAIALT, STDHOAI) VALUES (" + vals + ", :kurz, :alt, -1)";
    for (const auto& r : rows) {
        Params p;
        p.Set("t", lfnr).Set("a", MasterDataLoader::EuroToDMRaw(ToInt(r[0], path)));
        for (size_t i = 1; i <= values; ++i)
            p.Set("s" + std::to_string(i), MasterDataLoader::EuroToDMRaw(ToInt(r[i], path)));
        p.Set("kurz", std::string(f.kurz)).Set("alt", f.alt ? int64_t{-1} : int64_t{0});
        db.Execute(sql, p);
    }
    return {lfnr, f.kurz, f.bez};
}

// Catalogue name -> key; keys start at 2.
std::map<std::string, int64_t> LoadPointsCatalogues(db::Database& db, const std::filesystem::path& dir) {
    std::map<std::string, int64_t> keys;
    int64_t next = 2;
    for (const auto& r : MasterDataLoader::ReadCsv(dir / "punktekataloge-zonen.csv")) {
        if (r.size() != 11) throw std::runtime_error("punktekataloge-zonen.csv: Spaltenzahl");
        std::string sql = "INSERT INTO PunkteVerzeichnis (LfNr, Bezeichnung";
        std::string vals = ":nr, :bez";
        Params p;
        p.Set("nr", next).Set("bez", "§ 35 " + r[0]);
        for (int z = 1; z <= 5; ++z) {
            sql += ", Hzone" + std::to_string(z) + "VonPunkt, Hzone" + std::to_string(z) + "BisPunkt";
            vals += ", :v" + std::to_string(z) + ", :b" + std::to_string(z);
            p.Set("v" + std::to_string(z), ToInt(r[2 * z - 1], "punktekataloge-zonen.csv"));
            p.Set("b" + std::to_string(z), ToInt(r[2 * z], "punktekataloge-zonen.csv"));
        }
        db.Execute(sql + ") VALUES (" + vals + ")", p);
        keys[r[0]] = next++;
    }
    for (const auto& r : MasterDataLoader::ReadCsv(dir / "punktekataloge.csv")) {
        if (r.size() != 4 || !keys.count(r[0])) throw std::runtime_error("punktekataloge.csv: Zeile " + r[0]);
        db.Execute("INSERT INTO Punkte (LFNRPUNKTVERZ, Text, MaxPunkte) VALUES (:k, :t, :m)",
                   Params().Set("k", keys[r[0]]).Set("t", r[2]).Set("m", ToInt(r[3], "punktekataloge.csv")));
    }
    return keys;
}

void LoadProfiles(db::Database& db, const std::filesystem::path& dir,
                  const std::map<std::string, TableInfo>& tables,
                  const std::map<std::string, int64_t>& catalogues) {
    auto phases = MasterDataLoader::ReadCsv(dir / "leistungsphasen.csv");
    if (phases.size() != 9) throw std::runtime_error("leistungsphasen.csv: neun Phasen erwartet");
    for (const auto& r : MasterDataLoader::ReadCsv(dir / "leistungsbilder.csv")) {
        if (r.size() != 13) throw std::runtime_error("leistungsbilder.csv: Spaltenzahl");
        auto t = tables.find(r[2]);
        if (t == tables.end()) throw std::runtime_error("leistungsbilder.csv: unbekannte Tafel " + r[2]);
        const bool alt = r[3] == "1991";
        std::string parag = r[0].rfind("§ ", 0) == 0 ? r[0].substr(std::string("§ ").size()) : r[0];
        // Engineering structures and technical equipment name their phases in the second column.
        const bool ingenieur = r[1] == "Ingenieurbauwerke" || r[1] == "Technische Ausrüstung";
        auto cat = catalogues.find(r[1]);
        const bool withCatalogue = !alt && cat != catalogues.end();
        std::string sql = "INSERT INTO Leistungsbilder (Parag, ParagBezeichnung, HoaiTafel, HoaiTafelBez, "
                          "HoaiTafelZuordnung, PunktekatName, Punktekatzuordnung, Einheit, Integrationspl, "
                          "Kontenplan, Anlagegruppen, STDLeistungbild, HOAIALT";
        std::string vals =
            ":parag, :bez, :tafel, :tafelbez, :tafelnr, :katname, :katnr, 1, 0, 1, :anl, -1, :alt";
        Params p;
        p.Set("parag", parag)
            .Set("bez", r[1])
            .Set("tafel", t->second.kurz)
            .Set("tafelbez", t->second.bez)
            .Set("tafelnr", t->second.lfnr)
            .Set("katname", withCatalogue ? "§ 35 " + cat->first : std::string())
            .Set("katnr", withCatalogue ? cat->second : int64_t{0})
            .Set("anl", r[1] == "Technische Ausrüstung" ? int64_t{1} : int64_t{0})
            .Set("alt", alt ? int64_t{-1} : int64_t{0});
        for (int i = 1; i <= 9; ++i) {
            std::string n = "0" + std::to_string(i);
            sql += ", LiTX" + n + ", proz" + n + ", KoZU" + n;
            vals += ", :l" + n + ", :p" + n + ", :k" + n;
            p.Set("l" + n, phases[i - 1][ingenieur ? 2 : 1]);
            p.Set("p" + n, ToInt(r[3 + i], "leistungsbilder.csv") * 10000);
            // Since 2013 every phase is billed on one cost estimate; the 1991 regulation split the phases
            // over three cost sections (phases 1-4, 5-7, 8-9).
            p.Set("k" + n, alt ? int64_t{i <= 4 ? 1 : i <= 7 ? 2 : 3} : int64_t{1});
        }
        db.Execute(sql + ") VALUES (" + vals + ")", p);
    }
}

void LoadCostPlan(db::Database& db, const std::filesystem::path& dir) {
    db.Execute("INSERT INTO KontenplanVerzeichnis (Bezeichnung) VALUES ('DIN 276 Kostengruppen')");
    const int64_t plan = db.LastInsertId();
    for (const auto& r : MasterDataLoader::ReadCsv(dir / "kostengruppen-din276.csv")) {
        if (r.size() != 2) throw std::runtime_error("kostengruppen-din276.csv: Spaltenzahl");
        db.Execute("INSERT INTO KONTENPL (LfNrVerz, Kostenstelle, BText) VALUES (:p, :k, :t)",
                   Params().Set("p", plan).Set("k", r[0]).Set("t", r[1]));
    }
}

void LoadTemplates(db::Database& db) {
    for (const auto& v : GelieferteDruckvorlagen()) {
        db.Execute(
            "INSERT INTO DruckVorlagen (Dokumentart, Bezeichnung, RandOben, RandUnten, RandLINKS, "
            "RandRechts, KopfTX, KopfFo, FussTx, FussFO, TextVorlagen, TextVorlagenFO, UNICODEFLAG) "
            "VALUES (:art, :bez, :oben, :unten, :links, :rechts, :kopf, :fo, :fuss, :fo, :text, :fo, 1)",
            Params()
                .Set("art", int64_t{v.dokumentart})
                .Set("bez", v.bezeichnung)
                .Set("oben", int64_t{GelieferteRaender[0]})
                .Set("unten", int64_t{GelieferteRaender[1]})
                .Set("links", int64_t{GelieferteRaender[2]})
                .Set("rechts", int64_t{GelieferteRaender[3]})
                .Set("kopf", v.kopf)
                .Set("fuss", v.fuss)
                .Set("text", v.text)
                .Set("fo", std::string("velu-doc")));
    }
}

} // namespace

int64_t MasterDataLoader::EuroToDMRaw(int64_t euro) {
    if (euro < 0) throw std::runtime_error("negativer Tafelwert");
    // euro × 195583 is exact in hundred-thousandths of a DM; half a ten-thousandth rounds up.
    return (euro * 195583 + 5) / 10;
}

std::vector<MasterDataLoader::Row> MasterDataLoader::ReadCsv(const std::filesystem::path& file) {
    std::ifstream in(file, std::ios::binary);
    if (!in) throw std::runtime_error("Datei fehlt: " + file.string());
    std::vector<Row> rows;
    std::string line;
    bool header = true;
    while (std::getline(in, line)) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (header) {
            header = false;
            continue;
        }
        if (line.empty()) continue;
        Row r;
        std::string cur;
        bool quoted = false;
        for (size_t i = 0; i < line.size(); ++i) {
            char ch = line[i];
            if (quoted) {
                if (ch == '"' && i + 1 < line.size() && line[i + 1] == '"') {
                    cur += '"';
                    ++i;
                } else if (ch == '"') {
                    quoted = false;
                } else {
                    cur += ch;
                }
            } else if (ch == '"') {
                quoted = true;
            } else if (ch == ',') {
                r.push_back(cur);
                cur.clear();
            } else {
                cur += ch;
            }
        }
        r.push_back(cur);
        rows.push_back(std::move(r));
    }
    return rows;
}

void MasterDataLoader::Load(db::Database& db, const std::filesystem::path& csvDir) {
    db::Transaction tx(db);
    std::map<std::string, TableInfo> tables;
    for (const auto& f : kFeeTables)
        tables[f.file] = LoadFeeTable(db, csvDir, f);
    auto catalogues = LoadPointsCatalogues(db, csvDir);
    LoadProfiles(db, csvDir, tables, catalogues);
    LoadCostPlan(db, csvDir);
    LoadTemplates(db);
    tx.Commit();
}

} // namespace velu
