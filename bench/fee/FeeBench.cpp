// Full recalculation of a calculation with 8 plant groups and 3 cost sections on database files, and the
// fee-table lookup alone.
#include "FeeTestDb.h"
#include "fee/FeeCalculation.h"
#include "fee/FeeTableLookup.h"

#include <benchmark/benchmark.h>

#include <stdexcept>

// GCC 12 false positive on moving db::Value temporaries into Params.
#pragma GCC diagnostic ignored "-Wmaybe-uninitialized"

using namespace velu;
using namespace velu::fee;

namespace {

class NoMessages : public MessageSink {
public:
    void Show(const std::string&, const std::string&, MessageIcon) override {}
};

struct EightGroups {
    test::FeeDbs dbs;
    NoMessages sink;
    FeeCalculation calc{*dbs.projekt, *dbs.stamm, sink};
    EightGroups() {
        test::Profil p;
        p.mitAnlageGrp = true;
        p.koZU = "1,1,1,1,2,2,2,3,3,0";
        int32_t current = 0;
        for (int g = 1; g <= 8; ++g) {
            const int32_t lb = test::AddProfil(*dbs.projekt, p, g);
            const std::string kosten = std::to_string(100000 * g);
            const int32_t gd = test::AddGrunddaten(*dbs.projekt, lb, g, 1 + g % 5, "25", kosten.c_str());
            db::Params q;
            q.Add(Currency::FromUnits(50000 * g).Raw()).Add(Currency::FromUnits(20000 * g).Raw()).Add(int64_t{gd});
            dbs.projekt->Execute("UPDATE Grunddaten SET SummAnreKostAB2 = ?, SummAnreKostAB3 = ?, SatzUemin2 = 500000, "
                                 "SatzUemin3 = 750000 WHERE LfNr = ?",
                                 q);
            if (g == 2) current = lb;
        }
        calc.BereListNr(1);
        calc.SetRechnungsart(0);
        calc.SetBerechnungswaehrung(1);
        calc.SetAnlageGruppe(2);
        if (!calc.OpenGrunddaten() || !calc.ConectLeistungsbild(current)) throw std::runtime_error("no rows");
    }
};

void BM_CalcAllGrunddaten8Groups(benchmark::State& state) {
    EightGroups f;
    for (auto _ : state) benchmark::DoNotOptimize(f.calc.CalcAllGrunddaten());
    state.SetLabel("8 plant groups, 3 cost sections, euro");
}
BENCHMARK(BM_CalcAllGrunddaten8Groups)->Unit(benchmark::kMicrosecond);

// The same after the costs of one group changed, so every group's results change and the pass really writes
// (and syncs) its pages; SQLite leaves pages alone whose content stays the same.
void BM_CalcAllGrunddaten8GroupsChangedCosts(benchmark::State& state) {
    EightGroups f;
    int64_t kosten = 100000;
    for (auto _ : state) {
        state.PauseTiming();
        kosten = kosten == 100000 ? 110000 : 100000;
        f.dbs.projekt->Execute("UPDATE Grunddaten SET SummAnreKostAB1 = ? WHERE AnlageGruppe = 1",
                               db::Params().Add(Currency::FromUnits(kosten).Raw()));
        state.ResumeTiming();
        benchmark::DoNotOptimize(f.calc.CalcAllGrunddaten());
    }
    state.SetLabel("8 plant groups, costs of group 1 changed before each pass");
}
BENCHMARK(BM_CalcAllGrunddaten8GroupsChangedCosts)->Unit(benchmark::kMicrosecond);

// The pieces of one plant group's pass, on the group on display.
void BM_Pieces(benchmark::State& state) {
    EightGroups f;
    const int32_t lb = static_cast<int32_t>(f.calc.Leistungsbild().GetInt("LfNr"));
    for (auto _ : state) {
        Abschnitte<Currency> s{};
        Abschnitte<int16_t> st{};
        switch (state.range(0)) {
        case 0: f.calc.ConectLeistungsbild(lb); break;
        case 1: f.calc.CallGrundHonorar(s, st); break;
        case 2: f.calc.CalcLeistungsbild(0); break;
        case 3: f.calc.OpenGrunddaten(); break;
        }
    }
}
BENCHMARK(BM_Pieces)->Arg(0)->Arg(1)->Arg(2)->Arg(3)->Unit(benchmark::kMicrosecond);

void BM_GetTafelWerte(benchmark::State& state) {
    test::FeeDbs dbs;
    const Currency kosten = Currency::FromUnits(1234567);
    for (auto _ : state) {
        TafelErgebnis e{};
        int16_t status = 0;
        GetTafelWerte(*dbs.stamm, kosten, test::Tafel35, 3, e, status);
        benchmark::DoNotOptimize(e);
    }
}
BENCHMARK(BM_GetTafelWerte)->Unit(benchmark::kMicrosecond);

} // namespace
