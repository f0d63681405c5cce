// Builds the wngerman dictionary by the library's own import: the file named on the command line, written
// under a temporary name first so that a broken run leaves no half-built dictionary behind.
#include "spell/WngermanList.h"

#include "platform/win32/UiServices.h"
#include "spell/DictionarySet.h"
#include "spell/WordImport.h"

#include <cstdio>
#include <filesystem>

using namespace wortex;

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: make_wngerman_dictionary OUTPUT\n");
        return 2;
    }
    std::filesystem::path out = argv[1];
    std::error_code ec;
    std::filesystem::remove(out, ec);
    if (!std::filesystem::exists(test::kWngermanPath)) {
        std::printf("%s is missing: install the package wngerman; no dictionary built\n",
                    test::kWngermanPath);
        return 0;
    }
    win32::ScriptedUi ui;
    win32::SetUiServices(&ui);
    if (InitDictionarySide(120) != 1) return 1;
    std::filesystem::path partial = out;
    partial += ".partial";
    std::filesystem::path list = out;
    list.replace_extension(".txt");
    test::writeLines(list.string(), test::readWngerman());
    int ok = CreateDictionaryFile(partial.string(), 'd');
    DBHandle h = ok ? OpenDictionary(false, partial.string()) : 0;
    TextImport import;
    ok = h && ImportTextFile(h, list.string(), import) == 1;
    TermDictionarySide();
    std::filesystem::remove(list, ec);
    if (!ok) {
        std::filesystem::remove(partial, ec);
        std::fprintf(stderr, "import of %s failed\n", test::kWngermanPath);
        return 1;
    }
    std::filesystem::rename(partial, out);
    std::printf("%s: %u words\n", out.string().c_str(), static_cast<unsigned>(import.added));
    return 0;
}
