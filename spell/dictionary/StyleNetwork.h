#pragma once
// Meanings of dictionary words: each meaning of a word may carry a packed description and belong to a group
// of words of similar meaning. Style records, group records and the groups' member trees live in the word
// tree table of a dictionary's style collection, descriptions in its description table. Every operation
// that reads or changes them holds the style lock (the byte keyed by the word tree table's offset).
#include "DictionarySet.h"

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace wortex {

// Longest description (a text field's limit) and most meanings of one word: beyond them the 16-bit sizes
// of the records overflow.
constexpr std::size_t kMaxDescription = 30000;
constexpr std::size_t kMaxMeanings = 1000;

// out must hold 2 * strlen(text) bytes; the result is the packed length.
std::size_t PackDescription(const char* text, unsigned char* out);
// Writes at most capacity - 1 characters and a NUL; reading stops at the packed length.
void UnpackDescription(const unsigned char* packed, char* out, std::size_t packedLength,
                       std::size_t capacity);
std::string UnpackDescription(const unsigned char* packed, std::size_t packedLength);

// Description records of a description table. Reading offset 0 gives an empty text and 1.
int ReadDescription(DBHandle h, std::uint32_t table, std::uint32_t offset, std::string& text);
void WriteDescription(DBHandle h, std::uint32_t table, std::uint32_t& offset, bool& changed,
                      const char* text);
std::uint32_t DescriptionSize(DBHandle h, std::uint32_t table, std::uint32_t offset);

struct Meaning {
    std::uint32_t group = 0;
    std::uint32_t description = 0;
};

// A word's meaning table; false (and no meanings) for a record that does not hold together.
bool ReadStyleRecord(const DictCollection& styles, std::uint32_t offset, std::vector<Meaning>& meanings);
bool WriteStyleRecord(const DictCollection& styles, std::uint32_t offset,
                      const std::vector<Meaning>& meanings);

std::uint32_t NewGroup(const DictCollection& styles);
void FreeGroup(const DictCollection& styles, std::uint32_t group);
void JoinGroups(DictionaryNode& node, std::uint32_t first, std::uint32_t second);

std::uint32_t AppendMeaning(DictCollection& words, const DictCollection& styles, const char* word,
                            std::uint32_t record);
std::uint32_t DropEmptyMeaning(DictionaryNode& node, int meaning, const char* word, std::uint32_t record,
                               bool clearGroup);

// The word's style record offset in the dictionary (0 = none or not there); false when the word is not in
// its word collection.
bool StyleRecordOf(DictionaryNode& node, const char* word, std::uint32_t& record);
int MeaningCount(DictionaryNode& node, std::uint32_t record);
// The description of a meaning, read under the style lock; empty for none.
std::string MeaningDescription(DictionaryNode& node, std::uint32_t record, int meaning);

std::uint32_t SetMeaningDescription(DBHandle h, int meaning, const char* word, const char* text);
int NextGroupMember(DBHandle h, const char* word, int meaning, char member[64]);
int FindMeaningWithMember(const DictCollection& styles, std::uint32_t record, const char* word);
int GetLinkingMeaning(DBHandle h, const char* word, const char* other);
int LinkStyleWord(DBHandle h, const char* target, int meaning, const char* member, int& copySetting,
                  bool copying);
int CheckStyleConflict(DBHandle h, const char* target, std::uint32_t targetRecord, const char* member,
                       std::uint32_t memberRecord, int& copySetting, bool copying);
std::uint32_t UnlinkStyleWord(DBHandle h, int meaning, const char* word);
int CopyStyleEntries(DictCollection& sourceWords, const DictCollection& sourceStyles, DBHandle destination,
                     const char* word, std::uint32_t sourceRecord, int& copySetting);

// The dialogs the linking shows: the conflict dialog (new member, target, conflicting word) and the
// choose-meaning form of the description dialog (the meaning of the new member chosen, 0 = none).
struct StyleDialogs {
    std::function<void(const char* member, const char* target, const char* with, int& copySetting,
                       bool copying)>
        conflict;
    std::function<int(DBHandle h, const char* target, const char* member, int& copySetting, bool copying)>
        chooseMeaning;
};
// Without functions the library's own dialogs (1500 and the choose-meaning form of 400) come back.
void SetStyleDialogs(const StyleDialogs& dialogs);
// The library's own dialogs, put here by the dialogs layer; they stand in while no others are set.
void SetDefaultStyleDialogs(const StyleDialogs& dialogs);

} // namespace wortex

namespace wortex {

// Before a word leaves a dictionary: out of every group, and its descriptions and style record freed.
void DropStyleData(DBHandle h, const char* word);
// After a word was renamed: its groups' member trees carry the new spelling.
void RenameStyleWord(DBHandle h, const char* oldWord, const char* newWord);

} // namespace wortex
