// The check path on random text: the bytes give an EDIT text and its wrap width, then keys and the check
// messages with the answers of their dialogs and message boxes. No check may leave its history file behind.
#include "LibrarySupport.h"
#include "ApiWindow.h"
#include "Attachments.h"
#include "TextCheck.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <unistd.h>

using namespace win32;
using namespace wortex;

namespace {

HWND api = 0, edit = 0, status = 0;
const std::uint8_t* in = nullptr;
std::size_t inSize = 0, pos = 0;

std::uint32_t take(std::size_t n) {
    std::uint32_t v = 0;
    for (std::size_t i = 0; i < n && pos < inSize; ++i)
        v |= static_cast<std::uint32_t>(in[pos++]) << (8 * i);
    return v;
}

const std::string& dictionaryPath() {
    return fuzz::scratchPath("check-path-fuzz");
}

void start() {
    static bool started = [] {
        if (!fuzz::startLibrary(dictionaryPath(), api, edit, status)) return false;
        LRESULT h = SendMessage(api, 1135, 0, reinterpret_cast<LPARAM>(dictionaryPath().c_str()));
        for (const char* w : {"Die", "neue", "Genehmigung", "ist", "da", "Rechnung", "Zeichnungen", "Haus"})
            SendMessage(api, 1137, static_cast<WPARAM>(h), reinterpret_cast<LPARAM>(w));
        AttachRecord r{edit, status, kEditAdapter};
        SendMessage(api, 1194, 0, reinterpret_cast<LPARAM>(&r));
        // Dialog answers come from the input.
        fuzz::ui().dialogScripts[1101] = [](DialogModel& d) {
            switch (take(1) % 4) {
            case 0:
                d.type(1101, std::string(1 + take(1) % 8, static_cast<char>('a' + take(1) % 26)));
                d.click(1111);
                break;
            case 1:
                d.click(1112);
                break;
            case 2:
                d.click(1113);
                break;
            default:
                break;
            }
        };
        fuzz::ui().dialogScripts[1000] = [](DialogModel& d) {
            if (take(1) & 1) d.click(1004);
        };
        return api && edit;
    }();
    if (!started) std::abort();
    fuzz::ui().shown.clear();
    fuzz::ui().beeps.clear();
}

void historyGoneOrAbort() {
    LibraryState* s = LockLibraryState();
    EditAttachment* a = s ? FindAttachment(*s, edit) : nullptr;
    bool left = a && (a->historyHandle || a->historyFile[0] || a->operationRunning);
    std::string name = a ? a->historyFile : "";
    UnlockLibraryState();
    if (left || (!name.empty() && ::access(name.c_str(), F_OK) == 0)) std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    start();
    in = data;
    inSize = size;
    pos = 0;
    SetEditWrapWidth(edit, static_cast<int>(take(1) % 40));
    std::size_t length = take(1) % 160;
    std::string text;
    for (std::size_t i = 0; i < length && pos < size; ++i)
        text += static_cast<char>(data[pos++] ? data[pos - 1] : ' ');
    SetWindowText(edit, text.c_str());
    SendMessage(api, 1126, 2, static_cast<LPARAM>(0x3F07E ^ (take(2) & 0x30B)));
    for (int steps = 0; pos < size && steps < 32; ++steps) {
        std::uint32_t action = take(1);
        auto wParam = static_cast<WPARAM>(take(2));
        fuzz::ui().answers = {static_cast<int>(take(1) & 1 ? IDYES : IDNO)};
        switch (action % 8) {
        case 0: {
            CheckRange r{edit, static_cast<std::int32_t>(take(1) % 50),
                         static_cast<std::int32_t>(take(1) % 8), 0, static_cast<std::int32_t>(take(1) % 10)};
            if (take(1) & 1) PostMessage(edit, WM_KEYDOWN, 'A', 0);
            SendMessage(api, 1201, wParam & 1, reinterpret_cast<LPARAM>(&r));
            break;
        }
        case 1:
            SendMessage(api, 1202, wParam, static_cast<LPARAM>(edit));
            break;
        case 2:
            SendMessage(api, 1196, wParam & 0x3012, static_cast<LPARAM>(edit));
            break;
        case 3:
            SendMessage(api, 1197, wParam & 4, static_cast<LPARAM>(edit));
            break;
        case 4:
            SendMessage(api, 1203, 0, static_cast<LPARAM>(edit));
            break;
        case 5:
            SendMessage(edit, EM_SETSEL, wParam % 200, wParam % 200);
            break;
        case 6:
            SendMessage(edit, WM_KEYDOWN, wParam & 0xFF, 0);
            break;
        default:
            SendMessage(edit, WM_CHAR, wParam & 0xFF, 0);
            break;
        }
        historyGoneOrAbort();
    }
    return 0;
}
