#pragma once
// Checking the text of an attached window: the check loop over lines, the checks of the word at the caret,
// the check while typing, automatic hyphenation after typing, and the history of the automatic corrections
// a check made.
#include "Attachments.h"

#include <cstdint>

namespace wortex {

// lParam of the check loop: the edit window, then start column, start line, (unused), last line.
struct CheckRange {
    win32::HWND editWindow;
    std::int32_t startColumn, startLine, unused, lastLine;
};

// lParam of the attachment state: the current word, the word at the caret, the options and state bits.
struct AttachmentStateRecord {
    WordRecord current;
    WordRecord atCaret;
    std::uint32_t options;
    std::uint32_t bits;
};
static_assert(sizeof(AttachmentStateRecord) == 44 * 4);

constexpr std::uint32_t kOptionConfirmCorr = 0x100;
constexpr std::uint32_t kOptionConfirmSplit = 0x200;

// The operations of messages 1196-1204, run in the operation frame.
win32::LRESULT CheckTextOperation(LibraryState& s, EditAttachment& a, win32::WPARAM wParam,
                                  win32::LPARAM lParam);
win32::LRESULT WordDialogOperation(LibraryState& s, EditAttachment& a, win32::WPARAM wParam,
                                   win32::LPARAM lParam);
win32::LRESULT CorrectPendingOperation(LibraryState& s, EditAttachment& a, win32::WPARAM wParam,
                                       win32::LPARAM lParam);
win32::LRESULT CheckCaretWordOperation(LibraryState& s, EditAttachment& a, win32::WPARAM wParam,
                                       win32::LPARAM lParam);
win32::LRESULT InsertMarkedOperation(LibraryState& s, EditAttachment& a, win32::WPARAM wParam,
                                     win32::LPARAM lParam);
// wParam 0: the marked word, 1: the word at the caret.
win32::LRESULT WordOperation(LibraryState& s, EditAttachment& a, win32::WPARAM wParam, win32::LPARAM lParam);
win32::LRESULT AttachmentStateOperation(LibraryState& s, EditAttachment& a, win32::WPARAM wParam,
                                        win32::LPARAM lParam);

// The hooks of the subclass procedure.
win32::LRESULT CheckWhileTyping(LibraryState& s, EditAttachment& a, win32::UINT message, win32::WPARAM wParam,
                                win32::LPARAM lParam);
void HyphenateChangedLines(LibraryState& s, EditAttachment& a, std::int32_t low, std::int32_t high);

// Whether the mark still stands in the text; clears it when not.
bool MarkIsValid(EditAttachment& a);
void ClearMark(EditAttachment& a);

} // namespace wortex
