#include "fee/FeeTableLookup.h"

#include "FeeTestDb.h"
#include "FeeTestSupport.h"

#include <gtest/gtest.h>

using namespace velu::fee;
using velu::Currency;
using velu::fee::test::C;

namespace {

// Table 101: rows at 1000, 2000 and 4000; zone z has minimum 100 z and maximum 200 z at 1000, twice that at
// 2000 and four times at 4000, plus odd digits so that rounding shows. Zone 3 lacks its minimum at 2000.
// Table 102 has a single row.
struct LookupDb : ::testing::Test {
    velu::fee::test::FeeDbs dbs;
    void SetUp() override {
        for (int f : {1, 2, 4}) {
            Currency s[10];
            for (int z = 1; z <= 5; ++z) {
                s[2 * z - 2] = Currency::FromUnits(100 * z * f) + C("0.1234");
                s[2 * z - 1] = Currency::FromUnits(200 * z * f) + C("0.5678");
            }
            velu::fee::test::AddTafelRow(*dbs.stamm, 101, Currency::FromUnits(1000 * f), s);
        }
        dbs.stamm->Execute("UPDATE Tafel SET S5 = NULL WHERE LfNrTafel = 101 AND AKosten = 20000000");
        Currency one[10] = {C("10"), C("20")};
        velu::fee::test::AddTafelRow(*dbs.stamm, 102, C("500"), one);
    }
};

} // namespace

TEST_F(LookupDb, GetTafelWerte) {
    struct Case {
        const char* name;
        int32_t tafel;
        const char* kosten;
        int16_t zone;
        int16_t statusIn;
        int16_t status;
        const char *min, *max;
    } cases[] = {
        {"on a row, unrounded", 101, "2000", 1, 0, 0, "200.1234", "400.5678"},
        {"first row", 101, "1000", 2, 0, 0, "200.1234", "400.5678"},
        {"last row", 101, "4000", 1, 0, 0, "400.1234", "800.5678"},
        {"between rows, to cents", 101, "1500", 1, 0, 0, "150.12", "300.57"},
        {"just above a row", 101, "2000.01", 1, 0, 0, "200.12", "400.57"},
        {"below", 101, "999.99", 1, 0, 2, "0", "0"},
        {"above", 101, "4000.01", 1, 0, 3, "0", "0"},
        {"no rows", 99, "1500", 1, 0, 1, "0", "0"},
        {"zone 0", 101, "1500", 0, 0, 0, "0", "0"},
        {"zone 6", 101, "1500", 6, 0, 0, "0", "0"},
        {"empty minimum counts as 0", 101, "1500", 3, 0, 0, "150.06", "900.57"},
        {"status kept on success", 101, "1500", 1, 3, 3, "150.12", "300.57"},
        {"one row, on it", 102, "500", 1, 0, 0, "10", "20"},
        {"one row, below", 102, "499", 1, 0, 2, "0", "0"},
        {"one row, above", 102, "501", 1, 0, 3, "0", "0"},
    };
    for (const auto& c : cases) {
        TafelErgebnis e{C("7"), C("7"), C("7")};
        int16_t status = c.statusIn;
        GetTafelWerte(*dbs.stamm, C(c.kosten), c.tafel, c.zone, e, status);
        EXPECT_EQ(status, c.status) << c.name;
        EXPECT_EQ(e[0], C(c.min)) << c.name;
        EXPECT_EQ(e[1], C(c.max)) << c.name;
        EXPECT_EQ(e[2], Currency{}) << c.name;
    }
}
