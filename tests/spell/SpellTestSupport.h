#pragma once
// Shared by the spell tests: a temporary folder, the scripted message boxes and a started engine.
#include "platform/win32/UiServices.h"
#include "DictionarySet.h"
#include "Doz3.h"
#include "Doz3Checker.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <unistd.h>
#include <vector>

namespace wortex::test {

inline std::vector<unsigned char> readAll(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

inline void writeAll(const std::string& path, const std::vector<unsigned char>& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

class TempDir {
public:
    TempDir() {
        std::string pattern = (std::filesystem::temp_directory_path() / "wxtestXXXXXX").string();
        dir_ = ::mkdtemp(pattern.data());
    }
    ~TempDir() {
        std::error_code ec;
        std::filesystem::remove_all(dir_, ec);
    }
    std::string file(const std::string& name) const { return dir_ + "/" + name; }
    const std::string& path() const { return dir_; }

private:
    std::string dir_;
};

class EngineTest : public ::testing::Test {
protected:
    void SetUp() override {
        win32::SetUiServices(&ui);
        ASSERT_EQ(InitDBEngine(120), 1);
    }
    void TearDown() override {
        TermDBEngine();
        win32::SetUiServices(nullptr);
    }
    // A new file, opened in the library's mode.
    DBHandle createAndOpen(const std::string& name) {
        std::string path = dir.file(name);
        EXPECT_EQ(CreateDBFile(path), 1);
        DBHandle h = OpenDBFile(path, 4);
        EXPECT_NE(h, 0);
        return h;
    }
    std::vector<std::string> shownTexts() const {
        std::vector<std::string> out;
        for (const auto& s : ui.shown)
            out.push_back(s.text + "|" + s.caption);
        return out;
    }

    TempDir dir;
    win32::ScriptedUi ui;
};

// The dictionary side started on a cache of 120 pages, with dictionaries made in a temporary folder.
class DictionaryTest : public ::testing::Test {
protected:
    void SetUp() override {
        win32::SetUiServices(&ui);
        ASSERT_EQ(InitDictionarySide(120), 1);
    }
    void TearDown() override {
        TermDictionarySide();
        win32::SetUiServices(nullptr);
    }
    // A new dictionary of the language, opened for writing and filled with words.
    DBHandle make(const std::string& name, char language, const std::vector<std::string>& words) {
        std::string p = dir.file(name);
        EXPECT_EQ(CreateDictionaryFile(p, language), 1);
        DBHandle h = OpenDictionary(false, p);
        for (const auto& w : words)
            EXPECT_EQ(AddDictionaryWord(h, w.c_str(), false, false, 0, 0), 1) << w;
        return h;
    }

    TempDir dir;
    win32::ScriptedUi ui;
};

} // namespace wortex::test
