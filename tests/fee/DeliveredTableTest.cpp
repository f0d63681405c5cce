// The delivered § 35 table through the whole base-fee step of a euro calculation with a money axis: the
// table is kept in DM, the costs are converted for the lookup and the fees back.
#include "core/Money.h"
#include "fee/FeeCalculation.h"

#include "FeeTestDb.h"
#include "FeeTestSupport.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <fstream>
#include <iostream>
#include <sstream>
#include <vector>

using namespace velu;
using namespace velu::fee;
using velu::fee::test::C;

namespace {

struct Published {
    long long kosten;
    long long von[6], bis[6]; // zones 1 to 5
};

std::vector<Published> readPublished() {
    const char* src = std::getenv("VELU_SOURCE_DIR");
    std::ifstream in(std::string(src ? src : ".") + "/data/hoai/honorartafel-2021-p35-gebaeude-innenraeume.csv");
    if (!in) in.open("/work/shared/data/hoai/honorartafel-2021-p35-gebaeude-innenraeume.csv");
    std::vector<Published> rows;
    std::string line;
    std::getline(in, line);
    while (std::getline(in, line)) {
        std::stringstream ss(line);
        std::string f;
        Published p{};
        std::getline(ss, f, ',');
        p.kosten = std::stoll(f);
        for (int z = 1; z <= 5; ++z) {
            std::getline(ss, f, ',');
            p.von[z] = std::stoll(f);
            std::getline(ss, f, ',');
            p.bis[z] = std::stoll(f);
        }
        rows.push_back(p);
    }
    return rows;
}

// Cents, half away from zero.
long long cents(long double euro) { return std::llround(euro * 100.0L); }

struct EuroCalc : ::testing::Test {
    test::FeeDbs dbs;
    test::CaptureSink sink;
    FeeCalculation calc{*dbs.projekt, *dbs.stamm, sink};
    void SetUp() override {
        const int32_t lb = test::AddProfil(*dbs.projekt, test::Profil{});
        test::AddGrunddaten(*dbs.projekt, lb, 1, 1, "0", "0");
        calc.BereListNr(1);
        calc.SetBerechnungswaehrung(EUR);
        ASSERT_TRUE(calc.OpenGrunddaten());
        ASSERT_TRUE(calc.ConectLeistungsbild(lb));
    }
    // Min, max and the fee at rate 50 in euro cents.
    std::array<long long, 3> compute(Currency euroKosten, int zone) {
        db::Recordset& g = calc.Grunddaten();
        g.Edit();
        SetCY(g, "SummAnreKostAB1", euroKosten);
        g.Set("Honorarzone", int64_t{zone});
        SetCY(g, "SatzUemin1", Currency::FromUnits(50));
        g.Update();
        Abschnitte<Currency> s{};
        Abschnitte<int16_t> st{};
        calc.CallGrundHonorar(s, st);
        EXPECT_EQ(st[1], 0);
        auto c = [&](const char* f) { return GetCY(g, f).Raw() / 100; };
        return {c("HonorarMinAB1"), c("HonorarMaxAB1"), c("GrHonorarAb1")};
    }
};

} // namespace

TEST_F(EuroCalc, PublishedValuesOnEveryRowAndZone) {
    const auto rows = readPublished();
    ASSERT_EQ(rows.size(), 20u);
    for (const auto& r : rows) {
        for (int z = 1; z <= 5; ++z) {
            const auto got = compute(Currency::FromUnits(r.kosten), z);
            EXPECT_EQ(got[0], r.von[z] * 100) << r.kosten << " zone " << z;
            EXPECT_EQ(got[1], r.bis[z] * 100) << r.kosten << " zone " << z;
            EXPECT_LE(std::llabs(got[2] - cents((r.von[z] + r.bis[z]) / 2.0L)), 1) << r.kosten << " zone " << z;
        }
    }
}

TEST_F(EuroCalc, BetweenRowsTheLinearInterpolationOfTheEuroValuesToTheCent) {
    const auto rows = readPublished();
    int cases = 0, oneCent = 0;
    for (size_t i = 0; i + 1 < rows.size(); ++i) {
        const Published &lo = rows[i], &hi = rows[i + 1];
        const long long span = hi.kosten - lo.kosten;
        // Quarter points (exact cents) and an odd amount with cents.
        const long double offsets[] = {span / 4.0L, span / 2.0L, 3 * span / 4.0L, 1234.56L};
        for (long double off : offsets) {
            const Currency k = Currency::FromRaw(std::llround((lo.kosten + off) * 10000.0L));
            const long double f = (k.ToDouble() - lo.kosten) / static_cast<long double>(span);
            for (int z = 1; z <= 5; ++z) {
                const long double min = lo.von[z] + (hi.von[z] - lo.von[z]) * f;
                const long double max = lo.bis[z] + (hi.bis[z] - lo.bis[z]) * f;
                const long long want[3] = {cents(min), cents(max), cents(min + (max - min) / 2)};
                const auto got = compute(k, z);
                const char* what[3] = {"HonorarMinAB1", "HonorarMaxAB1", "GrHonorarAb1"};
                for (int j = 0; j < 3; ++j) {
                    ++cases;
                    const long long d = got[j] - want[j];
                    EXPECT_LE(std::llabs(d), 1) << k.ToString() << " zone " << z << " " << what[j];
                    if (d != 0) {
                        ++oneCent;
                        std::cout << "one cent: costs " << k.ToString() << " EUR zone " << z << " " << what[j]
                                  << " got " << got[j] << " want " << want[j] << "\n";
                    }
                }
            }
        }
    }
    std::cout << oneCent << " of " << cases << " interpolated values differ by one cent\n";
    RecordProperty("oneCentCases", oneCent);
}
