#pragma once
#include <filesystem>
#include <random>
#include <string>

// A fresh folder per test, removed afterwards.
class TempFolder {
public:
    explicit TempFolder(const std::string& sub = {}) {
        std::random_device rd;
        root_ = std::filesystem::temp_directory_path() /
                ("velu_db_" + std::to_string(rd()) + std::to_string(rd()));
        path_ = sub.empty() ? root_ : root_ / sub;
        std::filesystem::create_directories(path_);
    }
    ~TempFolder() {
        std::error_code ec;
        std::filesystem::remove_all(root_, ec);
    }
    const std::filesystem::path& Path() const { return path_; }
    std::filesystem::path operator/(const std::string& name) const { return path_ / name; }

private:
    std::filesystem::path root_, path_;
};
