// A host built only against the installed Wortex32.h, window layer and pkg-config file: loads the library
// named on the command line, checks a text in an EDIT window and prints it.
#include "StartWortex.h"
#include "platform/win32/EditControl.h"
#include "platform/win32/UiServices.h"
#include "platform/win32/Window.h"

#include <cstdio>
#include <filesystem>
#include <string>

using namespace win32;

int main(int argc, char** argv) {
    if (argc < 2) return 2;
    ScriptedUi ui; // the dialogs answered as a user would
    SetUiServices(&ui);
    void* library = nullptr;
    WX_HWND api = StartWortex(argv[1], library);
    if (!api) return 1;
    auto send = [api](UINT message, WPARAM wParam, const void* lParam) {
        return SendMessage(api, message, wParam, reinterpret_cast<LPARAM>(lParam));
    };
    const std::string file = std::filesystem::absolute("woerter.wxd").string();
    send(WX_MSG_CREATE_DICTIONARY, 'D', file.c_str());
    LRESULT dictionary = send(WX_MSG_OPEN_DICTIONARY, 0, file.c_str());
    if (!dictionary) return 1;
    for (const char* word : {"Der", "Bauherr", "zahlt", "die", "Rechnung", "Zeichnungen", "liegen", "vor"})
        send(WX_MSG_ADD_WORD, static_cast<WPARAM>(dictionary), word);

    HWND edit =
        CreateWindowEx(0, kEditClass, "Der Bauherr zahlt die Rechnnung\r\nDie zeichnungen liegen vor.",
                       ES_MULTILINE, 0, 0, 0, 0, 0, 0, 0, nullptr);
    WX_AttachRecord attach{edit, 0, WX_EDIT_ADAPTER};
    if (send(WX_MSG_ATTACH, WX_ATTACH, &attach) != 1) return 1;
    ui.dialogScripts[1101] = [](DialogModel& d) {
        if (d.text(1114) != "Rechnnung") {
            d.click(1112); // ignored
            return;
        }
        d.type(1101, "Rechnung");
        d.click(1111);
    };
    ui.dialogScripts[1000] = [](DialogModel& d) { d.click(102); };
    WX_CheckRange range{edit, 0, 0, 0, 0x7FFFFFFF};
    LRESULT checked = send(WX_MSG_CHECK_TEXT, 1, &range);
    std::string text = WindowText(edit);
    for (std::size_t at; (at = text.find("\r\n")) != std::string::npos;)
        text.replace(at, 2, "/");
    // The help goes to the pages installed with the library.
    send(WX_MSG_HELP, 0, nullptr);
    bool help = ui.helpCalls.size() == 1 && ui.helpCalls[0].data == 12 &&
                std::filesystem::is_regular_file(ui.helpCalls[0].file) &&
                std::filesystem::path(ui.helpCalls[0].file).parent_path().filename() == "help";
    std::printf("%ld|%s|%s\n", static_cast<long>(checked), text.c_str(), help ? "Hilfe" : "keine Hilfe");

    send(WX_MSG_ATTACH, WX_DETACH, &attach);
    DestroyWindow(edit);
    while (send(WX_MSG_EXIT, 0, nullptr)) {
    }
    dlclose(library);
    return 0;
}
