// Who still uses a fee table, checked over 300 project databases of ten calculations each (one profile row
// per calculation), as the fee-table editor asks before it deletes a table. Target: under 1 s.
#include "core/DatabaseSetup.h"
#include "core/MasterDataLoader.h"
#include "masterdata/TafelStore.h"
#include "masterdata/TafelVerwendung.h"

#include <benchmark/benchmark.h>

#include <filesystem>
#include <random>
#include <stdexcept>

// GCC 12 false positive on moving db::Value temporaries into Params.
#pragma GCC diagnostic ignored "-Wmaybe-uninitialized"

using namespace velu;
using namespace velu::masterdata;

namespace {

constexpr int Projekte = 300;

struct Buero {
    std::filesystem::path dir;
    std::unique_ptr<db::Database> stamm;
    std::vector<ProjektDatei> projekte;
    int64_t frei = 0;

    Buero() {
        std::random_device rd;
        dir = std::filesystem::temp_directory_path() / ("velu_bench_md_" + std::to_string(rd()));
        std::filesystem::create_directories(dir);
        std::string error;
        stamm = DatabaseSetup::CreateStammDB(dir / "VELUDAT32.MDB", &error);
        if (!stamm) throw std::runtime_error(error);
        MasterDataLoader::Load(*stamm, std::filesystem::path(VELU_SOURCE_DIR) / "data" / "hoai");
        frei = std::get<int64_t>(TafelStore(*stamm).CopyAufr(1));
        for (int p = 1; p <= Projekte; ++p) {
            const std::string nummer = std::to_string(10000000 + p).substr(0, 8);
            const auto ordner = dir / (nummer + ".PRO");
            std::filesystem::create_directories(ordner);
            auto db = DatabaseSetup::CreateProjektDB(ordner / "Velupro32.mdb", &error);
            if (!db) throw std::runtime_error(error);
            db::Transaction t(*db);
            for (int b = 0; b < 10; ++b) {
                db->Execute("INSERT INTO BeReList (ReBezeichnung, REType) VALUES ('Angebot', 'A')");
                db->Execute("INSERT INTO Leistungsbild (LfNrBeReList, ZuordnungAnlGrp, HoaiTafelZuordnung) "
                            "VALUES (?, 1, ?)",
                            db::Params().Add(db->LastInsertId()).Add(int64_t{1 + b % 4}));
            }
            t.Commit();
            projekte.push_back({nummer, ordner / "Velupro32.mdb"});
        }
    }
    ~Buero() {
        stamm.reset();
        std::error_code ec;
        std::filesystem::remove_all(dir, ec);
    }
};

void BM_TafelVerwendung300Projekte(benchmark::State& state) {
    static Buero b;
    TafelVerwendung v(*b.stamm, nullptr, {});
    for (auto _ : state) {
        auto nutzer = v.Verwender(b.frei, b.projekte);
        if (!nutzer.empty()) state.SkipWithError("the copy should be free");
        benchmark::DoNotOptimize(nutzer);
    }
}
BENCHMARK(BM_TafelVerwendung300Projekte)->Unit(benchmark::kMillisecond);

} // namespace
