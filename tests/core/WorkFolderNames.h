#pragma once
// What lies in a temporary folder after a cleanup, and what a running backup's work folder leaves there.
#include "platform/archive/WorkFolder.h"

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

namespace velu::test {

inline std::vector<std::string> SortedNames(const std::filesystem::path& folder) {
    std::vector<std::string> names;
    for (const auto& e : std::filesystem::directory_iterator(folder))
        names.push_back(e.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

// The running work folder and its marker: all that may stay.
inline std::vector<std::string> OnlyRunning(const archive::WorkFolder& running) {
    const std::string name = running.Path().filename().string();
    return {name, name + ".arbeit"};
}

} // namespace velu::test
