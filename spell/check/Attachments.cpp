#include "Attachments.h"
#include "platform/win32/EditControl.h"
#include "platform/win32/GlobalMemory.h"
#include "LibraryState.h"
#include "Support.h"
#include "TextCheck.h"
#include "DictionarySet.h"

#include "Wortex32.h"

#include <algorithm>
#include <cstddef>
#include <cstring>
#include <dlfcn.h>
#include <map>
#include <string>
#include <vector>

namespace wortex {

using namespace win32;

// The records and numbers a host takes from the public header are the library's own.
static_assert(sizeof(WX_AttachRecord) == sizeof(AttachRecord) && sizeof(WX_LineRecord) == sizeof(LineRecord) &&
              sizeof(WX_ReplaceRecord) == sizeof(ReplaceRecord) && sizeof(WX_MarkRecord) == sizeof(MarkRecord) &&
              sizeof(WX_WordRecord) == sizeof(WordRecord) && sizeof(WX_CheckRange) == sizeof(CheckRange) &&
              sizeof(WX_StateRecord) == sizeof(AttachmentStateRecord));
static_assert(offsetof(WX_ReplaceRecord, text) == offsetof(ReplaceRecord, text) &&
              offsetof(WX_LineRecord, memory) == offsetof(LineRecord, memory) &&
              offsetof(WX_MarkRecord, correction) == offsetof(MarkRecord, correction) &&
              offsetof(WX_StateRecord, bits) == offsetof(AttachmentStateRecord, bits));
static_assert(WX_AD_FREEZE == kAdFreeze && WX_AD_RESTORE_VIEW == kAdRestoreView && WX_AD_LINE_BREAK == kAdLineBreak &&
              WX_AD_STATUS_SHOW == kAdStatusShow && WX_AD_STATUS_CLEAR == kAdStatusClear &&
              WX_HARD_BREAK == kHardBreak && WX_SOFT_BREAK == kSoftBreak && WX_RICHTEXT_ADAPTER == kRichTextAdapter &&
              WX_DEFAULT_OPTIONS == kDefaultOptions && WX_OPTION_AUTO_SPLIT == kOptionAutoSplit &&
              WX_OPTION_CONFIRM_CORR == kOptionConfirmCorr);

namespace {

constexpr UINT kAttach = 1194;

EditAttachment* attachmentAt(HGLOBAL h) {
    auto* a = static_cast<EditAttachment*>(LockBlock(h));
    if (a) UnlockBlock(h);
    return a;
}

// Windows the library's procedure stays chained into after their attachment went (someone subclassed
// them again): their messages go on to the procedure the library had replaced.
std::map<HWND, WNDPROC>& orphans() {
    static std::map<HWND, WNDPROC> m;
    return m;
}

void keepLibraryLoaded() {
    Dl_info info{};
    if (dladdr(reinterpret_cast<void*>(&EditSubclassProc), &info) && info.dli_fname)
        dlopen(info.dli_fname, RTLD_NOW | RTLD_NOLOAD | RTLD_NODELETE);
}

// Attachments retired while the library was at work; an operation, a typing check or a dialog further out
// may still hold them.
std::vector<HGLOBAL>& retiredAttachments() {
    static std::vector<HGLOBAL> r;
    return r;
}

// Takes the window's attachment out of the list. Its block stays until the library's outermost call ends
// (FreeRetiredAttachments); its line cache too, whose lines a caller further out may still read.
void retire(LibraryState& s, HWND window) {
    HGLOBAL prev = 0;
    for (HGLOBAL h = s.attachments; h;) {
        EditAttachment* a = attachmentAt(h);
        if (!a) return;
        HGLOBAL next = a->next;
        if (a->editWindow == window) {
            if (prev)
                attachmentAt(prev)->next = next;
            else
                s.attachments = next;
            a->next = 0;
            a->retired = 1;
            retiredAttachments().push_back(h);
            return;
        }
        prev = h;
        h = next;
    }
}

// Takes the library's procedure out of the window; the exit safety message when another replaced it.
void restoreProcedure(EditAttachment& a) {
    HWND w = a.editWindow;
    if (GetWindowLongPtr(w, GWLP_WNDPROC) == reinterpret_cast<LONG_PTR>(&EditSubclassProc)) {
        SetWindowLongPtr(w, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(a.previousProc));
    } else if (IsWindow(w)) {
        orphans()[w] = a.previousProc;
        keepLibraryLoaded();
        ExitSafetyMessage();
    }
}

void detach(LibraryState& s, EditAttachment& a) {
    restoreProcedure(a);
    retire(s, a.editWindow);
}

LRESULT attach(LibraryState& s, const AttachRecord& r) {
    if (FindAttachment(s, r.editWindow)) return 1;
    if (!IsWindow(r.editWindow)) return 0;
    HGLOBAL h = AllocBlock(sizeof(EditAttachment));
    EditAttachment* a = h ? attachmentAt(h) : nullptr;
    if (!a) return 0;
    std::memset(a, 0, sizeof *a);
    a->editWindow = r.editWindow;
    a->statusWindow = r.statusWindow;
    if (r.adapter == kEditAdapter)
        a->adapter = &EditAdapterProc;
    else if (r.adapter == kRichTextAdapter || r.adapter == kRichTextAdapter32)
        a->adapter = &RichTextAdapterProc;
    else
        a->adapter = reinterpret_cast<WNDPROC>(r.adapter);
    a->immediate = (s.options & kOptionAutoCheck) ? 1 : 0;
    a->markStartLine = a->markStartColumn = a->markEndLine = a->markEndColumn = -1;
    a->lastWordStartLine = a->lastWordStartColumn = -1;
    a->changeLow = 0x7FFFFFFF;
    a->changeHigh = -1;
    if (!s.attachments) {
        s.attachments = h;
    } else {
        HGLOBAL last = s.attachments;
        while (attachmentAt(last)->next)
            last = attachmentAt(last)->next;
        attachmentAt(last)->next = h;
    }
    orphans().erase(r.editWindow);
    a->previousProc = reinterpret_cast<WNDPROC>(GetWindowLongPtr(r.editWindow, GWLP_WNDPROC));
    SetWindowLongPtr(r.editWindow, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&EditSubclassProc));
    return 1;
}

bool isInputMessage(UINT m) {
    return (m >= WM_KEYDOWN && m <= WM_SYSDEADCHAR) || (m >= WM_LBUTTONDOWN && m <= WM_MBUTTONDBLCLK);
}

std::int32_t* caretPair(HWND w) {
    return reinterpret_cast<std::int32_t*>(SendMessage(w, RT_GETCARET, 0, 0));
}

std::string statusText(WPARAM kind, const MarkRecord& m) {
    std::string t(m.inText, strnlen(m.inText, sizeof m.inText));
    if (m.correction[0]) t += " -> " + std::string(m.correction, strnlen(m.correction, sizeof m.correction));
    if (kind & 1) t += " ?";
    return t;
}

} // namespace

LRESULT (*TypingCheck)(LibraryState&, EditAttachment&, UINT, WPARAM, LPARAM) = &CheckWhileTyping;
void (*AutoHyphenation)(LibraryState&, EditAttachment&, std::int32_t, std::int32_t) = &HyphenateChangedLines;

EditAttachment* FindAttachment(LibraryState& s, HWND window) {
    if (!window) return nullptr;
    for (HGLOBAL h = s.attachments; h;) {
        EditAttachment* a = attachmentAt(h);
        if (!a) return nullptr;
        if (a->editWindow == window) return a;
        h = a->next;
    }
    return nullptr;
}

LRESULT Adapter(EditAttachment& a, UINT command, WPARAM wParam, LPARAM lParam) {
    // The window has gone: no line, nothing done.
    if (a.retired) return command == kAdLineLength ? -1 : 0;
    if (command == kAdStatusShow || command == kAdStatusClear) {
        if (!a.statusWindow) return 0;
        return CallWindowProc(a.adapter, a.statusWindow, command, wParam, lParam);
    }
    return CallWindowProc(a.adapter, a.editWindow, command, wParam, lParam);
}

bool WrappedAfter(EditAttachment& a, std::int32_t line) {
    return Adapter(a, kAdLineBreak, 0, line) == kSoftBreak;
}

LRESULT EditAdapterProc(HWND w, UINT command, WPARAM wParam, LPARAM lParam) {
    const bool multi = (GetWindowLongPtr(w, GWL_STYLE) & ES_MULTILINE) != 0;
    auto lineIndex = [&](std::intptr_t line) {
        return SendMessage(w, EM_LINEINDEX, static_cast<WPARAM>(line), 0);
    };
    auto readCaret = [&](std::int32_t* line) -> LRESULT {
        DWORD start = 0, end = 0;
        SendMessage(w, EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
        LRESULT l = 0, lineStart = 0;
        if (multi) {
            l = SendMessage(w, EM_LINEFROMCHAR, static_cast<WPARAM>(-1), 0);
            lineStart = lineIndex(l);
        }
        if (line) *line = static_cast<std::int32_t>(l);
        return static_cast<LRESULT>(std::max(start, end)) - lineStart;
    };
    switch (command) {
    case kAdFreeze:
        SendMessage(w, WM_SETREDRAW, wParam, 0);
        if (wParam) {
            SendMessage(w, EM_SCROLLCARET, 0, 0);
            if (!multi) InvalidateRect(w, nullptr, false);
            UpdateWindow(w);
        }
        return 1;
    case kAdGetCaret:
        return readCaret(reinterpret_cast<std::int32_t*>(lParam));
    case kAdSetCaret: {
        LRESULT pos = static_cast<LRESULT>(wParam) + (multi ? lineIndex(lParam) : 0);
        SendMessage(w, EM_SETSEL, static_cast<WPARAM>(pos), pos);
        SendMessage(w, EM_SCROLLCARET, 0, 0);
        return 1;
    }
    case kAdShowMark:
    case kAdClearMark:
        return 1;
    case kAdLineLength: {
        if (!multi && lParam > 0) return -1;
        LRESULT index = lineIndex(lParam);
        if (index < 0) return -1;
        return SendMessage(w, EM_LINELENGTH, static_cast<WPARAM>(index), 0);
    }
    case kAdGetLine: {
        auto* r = reinterpret_cast<LineRecord*>(lParam);
        if (!r || !r->text || r->size == 0) return 0;
        std::uint32_t want = r->size - 1;
        if (r->size >= 3 && want <= 0xFFFF) {
            auto n = static_cast<std::uint16_t>(want);
            std::memcpy(r->text, &n, sizeof n);
            LRESULT got =
                SendMessage(w, EM_GETLINE, static_cast<WPARAM>(r->line), reinterpret_cast<LPARAM>(r->text));
            r->text[r->size - 1] = 0;
            return got;
        }
        // The count of EM_GETLINE has 16 bits: longer (and one-character) lines come from the whole text.
        LRESULT index = multi ? lineIndex(r->line) : 0;
        if (index < 0) return 0;
        std::string all(static_cast<std::size_t>(SendMessage(w, WM_GETTEXTLENGTH, 0, 0)) + 1, '\0');
        all.resize(static_cast<std::size_t>(
            SendMessage(w, WM_GETTEXT, all.size(), reinterpret_cast<LPARAM>(all.data()))));
        auto from = static_cast<std::size_t>(index);
        if (from > all.size()) return 0;
        std::size_t n = std::min<std::size_t>(want, all.size() - from);
        std::memcpy(r->text, all.data() + from, n);
        r->text[n] = 0;
        return static_cast<LRESULT>(n);
    }
    case kAdReplace: {
        auto* r = reinterpret_cast<ReplaceRecord*>(lParam);
        if (!r) return 0;
        LRESULT s = r->startColumn + (multi ? lineIndex(r->startLine) : 0);
        LRESULT e = r->endColumn + (multi ? lineIndex(r->endLine) : 0);
        SendMessage(w, EM_SETSEL, static_cast<WPARAM>(s), e);
        SendMessage(w, EM_SCROLLCARET, 0, 0);
        SendMessage(w, EM_REPLACESEL, 0, reinterpret_cast<LPARAM>(r->text ? r->text : ""));
        r->outColumn = static_cast<std::int32_t>(readCaret(&r->outLine));
        return 1;
    }
    case kAdSaveView: {
        auto* v = reinterpret_cast<std::int32_t*>(lParam);
        if (!v) return 0;
        SendMessage(w, EM_GETSEL, reinterpret_cast<WPARAM>(&v[1]), reinterpret_cast<LPARAM>(&v[3]));
        return 1;
    }
    case kAdRestoreView: {
        auto* v = reinterpret_cast<std::int32_t*>(lParam);
        if (!v) return 0;
        if (v[1] != v[3]) {
            SendMessage(w, EM_SETSEL, static_cast<WPARAM>(v[1]), v[3]);
            SendMessage(w, EM_SCROLLCARET, 0, 0);
        }
        return 1;
    }
    case kAdLineBreak: {
        if (!multi) return lParam == 0 ? kHardBreak : 0;
        LRESULT index = lineIndex(lParam);
        if (index < 0) return 0;
        LRESULT next = lineIndex(lParam + 1);
        // Between a line and the next, the text holds CR LF where the user broke it, nothing where the
        // window wrapped it. The last line ends the text.
        if (next < 0) return kHardBreak;
        return next > index + SendMessage(w, EM_LINELENGTH, static_cast<WPARAM>(index), 0) ? kHardBreak
                                                                                           : kSoftBreak;
    }
    case kAdStatusShow: {
        auto* m = reinterpret_cast<const MarkRecord*>(lParam);
        if (!m) return 0;
        SetWindowText(w, statusText(wParam, *m).c_str());
        return 1;
    }
    case kAdStatusClear:
        SetWindowText(w, "");
        return 1;
    default:
        return 0;
    }
}

LRESULT RichTextAdapterProc(HWND w, UINT command, WPARAM wParam, LPARAM lParam) {
    auto send = [&](UINT m, std::intptr_t a, std::intptr_t b) {
        return SendMessage(w, m, static_cast<WPARAM>(a), b);
    };
    auto selectRange = [&](std::int32_t sc, std::int32_t sl, std::int32_t ec, std::int32_t el) {
        send(RT_SETCARET, sc, sl);
        send(RT_SELECT, sl == el ? ec - sc : ec, el - sl);
    };
    switch (command) {
    case kAdFreeze:
        send(WM_SETREDRAW, static_cast<std::intptr_t>(wParam), 0);
        return 1;
    case kAdGetCaret: {
        std::int32_t* p = caretPair(w);
        if (!p) return 0;
        if (lParam) *reinterpret_cast<std::int32_t*>(lParam) = p[1];
        return p[0];
    }
    case kAdSetCaret:
        send(RT_SETCARET, static_cast<std::intptr_t>(wParam), lParam);
        return 1;
    case kAdShowMark: {
        auto* m = reinterpret_cast<const MarkRecord*>(lParam);
        if (m && (wParam & 2)) selectRange(m->startColumn, m->startLine, m->endColumn, m->endLine);
        return 1;
    }
    case kAdClearMark:
        if (wParam & 2) send(RT_SELECT, 0, 0);
        return 1;
    case kAdLineLength:
        if (lParam < 0 || send(RT_GETLINECOUNT, 0, 0) <= lParam) return -1;
        return send(RT_LINELENGTH, 0, lParam);
    case kAdGetLine: {
        auto* r = reinterpret_cast<LineRecord*>(lParam);
        if (!r || !r->text) return 0;
        std::int32_t* p = caretPair(w);
        if (!p || p[1] != r->line) send(RT_SETCARET, 0, r->line);
        return send(RT_GETCARETLINE, static_cast<std::intptr_t>(r->size), reinterpret_cast<LPARAM>(r->text));
    }
    case kAdReplace: {
        auto* r = reinterpret_cast<ReplaceRecord*>(lParam);
        if (!r) return 0;
        selectRange(r->startColumn, r->startLine, r->endColumn, r->endLine);
        send(RT_REPLACESEL, 0, reinterpret_cast<LPARAM>(r->text ? r->text : ""));
        if (std::int32_t* p = caretPair(w)) {
            r->outColumn = p[0];
            r->outLine = p[1];
        }
        return 1;
    }
    case kAdSaveView: {
        auto* v = reinterpret_cast<std::int32_t*>(lParam);
        if (!v) return 0;
        auto* first = reinterpret_cast<std::int32_t*>(send(RT_FIRSTVISIBLE, 0, 0));
        if (!first) return 1;
        v[1] = first[0];
        v[2] = first[1];
        if (std::int32_t* p = caretPair(w)) {
            v[3] = p[0];
            v[4] = p[1];
        }
        return 1;
    }
    case kAdRestoreView: {
        auto* v = reinterpret_cast<std::int32_t*>(lParam);
        if (!v) return 0;
        if ((v[1] == v[3] && v[2] == v[4]) || send(RT_VIEWUNCHANGED, 0, 0)) return 1;
        send(RT_SETCARET, v[3], v[4]);
        bool after = v[2] > v[4] || (v[2] == v[4] && v[1] > v[3]);
        std::intptr_t columns = after ? v[1] : v[1] - send(RT_LINELENGTH, 0, v[2]);
        send(RT_SELECT, columns, v[2] - v[4]);
        return 1;
    }
    case kAdLineBreak:
        return lParam < 0 ? 0 : send(RT_LINEBREAK, 0, lParam);
    case kAdStatusShow: {
        auto* m = reinterpret_cast<const MarkRecord*>(lParam);
        if (!m) return 0;
        std::string t = statusText(wParam, *m);
        for (std::size_t i = 0; i < t.size(); ++i) {
            auto c = static_cast<unsigned char>(t[i]);
            if ((c == 0x8C || c == 0x9C) && i < 62) {
                t[i] = c == 0x8C ? 'O' : 'o';
                t.insert(i + 1, 1, 'e');
                ++i;
            } else if (c == 0x8A) {
                t[i] = 'S';
            } else if (c == 0x9A) {
                t[i] = 's';
            }
        }
        send(RT_SETSTATUS, static_cast<std::intptr_t>(t.size()), reinterpret_cast<LPARAM>(t.c_str()));
        return 1;
    }
    case kAdStatusClear:
        send(RT_SETSTATUS, 0, reinterpret_cast<LPARAM>(""));
        return 1;
    default:
        return 0;
    }
}

void EmptyLineCache(EditAttachment& a) {
    while (LineRecord* r = a.lineCache) {
        a.lineCache = r->next;
        GlobalUnlock(r->memory);
        GlobalFree(r->memory);
        delete static_cast<CachedLineRecord*>(r);
    }
}

CachedLineRecord* CachedLine(EditAttachment& a, std::int32_t line, bool* error) {
    if (error) *error = a.retired != 0;
    if (a.retired) return nullptr;
    for (LineRecord* r = a.lineCache; r; r = r->next)
        if (r->line == line) return static_cast<CachedLineRecord*>(r);
    LRESULT length = Adapter(a, kAdLineLength, 0, line);
    if (length < 0) {
        if (error) *error = true;
        return nullptr;
    }
    if (length == 0) return nullptr;
    auto* r = new CachedLineRecord{};
    r->line = line;
    r->size = static_cast<std::uint32_t>(length + 1);
    r->memory = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, r->size);
    r->text = r->memory ? static_cast<char*>(GlobalLock(r->memory)) : nullptr;
    if (!r->text || !Adapter(a, kAdGetLine, 0, reinterpret_cast<LPARAM>(static_cast<LineRecord*>(r)))) {
        if (r->memory) {
            GlobalUnlock(r->memory);
            GlobalFree(r->memory);
        }
        delete r;
        if (error) *error = true;
        return nullptr;
    }
    LineRecord** at = &a.lineCache;
    while (*at && (*at)->line < line)
        at = &(*at)->next;
    r->next = *at;
    *at = r;
    return r;
}

std::int32_t CachedLineLength(EditAttachment& a, std::int32_t line) {
    if (a.retired) return -1;
    for (LineRecord* r = a.lineCache; r; r = r->next)
        if (r->line == line) return static_cast<std::int32_t>(r->size - 1);
    LRESULT n = Adapter(a, kAdLineLength, 0, line);
    return n < 0 ? -1 : static_cast<std::int32_t>(n);
}

namespace {
// The set of dictionaries the cached state was worked out on; a dialog may close or open dictionaries
// without any request reaching the api window.
std::uint64_t cachedStamp = 0;
} // namespace

void CacheAttachmentState(LibraryState& s, HWND window, const void* record) {
    std::memcpy(s.cachedState, record, sizeof s.cachedState);
    s.cachedWindow = window;
    cachedStamp = DictionaryStamp();
}

bool AttachmentStateCached(LibraryState& s, HWND window) {
    if (!window || s.cachedWindow != window) return false;
    if (cachedStamp == DictionaryStamp()) return true;
    s.cachedWindow = 0;
    return false;
}

void ThawForDrawing(EditAttachment& a) {
    if (a.freezeDepth <= 0) return;
    ShowCaret(a.editWindow);
    Adapter(a, kAdFreeze, 1, 0);
    Adapter(a, kAdFreeze, 0, 0);
    HideCaret(a.editWindow);
}

LRESULT RunEditOperation(LibraryState& s, UINT message, EditOperation operation, WPARAM wParam,
                         LPARAM lParam) {
    HWND w = 0;
    if (message == 1195 || message == 1196 || message == 1197 || message == 1202 || message == 1203) {
        w = static_cast<HWND>(lParam);
    } else {
        if (!lParam) return 0;
        w = *reinterpret_cast<const HWND*>(lParam);
    }
    if (message == 1204 && AttachmentStateCached(s, w)) {
        std::memcpy(reinterpret_cast<void*>(lParam), s.cachedState, sizeof s.cachedState);
        return 1;
    }
    if (message == kAttach) {
        const auto& r = *reinterpret_cast<const AttachRecord*>(lParam);
        if (wParam == 0 || wParam == 2) return attach(s, r);
        if (wParam != 1) return 0;
        EditAttachment* a = FindAttachment(s, w);
        if (!a) return 0;
        detach(s, *a);
        return 1;
    }
    EditAttachment* a = FindAttachment(s, w);
    if (!a) return 0;
    if (message == 1202) {
        a->lastWordStartLine = a->lastWordStartColumn = -1;
        a->lastWord[0] = 0;
    }
    if (a->operationRunning) return 0;
    EnterLibrary();
    a->operationRunning = 1;
    if (a->freezeDepth == 0) {
        Adapter(*a, kAdFreeze, 0, 0);
        HideCaret(w);
    }
    ++a->freezeDepth;
    std::int32_t view[5] = {};
    if (message == 1204) Adapter(*a, kAdSaveView, 0, reinterpret_cast<LPARAM>(view));
    std::int32_t line = 0;
    a->caretColumn = a->wantedColumn =
        static_cast<std::int32_t>(Adapter(*a, kAdGetCaret, 0, reinterpret_cast<LPARAM>(&line)));
    a->caretLine = a->wantedLine = line;
    LRESULT result = operation ? operation(s, *a, wParam, lParam) : 0;
    // A window that went meanwhile (closed by an adapter or a dialog) ends the operation with result 0.
    if (a->retired) {
        if (s.cachedWindow == w) s.cachedWindow = 0;
    } else {
        EmptyLineCache(*a);
        line = 0;
        auto column = static_cast<std::int32_t>(Adapter(*a, kAdGetCaret, 0, reinterpret_cast<LPARAM>(&line)));
        if (column != a->wantedColumn || line != a->wantedLine)
            Adapter(*a, kAdSetCaret, static_cast<WPARAM>(a->wantedColumn), a->wantedLine);
        if (message == 1204) Adapter(*a, kAdRestoreView, 0, reinterpret_cast<LPARAM>(view));
        if (--a->freezeDepth == 0) {
            Adapter(*a, kAdFreeze, 1, 0);
            ShowCaret(w);
        }
        a->operationRunning = 0;
    }
    if (a->retired) result = 0;
    LeaveLibrary();
    return result;
}

LRESULT EditSubclassProc(HWND w, UINT message, WPARAM wParam, LPARAM lParam) {
    std::lock_guard lock(LibraryMutex());
    LibraryState* s = LockLibraryState();
    EditAttachment* a = s ? FindAttachment(*s, w) : nullptr;
    if (!a) {
        if (s) UnlockLibraryState();
        auto o = orphans().find(w);
        if (o == orphans().end()) return 0;
        WNDPROC previous = o->second;
        if (message == WM_NCDESTROY) orphans().erase(o);
        return CallWindowProc(previous, w, message, wParam, lParam);
    }
    EnterLibrary();
    // Stays valid (retired at worst) until LeaveLibrary below.
    EditAttachment* const mine = a;
    ++a->depth;
    LRESULT result = 0;
    if (message == kLineChanged) {
        a->changeSeen = 1;
        EmptyLineCache(*a);
        s->cachedWindow = 0;
        auto line = static_cast<std::int32_t>(lParam);
        a->changeLow = std::min(a->changeLow, line);
        a->changeHigh = std::max(a->changeHigh, line);
    } else if (isInputMessage(message)) {
        EmptyLineCache(*a);
        s->cachedWindow = 0;
        if (a->immediate && !a->typingCheckRunning) {
            a->typingCheckRunning = 1;
            result = TypingCheck(*s, *a, message, wParam, lParam);
            mine->typingCheckRunning = 0;
        } else {
            result = CallWindowProc(a->previousProc, w, message, wParam, lParam);
        }
    } else if (message == WM_DESTROY) {
        WNDPROC previous = a->previousProc;
        restoreProcedure(*a);
        result = CallWindowProc(previous, w, message, wParam, lParam);
        if (!mine->retired) retire(*s, w);
        UnlockLibraryState();
        LeaveLibrary();
        return result;
    } else {
        result = CallWindowProc(a->previousProc, w, message, wParam, lParam);
    }
    a = mine;
    if (!a->retired && --a->depth == 0 && !a->operationRunning) {
        if ((s->options & kOptionAutoSplit) && a->changeHigh >= a->changeLow && a->changeLow != 0x7FFFFFFF) {
            a->operationRunning = 1;
            AutoHyphenation(*s, *a, a->changeLow, a->changeHigh);
            a->operationRunning = 0;
        }
        a->changeLow = 0x7FFFFFFF;
        a->changeHigh = -1;
    }
    UnlockLibraryState();
    LeaveLibrary();
    return result;
}

void DetachAll(LibraryState& s) {
    while (s.attachments) {
        EditAttachment* a = attachmentAt(s.attachments);
        if (!a) {
            s.attachments = 0;
            break;
        }
        detach(s, *a);
    }
}

void FreeRetiredAttachments() {
    std::vector<HGLOBAL> retired;
    retired.swap(retiredAttachments());
    for (HGLOBAL h : retired) {
        if (EditAttachment* a = attachmentAt(h)) EmptyLineCache(*a);
        FreeBlock(h);
    }
}

void SetImmediateAll(LibraryState& s, bool on) {
    for (HGLOBAL h = s.attachments; h;) {
        EditAttachment* a = attachmentAt(h);
        if (!a) return;
        a->immediate = on ? 1 : 0;
        h = a->next;
    }
}

void UpdateThreadWindows(HWND window) {
    HWND w = window ? window : GetActiveWindow();
    if (!w) return;
    DWORD thread = GetWindowThreadProcessId(w, nullptr);
    if (!thread) return;
    EnumThreadWindows(
        thread,
        [](HWND h, LPARAM) {
            UpdateWindow(h);
            return true;
        },
        0);
}

} // namespace wortex
