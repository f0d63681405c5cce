// Sums of the expense records per phase assignment.
#include "StdRechFixture.h"

#include "expenses/AufwandSummen.h"

using namespace velu::expenses;

namespace {

class AufwandSummenTest : public StdRechFixture {};

TEST_F(AufwandSummenTest, EachPhaseInItsFieldAndTheTotal) {
    Erfassen({"1", 0, "1", "10", "10", "5.1129", "5.1129", "2026-11-01", 0});
    Erfassen({"2", 0, "1", "30", "30", "15.3388", "15.3388", "2026-11-01", 3, false, false, "12", "6.1355"});
    Erfassen({"3", 0, "1", "20", "20", "10.2258", "10.2258", "2026-11-01", 3});
    Erfassen({"4", 0, "1", "7", "7", "3.5791", "3.5791", "2026-11-01", 10});
    AufwandSummen s;
    s.Lesen(*projekt_);
    for (int k = 0; k < 12; ++k) {
        const char* erwartet = k == 0 ? "10" : k == 3 ? "50" : k == 10 ? "7" : k == 11 ? "67" : "0";
        EXPECT_EQ(s.Summ()[size_t(k)], C(erwartet)) << k;
    }
    EXPECT_EQ(s.InterSumm()[3], C("12"));
    EXPECT_EQ(s.InterSumm()[11], C("12"));
    // Mode 2 and 3 show the twins as stored, modes 1 and 4 the entry currency's sums.
    EXPECT_EQ(s.Anzeige(2, false)[3], C("25.5646"));
    EXPECT_EQ(s.Anzeige(3, true)[3], C("6.1355"));
    EXPECT_EQ(s.Anzeige(1, false)[11], C("67"));
    EXPECT_EQ(s.Anzeige(4, true)[3], C("12"));
}

TEST_F(AufwandSummenTest, RowsAreAddedNeverAssigned) {
    struct Zeile {
        velu::db::Value phase;
        const char* summ;
    };
    struct Case {
        const char* name;
        std::vector<Zeile> zeilen;
        const char *keine, *lp3, *gesamt;
    } cases[] = {
        {"no rows", {}, "0", "0", "0"},
        {"empty phase and 0 as two rows", {{velu::db::Value(), "10"}, {int64_t{0}, "5"}}, "15", "0", "15"},
        {"phase 3 twice", {{int64_t{3}, "1"}, {int64_t{3}, "2"}}, "0", "3", "3"},
        {"outside 0 to 10 counts in the total",
         {{int64_t{11}, "4"}, {int64_t{-1}, "6"}, {int64_t{3}, "1"}},
         "0",
         "1",
         "11"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        AufwandSummen s;
        for (const Zeile& z : c.zeilen)
            s.Addieren(z.phase, C(z.summ), {}, {}, {});
        EXPECT_EQ(s.Summ()[0], C(c.keine));
        EXPECT_EQ(s.Summ()[3], C(c.lp3));
        EXPECT_EQ(s.Summ()[AufwandSummen::Gesamt], C(c.gesamt));
    }
    // Through the query: an empty phase and 0 end in "keine Zuordnung".
    Erfassen({"1", 0, "1", "10", "10", "5.1129", "5.1129"});
    Erfassen({"2", 0, "1", "5", "5", "2.5565", "2.5565"});
    projekt_->Execute("UPDATE Projektaufwand SET Phzuordnung = NULL WHERE Numm = '1'");
    AufwandSummen s;
    s.Lesen(*projekt_);
    EXPECT_EQ(s.Summ()[0], C("15"));
    EXPECT_EQ(s.Summ()[11], C("15"));
}

} // namespace
