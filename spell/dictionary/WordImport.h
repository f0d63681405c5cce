#pragma once
// Filling a dictionary from a text file: Windows-1252 text (*.TXT) or code page 437 text (*.ASC), lines
// ending with CR LF or LF. The dialog around it passes its window and shows the words as they come.
#include "Doz3.h"

#include "platform/win32/Win32Types.h"

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>

namespace wortex {

// Runs of word characters that are no word to import: they hold digits ("Mp3player") or characters the
// dictionary cannot hold (kNotHeld in converted text), or are longer than a word may be. The whole run is
// left out and counted, never a fragment of it imported.
struct ImportSkips {
    std::uint32_t withDigits = 0;
    std::uint32_t notHeld = 0;
    std::uint32_t tooLong = 0;
};
// Stands in converted text for a character that Windows-1252 has not.
constexpr char kNotHeld = '\x7f';

// The next word of a working line at or after start, in the target's language: the word (at most 63
// characters, 64 bytes) and its start; the result is the word's length, 0 when there is none. The text
// after length is still read to see what follows the word (line must be NUL-terminated). Runs left out on
// the way are counted in skips; with no word after them, wordStart gets the position behind the last.
int ScanImportWord(const char* line, std::size_t length, std::size_t start, char language, char* word,
                   std::size_t* wordStart, ImportSkips* skips = nullptr);

struct TextImport {
    win32::HWND owner = 0;
    // True when a key was pressed; it takes only key messages from the queue, nothing else.
    std::function<bool()> keyPressed;
    // Each word as it is offered to the dictionary, whether it was added, and the count afterwards.
    std::function<void(const char* word, bool added, std::uint32_t count)> shown;
    std::uint32_t added = 0; // out
    ImportSkips skipped;     // out
    bool notStored = false;  // out: a write failed, the dictionary holds what it held before the import
};

// The words an import left out, by kind, for the user; empty when it left out none.
std::string ImportSkipText(const ImportSkips& skips);
// Ends an import's lock on the target; when the words did not reach the disk, says so and counts none.
bool FinishImport(DBHandle target, TextImport& import);

// 1 when the file was read to its end (or the user stopped), 0 when it could not be opened (message 533),
// the dictionary could not be locked (no message) or the words could not be stored (message).
int ImportTextFile(DBHandle target, const std::string& fileName, TextImport& import);

} // namespace wortex
