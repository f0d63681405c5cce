#pragma once
// A fresh temporary folder per test, removed with everything in it afterwards. A sub-folder name (for paths
// with blanks, apostrophes or umlauts) makes Path() that folder inside the temporary one.
#include <filesystem>
#include <random>
#include <string>

class TestDir {
public:
    explicit TestDir(const std::string& sub = {}) {
        std::random_device rd;
        root_ = std::filesystem::temp_directory_path() /
                ("velu_test_" + std::to_string(rd()) + std::to_string(rd()));
        path_ = sub.empty() ? root_ : root_ / sub;
        std::filesystem::create_directories(path_);
    }
    ~TestDir() {
        std::error_code ec;
        std::filesystem::remove_all(root_, ec);
    }
    TestDir(const TestDir&) = delete;
    TestDir& operator=(const TestDir&) = delete;
    const std::filesystem::path& Path() const { return path_; }
    std::filesystem::path operator/(const std::string& name) const { return path_ / name; }

private:
    std::filesystem::path root_, path_;
};
