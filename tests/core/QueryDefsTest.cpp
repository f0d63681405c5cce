#include "core/QueryDefs.h"
#include "TestDir.h"
#include "core/DatabaseSetup.h"
#include "platform/db/QueryDef.h"
#include "platform/db/Recordset.h"

#include <gtest/gtest.h>
#include <sqlite3.h>

using namespace velu;

namespace {

// Every stored query of a database prepares against that database.
void ExpectAllPrepare(db::Database& db, size_t expected) {
    auto rs = db.OpenRecordset("SELECT Name, SQL FROM _QueryDefs");
    EXPECT_EQ(static_cast<size_t>(rs.RecordCount()), expected);
    for (; !rs.EOF_(); rs.MoveNext()) {
        sqlite3_stmt* st = nullptr;
        int rc = sqlite3_prepare_v2(db.Handle(), rs.GetText("SQL").c_str(), -1, &st, nullptr);
        EXPECT_EQ(rc, SQLITE_OK) << rs.GetText("Name") << ": " << sqlite3_errmsg(db.Handle());
        sqlite3_finalize(st);
    }
}

} // namespace

TEST(QueryDefsTest, EveryStoredQueryPrepares) {
    TestDir dir;
    auto p = DatabaseSetup::CreateProjektDB(dir / "p.mdb");
    auto s = DatabaseSetup::CreateStammDB(dir / "s.mdb");
    ASSERT_TRUE(p && s);
    ExpectAllPrepare(*p, QueryDefs::Projekt().size());
    ExpectAllPrepare(*s, QueryDefs::Stamm().size());
}

TEST(QueryDefsTest, QueriesCarryTheParametersTheirCallersSet) {
    struct Case {
        bool projekt;
        const char* name;
        std::vector<std::string> params;
    };
    const Case cases[] = {
        {true, "Rechnungsübersicht", {}},
        {true, "GetAllNotConectLB", {"LFNR"}},
        {true, "GetLBConnection", {"LfNrBeReList", "ZuordnungAnlGrp"}},
        {true, "CopyGrunddaten", {"NewNr", "SelectNr"}},
        {true, "CopyStdRePos", {"NewNr", "SelectNr"}},
        {true, "GetGrunddaten", {"LfNrBeReListx", "AnlageGruppex"}},
        {true, "GetAnrechenbareKosten", {"PhaseAktiv", "AnlageGrNr", "LfNrBeReList"}},
        {true, "DELLeistungsbild", {"LfNrBeReList", "AnlageGr"}},
        {true, "delPunkteTab", {"Lfnr", "ZuOrdGrupp"}},
        {true, "AktPhasenText", {"PhTX1", "PhTX2", "PhTX3", "GdLfnf"}},
        {true, "SetRechnungsdatum", {"DatumIn", "LfNr"}},
        {true, "ToStdRePosPrintAlDisp", {"Lfnr"}},
        {true, "GetLeistungsbild", {}}, // by position
        {false, "GetTafel", {"TafelLfnr"}},
        {false, "LoadTafelBezeichnungen", {"ALT"}},
        {false, "SetNewTafelKurzName", {"NEWBEZ", "Lfnr"}},
        {false, "GetPunkteverz", {"LfnRPunkteVerz"}},
        {false, "GetAkPasswort", {"name"}},
        {false, "SetNewPASSWORT", {"PW", "Benutzer"}},
        {false, "GetInfoTafelverz", {}}, // by position
    };
    for (const auto& c : cases) {
        const StoredQuery* q = QueryDefs::Find(c.projekt ? QueryDefs::Projekt() : QueryDefs::Stamm(), c.name);
        ASSERT_TRUE(q) << c.name;
        EXPECT_EQ(QueryDefs::Parameters(q->sql), c.params) << c.name;
    }
}

TEST(QueryDefsTest, CopiedCalculationKeepsItsOwnProfileLinks) {
    TestDir dir;
    auto db = DatabaseSetup::CreateProjektDB(dir / "p.mdb");
    // Calculation 1 with two plant groups, each linked to its profile row.
    db->Execute("INSERT INTO BeReList (ReBezeichnung, LfNr, Ursprung) VALUES ('a', 1, 1), ('b', 2, 1)");
    db->Execute("INSERT INTO Grunddaten (LfNrBeReList, AnlageGruppe, GrHonorarAb1) VALUES (1, 1, 10000), (1, "
                "2, 20000)");
    db->Execute(
        "INSERT INTO Leistungsbild (LfNrBeReList, ZuordnungAnlGrp, LeistungsbildBez) VALUES (1, 1, 'x'), "
        "(1, 2, 'y')");
    db->Execute("INSERT INTO ZuLP (LfNrBeReList, ZuordnungAnlGrp, ZuAb, LP) VALUES (1, 1, 50000, 2)");
    // The register's order: Grunddaten, then Leistungsbild, then LBConnect.
    for (const char* name : {"CopyZuLP", "CopyGrunddaten", "Copyleistungsbild"}) {
        auto q = db->GetQueryDef(name);
        ASSERT_TRUE(q) << name;
        q->SetParameter("SelectNr", 1.0).SetParameter("NewNr", int64_t{2}).Execute();
    }
    auto notConnected = db->GetQueryDef("GetAllNotConectLB");
    notConnected->SetParameter("LFNR", int64_t{2});
    EXPECT_TRUE(notConnected->OpenRecordset().Empty());
    for (int64_t grp : {1, 2}) {
        auto lb = db->GetQueryDef("GetLBConnection");
        lb->SetParameter("LfNrBeReList", int64_t{2}).SetParameter("ZuordnungAnlGrp", grp);
        auto rs = lb->OpenRecordset();
        ASSERT_FALSE(rs.Empty());
        auto gd = db->GetQueryDef("GetGrunddaten");
        gd->SetParameter("LfNrBeReListx", int64_t{2}).SetParameter("AnlageGruppex", grp);
        auto g = gd->OpenRecordset();
        EXPECT_EQ(g.GetInt("ZuordnungLBTabelle"), rs.GetInt("LfNr"));
        EXPECT_EQ(g.GetInt("GrHonorarAb1"), grp * 10000);
        // The profile row really belongs to the copy, not to the source.
        auto own = db->GetQueryDef("GetLeistungsbild");
        own->SetParameter(1, rs.GetInt("LfNr"));
        EXPECT_EQ(own->OpenRecordset().GetInt("LfNrBeReList"), 2);
    }
    auto sum = db->GetQueryDef("SummZuLP");
    sum->SetParameter("LfNrBeReList", int64_t{2}).SetParameter("ZuordnungAnlGrp", int64_t{1});
    auto rs = sum->OpenRecordset();
    ASSERT_EQ(rs.RecordCount(), 1);
    EXPECT_EQ(rs.GetInt("SummZuAb"), 50000);
    EXPECT_EQ(rs.GetInt("LP"), 2);
}

TEST(QueryDefsTest, PrintTablesInEitherCurrency) {
    TestDir dir;
    auto db = DatabaseSetup::CreateProjektDB(dir / "p.mdb");
    db->Execute("INSERT INTO BeReList (ReBezeichnung, LfNr, Endbetrag, AlDispEndbetrag, MwstPro) "
                "VALUES ('a', 5, 1955830, 1000000, 160000), ('b', 6, 1, 1, 0)");
    struct Case {
        const char* fill;
        int64_t main, twin;
    };
    for (const Case& c :
         {Case{"TOBerelistPrint", 1955830, 1000000}, Case{"TOBerelistPrintAlDisp", 1000000, 1955830}}) {
        db->GetQueryDef("KillBeRelistPrint")->Execute();
        auto fill = db->GetQueryDef(c.fill);
        fill->SetParameter("Lfnr", int64_t{5});
        EXPECT_EQ(fill->Execute(), 1);
        auto get = db->GetQueryDef("GetBerelistPrint");
        get->SetParameter("LfnrIn", int64_t{5});
        auto rs = get->OpenRecordset();
        ASSERT_EQ(rs.RecordCount(), 1) << c.fill;
        EXPECT_EQ(rs.GetInt("Endbetrag"), c.main) << c.fill;
        EXPECT_EQ(rs.GetInt("aldispEndbetrag"), c.twin) << c.fill;
        EXPECT_EQ(rs.GetInt("MwstPro"), 160000) << c.fill; // percentages have no twin
    }
}
