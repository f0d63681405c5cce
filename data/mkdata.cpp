// Writes the template database VELUVOR32.MDB and the delivered master database VELUDAT32.MDB.
// Usage: mkdata <output folder> <folder of the HOAI CSV files>
#include "core/DatabaseSetup.h"
#include "core/MasterDataLoader.h"

#include <cstdio>
#include <exception>
#include <filesystem>
#include <string>

namespace fs = std::filesystem;

namespace {

// Builds into a temporary name and moves it into place, so an interrupted build leaves no half file.
bool Build(const fs::path& target, bool master, const fs::path& csvDir) {
    fs::path tmp = target;
    tmp += ".tmp";
    std::error_code ec;
    fs::remove(tmp, ec);
    std::string error;
    try {
        {
            auto db = master ? velu::DatabaseSetup::CreateStammDB(tmp, &error)
                             : velu::DatabaseSetup::CreateProjektDB(tmp, &error);
            if (!db) throw std::runtime_error(error);
            if (master) velu::MasterDataLoader::Load(*db, csvDir);
        }
        fs::remove(fs::path(tmp.string() + ".lck"), ec);
        fs::rename(tmp, target);
        return true;
    } catch (const std::exception& e) {
        std::fprintf(stderr, "mkdata: %s: %s\n", target.string().c_str(), e.what());
        fs::remove(tmp, ec);
        fs::remove(fs::path(tmp.string() + ".lck"), ec);
        return false;
    }
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: mkdata <output folder> <csv folder>\n");
        return 2;
    }
    const fs::path out = argv[1];
    std::error_code ec;
    fs::create_directories(out, ec);
    const bool ok =
        Build(out / "VELUVOR32.MDB", false, argv[2]) && Build(out / "VELUDAT32.MDB", true, argv[2]);
    return ok ? 0 : 1;
}
