#pragma once
// The wngerman dictionary that the fixture of this folder built, opened read-only once per test program.
#include "SpellTestSupport.h"

#include "DictionarySet.h"

#include <filesystem>

namespace wortex::test {

class WngermanDictionary : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        if (!std::filesystem::exists(WNGERMAN_DICTIONARY)) return;
        win32::SetUiServices(&ui());
        ASSERT_EQ(InitDictionarySide(120), 1);
        handle() = OpenDictionary(true, WNGERMAN_DICTIONARY);
        ASSERT_NE(handle(), 0);
    }
    static void TearDownTestSuite() {
        if (!handle()) return;
        TermDictionarySide();
        handle() = 0;
        win32::SetUiServices(nullptr);
    }
    void SetUp() override {
        if (!handle())
            GTEST_SKIP() << WNGERMAN_DICTIONARY << " is missing: the fixture builds it from " << kWngermanPath
                         << " (package wngerman)";
    }
    static DBHandle& handle() {
        static DBHandle h = 0;
        return h;
    }
    static win32::ScriptedUi& ui() {
        static win32::ScriptedUi u;
        return u;
    }
    static constexpr const char* kWngermanPath = "/usr/share/dict/ngerman";
};

} // namespace wortex::test
