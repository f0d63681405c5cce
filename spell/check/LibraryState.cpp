#include "LibraryState.h"

#include "platform/win32/Kernel.h"
#include "platform/win32/UiServices.h"
#include "Attachments.h"
#include "DictionarySet.h"
#include "LibraryStrings.h"
#include "Support.h"
#include "UserFile.h"

#include <cstring>
#include <new>
#include <pthread.h>
#include <string>

namespace wortex {

using namespace win32;

namespace {

ProcessDataRoot libraryRoot;
int depth = 0;
int pendingExits = 0;

int exitOnce() {
    LibraryState* s = LockLibraryState();
    if (!s) return 0;
    std::string help(s->helpFile, strnlen(s->helpFile, sizeof s->helpFile));
    HWND api = s->apiWindow;
    DetachAll(*s);
    UnlockLibraryState();
    if (ReleaseProcessData(libraryRoot) == 1) {
        CloseUserFile();
        TermDictionarySide();
        WinHelp(api, help.c_str(), HELP_QUIT, 0);
        DestroyWindow(api);
        UnregisterClass(LibraryClassName().c_str(), LibraryInstance());
    }
    return 1;
}

} // namespace

namespace {
// A child forked in the middle of a request (from a dialog, say) has only the forking thread, under another
// id than the one that holds the lock: it starts with a lock of its own.
alignas(std::recursive_mutex) unsigned char mutexStorage[sizeof(std::recursive_mutex)];
std::recursive_mutex* libraryMutex = nullptr;
void freshMutex() {
    libraryMutex = new (mutexStorage) std::recursive_mutex;
}
} // namespace

std::recursive_mutex& LibraryMutex() {
    static const int made = (freshMutex(), ::pthread_atfork(nullptr, nullptr, &freshMutex));
    (void)made;
    return *libraryMutex;
}

int CreateLibraryState() {
    return CreateProcessData(libraryRoot, sizeof(LibraryState));
}

LibraryState* LockLibraryState() {
    return static_cast<LibraryState*>(LockProcessData(libraryRoot));
}

void UnlockLibraryState() {
    UnlockProcessData(libraryRoot);
}

std::string LibraryClassName() {
    char buffer[40];
    IntToString(static_cast<std::int32_t>(GetCurrentProcessId()), buffer, 16, 0);
    return buffer;
}

void EnterLibrary() {
    ++depth;
}

void LeaveLibrary() {
    if (depth > 1) {
        --depth;
        return;
    }
    while (pendingExits > 0) {
        --pendingExits;
        exitOnce();
    }
    FreeRetiredAttachments();
    depth = 0;
}

int LibraryDepth() {
    return depth;
}

LRESULT RequestLibraryExit() {
    int uses = GetProcessDataUseCount(libraryRoot);
    if (uses - pendingExits <= 0) return 0;
    if (depth > 0) {
        ++pendingExits;
        return 1;
    }
    EnterLibrary();
    exitOnce();
    LeaveLibrary();
    return 1;
}

void ExitSafetyMessage() {
    EnterLibrary();
    MessageBox(0,
               "Fatal error!\nEdit window was subclassed again.\nRestore original window procedure before "
               "DestroyWindow(Edit) or FreeLibrary(Wortex)!",
               "Wortex exit safety check", MB_OK);
    LeaveLibrary();
}

} // namespace wortex
