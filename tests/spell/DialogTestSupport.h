#pragma once
// Shared by the dialog tests: a current directory and a library folder of their own, the scripted
// back-end and a settings host that keeps the option word and records help calls.
#include "SpellTestSupport.h"

#include "Configuration.h"
#include "DialogTemplates.h"
#include "DictionarySet.h"
#include "SettingsDialog.h"
#include "UserFile.h"

#include "platform/win32/FileApi.h"

#include <filesystem>

namespace wortex::test {

class FakeHost : public SettingsHost {
public:
    std::uint32_t options() override { return word; }
    void setOptions(std::uint32_t options) override { word = options; }
    std::uint32_t place() override { return where; }
    void setPlace(std::uint32_t place) override { where = place; }
    void help(unsigned topic) override { topics.push_back(topic); }

    std::uint32_t word = 0x3F07E;
    std::uint32_t where = kPlaceCurrentDirectory;
    std::vector<unsigned> topics;
};

class DialogTest : public ::testing::Test {
protected:
    void SetUp() override {
        old = std::filesystem::current_path();
        std::filesystem::current_path(cwd.path());
        SetLibraryDirectory(cwd.path());
        win32::SetUiServices(&ui);
        ASSERT_EQ(InitDictionarySide(120), 1);
    }
    void TearDown() override {
        win32::SetFileFaultHook({});
        CloseUserFile();
        TermDictionarySide();
        win32::SetUiServices(nullptr);
        SetLibraryDirectory("");
        std::filesystem::current_path(old);
    }
    DBHandle dictionary(const std::string& name, char language, std::vector<std::string> words = {}) {
        EXPECT_EQ(CreateDictionaryFile(cwd.file(name), language), 1);
        DBHandle h = OpenDictionary(false, cwd.file(name));
        for (const auto& w : words)
            EXPECT_EQ(AddDictionaryWord(h, w.c_str(), false, false, 0, 0), 1) << w;
        return h;
    }
    // Runs the modal settings dialog with the script.
    void settings(std::function<void(win32::DialogModel&)> script) {
        ui.dialogScripts[kSettingsDialog] = std::move(script);
        EXPECT_NE(SettingsDialog(0, host), 0);
    }
    std::vector<std::string> texts() const {
        std::vector<std::string> out;
        for (const auto& s : ui.shown)
            out.push_back(s.text + "|" + s.caption);
        return out;
    }

    std::filesystem::path old;
    TempDir cwd;
    win32::ScriptedUi ui;
    FakeHost host;
};

} // namespace wortex::test
