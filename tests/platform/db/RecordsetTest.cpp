#include "TestDir.h"

#include "core/Currency.h"
#include "core/Money.h"
#include "platform/db/Database.h"
#include "platform/db/DbError.h"
#include "platform/db/Recordset.h"

#include <gtest/gtest.h>

using namespace velu::db;

namespace {

class RecordsetTest : public ::testing::Test {
protected:
    void SetUp() override {
        db = Database::Create(dir / "Velupro32.mdb");
        ASSERT_TRUE(db);
        db->Execute("CREATE TABLE Kosten (ID INTEGER PRIMARY KEY AUTOINCREMENT, Art TEXT, AKosten CURRENCY, "
                    "Erledigt INTEGER NOT NULL DEFAULT 0, Datum TEXT DEFAULT '2001-01-01');"
                    "INSERT INTO Kosten (Art, AKosten, Erledigt) VALUES ('Porto', 15000000, -1), "
                    "('Kopien', 15000100, 0), ('Fahrt', 15000101, 0), ('Reise', -922337203685477, -1);"
                    "CREATE TABLE Notiz (Text TEXT)");
    }
    TestDir dir;
    std::unique_ptr<Database> db;
};

} // namespace

TEST_F(RecordsetTest, NavigationAndFieldAccessByNameWithoutCase) {
    auto rs = db->OpenRecordset("SELECT Art, AKosten FROM Kosten ORDER BY ID");
    EXPECT_EQ(rs.RecordCount(), 4);
    EXPECT_EQ(rs.FieldNames(), (std::vector<std::string>{"Art", "AKosten"})) << "hidden key is not listed";
    EXPECT_FALSE(rs.HasField("ID"));
    EXPECT_EQ(rs.GetText("ART"), "Porto");
    rs.MoveLast();
    EXPECT_EQ(rs.GetText("art"), "Reise");
    rs.MoveNext();
    EXPECT_TRUE(rs.EOF_());
    EXPECT_THROW(rs.Get("Art"), DbError);
    EXPECT_THROW(rs.MoveNext(), DbError);
    rs.MoveFirst();
    rs.MovePrevious();
    EXPECT_TRUE(rs.BOF());
    EXPECT_THROW(rs.Get("Nix"), DbError);
    auto empty = db->OpenRecordset("SELECT * FROM Kosten WHERE 0");
    EXPECT_TRUE(empty.Empty() && empty.BOF() && empty.EOF_());
}

TEST_F(RecordsetTest, VariantLikeGetters) {
    db->Execute("CREATE TABLE v (a, b, c, d, e)");
    db->Execute("INSERT INTO v VALUES (' 12 ', 2.5, 3.5, NULL, 'Wahr')");
    auto rs = db->OpenRecordset("SELECT * FROM v");
    EXPECT_EQ(rs.GetInt("a"), 12);
    EXPECT_EQ(rs.GetInt("b"), 2) << "half to even";
    EXPECT_EQ(rs.GetInt("c"), 4);
    EXPECT_EQ(rs.GetInt("d", 7), 7);
    EXPECT_TRUE(rs.IsNull("d"));
    EXPECT_EQ(rs.GetText("d", "leer"), "leer");
    EXPECT_EQ(rs.GetText("b"), "2.5");
    EXPECT_DOUBLE_EQ(rs.GetDouble("a"), 12.0);
    EXPECT_EQ(rs.GetInt("e", -5), -5);
    EXPECT_TRUE(rs.GetBool("e"));
    EXPECT_TRUE(rs.GetBool("d", true));
    auto k = db->OpenRecordset("SELECT Erledigt FROM Kosten ORDER BY ID");
    EXPECT_TRUE(k.GetBool("Erledigt"));
    EXPECT_EQ(k.GetInt("Erledigt"), True);
    k.MoveNext();
    EXPECT_FALSE(k.GetBool("Erledigt", true));
}

TEST_F(RecordsetTest, CurrencyRoundTripsExactly) {
    const int64_t raws[] = {922337203685477, -922337203685477, INT64_MAX, INT64_MIN, 1, -1, 0};
    auto rs = db->OpenRecordset("SELECT ID, AKosten FROM Kosten");
    EXPECT_EQ(rs.DeclType("akosten"), "CURRENCY");
    for (int64_t raw : raws) {
        rs.AddNew();
        velu::SetCY(rs, "AKosten", velu::Currency::FromRaw(raw));
        rs.Update();
        auto back = db->OpenRecordset("SELECT AKosten FROM Kosten WHERE ID = ?", Params().Add(rs.Key()));
        EXPECT_EQ(velu::GetCY(back, "AKosten").Raw(), raw);
        EXPECT_EQ(back.GetInt("AKosten"), raw) << "getters give the raw ten-thousandths";
    }
    EXPECT_EQ(db->OpenRecordset("SELECT AKosten * 2 AS x FROM Kosten").DeclType("x"), "");
}

TEST_F(RecordsetTest, FindWithCriteria) {
    auto rs = db->OpenRecordset("SELECT * FROM Kosten ORDER BY ID");
    struct Case {
        const char* criteria;
        int first, last; // ID, 0 = no match
    } cases[] = {
        {"AKosten <= 1500.01", 1, 4},
        {"AKosten <=  1500.01", 1, 4},
        {"AKosten > 1500.01", 3, 3},
        {"AKosten = 1500.0100", 2, 2},
        {"AKosten = 1500.0101", 3, 3},
        {"AKosten < -92233720368.5476", 4, 4},
        {"AKosten = 1500.01 AND Art = 'kopien'", 2, 2},
        {"AKosten = 1500.01 and Art = \"Porto\"", 0, 0},
        {"Erledigt <> 0", 1, 4},
        {"Art >= 'K' AND Art < 'Q'", 1, 2},
        {"Datum = '2001-01-01'", 1, 4},
        {"[Art] = 'O''Brien'", 0, 0},
    };
    for (const auto& c : cases) {
        rs.MoveFirst();
        rs.MoveNext(); // a failed find keeps this position
        EXPECT_EQ(rs.FindFirst(c.criteria), c.first != 0) << c.criteria;
        EXPECT_EQ(rs.NoMatch(), c.first == 0);
        EXPECT_EQ(rs.GetInt("ID"), c.first ? c.first : 2) << c.criteria;
        EXPECT_EQ(rs.FindLast(c.criteria), c.last != 0) << c.criteria;
        EXPECT_EQ(rs.GetInt("ID"), c.last ? c.last : 2) << c.criteria;
    }
    ASSERT_TRUE(rs.FindFirst("Erledigt = -1"));
    ASSERT_TRUE(rs.FindNext("Erledigt = -1"));
    EXPECT_EQ(rs.GetInt("ID"), 4);
    EXPECT_FALSE(rs.FindNext("Erledigt = -1"));
    EXPECT_TRUE(rs.FindPrevious("Erledigt = -1"));
    EXPECT_EQ(rs.GetInt("ID"), 1);
    for (const char* bad :
         {"AKosten", "AKosten <= ", "AKosten ~ 1", "Art = 'offen", "Nix = 1", "A = 1 OR B = 2"})
        EXPECT_THROW(rs.FindFirst(bad), DbError) << bad;
}

TEST_F(RecordsetTest, EditAddNewDeleteByKey) {
    auto rs = db->OpenRecordset(
        "SELECT Art, AKosten, Erledigt, Datum FROM Kosten WHERE Art <> 'Reise' ORDER BY Art");
    ASSERT_EQ(rs.GetText("Art"), "Fahrt");
    rs.Edit();
    rs.Set("Art", std::string("Bahnfahrt"));
    EXPECT_EQ(rs.GetText("Art"), "Bahnfahrt") << "edit buffer is read while editing";
    rs.Update();
    EXPECT_EQ(rs.Key(), 3);
    EXPECT_EQ(db->OpenRecordset("SELECT Art FROM Kosten WHERE ID = 3").GetText("Art"), "Bahnfahrt");

    rs.Edit();
    rs.Set("Art", std::string("verworfen"));
    rs.CancelUpdate();
    EXPECT_EQ(rs.GetText("Art"), "Bahnfahrt");

    rs.AddNew();
    rs.Set("Art", std::string("Neu"));
    rs.Update();
    EXPECT_EQ(rs.Key(), 5);
    EXPECT_EQ(rs.GetText("Art"), "Neu");
    EXPECT_EQ(rs.GetText("Datum"), "2001-01-01") << "defaults are read back";
    EXPECT_EQ(rs.GetInt("Erledigt", 99), 0);
    EXPECT_EQ(rs.RecordCount(), 4);

    // Delete in the usual loop: Delete, MoveNext.
    rs.MoveFirst();
    while (!rs.EOF_()) {
        if (rs.GetText("Art") != "Porto") rs.Delete();
        rs.MoveNext();
    }
    EXPECT_EQ(rs.RecordCount(), 1);
    auto left = db->OpenRecordset("SELECT Art FROM Kosten ORDER BY ID");
    ASSERT_EQ(left.RecordCount(), 2);
    EXPECT_EQ(left.GetText("Art"), "Porto");

    // Edits of a row someone else deleted are reported, not lost silently.
    auto stale = db->OpenRecordset("SELECT ID, Art FROM Kosten WHERE Art = 'Porto'");
    db->Execute("DELETE FROM Kosten WHERE Art = 'Porto'");
    stale.Edit();
    stale.Set("Art", std::string("x"));
    EXPECT_THROW(stale.Update(), DbError);
}

TEST_F(RecordsetTest, KeysOfRowidTablesAndReadOnlyResults) {
    auto notes = db->OpenRecordset("SELECT Text FROM Notiz");
    notes.AddNew();
    notes.Set("text", std::string("erste"));
    notes.Update();
    EXPECT_EQ(notes.Key(), 1);
    notes.Edit();
    notes.Set("Text", std::string("geändert"));
    notes.Update();
    EXPECT_EQ(db->OpenRecordset("SELECT rowid, Text FROM Notiz").GetText("Text"), "geändert");
    auto withRowid = db->OpenRecordset("SELECT rowid, Text FROM Notiz");
    EXPECT_EQ(withRowid.Key(), 1);

    const char* readOnly[] = {
        "SELECT Art, COUNT(*) AS n FROM Kosten GROUP BY Art",
        "SELECT DISTINCT Art FROM Kosten",
        "SELECT Art FROM Kosten UNION SELECT Text FROM Notiz",
        "SELECT k.Art, n.Text FROM Kosten k, Notiz n",
        "SELECT 1 AS eins",
    };
    for (const char* sql : readOnly) {
        auto rs = db->OpenRecordset(sql);
        EXPECT_THROW(rs.Edit(), DbError) << sql;
        EXPECT_THROW(rs.AddNew(), DbError) << sql;
        EXPECT_THROW(rs.Delete(), DbError) << sql;
    }
    auto expr = db->OpenRecordset("SELECT ID, AKosten * 2 AS Doppelt FROM Kosten");
    expr.Edit();
    EXPECT_THROW(expr.Set("Doppelt", int64_t{1}), DbError);
    EXPECT_THROW(db->OpenRecordset("SELECT 1; SELECT 2"), DbError);
}

TEST_F(RecordsetTest, RequeryKeepsThePositionByKey) {
    auto rs = db->OpenRecordset("SELECT ID, Art FROM Kosten ORDER BY Art");
    ASSERT_TRUE(rs.FindFirst("Art = 'Porto'"));
    db->Execute("INSERT INTO Kosten (Art) VALUES ('Aaa')");
    rs.Requery();
    EXPECT_EQ(rs.RecordCount(), 5);
    EXPECT_EQ(rs.GetText("Art"), "Porto");
}

TEST_F(RecordsetTest, ChangingAVisibleKeyMovesTheRow) {
    auto rs = db->OpenRecordset("SELECT * FROM Kosten WHERE ID = 1");
    rs.Edit();
    rs.Set("id", int64_t{100});
    rs.Update();
    EXPECT_EQ(rs.Key(), 100);
    EXPECT_EQ(rs.GetText("Art"), "Porto");
    rs.AddNew();
    rs.Set("ID", int64_t{200});
    rs.Set("AKosten", int64_t{5});
    rs.Update();
    EXPECT_EQ(rs.Key(), 200);
    EXPECT_EQ(db->OpenRecordset("SELECT AKosten FROM Kosten WHERE ID = 200").GetInt("AKosten"), 5);
}

TEST_F(RecordsetTest, ReopenedQueriesSeeSchemaChangesAndNewRows) {
    // The same query text is served from kept statements; a schema change must not leave it describing the
    // old table, and rows written in between must be read.
    const char* sql = "SELECT * FROM Kosten ORDER BY ID";
    EXPECT_EQ(db->OpenRecordset(sql).FieldNames().size(), 5u);
    db->Execute("ALTER TABLE Kosten ADD COLUMN Bemerkung TEXT DEFAULT 'neu'");
    auto rs = db->OpenRecordset(sql);
    ASSERT_EQ(rs.FieldNames().size(), 6u);
    EXPECT_EQ(rs.GetText("Bemerkung"), "neu");
    for (const char* art : {"Porto", "Fahrt"}) {
        const Value v = std::string(art);
        rs.AddNew();
        rs.Set("Art", v);
        rs.Update();
    }
    EXPECT_EQ(db->OpenRecordset(sql).RecordCount(), 6);
    // A kept statement holds no read lock: another connection can write at once.
    auto other = Database::Open(dir / "Velupro32.mdb");
    ASSERT_TRUE(other);
    const Value porto = std::string("Porto");
    other->Execute("DELETE FROM Kosten WHERE Art = ?1", Params().Add(porto));
    EXPECT_EQ(db->OpenRecordset(sql).RecordCount(), 4);
}
