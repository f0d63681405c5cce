#pragma once
// A temporary work folder (a backup's snapshots) that a killed process does not leave for good: it carries a
// work marker (WorkLock) while it exists, so the next backup or start removes it once its owner is gone.
#include "platform/archive/WorkLock.h"

namespace velu::archive {

class WorkFolder {
public:
    // A new empty folder "<parent>/<prefix><random>"; nullptr with *error when it cannot be made.
    static std::unique_ptr<WorkFolder> Create(const std::filesystem::path& parent, const std::string& prefix,
                                              std::string* error = nullptr);
    // Removes the folder with everything in it, then its marker.
    ~WorkFolder();
    WorkFolder(const WorkFolder&) = delete;
    WorkFolder& operator=(const WorkFolder&) = delete;

    const std::filesystem::path& Path() const { return path_; }

private:
    WorkFolder(std::unique_ptr<WorkLock> lock, std::filesystem::path path)
        : lock_(std::move(lock)), path_(std::move(path)) {}
    std::unique_ptr<WorkLock> lock_;
    std::filesystem::path path_;
};

// Removes what work of a dead process left in parent under names starting with prefix: folders and files
// whose marker is gone or free, and free markers.
void RemoveAbandonedWork(const std::filesystem::path& parent, const std::string& prefix);

} // namespace velu::archive
