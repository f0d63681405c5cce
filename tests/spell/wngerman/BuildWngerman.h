#pragma once
// Builds the wngerman dictionary by the library's own import into the given file, written under a
// temporary name first so that a broken run leaves no half-built dictionary behind. The dictionary side
// must be started; the file is closed again afterwards.
#include "tests/spell/WngermanList.h"

#include "DictionarySet.h"
#include "WordImport.h"

#include <filesystem>
#include <unistd.h>

namespace wortex::test {

// The number of words added, -1 when the list is missing, 0 when the import failed.
inline long buildWngermanDictionary(const std::filesystem::path& out) {
    std::error_code ec;
    std::filesystem::remove(out, ec);
    if (!std::filesystem::exists(kWngermanPath)) return -1;
    std::filesystem::path partial = out, list = out;
    partial += ".partial";
    list.replace_extension(".txt");
    writeLines(list.string(), readWngerman());
    DBHandle h = CreateDictionaryFile(partial.string(), 'd') ? OpenDictionary(false, partial.string()) : 0;
    TextImport import;
    bool ok = h && ImportTextFile(h, list.string(), import) == 1;
    if (h) CloseDictionary(h);
    std::filesystem::remove(list, ec);
    if (!ok) {
        std::filesystem::remove(partial, ec);
        return 0;
    }
    std::filesystem::rename(partial, out, ec);
    return ec ? 0 : static_cast<long>(import.added);
}

// The fixture's dictionary when a test run has built it, else one built now in a fresh temporary
// folder; empty when the list is missing or its import failed.
inline std::filesystem::path fixtureOrBuiltWngerman(const std::filesystem::path& fixture) {
    if (std::filesystem::exists(fixture)) return fixture;
    std::string pattern = (std::filesystem::temp_directory_path() / "wxbenchXXXXXX").string();
    if (!::mkdtemp(pattern.data())) return {};
    std::filesystem::path file = std::filesystem::path(pattern) / "ngerman.wxd";
    return buildWngermanDictionary(file) > 0 ? file : std::filesystem::path();
}

} // namespace wortex::test
