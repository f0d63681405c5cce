#include "register/BeReListKette.h"

#include "BeReListTestDB.h"

#include "core/CurrencyPrint.h"
#include "platform/db/Database.h"
#include "platform/db/Recordset.h"
#include "platform/db/TempFolder.h"

#include <gtest/gtest.h>

#include <memory>

using velu::Currency;
namespace db = velu::db;

namespace {

Currency C(const char* s) {
    return Currency::FromString(s);
}

// Percents through their column type, everything else as an amount.
void Setze(db::Recordset& rs, std::string_view feld, Currency wert) {
    for (const char* p : BeReListProzente)
        if (feld == p) return velu::SetzeProzent(rs, feld, wert);
    velu::SetCY(rs, feld, wert);
}

// The register table with the columns of the project database; percents in the given column type.
class BeReListKette : public ::testing::TestWithParam<const char*> {
protected:
    void SetUp() override {
        db_ = db::Database::Create(dir_ / "Velupro32.mdb");
        ASSERT_TRUE(db_);
        BeReListAnlegen(*db_, GetParam());
    }

    // A new row with the given fields (name, value) and the recordset positioned on it.
    db::Recordset Zeile(std::initializer_list<std::pair<const char*, Currency>> werte) {
        db::Recordset rs = db_->OpenRecordset("SELECT * FROM BeReList");
        rs.AddNew();
        for (const auto& [feld, wert] : werte)
            Setze(rs, feld, wert);
        rs.Update();
        return rs;
    }

    db::Recordset Gespeichert(int64_t lfnr) {
        db::Params p;
        p.Set("nr", lfnr);
        db::Recordset rs = db_->OpenRecordset("SELECT * FROM BeReList WHERE LfNr = :nr", p);
        rs.MoveFirst();
        return rs;
    }

    TempFolder dir_;
    std::unique_ptr<db::Database> db_;
};

} // namespace

INSTANTIATE_TEST_SUITE_P(Prozentspalten, BeReListKette, ::testing::Values("CURRENCY", "DOUBLE"));

TEST_P(BeReListKette, BothRunsStoreTheChainOfTheirCurrency) {
    auto rs = Zeile({{"BerNetto", C("1000")},
                     {"AlDispBerNetto", C("511.29")},
                     {"InZuSchBerNettoPro", C("10")},
                     {"InZuSchBerNettoDM", C("50")},
                     {"AlDispInZuSchBerNettoDM", C("25.5646")},
                     {"MwstPro", C("16")},
                     {"SummAz", C("200")},
                     {"AlDispSummAz", C("102.2584")},
                     {"SkontoPro", C("2")}});
    const auto status = velu::CalcRechnungBeide(*db_, rs, "R");
    ASSERT_TRUE(status.Ok()) << status.fehler;

    auto g = Gespeichert(rs.Key());
    struct Case {
        const char *feld, *wert;
    } cases[] = {
        {"InZuSchBerNettoProDM", "100"},
        {"ZuAbBrNetto", "150"},
        {"ZwSumm", "1150"},
        {"MwstDM", "184"},
        {"Brutto", "1334"},
        {"ZuAbBrutto", "0"},
        {"Skontofaehig", "1134"},
        {"SkontoDM", "-22.68"},
        {"Endbetrag", "1111.32"},
        {"Mwstenthalten", "153.29"},
        {"StdReNetZuAbProDM", "0"},
        {"AlDispZwSumm", "587.98"},
        {"AlDispEndbetrag", "568.2"},
        {"AlDispMwstenthalten", "78.37"},
        {"AlDispSkontoDM", "-11.6"},
        {"AlDispInZuSchBerNettoProDM", "51.13"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(velu::GetCY(g, c.feld), C(c.wert)) << c.feld;
    // Both runs leave the percents alone.
    EXPECT_EQ(velu::LeseProzent(g, "MwstPro"), C("16"));
    EXPECT_EQ(velu::LeseProzent(g, "InZuSchBerNettoPro"), C("10"));
}

TEST_P(BeReListKette, NullRowStoresZeroEverywhere) {
    auto rs = Zeile({});
    ASSERT_TRUE(velu::CalcRechnungBeide(*db_, rs, "S").Ok());
    auto g = Gespeichert(rs.Key());
    for (const char* prefix : {"", "AlDisp"})
        for (const char* feld : {"StdReNetZuAbProDM", "StdReBrZuAbProDM", "InZuSchBerNettoProDM",
                                 "ZuAbBrNetto", "ZwSumm", "MwstDM", "Brutto", "InZuSchBruttoProDM",
                                 "ZuAbBrutto", "Skontofaehig", "SkontoDM", "Endbetrag", "Mwstenthalten"}) {
            const std::string f = std::string(prefix) + feld;
            EXPECT_FALSE(g.IsNull(f)) << f;
            EXPECT_EQ(velu::GetCY(g, f), Currency{}) << f;
        }
}

TEST_P(BeReListKette, InvalidVatRateIsRefusedAndChangesNothing) {
    auto rs = Zeile({{"BerNetto", C("100")}, {"MwstPro", C("-100")}, {"Endbetrag", C("42")}});
    const auto s = velu::CalcRechnungBeide(*db_, rs, "R");
    EXPECT_EQ(s.fehler, "Der MwSt.-Satz muss größer als -100 sein.");
    EXPECT_EQ(velu::GetCY(Gespeichert(rs.Key()), "Endbetrag"), C("42"));

    auto ok = Zeile({{"MwstPro", C("16")}});
    struct Case {
        const char* feld;
        const char* wert;
        bool angenommen;
    } cases[] = {
        {"MwstPro", "-100", false}, {"MWSTPRO", "-250", false},  {"MwstPro", "-99.99", true},
        {"MwstPro", "19", true},    {"SkontoPro", "-100", true},
    };
    for (const auto& c : cases) {
        const auto st = velu::PutProzent(ok, c.feld, C(c.wert));
        EXPECT_EQ(st.Ok(), c.angenommen) << c.feld << " " << c.wert;
        if (c.angenommen) {
            EXPECT_EQ(velu::LeseProzent(Gespeichert(ok.Key()), c.feld), C(c.wert));
        }
    }
    EXPECT_EQ(velu::LeseProzent(Gespeichert(ok.Key()), "MwstPro"), C("19"));
}

TEST_P(BeReListKette, FailedWriteIsReportedAndRollsBackBothRuns) {
    auto rs = Zeile({{"BerNetto", C("1000")}, {"AlDispBerNetto", C("511.29")}, {"MwstPro", C("16")}});
    // Only the second (AlDisp) run fails, after the first one has been written.
    db_->Execute(
        "CREATE TRIGGER Sperre BEFORE UPDATE OF AlDispEndbetrag ON BeReList "
        "WHEN NEW.AlDispEndbetrag IS NOT OLD.AlDispEndbetrag BEGIN SELECT RAISE(ABORT, 'gesperrt'); END");
    const auto s = velu::CalcRechnungBeide(*db_, rs, "R");
    EXPECT_FALSE(s.Ok());
    EXPECT_EQ(s.fehler.rfind("Die Rechnungssummen konnten nicht gespeichert werden:\n", 0), 0u) << s.fehler;
    auto g = Gespeichert(rs.Key());
    EXPECT_TRUE(g.IsNull("Endbetrag")) << "first run rolled back";
    EXPECT_TRUE(g.IsNull("AlDispEndbetrag"));
    EXPECT_TRUE(rs.IsNull("Endbetrag")) << "recordset shows the stored row again";

    const auto einzeln = velu::CalcRechnung(rs, 1, "R");
    EXPECT_FALSE(einzeln.Ok());
    EXPECT_FALSE(rs.Editing());
}

TEST_P(BeReListKette, RepairWorksBackRateFromSubtotal) {
    struct Case {
        const char *mwstDM, *zwSumm;
        bool mitSatz;
        std::optional<const char*> satz;
    } cases[] = {
        {"184", "1150", false, "16"},
        {"0", "1150", false, std::nullopt},
        {"184", "0", false, std::nullopt},
        {"184", "1150", true, std::nullopt}, // a stored rate is never replaced
    };
    for (const auto& c : cases) {
        auto rs = Zeile({{"BerNetto", C("1000")}, {"MwstDM", C(c.mwstDM)}, {"ZwSumm", C(c.zwSumm)}});
        if (c.mitSatz) {
            ASSERT_TRUE(velu::PutProzent(rs, "MwstPro", C("7")).Ok());
        }
        std::optional<Currency> satz;
        ASSERT_TRUE(velu::RepariereMwstPro(rs, satz).Ok());
        ASSERT_EQ(satz.has_value(), c.satz.has_value()) << c.mwstDM << "/" << c.zwSumm;
        auto g = Gespeichert(rs.Key());
        if (c.satz) {
            EXPECT_EQ(*satz, C(*c.satz));
            EXPECT_EQ(velu::LeseProzent(g, "MwstPro"), C(*c.satz));
        } else {
            EXPECT_EQ(g.IsNull("MwstPro"), !c.mitSatz);
        }
    }
}

TEST_P(BeReListKette, NetFeesFromStoredQueries) {
    db_->Execute("CREATE TABLE Honorar (LfNrBeReList INTEGER, Betrag CURRENCY, Para TEXT);"
                 "CREATE TABLE ZuBerNetto (LfNrBeReList INTEGER, Pro CURRENCY, Betrag CURRENCY);"
                 "CREATE TABLE ZuBrutto (LfNrBeReList INTEGER, Pro CURRENCY, Betrag CURRENCY);"
                 "CREATE TABLE StdRePos (REZuordnung INTEGER, Betrag CURRENCY)");
    db_->SetQueryDef("GetLeistungsbildPara", "SELECT Para FROM Honorar WHERE LfNrBeReList = :BerListNr");
    db_->SetQueryDef("GETHonorarBerNetto", "SELECT SUM(Betrag) FROM Honorar WHERE LfNrBeReList = :BerListNr");
    db_->SetQueryDef("GetZuBerNetto",
                     "SELECT SUM(Pro), SUM(Betrag) FROM ZuBerNetto WHERE LfNrBeReList = :BerListNr");
    db_->SetQueryDef("GetZuBrutto",
                     "SELECT SUM(Pro), SUM(Betrag) FROM ZuBrutto WHERE LfNrBeReList = :BerListNr");
    db_->SetQueryDef("GetStdRePos", "SELECT SUM(Betrag) FROM StdRePos WHERE REZuordnung = :BerListNr");

    auto rs = Zeile({{"BerNetto", C("1")}});
    const int64_t nr = rs.Key();
    db::Params p;
    p.Set("nr", nr);
    db_->Execute("INSERT INTO Honorar VALUES (:nr, 10000000, '§ 15')", p);                  // 1000.00
    db_->Execute("INSERT INTO ZuBerNetto VALUES (:nr, 50000, 500000), (:nr, 50000, 0)", p); // 10 %, 50.00
    // No gross surcharges: the sums are Null and count as 0.

    ASSERT_TRUE(velu::CalcHonorarBerNetto(*db_, rs, nr, velu::DM).Ok());
    auto g = Gespeichert(nr);
    EXPECT_EQ(velu::GetCY(g, "BerNetto"), C("1000"));
    EXPECT_EQ(velu::GetCY(g, "AlDispBerNetto"), C("511.29"));
    EXPECT_EQ(velu::LeseProzent(g, "InZuSchBerNettoPro"), C("10"));
    EXPECT_EQ(velu::GetCY(g, "InZuSchBerNettoDM"), C("50"));
    EXPECT_EQ(velu::GetCY(g, "AlDispInZuSchBerNettoDM"), C("25.5646")) << "twin not rounded";
    EXPECT_EQ(velu::LeseProzent(g, "InZuSchBruttoPro"), Currency{});
    EXPECT_EQ(velu::GetCY(g, "InZuSchBruttoDM"), Currency{});
    EXPECT_EQ(g.GetText("ZuPara"), "§ 15");

    // An hourly-rate invoice without positions: net fee 0, ZuPara "XXX"; euro entry gives the DM twin.
    ASSERT_TRUE(velu::CalcStdReNetto(*db_, rs, nr, velu::EUR).Ok());
    g = Gespeichert(nr);
    EXPECT_EQ(velu::GetCY(g, "BerNetto"), Currency{});
    EXPECT_EQ(g.GetText("ZuPara"), "XXX");
    db_->Execute("INSERT INTO StdRePos VALUES (:nr, 1000000)", p);
    ASSERT_TRUE(velu::CalcStdReNetto(*db_, rs, nr, velu::EUR).Ok());
    EXPECT_EQ(velu::GetCY(Gespeichert(nr), "AlDispBerNetto"), C("195.58"));

    // A missing stored query is reported and the row keeps its values.
    db_->Execute("DELETE FROM _QueryDefs WHERE Name = 'GetZuBrutto'");
    const auto s = velu::CalcHonorarBerNetto(*db_, rs, nr, velu::DM);
    EXPECT_EQ(s.fehler, "Die Abfrage GetZuBrutto fehlt in der Projektdatenbank.");
    EXPECT_EQ(velu::GetCY(Gespeichert(nr), "BerNetto"), C("100"));
}
