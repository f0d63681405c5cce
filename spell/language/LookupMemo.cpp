#include "LookupMemo.h"

#include "DictionarySet.h"
#include "Suggestions.h"
#include "UserFile.h"

#include <cstring>
#include <functional>
#include <string_view>

namespace wortex {

namespace {

// The place of word in a table of size entries, and whether it holds word's answer of now. A word of over
// 63 characters has no place (null).
template <class Entry>
Entry* placeOf(std::unique_ptr<Entry[]>& table, std::size_t size, const char* word, std::uint64_t now,
               bool& known) {
    known = false;
    std::size_t n = std::strlen(word);
    if (n > 63) return nullptr;
    if (!table) table = std::make_unique<Entry[]>(size);
    std::uint64_t h = std::hash<std::string_view>{}(std::string_view(word, n));
    Entry& e = table[h & (size - 1)];
    known = e.key.stamp != 0 && e.key.stamp == now && e.key.hash == h && e.key.length == n &&
            std::memcmp(e.key.text, word, n) == 0;
    if (!known) {
        e.key.stamp = 0;
        e.key.hash = h;
        e.key.length = static_cast<std::uint8_t>(n);
        std::memcpy(e.key.text, word, n);
    }
    return &e;
}

} // namespace

DBHandle LookupMemo::FindBestCorrection(const char* word, char* correction, unsigned char* marks) {
    bool known = false;
    Correction* e = placeOf(corrections_, kCorrections, word, DictionaryStamp(), known);
    if (!e) return wortex::FindBestCorrection(0, 0, word, correction, marks, false);
    if (!known) {
        e->handle = wortex::FindBestCorrection(0, 0, word, e->correction, e->marks, false);
        // Stamped after the search: a lock inside it may have dropped pages another process changed.
        e->key.stamp = DictionaryStamp();
    }
    std::memcpy(correction, e->correction, sizeof e->correction);
    std::memcpy(marks, e->marks, sizeof e->marks);
    return e->handle;
}

int LookupMemo::LookupUserWord(const char* word, char* correction, int* action) {
    bool known = false;
    UserAnswer* e = placeOf(users_, kUserAnswers, word, DictionaryStamp(), known);
    if (!e) return wortex::LookupUserWord(word, correction, action);
    if (!known) {
        e->result = wortex::LookupUserWord(word, e->correction, &e->action);
        e->key.stamp = DictionaryStamp();
    }
    if (correction) std::strcpy(correction, e->correction);
    if (action) *action = e->action;
    return e->result;
}

char LookupMemo::LanguageOf(DBHandle h) {
    // A dictionary's language is set when the set changes, which changes the stamp.
    std::uint64_t now = DictionaryStamp();
    if (languageStamp_ == 0 || languageStamp_ != now || languageHandle_ != h) {
        language_ = GetDictionaryLanguageOf(h);
        languageHandle_ = h;
        languageStamp_ = now;
    }
    return language_;
}

DBHandle FindBestCorrection(LookupMemo* memo, const char* word, char* correction, unsigned char* marks) {
    return memo ? memo->FindBestCorrection(word, correction, marks)
                : FindBestCorrection(0, 0, word, correction, marks, false);
}

int LookupUserWord(LookupMemo* memo, const char* word, char* correction, int* action) {
    return memo ? memo->LookupUserWord(word, correction, action) : LookupUserWord(word, correction, action);
}

char GetDictionaryLanguageOf(LookupMemo* memo, DBHandle h) {
    return memo ? memo->LanguageOf(h) : GetDictionaryLanguageOf(h);
}

} // namespace wortex
