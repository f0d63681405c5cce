// The transfer of 2 000 unbilled expense records into an invoice, and opening the expense window on a
// project with 20 000 records; both on database files.
#include "TestApp.h"
#include "TestDir.h"
#include "core/DatabaseSetup.h"
#include "expenses/Aufwand.h"
#include "expenses/KostenTransfer.h"
#include "platform/db/Database.h"
#include "platform/forms/MessageBox.h"
#include "platform/settings/SettingsStore.h"

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <memory>
#include <stdexcept>
#include <string>

// GCC 12 false positive on moving db::Value temporaries into Params.
#pragma GCC diagnostic ignored "-Wmaybe-uninitialized"

using namespace velu;

namespace {

struct Projekt {
    TestDir dir;
    std::unique_ptr<db::Database> projekt;
    std::unique_ptr<db::Database> stamm;

    explicit Projekt(int eintraege) {
        std::string error;
        projekt = DatabaseSetup::CreateProjektDB(dir / "Velupro32.mdb", &error);
        stamm = DatabaseSetup::CreateStammDB(dir / "VELUDAT32.MDB", &error);
        if (!projekt || !stamm) throw std::runtime_error(error);
        Erfassen(eintraege);
    }
    void Erfassen(int eintraege) {
        db::Transaction t(*projekt);
        for (int i = 0; i < eintraege; ++i)
            projekt->Execute(
                "INSERT INTO Projektaufwand (Numm, Leistung, Einheit, Menge, Satz, Summ, AlDispSatz, "
                "AlDispSumm, Mitarbeiter, Datum, Phzuordnung, INPUTType) "
                "VALUES (?, 'Bauleitung', 'Std', 25000, 850000, 2125000, 434598, 1086495, 'Meier', "
                "'2026-11-02', ?, ?)",
                db::Params().Add(std::to_string(i + 1)).Add(int64_t{i % 11}).Add(int64_t{i % 2}));
        t.Commit();
    }
};

void BM_Transfer2000(benchmark::State& state) {
    Projekt p(0);
    int64_t rechnung = 1;
    for (auto _ : state) {
        state.PauseTiming();
        p.projekt->Execute("DELETE FROM Projektaufwand");
        p.projekt->Execute("DELETE FROM StdRePos");
        p.Erfassen(2000);
        state.ResumeTiming();
        const int n =
            expenses::AufwandBuchen(*p.projekt, expenses::OffenenAufwandLesen(*p.projekt), rechnung, 0);
        if (n != 2000) state.SkipWithError("not every record was booked");
    }
}
BENCHMARK(BM_Transfer2000)->Unit(benchmark::kMillisecond);

void BM_AufwandOeffnen20000(benchmark::State& state) {
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    testApp();
    Projekt p(20000);
    settings::SettingsStore settings(QString::fromStdString((p.dir / "velunta.ini").string()));
    forms::MessageBoxScript boxen;
    for (auto _ : state) {
        expenses::Aufwand w(*p.projekt, *p.stamm, settings, nullptr, "2,00 DM");
        benchmark::DoNotOptimize(w.Positionen());
    }
}
BENCHMARK(BM_AufwandOeffnen20000)->Unit(benchmark::kMillisecond);

} // namespace
