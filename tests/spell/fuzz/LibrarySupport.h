#pragma once
// Shared by the fuzz targets that drive the library through its messages.
#include "FuzzSupport.h"
#include "platform/win32/EditControl.h"
#include "platform/win32/Window.h"
#include "ApiWindow.h"

#include <cstdio>
#include <cstdlib>
#include <string>

namespace wortex::fuzz {

// WX_Init into api, an edit and a status window, and a new dictionary file at path. At the process's exit
// the library is ended through the window api then holds (a target may start it anew) and the file
// removed. Once per process.
inline bool startLibrary(const std::string& path, win32::HWND& api, win32::HWND& edit, win32::HWND& status) {
    using namespace win32;
    static HWND* current = &api;
    static std::string file;
    SetUiServices(&ui());
    api = WX_Init();
    edit = CreateWindowEx(0, kEditClass, "", ES_MULTILINE, 0, 0, 0, 0, 0, 0, 0, nullptr);
    status = CreateWindowEx(0, kEditClass, "", 0, 0, 0, 0, 0, 0, 0, 0, nullptr);
    file = path;
    std::remove(file.c_str());
    SendMessage(api, 1134, 'D', reinterpret_cast<LPARAM>(file.c_str()));
    std::atexit([] {
        while (SendMessage(*current, 1164, 0, 0)) {
        }
        std::remove(file.c_str());
    });
    return api && edit;
}

} // namespace wortex::fuzz
