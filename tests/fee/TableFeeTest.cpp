#include "fee/TableFee.h"

#include "FeeTestSupport.h"

#include <gtest/gtest.h>

#include <vector>

using namespace velu::fee;
using velu::Currency;
using velu::fee::test::C;

namespace {

// A one-zone table searched as the master database's fee table is: last row at or below, first at or above.
struct FakeTable {
    std::vector<TafelZeile> rows;
    int calls = 0;
    void operator()(Currency k, int32_t, int16_t, TafelErgebnis& e, int16_t& status) {
        ++calls;
        e = {};
        if (rows.empty()) {
            status = TafelOhneZeilen;
            return;
        }
        const TafelZeile *lo = nullptr, *hi = nullptr;
        for (const auto& r : rows) {
            if (r[0] <= k) lo = &r;
            if (r[0] >= k && !hi) hi = &r;
        }
        if (!lo) {
            status = TafelUnterhalb;
            return;
        }
        if (!hi) {
            status = TafelOberhalb;
            return;
        }
        InterpolTafel(k, *hi, *lo, e);
    }
};

struct TableRun {
    Abschnitte<Currency> summen{}, eigen{}, satz{};
    Abschnitte<int16_t> status{};
    bool uebernahme = false, dritterStop = false;
    MinMaxAbschnitte anteil{};
    Abschnitte<Currency> honorar{}, tafelMin{}, tafelMax{};
    void operator()(FakeTable& t) {
        CalcTafelHonorar(std::ref(t), summen, status, uebernahme, 7, 3, eigen, satz, dritterStop, anteil, honorar,
                         tafelMin, tafelMax);
    }
};

// Sections 1 to 3; an empty text is 0.
Abschnitte<Currency> S3(const char* a, const char* b, const char* c) {
    auto v = [](const char* t) { return *t ? C(t) : Currency{}; };
    return {Currency{}, v(a), v(b), v(c)};
}

FakeTable table() {
    return FakeTable{{{C("300000"), C("30000"), C("40000")}, {C("500000"), C("50000"), C("60000")}}};
}

} // namespace

TEST(TableFee, PlantGroupsShareTheFeeAtTheirTotalCosts) {
    struct Case {
        const char* eigen;
        const char *min, *max, *fee;
    } cases[] = {
        {"100000", "10000.00", "12500.00", "11250.00"}, // a quarter of the values at 400 000
        {"300000", "30000.00", "37500.00", "33750.00"}, // three quarters
    };
    for (const auto& c : cases) {
        FakeTable t = table();
        TableRun r;
        r.summen[1] = C("400000");
        r.eigen[1] = C(c.eigen);
        r.satz[1] = C("50");
        r(t);
        EXPECT_EQ(r.status[1], 0);
        EXPECT_EQ(r.tafelMin[1], C("40000"));
        EXPECT_EQ(r.tafelMax[1], C("50000"));
        EXPECT_EQ(r.anteil[1][0], C(c.min)) << c.eigen;
        EXPECT_EQ(r.anteil[1][1], C(c.max)) << c.eigen;
        EXPECT_EQ(r.honorar[1], C(c.fee)) << c.eigen;
        EXPECT_EQ(r.summen[1], C("400000"));
    }
}

TEST(TableFee, SectionsInTheirOwnRight) {
    FakeTable t = table();
    TableRun r;
    r.eigen = S3("300000", "", "");
    r.summen = S3("", "350000", ""); // section 2 used only by other plant groups
    r.satz = S3("0", "100", "50");
    r.tafelMin[3] = C("1"); // untouched when nothing is looked up
    r(t);
    EXPECT_EQ(t.calls, 2);
    // Section 1 without plant groups: the whole table value.
    EXPECT_EQ(r.summen[1], C("300000"));
    EXPECT_EQ(r.anteil[1][0], C("30000"));
    EXPECT_EQ(r.honorar[1], C("30000"));
    // Section 2: looked up at the sum, no share of its own.
    EXPECT_EQ(r.tafelMin[2], C("35000"));
    EXPECT_EQ(r.tafelMax[2], C("45000"));
    EXPECT_EQ(r.anteil[2][0], Currency{});
    EXPECT_EQ(r.honorar[2], Currency{});
    // Section 3: no costs, no lookup.
    EXPECT_EQ(r.status[3], 0);
    EXPECT_EQ(r.tafelMin[3], C("1"));
    EXPECT_EQ(r.honorar[3], Currency{});
}

TEST(TableFee, FailedLookupsAndStops) {
    {
        // Below and above the table; the table values are not written.
        FakeTable t = table();
        TableRun r;
        r.eigen = S3("100", "900000", "");
        r.tafelMin = S3("9", "9", "");
        r(t);
        EXPECT_EQ(r.status[1], TafelUnterhalb);
        EXPECT_EQ(r.status[2], TafelOberhalb);
        EXPECT_EQ(r.tafelMin[1], C("9"));
        EXPECT_EQ(r.tafelMin[2], C("9"));
        EXPECT_EQ(r.anteil[1][1], Currency{});
    }
    {
        // A status left over from before zeroes the section although its lookup succeeds.
        FakeTable t = table();
        TableRun r;
        r.eigen[1] = C("300000");
        r.status[1] = TafelUnterhalb;
        r(t);
        EXPECT_EQ(r.status[1], TafelUnterhalb);
        EXPECT_EQ(r.honorar[1], Currency{});
        EXPECT_EQ(r.anteil[1][0], Currency{});
    }
    {
        // Third-section stop: no fee, but the lookup costs still come back.
        FakeTable t = table();
        TableRun r;
        r.eigen[3] = C("400000");
        r.summen[3] = C("300000");
        r.dritterStop = true;
        r(t);
        EXPECT_EQ(t.calls, 0);
        EXPECT_EQ(r.summen[3], C("400000"));
        EXPECT_EQ(r.honorar[3], Currency{});
        EXPECT_EQ(r.status[3], 0);
    }
    {
        FakeTable empty;
        TableRun r;
        r.eigen[1] = C("1");
        r(empty);
        EXPECT_EQ(r.status[1], TafelOhneZeilen);
    }
}

TEST(TableFee, OfferTakesSectionOneForAllSections) {
    FakeTable t = table();
    TableRun r;
    r.uebernahme = true;
    r.dritterStop = true; // no effect on an offer
    r.eigen = S3("400000", "999999999", "1");
    r.summen = S3("", "5", "6");
    r.satz = S3("50", "0", "100");
    r.status[2] = TafelOberhalb;
    r(t);
    EXPECT_EQ(t.calls, 1);
    for (int k = 2; k <= 3; ++k) {
        EXPECT_EQ(r.anteil[k], r.anteil[1]);
        EXPECT_EQ(r.honorar[k], C("45000"));
        EXPECT_EQ(r.tafelMin[k], C("40000"));
        EXPECT_EQ(r.tafelMax[k], C("50000"));
    }
    EXPECT_EQ(r.summen[2], C("5"));
    EXPECT_EQ(r.summen[3], C("6"));
    EXPECT_EQ(r.status[2], TafelOberhalb);
}
