// Builds the wngerman dictionary into the file named on the command line: at build time the German main
// dictionary installed with the library, and once per test run the tests' fixture.
#include "BuildWngerman.h"

#include "platform/win32/UiServices.h"

#include <cstdio>

using namespace wortex;

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: make_wngerman_dictionary OUTPUT\n");
        return 2;
    }
    win32::ScriptedUi ui;
    win32::SetUiServices(&ui);
    if (InitDictionarySide(120) != 1) return 1;
    long added = test::buildWngermanDictionary(argv[1]);
    TermDictionarySide();
    if (added < 0) {
        std::printf("%s is missing: install the package wngerman; no dictionary built\n",
                    test::kWngermanPath);
        return 0;
    }
    if (added == 0) {
        std::fprintf(stderr, "import of %s failed\n", test::kWngermanPath);
        return 1;
    }
    std::printf("%s: %ld words\n", argv[1], added);
    return 0;
}
