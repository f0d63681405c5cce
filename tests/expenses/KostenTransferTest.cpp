// The transfer of unbilled expense records into an hourly-rate invoice, on a temporary project database.
#include "StdRechFixture.h"

#include "expenses/KostenTransfer.h"
#include "platform/db/DbError.h"

using namespace velu::expenses;

namespace {

class KostenTransferTest : public StdRechFixture {
protected:
    int Buchen(int eingabe) {
        return AufwandBuchen(*projekt_, OffenenAufwandLesen(*projekt_), Rechnung, eingabe);
    }
};

TEST_F(KostenTransferTest, AmountsInTheInvoicesEntryCurrency) {
    struct Case {
        const char* name;
        int aufwandEingabe, rechnungEingabe;
        const char *satz, *summ, *alDispSatz, *alDispSumm;
        const char *eSatz, *eSumm, *eAlDispSatz, *eAlDispSumm;
    } cases[] = {
        {"euro record, DM invoice", 1, 0, "10", "25", "19.5583", "48.8957", "19.56", "48.9", "10", "25"},
        {"DM record, DM invoice", 0, 0, "19.5583", "48.8957", "10", "25", "19.56", "48.9", "10", "25"},
        {"DM record, euro invoice", 0, 1, "100", "250", "51.1292", "127.823", "51.13", "127.82", "100",
         "250"},
        {"euro record, euro invoice", 1, 1, "10.005", "25.0125", "19.5681", "48.9202", "10.01", "25.01",
         "19.5681", "48.9202"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        OffenerAufwand a;
        a.inputType = c.aufwandEingabe;
        a.satz = C(c.satz);
        a.summ = C(c.summ);
        a.alDispSatz = C(c.alDispSatz);
        a.alDispSumm = C(c.alDispSumm);
        const PositionsBetraege erwartet{C(c.eSatz), C(c.eSumm), C(c.eAlDispSatz), C(c.eAlDispSumm)};
        EXPECT_EQ(TransferBetraege(a, c.rechnungEingabe), erwartet);
    }
}

TEST_F(KostenTransferTest, EveryUnbilledRecordOnceWithItsNumberAndDate) {
    const int64_t euro = Erfassen({"A1", 1, "2.5", "10", "25", "19.5583", "48.8957", "2026-11-05"});
    const int64_t dm = Erfassen({"A2", 0, "3", "80", "240", "40.9034", "122.7101", "2026-11-03"});
    const int64_t versteckt =
        Erfassen({"H", 0, "1", "5", "5", "2.5565", "2.5565", "2026-11-01", 0, false, true});
    const int64_t alt = Erfassen({"V", 0, "1", "7", "7", "3.5791", "3.5791", "2026-11-01", 0, true});
    EXPECT_EQ(Buchen(0), 2);
    ASSERT_EQ(Positionen(), 2);
    // In date order: the DM record of the 3rd first.
    EXPECT_EQ(std::get<std::string>(Gespeichert(0, "PosNr")), "A2");
    EXPECT_EQ(std::get<std::string>(Gespeichert(0, "Datum")), "2026-11-03");
    EXPECT_EQ(Betrag(0, "Satz"), C("80"));
    EXPECT_EQ(Betrag(0, "Summ"), C("240"));
    EXPECT_EQ(Betrag(0, "AlDispSumm"), C("122.7101"));
    EXPECT_EQ(std::get<std::string>(Gespeichert(1, "PosNr")), "A1");
    EXPECT_EQ(std::get<std::string>(Gespeichert(1, "Datum")), "2026-11-05");
    EXPECT_EQ(Betrag(1, "Menge"), C("2.5"));
    EXPECT_EQ(Betrag(1, "Satz"), C("19.56"));
    EXPECT_EQ(Betrag(1, "Summ"), C("48.9"));
    EXPECT_EQ(Betrag(1, "AlDispSatz"), C("10"));
    EXPECT_EQ(Betrag(1, "AlDispSumm"), C("25"));
    EXPECT_EQ(std::get<std::string>(Gespeichert(1, "Mitarbeiter")), "Meier");
    EXPECT_EQ(std::get<int64_t>(Gespeichert(1, "REZuordnung")), Rechnung);
    EXPECT_TRUE(Verbucht(euro));
    EXPECT_TRUE(Verbucht(dm));
    EXPECT_FALSE(Verbucht(versteckt));
    EXPECT_TRUE(Verbucht(alt));
    // Nothing is left for a second run.
    EXPECT_TRUE(OffenenAufwandLesen(*projekt_).empty());
    EXPECT_EQ(Buchen(0), 0);
    EXPECT_EQ(Positionen(), 2);
}

TEST_F(KostenTransferTest, AFailureBooksNothing) {
    std::vector<int64_t> records;
    for (const char* nr : {"A1", "A2", "A3", "A4", "A5"})
        records.push_back(Erfassen({nr, 0, "1", "10", "10", "5.1129", "5.1129"}));
    projekt_->Execute("CREATE TRIGGER Storung BEFORE INSERT ON StdRePos WHEN NEW.PosNr = 'A3' "
                      "BEGIN SELECT RAISE(ABORT, 'Datenträger voll'); END");
    EXPECT_THROW(Buchen(0), velu::db::DbError);
    EXPECT_EQ(Positionen(), 0);
    for (int64_t r : records)
        EXPECT_FALSE(Verbucht(r)) << r;
    // The database is usable again and the records are all still open.
    projekt_->Execute("DROP TRIGGER Storung");
    EXPECT_EQ(Buchen(0), 5);
}

TEST_F(KostenTransferTest, ARecordBilledMeanwhileIsSkipped) {
    const int64_t a = Erfassen({"A1", 0, "1", "10", "10", "5.1129", "5.1129"});
    const int64_t b = Erfassen({"A2", 0, "2", "10", "20", "5.1129", "10.2258"});
    const auto offen = OffenenAufwandLesen(*projekt_);
    ASSERT_EQ(offen.size(), 2u);
    {
        auto zweiter = velu::db::Database::Open(dir_ / "Velupro32.mdb");
        ASSERT_TRUE(zweiter);
        zweiter->Execute("UPDATE Projektaufwand SET SchonVerbucht = -1 WHERE LfNr = ?",
                         velu::db::Params().Add(a));
    }
    EXPECT_EQ(AufwandBuchen(*projekt_, offen, Rechnung, 0), 1);
    ASSERT_EQ(Positionen(), 1);
    EXPECT_EQ(std::get<std::string>(Gespeichert(0, "PosNr")), "A2");
    EXPECT_TRUE(Verbucht(b));
}

} // namespace
