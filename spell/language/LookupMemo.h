#pragma once
// The answers of the dictionaries and the user file during one run over a text. Running text repeats its
// words, so each word's correction search and user-file look-up is made once, and again only after
// DictionaryStamp() changed. Fixed tables, one answer per place: a word whose place another took is asked
// again.
#include "DictionaryFile.h"

#include <cstdint>
#include <memory>

namespace wortex {

class LookupMemo {
public:
    static constexpr std::size_t kCorrections = 1024, kUserAnswers = 512; // powers of two

    // As FindBestCorrection(0, 0, word, correction, marks, false).
    DBHandle FindBestCorrection(const char* word, char* correction, unsigned char* marks);
    // As LookupUserWord(word, correction, action); correction and action may be null.
    int LookupUserWord(const char* word, char* correction, int* action);
    // As GetDictionaryLanguageOf(h); nearly every word of a text is found in the same dictionary.
    char LanguageOf(DBHandle h);

private:
    struct Key {
        std::uint64_t stamp; // DictionaryStamp() of the answer; 0 = empty
        std::uint64_t hash;
        std::uint8_t length;
        char text[63];
    };
    struct Correction {
        Key key;
        DBHandle handle;
        char correction[64];
        unsigned char marks[64];
    };
    struct UserAnswer {
        Key key;
        int result;
        int action;
        char correction[64];
    };

    std::unique_ptr<Correction[]> corrections_;
    std::unique_ptr<UserAnswer[]> users_;
    std::uint64_t languageStamp_ = 0; // 0 = none kept
    DBHandle languageHandle_ = 0;
    char language_ = 0;
};

// Through memo when there is one, else straight from the dictionaries and the user file.
DBHandle FindBestCorrection(LookupMemo* memo, const char* word, char* correction, unsigned char* marks);
int LookupUserWord(LookupMemo* memo, const char* word, char* correction, int* action);
char GetDictionaryLanguageOf(LookupMemo* memo, DBHandle h);

} // namespace wortex
