// Reads arbitrary bytes as WORTEX.INI, writes the configuration back and reads it again: a malformed file
// must give the defaults, and whatever is read must be written as a well-formed file that reads the same.
#include "FuzzSupport.h"
#include "Configuration.h"
#include "DictionarySet.h"
#include "UserFile.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

using namespace wortex;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const std::string dir = [] {
        std::string d = std::filesystem::path(fuzz::scratchPath("config")).replace_extension("").string();
        std::filesystem::create_directories(d);
        std::filesystem::current_path(d);
        SetLibraryDirectory(d);
        return d;
    }();
    static bool side = InitDictionarySide(24) >= 0;
    (void)side;
    fuzz::startOnce();
    // Names stay inside the scratch folder: no separators, so nothing is opened or created elsewhere.
    std::string text(reinterpret_cast<const char*>(data), size);
    for (char& c : text)
        if (c == '/' || c == '\\') c = '_';
    if (FILE* f = std::fopen((dir + "/WORTEX.INI").c_str(), "wb")) {
        std::fwrite(text.data(), 1, text.size(), f);
        std::fclose(f);
    } else {
        return 0;
    }
    std::uint32_t place = 9, options = 0;
    ReadConfiguration(&place, &options);
    if (place != kPlaceCurrentDirectory || options != NormaliseOptions(options)) std::abort();
    if (!IsWellFormedConfiguration(text) && options != DefaultOptions()) std::abort();
    if (!WriteConfiguration(place, options)) std::abort();

    std::FILE* f = std::fopen((dir + "/WORTEX.INI").c_str(), "rb");
    std::string written;
    char buf[4096];
    for (std::size_t n; f && (n = std::fread(buf, 1, sizeof buf, f)) > 0;)
        written.append(buf, n);
    if (f) std::fclose(f);
    if (!IsWellFormedConfiguration(written)) std::abort();

    CloseUserFile();
    CloseAllDictionaries();
    std::uint32_t again = 0;
    ReadConfiguration(&place, &again);
    if (again != options) std::abort();
    CloseUserFile();
    CloseAllDictionaries();
    std::error_code ec;
    for (const auto& e : std::filesystem::directory_iterator(dir, ec))
        std::filesystem::remove_all(e.path(), ec);
    return 0;
}
