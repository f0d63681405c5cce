#include "ApiWindow.h"

#include "Attachments.h"
#include "Configuration.h"
#include "DescriptionDialog.h"
#include "DialogTemplates.h"
#include "DictionaryEditDialog.h"
#include "DictionarySet.h"
#include "Doz3.h"
#include "Hyphenation.h"
#include "LibraryDialogs.h"
#include "LibraryStrings.h"
#include "SettingsMessages.h"
#include "Suggestions.h"
#include "Support.h"
#include "TextCheck.h"
#include "UserFile.h"
#include "platform/win32/Kernel.h"
#include "platform/win32/UiServices.h"

#include <cstring>
#include <dlfcn.h>
#include <filesystem>
#include <string>

namespace wortex {

using namespace win32;

namespace {

constexpr std::size_t kNameBuffer = 260;

DBHandle handleOf(WPARAM wParam) {
    return static_cast<DBHandle>(wParam & 0x0FFF);
}

void copyName(const std::string& name, LPARAM buffer) {
    if (!buffer) return;
    auto* out = reinterpret_cast<char*>(buffer);
    std::size_t n = std::min(name.size(), kNameBuffer - 1);
    std::memcpy(out, name.data(), n);
    out[n] = 0;
}

bool readsDictionaries(UINT message) {
    return (message >= 1032 && message <= 1037) || (message >= 1137 && message <= 1140) ||
           (message >= 1142 && message <= 1145) || (message >= 1196 && message <= 1204);
}

LRESULT immediateOperation(LibraryState&, EditAttachment& a, WPARAM wParam, LPARAM) {
    LRESULT before = a.immediate;
    if (wParam == 2) a.immediate = 1;
    if (wParam == 1) a.immediate = 0;
    return before;
}

LRESULT lookUp(WPARAM wParam, char* buffer) {
    bool exact = (wParam & 0x6000) != 0;
    DBHandle found = FindWordInDictionaries(handleOf(wParam), buffer, 0, exact, buffer + 64);
    if (found && (wParam & 0x2000) && !std::strchr(buffer + 64, '~')) {
        char language = GetDictionaryLanguageOf(found);
        char correction[64] = {};
        unsigned char marks[kMarkCount] = {};
        char hyphenated[64] = {};
        if (FindBestCorrection(found, language, buffer + 64, correction, marks, true) &&
            HyphenateWord(language, buffer + 64, marks, hyphenated))
            std::memcpy(buffer + 64, hyphenated, 64);
    }
    return found;
}

LRESULT serve(LibraryState& s, HWND window, UINT message, WPARAM wParam, LPARAM lParam, bool& served) {
    served = true;
    auto* text = reinterpret_cast<char*>(lParam);
    DBHandle h = handleOf(wParam);
    if (readsDictionaries(message)) RefreshDictionaries();
    switch (message) {
    case 1032:
    case 1033:
    case 1034:
    case 1035: {
        if (!text) return 0;
        bool flag = (wParam & 0x4000) != 0;
        switch (message) {
        case 1032:
            return FirstListWord(h, text, flag);
        case 1033:
            return NextListWord(h, text, flag);
        case 1034:
            return PreviousListWord(h, text, flag);
        default:
            return LastListWord(h, text, flag);
        }
    }
    case 1036: {
        if (!text) return 0;
        // In the case of the word asked about, as the suggestions dialog offers them.
        HGLOBAL block = MakeSuggestionList(text, wParam != 0);
        CaseSuggestionList(block, text);
        return block;
    }
    case 1037:
        return text ? BestReplacement(text, text + 64) : 0;
    case 1038:
        return LockDictionary(h);
    case 1039:
        return UnlockDictionary(h);
    case 1124:
        if (!text) return 0;
        return CompareTexts(text, text + std::strlen(text) + 1, static_cast<int>(wParam & 0x7FFF),
                            (wParam & 0x8000) != 0);
    case 1125: {
        std::string helpFile(s.helpFile, strnlen(s.helpFile, sizeof s.helpFile));
        auto help = [window, helpFile](unsigned topic) {
            WinHelp(window, helpFile.c_str(), HELP_CONTEXT, topic);
        };
        StyleDialogServices().help = help;
        HWND active = GetActiveWindow();
        DictionaryEditDialog(active, help);
        SetActiveWindow(active);
        return 0;
    }
    case 1127:
    case 1129:
    case 1130:
    case 1131:
    case 1141:
        return SettingsMessage(s, message, wParam, lParam);
    case 1126: {
        std::uint32_t before = s.options;
        if (wParam == 2) {
            auto now = NormaliseOptions(static_cast<std::uint32_t>(lParam));
            s.options = now;
            if ((before ^ now) & kOptionAutoCheck) SetImmediateAll(s, (now & kOptionAutoCheck) != 0);
        }
        return before;
    }
    case 1128:
        WinHelp(window, s.helpFile, HELP_CONTEXT, 12);
        return 0;
    case 1134:
        // During an operation the dictionaries are in use.
        if (!text || LibraryDepth() > 1) return 0;
        return CreateDictionaryFile(text, static_cast<char>(wParam));
    case 1135: {
        if (!text || std::strlen(text) >= kNameBuffer) return 0;
        DBHandle opened = OpenDictionary(wParam != 0, text);
        if (opened && GetDictionaryFileName(opened).size() >= kNameBuffer) {
            CloseDictionary(opened);
            return 0;
        }
        return opened;
    }
    case 1136:
        if (LibraryDepth() <= 1) CloseDictionary(h);
        return 0;
    case 1137:
        return text ? AddDictionaryWord(h, text, (wParam & 0x8000) != 0, (wParam & 0x4000) != 0, 0, 0) : 0;
    case 1138:
        return text ? DeleteDictionaryWord(h, text) : 0;
    case 1139:
        return text ? ChangeDictionaryWord(h, text, text + 64, (wParam & 0x4000) != 0, (wParam & 0x8000) != 0)
                    : 0;
    case 1140:
        return text ? lookUp(wParam, text) : 0;
    case 1142:
        return static_cast<unsigned char>(GetDictionaryLanguageOf(h));
    case 1143:
        return static_cast<LRESULT>(GetDictionaryWordCount(h));
    case 1144: {
        std::string name;
        DBHandle found = EnumDictionaries(static_cast<int>(wParam), &name);
        if (found) copyName(name, lParam);
        return found;
    }
    case 1145: {
        std::string name;
        DBHandle found = GetMainDictionary(&name);
        if (found) copyName(name, lParam);
        return found;
    }
    case 1146:
        SetMainDictionary(h);
        return 0;
    case 1194:
        return RunEditOperation(s, message, nullptr, wParam, lParam);
    case 1195:
        return RunEditOperation(s, message, &immediateOperation, wParam, lParam);
    case 1196:
        return RunEditOperation(s, message, &WordDialogOperation, wParam, lParam);
    case 1197:
        return RunEditOperation(s, message, &CorrectPendingOperation, wParam, lParam);
    case 1199:
    case 1200:
        return RunEditOperation(s, message, &WordOperation, message == 1200 ? 1 : 0, lParam);
    case 1201:
        return RunEditOperation(s, message, &CheckTextOperation, wParam, lParam);
    case 1202:
        return RunEditOperation(s, message, &CheckCaretWordOperation, wParam, lParam);
    case 1203:
        return RunEditOperation(s, message, &InsertMarkedOperation, wParam, lParam);
    case 1204:
        return RunEditOperation(s, message, &AttachmentStateOperation, wParam, lParam);
    default:
        served = false;
        return 0;
    }
}

} // namespace

std::string HelpPages() {
    Dl_info info{};
    if (!dladdr(reinterpret_cast<void*>(&WX_Init), &info) || !info.dli_fname) return {};
    std::error_code ec;
    std::filesystem::path dir = std::filesystem::absolute(info.dli_fname, ec).parent_path();
    for (const std::filesystem::path& pages : {dir / "wortex-help", dir / WORTEX_HELP_FROM_LIBRARY}) {
        std::filesystem::path index = (pages / "index.html").lexically_normal();
        if (std::filesystem::is_regular_file(index, ec)) return index.string();
    }
    return {};
}

LRESULT ApiWndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    std::lock_guard lock(LibraryMutex());
    if (message == 1164) return RequestLibraryExit();
    LibraryState* s = LockLibraryState();
    if (!s) return DefWindowProc(window, message, wParam, lParam);
    if (message != 1204) s->cachedWindow = 0;
    EnterLibrary();
    bool served = false;
    LRESULT result = serve(*s, window, message, wParam, lParam, served);
    // A state asked for while this request ran (a host that updates its menus while a dialog is open) may
    // be out of date when it returns.
    if (message != 1204) s->cachedWindow = 0;
    UnlockLibraryState();
    LeaveLibrary();
    return served ? result : DefWindowProc(window, message, wParam, lParam);
}

} // namespace wortex

extern "C" win32::HWND WX_Init() {
    using namespace wortex;
    using namespace win32;
    std::lock_guard lock(LibraryMutex());
    if (CreateLibraryState()) {
        InitDictionarySide(120);
        InstallDialogs();
        LibraryState* s = LockLibraryState();
        std::string name = LibraryClassName();
        WNDCLASS wc;
        wc.style = CS_GLOBALCLASS;
        wc.lpfnWndProc = &ApiWndProc;
        wc.hInstance = LibraryInstance();
        wc.lpszClassName = name.c_str();
        RegisterClass(wc);
        s->apiWindow =
            CreateWindowEx(0, name.c_str(), name.c_str(), 0, 0, 0, 0, 0, 0, 0, LibraryInstance(), nullptr);
        DialogModule();
        ReadConfiguration(&s->configurationPlace, &s->options);
        std::string help = "WORTEX.HLP";
        std::strcpy(s->helpFile, help.c_str());
        if (ResolvePath(help) && help.size() < sizeof s->helpFile)
            std::strcpy(s->helpFile, help.c_str());
        else if (std::string pages = HelpPages(); !pages.empty() && pages.size() < sizeof s->helpFile)
            std::strcpy(s->helpFile, pages.c_str());
        UnlockLibraryState();
    }
    LibraryState* s = LockLibraryState();
    HWND api = s ? s->apiWindow : 0;
    UnlockLibraryState();
    return api;
}
