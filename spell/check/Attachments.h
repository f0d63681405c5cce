#pragma once
// Edit windows lent to the library: the attachment of each window, the subclass procedure that watches its
// keys and clicks, the frame every operation on it runs in, the cache of its lines, and the text adapters
// through which alone the library reads and changes the window's text.
#include "platform/win32/Window.h"

#include <cstdint>
#include <vector>

namespace wortex {

struct LibraryState;

// Adapter commands.
constexpr win32::UINT kAdFreeze = 60000;
constexpr win32::UINT kAdGetCaret = 60001;
constexpr win32::UINT kAdSetCaret = 60002;
constexpr win32::UINT kAdShowMark = 60003;
constexpr win32::UINT kAdClearMark = 60004;
constexpr win32::UINT kAdLineLength = 60005;
constexpr win32::UINT kAdGetLine = 60006;
constexpr win32::UINT kAdReplace = 60007;
constexpr win32::UINT kAdSaveView = 60008;
constexpr win32::UINT kAdRestoreView = 60009;
// How a line ends (lParam = line): kHardBreak where the text has a line break, kSoftBreak where the window
// wrapped it; 0 (an adapter that does not know the command) counts as a hard break.
constexpr win32::UINT kAdLineBreak = 60010;
constexpr win32::LRESULT kHardBreak = 1;
constexpr win32::LRESULT kSoftBreak = 2;
constexpr win32::UINT kAdStatusShow = 60050;
constexpr win32::UINT kAdStatusClear = 60051;
// Private notice to an attached window: lParam = a line that changed.
constexpr win32::UINT kLineChanged = 62000;

constexpr std::uintptr_t kEditAdapter = 0;
constexpr std::uintptr_t kRichTextAdapter = ~std::uintptr_t{0};
constexpr std::uint32_t kRichTextAdapter32 = 0xFFFFFFFFu;

struct AttachRecord {
    win32::HWND editWindow;
    win32::HWND statusWindow;
    std::uintptr_t adapter; // 0: EDIT adapter, all ones (or 0xFFFFFFFF): rich-text adapter
};

struct LineRecord {
    std::int32_t line;
    char* text;
    std::uint32_t size; // line length + 1
    LineRecord* next;
    win32::HGLOBAL memory;
};

// A line of the cache: the record the adapter fills, and what the word finding measures of it at its first
// read (it asks for every word of the line): the characters before the first NUL the adapter wrote (-1
// before), the places of the quotes (» « „ “ ") among them and of the ASCII quotes alone.
struct CachedLineRecord : LineRecord {
    std::int32_t length = -1;
    std::vector<std::int32_t> quotes, asciiQuotes;
};

struct MarkRecord {
    char marked[64];
    std::int32_t startColumn, startLine, endColumn, endLine;
    char inText[64];
    char correction[64];
};

struct ReplaceRecord {
    std::int32_t startColumn, startLine, endColumn, endLine;
    std::int32_t outColumn, outLine;
    const char* text;
};

struct WordRecord {
    win32::HWND editWindow;
    std::int32_t startColumn, startLine, endColumn, endLine;
    char word[64];
};

struct EditAttachment {
    win32::HGLOBAL next;
    win32::HWND editWindow;
    win32::HWND statusWindow;
    win32::WNDPROC adapter;
    std::int32_t immediate;
    win32::WNDPROC previousProc;
    char markedWord[64];
    std::int32_t markPresent;
    std::int32_t markStartLine, markStartColumn, markEndLine, markEndColumn;
    std::int32_t changeLow, changeHigh;
    std::int32_t changeSeen;
    std::int32_t depth;
    std::int32_t markKind;
    char pendingText[64];
    std::int32_t pendingCorrection;
    std::int16_t freezeDepth;
    std::int32_t caretColumn, caretLine;
    std::int32_t wantedColumn, wantedLine;
    char lastWord[64];
    std::int32_t lastWordStartLine, lastWordStartColumn;
    std::uint16_t previousKey;
    std::int32_t previousKeyChecked;
    std::uint16_t markAge;
    std::int32_t typingCheckRunning;
    LineRecord* lineCache;
    char historyFile[260];
    std::uint16_t historyHandle;
    std::int32_t lastRecord, firstRecord, recordCount;
    std::int32_t operationRunning;
    // Detached or its window destroyed while the library was at work: no longer in the list, the adapter
    // no longer called; freed when the library's outermost call ends.
    std::int32_t retired;
};

win32::LRESULT EditAdapterProc(win32::HWND window, win32::UINT command, win32::WPARAM wParam,
                               win32::LPARAM lParam);
win32::LRESULT RichTextAdapterProc(win32::HWND window, win32::UINT command, win32::WPARAM wParam,
                                   win32::LPARAM lParam);
win32::LRESULT EditSubclassProc(win32::HWND window, win32::UINT message, win32::WPARAM wParam,
                                win32::LPARAM lParam);

// The attachment of a window in the calling process's list; null when none.
EditAttachment* FindAttachment(LibraryState& state, win32::HWND window);
win32::LRESULT Adapter(EditAttachment& a, win32::UINT command, win32::WPARAM wParam, win32::LPARAM lParam);
// Whether the window wrapped the line (a soft break); any other answer is a line break of the text, over
// which nothing is written.
bool WrappedAfter(EditAttachment& a, std::int32_t line);

using EditOperation = win32::LRESULT (*)(LibraryState& state, EditAttachment& a, win32::WPARAM wParam,
                                         win32::LPARAM lParam);
// Messages 1194-1204: finds the attachment and runs the operation with drawing frozen and the caret put
// back (or where the operation wants it) once at the end.
win32::LRESULT RunEditOperation(LibraryState& state, win32::UINT message, EditOperation operation,
                                win32::WPARAM wParam, win32::LPARAM lParam);
// The attachment state last answered to 1204, kept for the window until any other request or a change of
// the set of dictionaries.
void CacheAttachmentState(LibraryState& state, win32::HWND window, const void* record);
bool AttachmentStateCached(LibraryState& state, win32::HWND window);

// Lets the window draw in the middle of an operation.
void ThawForDrawing(EditAttachment& a);

// Line cache: the line's record, null for an empty line or an error (error set).
CachedLineRecord* CachedLine(EditAttachment& a, std::int32_t line, bool* error);
// -1 when there is no such line.
std::int32_t CachedLineLength(EditAttachment& a, std::int32_t line);
void EmptyLineCache(EditAttachment& a);

// Every attachment, first to last: the library's procedure is taken out of each window (or the exit
// safety message shown) and the attachment freed.
void DetachAll(LibraryState& state);
// Frees the attachments retired meanwhile; only when nothing of the library runs.
void FreeRetiredAttachments();
// Switches immediate checking of every attachment.
void SetImmediateAll(LibraryState& state, bool on);

// Typing check and automatic hyphenation of the checking step; they pass the key on meanwhile.
extern win32::LRESULT (*TypingCheck)(LibraryState& state, EditAttachment& a, win32::UINT message,
                                     win32::WPARAM wParam, win32::LPARAM lParam);
extern void (*AutoHyphenation)(LibraryState& state, EditAttachment& a, std::int32_t low, std::int32_t high);

// Updates every window of the thread of the window (or of the active window).
void UpdateThreadWindows(win32::HWND window);

} // namespace wortex
