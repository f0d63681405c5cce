#pragma once
// The set of open dictionaries of a process: dictionary files in opening order, each open on both of its
// collections, one of them the main dictionary, and an extra node for the user correction file.
#include "DictionaryEngine.h"

#include <cstdint>
#include <string>

namespace wortex {

struct DictionaryNode {
    DictionaryNode* next = nullptr;
    DictCollection words;
    DictCollection styles;
    char language = 0;
    int readOnly = 0;
};

int InitDictionarySide(std::uint16_t cachePages);
// Each open dictionary in order (not the user file) under one access to the set, until visit gives
// false. visit must not open or close dictionaries.
void VisitDictionaries(bool (*visit)(void* context, DBHandle h, DictionaryNode& node), void* context);
void TermDictionarySide();

int CreateDictionaryFile(const std::string& fileName, char language, bool keepExisting = false);
DBHandle OpenDictionary(bool readOnly, const std::string& fileName);
void CloseDictionary(DBHandle h);
void CloseAllDictionaries();
int AddDictionaryWord(DBHandle h, const char* word, bool checkAll, bool mark, std::uint32_t valueA,
                      std::uint32_t valueB);
int DeleteDictionaryWord(DBHandle h, const char* word);
int ChangeDictionaryWord(DBHandle h, const char* oldWord, const char* newWord, bool checkAll, bool mark);
// spelling (64 bytes, may be null): the stored spelling with "~" marks, the input when nothing is found.
DBHandle FindWordInDictionaries(DBHandle h, const char* word, char language, bool exact,
                                char* spelling = nullptr, WordOut out = {});
char GetDictionaryLanguageOf(DBHandle h);
std::uint32_t GetDictionaryWordCount(DBHandle h);
DBHandle EnumDictionaries(int position, std::string* fileName);
DBHandle GetMainDictionary(std::string* fileName);
int SetMainDictionary(DBHandle h);
// Leaves the set without a main dictionary until one is set again: a dictionary opened meanwhile does not
// become it.
void ClearMainDictionary();
int FirstListWord(DBHandle h, char* word, bool showCapitals);
int NextListWord(DBHandle h, char* word, bool showCapitals);
int PreviousListWord(DBHandle h, char* word, bool showCapitals);
int LastListWord(DBHandle h, char* word, bool showCapitals);
int LockDictionary(DBHandle h);
// 0 when a write failed under the lock: the dictionary holds what it held when it was locked.
int UnlockDictionary(DBHandle h);
std::string GetDictionaryFileName(DBHandle h);
int IsDictionaryReadOnly(DBHandle h);
// h 0 = the main dictionary; the list first, then the user file's node. The node belongs to the set.
DictionaryNode* FindDictionaryNode(DBHandle h);
void SetUserFileNode(const DictCollection* userFile);
// Another process may have changed a dictionary or the user file since they were read last: drops the
// cached pages of each that changed.
void RefreshDictionaries();
// A number that changes whenever the answers of the set's look-ups (the user file's among them) may have
// changed: dictionaries or the user file opened, closed or written, the set or its main dictionary changed.
std::uint64_t DictionaryStamp();

// A word's style data lies beside it in its dictionary; the style network puts here what clears it before the
// word leaves a dictionary (drop, on the word collection's handle) and renames it after the word was renamed.
struct StyleCleanup {
    void (*drop)(DBHandle db, const char* word) = nullptr;
    void (*rename)(DBHandle h, const char* oldWord, const char* newWord) = nullptr;
};
StyleCleanup& StyleCleanupHooks();

// The form in which the set passes a word on: at most 63 characters, trailing blanks stripped, lower-cased
// except for a leading capital, which the engine turns into the word's capital mark.
void PrepareSetWord(const char* word, char out[64]);

} // namespace wortex
