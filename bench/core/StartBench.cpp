// The start opens the master database and the current project's database, each checked to be the program's
// own: its _Meta row, and its tables declared as the program declares them. Compared with the _Meta row
// alone, the check as the start made it before the declarations were compared.
#include "core/DatabaseSetup.h"

#include <benchmark/benchmark.h>

#include <filesystem>
#include <random>
#include <stdexcept>

using namespace velu;

namespace {

struct Buero {
    std::filesystem::path dir;

    Buero() {
        std::random_device rd;
        dir = std::filesystem::temp_directory_path() / ("velu_bench_start_" + std::to_string(rd()));
        std::filesystem::create_directories(dir);
        std::string error;
        if (!DatabaseSetup::CreateStammDB(dir / "VELUDAT32.MDB", &error) ||
            !DatabaseSetup::CreateProjektDB(dir / "Velupro32.mdb", &error))
            throw std::runtime_error(error);
    }
    ~Buero() {
        std::error_code ec;
        std::filesystem::remove_all(dir, ec);
    }
};

Buero& Office() {
    static Buero b;
    return b;
}

void BM_OeffneMitDeklarationen(benchmark::State& state) {
    const DbKind kind = state.range(0) ? DbKind::Projekt : DbKind::Stamm;
    const auto file = Office().dir / (state.range(0) ? "Velupro32.mdb" : "VELUDAT32.MDB");
    for (auto _ : state) {
        auto db = DatabaseSetup::OpenChecked(file, kind);
        if (!db) state.SkipWithError("not opened");
        benchmark::DoNotOptimize(db);
    }
}
BENCHMARK(BM_OeffneMitDeklarationen)->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);

void BM_OeffneNurMeta(benchmark::State& state) {
    const DbKind kind = state.range(0) ? DbKind::Projekt : DbKind::Stamm;
    const auto file = Office().dir / (state.range(0) ? "Velupro32.mdb" : "VELUDAT32.MDB");
    for (auto _ : state) {
        auto db = db::Database::Open(file);
        if (!db || !DatabaseSetup::CheckMeta(*db, kind)) state.SkipWithError("not opened");
        benchmark::DoNotOptimize(db);
    }
}
BENCHMARK(BM_OeffneNurMeta)->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);

} // namespace
