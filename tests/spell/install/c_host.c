/* A host written in C11, built with cc and pkg-config alone: loads the installed library, which reads the
 * sample WORTEX.INI from the current folder and opens the installed German dictionary, and checks a
 * sentence in an EDIT window of the window layer. It installs no dialogs: each dialog the library opens is
 * closed, so the check stops at the first word it reports and the caret stands behind that word.
 * Usage: c_host LIBRARY; prints what it found on one line. */
#include "Wortex32.h"

#include <dlfcn.h>
#include <stdio.h>
#include <string.h>

/* "Die Rechnung für die Planung liegt dem Bauherrn vor." with one letter too many. */
static const char kText[] = "Die Rechnnung f\xfcr die Planung liegt dem Bauherrn vor.";

/* An editor of the host's own: one line in memory, lent to the library through an adapter. */
static char line[128];
static int32_t caret;
static char shown[64]; /* the last word the library marked */

static intptr_t lineAdapter(WX_HWND window, uint32_t command, uintptr_t wParam, intptr_t lParam) {
    (void)window;
    switch (command) {
    case WX_AD_GET_CARET:
        *(int32_t*)lParam = 0;
        return caret;
    case WX_AD_SET_CARET:
        caret = (int32_t)wParam;
        return 1;
    case WX_AD_LINE_LENGTH:
        return lParam == 0 ? (intptr_t)strlen(line) : -1;
    case WX_AD_GET_LINE: {
        WX_LineRecord* r = (WX_LineRecord*)lParam;
        if (r->line != 0) return 0;
        snprintf(r->text, r->size, "%s", line);
        return 1;
    }
    case WX_AD_REPLACE: {
        WX_ReplaceRecord* r = (WX_ReplaceRecord*)lParam;
        char after[sizeof line];
        snprintf(after, sizeof after, "%s", line + r->endColumn);
        snprintf(line + r->startColumn, sizeof line - (size_t)r->startColumn, "%s%s", r->text, after);
        r->outColumn = caret = r->startColumn + (int32_t)strlen(r->text);
        r->outLine = 0;
        return 1;
    }
    case WX_AD_SHOW_MARK:
        snprintf(shown, sizeof shown, "%s", ((const WX_MarkRecord*)lParam)->inText);
        return 1;
    case WX_AD_LINE_BREAK:
        return WX_HARD_BREAK;
    case WX_AD_FREEZE:
    case WX_AD_CLEAR_MARK:
    case WX_AD_SAVE_VIEW:
    case WX_AD_RESTORE_VIEW:
        return 1;
    default:
        return 0;
    }
}

static const char* baseName(const char* path) {
    const char* slash = strrchr(path, '/');
    return slash ? slash + 1 : path;
}

int main(int argc, char** argv) {
    if (argc != 2) return 2;
    void* library = dlopen(argv[1], RTLD_NOW | RTLD_LOCAL);
    if (!library) {
        fprintf(stderr, "%s\n", dlerror());
        return 1;
    }
    WX_InitFn init;
    *(void**)&init = dlsym(library, WX_INIT_NAME);
    WX_HWND api = init ? init() : 0;
    if (!api) return 1;

    /* The dictionary the settings named. */
    char name[260] = "";
    intptr_t dictionary = WX_SendMessage(api, WX_MSG_DICTIONARY_AT, 1, (intptr_t)name);
    intptr_t words = dictionary ? WX_SendMessage(api, WX_MSG_WORD_COUNT, (uintptr_t)dictionary, 0) : 0;
    char lookUp[128] = "Rechnung";
    intptr_t known = WX_SendMessage(api, WX_MSG_FIND_WORD, 0, (intptr_t)lookUp);

    WX_HWND edit = WX_CreateWindow(WX_EDIT_CLASS, kText, WX_ES_MULTILINE);
    WX_AttachRecord attach = {edit, 0, WX_EDIT_ADAPTER};
    intptr_t attached = WX_SendMessage(api, WX_MSG_ATTACH, WX_ATTACH, (intptr_t)&attach);
    WX_CheckRange range = {edit, 0, 0, 0, 0x7FFFFFFF};
    intptr_t checked = WX_SendMessage(api, WX_MSG_CHECK_TEXT, 1, (intptr_t)&range);
    WX_PumpMessages();
    WX_WordRecord reported;
    memset(&reported, 0, sizeof reported);
    reported.editWindow = edit;
    intptr_t atCaret = WX_SendMessage(api, WX_MSG_CARET_WORD, 0, (intptr_t)&reported);

    /* On from the caret: nothing more to report, the check goes through to the end of the text. */
    intptr_t resumed = WX_SendMessage(api, WX_MSG_CHECK_TEXT, 0, (intptr_t)&range);
    WX_WordRecord atEnd;
    memset(&atEnd, 0, sizeof atEnd);
    atEnd.editWindow = edit;
    WX_SendMessage(api, WX_MSG_CARET_WORD, 0, (intptr_t)&atEnd);

    char text[sizeof kText + 16];
    int length = WX_GetWindowText(edit, text, (int)sizeof text);

    /* The first suggestion for the word. */
    char first[64] = "";
    WX_HGLOBAL list = (WX_HGLOBAL)WX_SendMessage(api, WX_MSG_SUGGESTIONS, 0, (intptr_t)reported.word);
    const char* entry = list ? (const char*)WX_GlobalLock(list) : NULL;
    if (entry) {
        snprintf(first, sizeof first, "%s", entry);
        WX_GlobalUnlock(list);
    }
    int freed = list && WX_GlobalFree(list) == 0;

    /* Under the shipped settings (ConfirmCorr) a capital at a sentence's start waits for an answer, and
     * unanswered it is refused; with ConfirmCorr and ConfirmSplit off it is written without asking. */
    static const char kSmall[] = "die Planung liegt vor.";
    char corrected[64], asked[64];
    WX_SetWindowText(edit, kSmall);
    WX_SendMessage(api, WX_MSG_CHECK_TEXT, 1, (intptr_t)&range);
    WX_GetWindowText(edit, asked, (int)sizeof asked);
    intptr_t options = WX_SendMessage(api, WX_MSG_OPTIONS, 0, 0);
    WX_SendMessage(api, WX_MSG_OPTIONS, 2, options & ~(intptr_t)(WX_OPTION_CONFIRM_CORR | WX_OPTION_CONFIRM_SPLIT));
    WX_SetWindowText(edit, kSmall);
    WX_SendMessage(api, WX_MSG_CHECK_TEXT, 1, (intptr_t)&range);
    WX_GetWindowText(edit, corrected, (int)sizeof corrected);
    WX_SendMessage(api, WX_MSG_OPTIONS, 2, options);

    /* Stopped at a word with an apostrophe ending, 1201 with wParam 0 goes on behind it: the stops, one
     * word each (its columns), until a resume runs through to the end (at most five resumes). */
    static const char kApostrophe[] = "Dann w\xe4r's ein Pfahl.";
    char stops[160] = "";
    WX_SetWindowText(edit, kApostrophe);
    WX_SendMessage(api, WX_MSG_CHECK_TEXT, 1, (intptr_t)&range);
    for (int resume = 0; resume <= 5; ++resume) {
        WX_WordRecord at;
        memset(&at, 0, sizeof at);
        at.editWindow = edit;
        WX_SendMessage(api, WX_MSG_CARET_WORD, 0, (intptr_t)&at);
        size_t used = strlen(stops);
        snprintf(stops + used, sizeof stops - used, "%s%d-%d", resume ? "," : "", at.startColumn, at.endColumn);
        if (at.endColumn >= (int32_t)strlen(kApostrophe) - 1) break;
        WX_SendMessage(api, WX_MSG_CHECK_TEXT, 0, (intptr_t)&range);
    }

    /* The same text in the host's editor: its window is a plain one of the window layer; a handle that is
     * none is refused. */
    snprintf(line, sizeof line, "%s", kText);
    WX_HWND own = WX_CreateWindow(NULL, "", 0);
    WX_AttachRecord ownAttach = {own, 0, (uintptr_t)&lineAdapter};
    WX_AttachRecord noWindow = {own + 4096, 0, (uintptr_t)&lineAdapter};
    intptr_t refused = WX_SendMessage(api, WX_MSG_ATTACH, WX_ATTACH, (intptr_t)&noWindow);
    intptr_t ownAttached = WX_SendMessage(api, WX_MSG_ATTACH, WX_ATTACH, (intptr_t)&ownAttach);
    WX_CheckRange ownRange = {own, 0, 0, 0, 0x7FFFFFFF};
    WX_SendMessage(api, WX_MSG_CHECK_TEXT, 1, (intptr_t)&ownRange);
    WX_DestroyWindow(own);

    printf("%s|%s|%s|%ld|%ld|%ld|%s %d-%d|%ld|%s %d-%d|%s|%s|%s|%ld|%ld|%s at %d|%s|%s|%s|%s\n", baseName(name),
           words > 300000 ? "words" : "few words", known ? "known" : "unknown", (long)attached, (long)checked,
           (long)atCaret, reported.word, reported.startColumn, reported.endColumn, (long)resumed, atEnd.word,
           atEnd.startColumn, atEnd.endColumn,
           length == (int)strlen(kText) && strcmp(text, kText) == 0 ? "unchanged" : text, first,
           freed ? "freed" : "not freed", (long)refused, (long)ownAttached, shown, caret,
           strcmp(line, kText) == 0 ? "unchanged" : line, asked, corrected, stops);

    WX_SendMessage(api, WX_MSG_ATTACH, WX_DETACH, (intptr_t)&attach);
    WX_DestroyWindow(edit);
    WX_SendMessage(api, WX_MSG_EXIT, 0, 0);
    dlclose(library);
    return 0;
}
