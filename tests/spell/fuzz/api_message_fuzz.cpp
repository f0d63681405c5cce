// Random messages to the api window (numbers 1024-1300, random wParam, lParam 0, a filled buffer, or the
// attached EDIT window) and random keys to that window.
#include "LibrarySupport.h"
#include "platform/win32/GlobalMemory.h"
#include "platform/win32/Window.h"
#include "ApiWindow.h"
#include "Attachments.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

using namespace win32;
using namespace wortex;

namespace {

HWND api = 0, edit = 0, status = 0;

const std::string& dictionaryPath() {
    return fuzz::scratchPath("api-message-fuzz");
}

void attach() {
    AttachRecord r{edit, status, kEditAdapter};
    SendMessage(api, 1194, 0, reinterpret_cast<LPARAM>(&r));
}

void start() {
    static bool started = [] { return fuzz::startLibrary(dictionaryPath(), api, edit, status); }();
    if (!started) std::abort();
    fuzz::ui().shown.clear();
    fuzz::ui().beeps.clear();
    fuzz::ui().helpCalls.clear();
    if (!SendMessage(api, 1144, 1, 0)) {
        LRESULT h = SendMessage(api, 1135, 0, reinterpret_cast<LPARAM>(dictionaryPath().c_str()));
        for (const char* w : {"Rechnung", "Winter", "Haus", "Maus", "Garten"})
            SendMessage(api, 1137, static_cast<WPARAM>(h), reinterpret_cast<LPARAM>(w));
    }
    attach();
    SetWindowText(edit, "Die Rechnnung ist im Winter\r\n\r\nbezahlt worden");
    SetEditWrapWidth(edit, 12);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    start();
    std::size_t pos = 0;
    auto take = [&](std::size_t n) {
        std::uint32_t v = 0;
        for (std::size_t i = 0; i < n && pos < size; ++i)
            v |= static_cast<std::uint32_t>(data[pos++]) << (8 * i);
        return v;
    };
    for (int steps = 0; pos < size && steps < 64; ++steps) {
        UINT message = 1024 + take(2) % 277;
        auto wParam = static_cast<WPARAM>(take(4));
        std::uint32_t mode = take(1);
        std::size_t length = take(1) % 200;
        alignas(8) unsigned char buffer[512] = {};
        for (std::size_t i = 0; i < length && pos < size; ++i)
            buffer[i] = data[pos++];
        if (mode & 0x80) { // a key or a click in the window
            UINT input = (mode & 0x40) ? WM_KEYDOWN : (mode & 0x20) ? WM_LBUTTONDOWN : WM_CHAR;
            SendMessage(edit, input, wParam & 0xFF, 0);
            continue;
        }
        LPARAM lParam = 0;
        switch (mode % 4) {
        case 1:
            lParam = reinterpret_cast<LPARAM>(buffer);
            break;
        case 2: // the window itself where a message takes one
            if (message == 1195 || message == 1196 || message == 1197 || message == 1202 || message == 1203) {
                lParam = static_cast<LPARAM>(edit);
                break;
            }
            [[fallthrough]];
        case 3:
            std::memcpy(buffer, &edit, sizeof edit);
            lParam = reinterpret_cast<LPARAM>(buffer);
            break;
        default:
            break;
        }
        if (message == 1194 && lParam) {
            // A host passes only adapters it has: the built-in ones here.
            AttachRecord r{};
            std::memcpy(&r.editWindow, buffer, sizeof r.editWindow);
            r.statusWindow = (mode & 0x10) ? status : 0;
            r.adapter = (mode & 0x20) ? kRichTextAdapter : kEditAdapter;
            std::memcpy(buffer, &r, sizeof r);
        }
        if ((message == 1134 || message == 1135) && lParam)
            lParam = reinterpret_cast<LPARAM>(dictionaryPath().c_str());
        LRESULT result = SendMessage(api, message, wParam, lParam);
        if (message == 1036 && result) GlobalFree(static_cast<HGLOBAL>(result));
        if (message == 1164 && result) {
            api = WX_Init();
            attach();
        }
    }
    return 0;
}
