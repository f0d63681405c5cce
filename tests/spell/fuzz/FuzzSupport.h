#pragma once
// Shared by the fuzz targets: one engine, scripted message boxes, a scratch file per process.
#include "platform/win32/UiServices.h"
#include "Doz3.h"

#include <cstdlib>
#include <string>
#include <unistd.h>

namespace wortex::fuzz {

inline win32::ScriptedUi& ui() {
    static win32::ScriptedUi u;
    return u;
}

inline const std::string& scratchPath(const char* name) {
    static const std::string path = [&] {
        const char* dir = std::getenv("TMPDIR");
        std::string d = dir && *dir ? dir : "/tmp";
        return d + "/" + name + "-" + std::to_string(::getpid()) + ".wxd";
    }();
    return path;
}

inline void startOnce() {
    static bool started = [] {
        win32::SetUiServices(&ui());
        // A small cache, so that eviction is part of every run.
        return InitDBEngine(24) == 1;
    }();
    if (!started) std::abort();
    ui().shown.clear();
    ui().beeps.clear();
}

} // namespace wortex::fuzz
