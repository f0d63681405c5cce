#include "DictionaryImport.h"

#include "DictionarySet.h"
#include "Letters.h"
#include "LibraryStrings.h"
#include "StyleNetwork.h"
#include "Support.h"

#include "platform/win32/UiServices.h"

#include <cstring>
#include <filesystem>

namespace wortex {

using namespace win32;

namespace {

bool startsWithCapital(const char* w) {
    unsigned char c = static_cast<unsigned char>(w[0]);
    return c == '~' || (IsAnsiLetter(c) && AnsiToLower(c) != c);
}

bool startsSmall(const char* w) {
    unsigned char c = static_cast<unsigned char>(w[0]);
    return IsAnsiLetter(c) && AnsiToLower(c) == c;
}

} // namespace

int ImportDictionaryFile(DBHandle target, const std::string& fileName, TextImport& import) {
    import.added = 0;
    std::string own = GetDictionaryFileName(target);
    std::error_code ec;
    if (!own.empty() && std::filesystem::equivalent(own, fileName, ec)) {
        MessageBox(import.owner, "Ein W\xf6rterbuch kann nicht in sich selbst eingef\xfcgt werden.", "Wortex",
                   MB_ICONEXCLAMATION);
        return 0;
    }
    // Read only: nothing is written to the source.
    DBHandle source = OpenDBFile(fileName, 2);
    DictCollection words, styles;
    // The whole tree is checked first, so that a damaged source is refused before any word goes over
    // rather than ending the import half-way as if its words had run out.
    if (!source || !OpenDictionaryTable(source, words, 1) || !OpenDictionaryTable(source, styles, 2) ||
        !CheckDictionaryTree(words)) {
        if (source) CloseDBFile(source);
        MessageBoxFromString(LibraryInstance(), import.owner, 603, "Wortex", MB_ICONEXCLAMATION);
        return 0;
    }
    bool locked = false, lockFailed = false;
    int copySetting = 0;
    WalkWords(words, true, [&](const char* text, std::uint32_t valueA, std::uint32_t, int mark) {
        // Locked at the first word: an empty source ends the import before.
        if (!locked && !(locked = LockDictionary(target) == 1)) {
            lockFailed = true;
            return false;
        }
        char word[64];
        std::strcpy(word, text);
        // A capital mark on the first letter goes over as a capital first letter, which the target's
        // word list would refuse in "~" form.
        if (word[0] == '~' && word[1]) {
            std::memmove(word, word + 1, std::strlen(word));
            word[0] = static_cast<char>(AnsiToUpper(static_cast<unsigned char>(word[0])));
        }
        // Values A and B link into the source's own description table: they mean nothing in the target.
        bool added = AddDictionaryWord(target, word, false, mark != 0, 0, 0) == 1;
        if (added) {
            ++import.added;
        } else if (startsWithCapital(word)) {
            char stored[64];
            if (FindWordInDictionaries(target, word, 0, false, stored) == target && startsSmall(stored))
                ChangeDictionaryWord(target, stored, word, false, mark != 0);
        }
        if (valueA) CopyStyleEntries(words, styles, target, word, valueA, copySetting);
        if (import.shown) import.shown(word, added, GetDictionaryWordCount(target));
        return !(import.keyPressed && import.keyPressed() &&
                 MessageBoxFromString(LibraryInstance(), import.owner, 532, "Wortex",
                                      MB_YESNO | MB_ICONQUESTION) == IDYES);
    });
    bool stored = !locked || FinishImport(target, import);
    CloseDBFile(source);
    return lockFailed || !stored ? 0 : 1;
}

} // namespace wortex
