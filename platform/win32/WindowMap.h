#pragma once
// State kept per window of a class, for windows that threads create and destroy at once. A found entry
// stays where it is until its own window's entry is erased.
#include "platform/win32/Win32Types.h"

#include <map>
#include <mutex>

namespace win32 {

template <class V> class WindowMap {
public:
    V& fresh(HWND h, V value = {}) {
        std::lock_guard lock(mutex_);
        return map_[h] = std::move(value);
    }
    V* find(HWND h) {
        std::lock_guard lock(mutex_);
        auto it = map_.find(h);
        return it == map_.end() ? nullptr : &it->second;
    }
    void erase(HWND h) {
        std::lock_guard lock(mutex_);
        map_.erase(h);
    }

private:
    std::map<HWND, V> map_;
    std::mutex mutex_;
};

} // namespace win32
