#include "core/Migration.h"

#include "core/ProjektSchema.h"
#include "platform/db/DbError.h"
#include "platform/db/Recordset.h"

#include <algorithm>
#include <cctype>
#include <set>
#include <stdexcept>
#include <system_error>

namespace velu {

namespace {

using schema::ColType;
using schema::EqualsNoCase;

// Twin = older DM amount / 1.95583, kept to four places (whole ten-thousandths).
std::string TwinOf(const std::string& column) {
    return "CAST(round(" + column + " / 1.95583) AS INTEGER)";
}

struct NoCaseLess {
    bool operator()(const std::string& a, const std::string& b) const {
        return std::lexicographical_compare(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
            return std::tolower(static_cast<unsigned char>(x)) < std::tolower(static_cast<unsigned char>(y));
        });
    }
};
using NameSet = std::set<std::string, NoCaseLess>;

NameSet OldColumns(db::Database& db, const std::string& table) {
    NameSet cols;
    auto rs = db.OpenRecordset("SELECT name FROM pragma_table_info(:t, 'alt')", db::Params().Set("t", table));
    for (; !rs.EOF_(); rs.MoveNext())
        cols.insert(rs.GetText("name"));
    if (cols.empty()) throw std::runtime_error("In der alten Datenbank fehlt die Tabelle " + table + ".");
    return cols;
}

std::string Join(const std::vector<std::string>& parts) {
    std::string s;
    for (size_t i = 0; i < parts.size(); ++i)
        s += (i ? ", " : "") + parts[i];
    return s;
}

struct TableCopy {
    const char* table;
    bool twins;                                                 // fill the twins from the DM amounts
    std::vector<std::string> leaveOut;                          // keep the new database's defaults
    std::vector<std::pair<std::string, std::string>> constants; // column, value
    std::vector<std::string> zeroWhenMissing;                   // 0 where the older layout lacks the column
};

void CopyTable(db::Database& db, const TableCopy& c) {
    const auto& t = ProjektSchema::Get().Get(c.table);
    const NameSet old = OldColumns(db, c.table);
    auto listed = [](const std::vector<std::string>& v, const std::string& n) {
        for (const auto& x : v)
            if (EqualsNoCase(x, n)) return true;
        return false;
    };
    std::vector<std::string> target, source;
    for (const auto& col : t.columns) {
        const std::string& n = col.name;
        if (listed(c.leaveOut, n)) continue;
        std::string expr;
        for (const auto& [name, value] : c.constants)
            if (EqualsNoCase(name, n)) expr = value;
        const bool isTwin = col.type == ColType::Currency && n.rfind("AlDisp", 0) == 0 && t.Has(n.substr(6));
        if (expr.empty()) {
            if (isTwin && c.twins && old.count(n.substr(6)))
                expr = TwinOf(n.substr(6));
            else if (!isTwin && old.count(n))
                expr = n;
            else if (listed(c.zeroWhenMissing, n))
                expr = "0";
        }
        if (expr.empty()) continue;
        target.push_back(n);
        source.push_back(expr);
    }
    db.Execute("INSERT INTO main." + t.name + " (" + Join(target) + ") SELECT " + Join(source) +
               " FROM alt." + t.name);
}

// One profile row per older basic-data row; the older layout kept the profile inside Grunddaten.
void CopyProfiles(db::Database& db) {
    const NameSet old = OldColumns(db, "Grunddaten");
    const auto& lb = ProjektSchema::Get().Get("Leistungsbild");
    std::vector<std::string> target, source;
    for (const auto& col : lb.columns) {
        const std::string& n = col.name;
        if (col.type == ColType::Key) continue;
        if (EqualsNoCase(n, "ZuordnungAnlGrp")) {
            if (!old.count("Anlagegruppe")) continue;
            target.push_back(n);
            source.push_back("Anlagegruppe");
        } else if (old.count(n)) {
            target.push_back(n);
            source.push_back(n);
        }
    }
    db.Execute("INSERT INTO main.Leistungsbild (" + Join(target) + ") SELECT " + Join(source) +
               " FROM alt.Grunddaten ORDER BY LfNr");
}

void RemoveFile(const std::filesystem::path& p) {
    std::error_code ec;
    std::filesystem::remove(p, ec);
}

} // namespace

const std::string& Migration::FrageText() {
    static const std::string text = "Es wurden Berechnungen mit einer älteren Version der HOAI gefunden.\n"
                                    "Sollen diese Daten übernommen werden ?\n"
                                    "Hinweis: Die alte Berechnungen wird nicht gelöscht.";
    return text;
}

void Migration::CopyAltBerechnungen(db::Database& db) {
    const std::vector<std::string> site = {"KOST57", "PSatz57", "Fertigstell57", "Pausch57",
                                           "AlDispPausch57"};
    const TableCopy copies[] = {
        {"Projektaufwand",
         true,
         {"HIDE"},
         {{"INPUTType", "0"}, {"DisplayType", "0"}, {"SchonVerbucht", "-1"}},
         {}},
        {"PunkteTab", false, {}, {}, {}},
        {"StdRePos", true, {}, {}, {}},
        {"Zahlung", true, {}, {}, {}},
        {"ZuBerNetto", true, {}, {{"Dummy", "0"}}, {}},
        {"ZuBrutto", true, {}, {{"Dummy", "0"}}, {}},
        {"ZuLP", false, {}, {}, {}},
        {"ZuNetto", true, {}, {}, {}},
        {"AnrechenbareKosten", true, {}, {}, {}},
        {"BeReList", true, {"INPUTType", "DisplayType", "Gruppenbezeichnung"}, {}, site},
    };
    for (const auto& c : copies)
        CopyTable(db, c);
    CopyProfiles(db);
    // Twins of Grunddaten are filled by FillAlDisp.
    CopyTable(db, {"Grunddaten",
                   false,
                   {},
                   {{"ZuordnungLBTabelle", "0"}, {"INPUTType", "0"}, {"DisplayType", "0"}},
                   {}});
}

void Migration::FillAlDisp(db::Database& db) {
    const auto& gd = ProjektSchema::Get().Get("Grunddaten");
    std::vector<std::string> sets;
    for (const auto& x : gd.TwinnedColumns())
        sets.push_back("AlDisp" + x + " = " + TwinOf(x));
    db.Execute("UPDATE Grunddaten SET " + Join(sets));
    db.Execute(
        "UPDATE Grunddaten SET ZuordnungLBTabelle = (SELECT Max(Leistungsbild.LfNr) FROM Leistungsbild "
        "WHERE Leistungsbild.ZuordnungAnlGrp = Grunddaten.AnlageGruppe "
        "AND Leistungsbild.LfNrBeReList = Grunddaten.LfNrBeReList) "
        "WHERE EXISTS (SELECT 1 FROM Leistungsbild WHERE Leistungsbild.ZuordnungAnlGrp = "
        "Grunddaten.AnlageGruppe "
        "AND Leistungsbild.LfNrBeReList = Grunddaten.LfNrBeReList)");
}

Migration::Result Migration::UpdateAltDaten(const std::filesystem::path& alt,
                                            const std::filesystem::path& neu, const Frage& frage,
                                            const Meldung& meldung) {
    if (!frage(FrageText())) return Result::Declined;
    std::filesystem::path tmp = neu;
    tmp += ".neu";
    std::filesystem::path tmpLock = tmp;
    tmpLock += ".lck";
    try {
        RemoveFile(tmp);
        std::filesystem::copy_file(neu, tmp);
        {
            std::string error;
            auto db = db::Database::Open(tmp, db::OpenMode::Exclusive, &error);
            if (!db) throw std::runtime_error(error);
            if (!std::filesystem::exists(alt)) throw std::runtime_error(alt.string() + " fehlt.");
            db->Attach(alt, "alt");
            {
                db::Transaction tx(*db);
                CopyAltBerechnungen(*db);
                FillAlDisp(*db);
                tx.Commit();
            }
            db->Detach("alt");
        }
        RemoveFile(tmpLock);
        std::filesystem::rename(tmp, neu);
        return Result::Migrated;
    } catch (const std::exception& e) {
        RemoveFile(tmp);
        RemoveFile(tmpLock);
        RemoveFile(neu);
        meldung("Die Berechnungen der älteren Version konnten nicht übernommen werden.\n" +
                std::string(e.what()) + "\nDie Übernahme wird beim nächsten Start erneut angeboten.");
        return Result::Failed;
    }
}

} // namespace velu
