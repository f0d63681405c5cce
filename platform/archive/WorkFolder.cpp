#include "platform/archive/WorkFolder.h"

#include <vector>

namespace velu::archive {

namespace fs = std::filesystem;

std::unique_ptr<WorkFolder> WorkFolder::Create(const fs::path& parent, const std::string& prefix,
                                               std::string* error) {
    auto lock = WorkLock::TakeNew(parent, prefix, error);
    if (!lock) return nullptr;
    const fs::path path = lock->Item();
    std::error_code ec;
    if (!fs::create_directory(path, ec)) {
        if (error)
            *error = "Der Ordner '" + path.string() + "' kann nicht angelegt werden: " +
                     (ec ? ec.message() : std::string("er ist schon vorhanden"));
        return nullptr;
    }
    fs::permissions(path, fs::perms::owner_all, ec);
    return std::unique_ptr<WorkFolder>(new WorkFolder(std::move(lock), path));
}

WorkFolder::~WorkFolder() {
    std::error_code ec;
    fs::remove_all(path_, ec);
}

void RemoveAbandonedWork(const fs::path& parent, const std::string& prefix) {
    std::error_code ec;
    std::vector<fs::path> items;
    for (auto it = fs::directory_iterator(parent, ec); !ec && it != fs::directory_iterator();
         it.increment(ec))
        if (it->path().filename().string().rfind(prefix, 0) == 0) items.push_back(it->path());
    // A marker that can be taken belongs to no running process; dropping the lock removes the marker.
    for (const auto& item : items) {
        if (IsWorkMarker(item)) {
            WorkLock::Take(item);
        } else if (auto lock = WorkLock::Take(WorkLock::MarkerOf(item))) {
            fs::remove_all(item, ec);
        }
    }
}

} // namespace velu::archive
