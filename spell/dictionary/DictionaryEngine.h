#pragma once
// The words of a collection: a letter tree cut into pages, one entry per letter that can follow the
// letters above it; an entry ends a word, carries the rest of one word as a suffix-compressed tail, or
// links to the page of the next letter. Words go in and come out as Windows-1252 text ("~" marks capitals).
// A collection of the old format (header format other than 12) can only be read: looked up and walked.
#include "DictionaryFile.h"

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace wortex {

// Flag bits of an entry.
constexpr unsigned char kEntryTail = 1;
constexpr unsigned char kEntryCapital = 2;
constexpr unsigned char kEntryValueA = 4;
constexpr unsigned char kEntryValueB = 8;
constexpr unsigned char kEntryMark = 16;
constexpr unsigned char kEntryEnd = 32;
constexpr unsigned char kEntryLongLink = 64;
constexpr unsigned char kEntryLink = 128;

// What the engine tells about a found word; any pointer may be null.
struct WordOut {
    std::uint32_t* valueA = nullptr;
    std::uint32_t* valueB = nullptr;
    int* mark = nullptr; // word mark 16
};

// word: in the search text, out the stored spelling (64 bytes).
int LookupWord(DictCollection& c, char* word, bool showCapitals, WordOut out = {});
int FirstWord(DictCollection& c, char* word, bool showCapitals, WordOut out = {});
int LastWord(DictCollection& c, char* word, bool showCapitals, WordOut out = {});
// An empty word continues from the collection's word buffer.
int NextWord(DictCollection& c, char* word, bool showCapitals, WordOut out = {});
int PreviousWord(DictCollection& c, char* word, bool showCapitals, WordOut out = {});
int InsertWord(DictCollection& c, const char* word, bool mark, std::uint32_t valueA, std::uint32_t valueB);
int DeleteWord(DictCollection& c, const char* word);
// The same for a caller that holds the collection's lock already (a group's member tree changed under the
// style lock): taking and releasing the byte lock again would free it for other processes.
int InsertWordLockHeld(DictCollection& c, const char* word, bool mark, std::uint32_t valueA,
                       std::uint32_t valueB);
int DeleteWordLockHeld(DictCollection& c, const char* word);
// which: 4 = value A, 8 = value B; value 0 removes it.
int SetWordValue(DictCollection& c, const char* word, std::uint32_t value, int which);
std::uint32_t GetWordCount(DictCollection& c);
char GetDictionaryLanguage(DictCollection& c);
// 1 when the root record can be read and the root page (if any) holds together.
int CheckDictionaryRoot(DictCollection& c);
// Every word of the collection in dictionary order, in one pass over its pages, each page once: for reading
// a whole collection, of either format, without looking each word up again from its text. visit gets the
// word as NextWord gives it and returns false to stop. 1 when the walk reached the end or was stopped, 0
// at a page that does not hold together (the words before it have been visited).
using WordVisitor =
    std::function<bool(const char* word, std::uint32_t valueA, std::uint32_t valueB, int mark)>;
int WalkWords(DictCollection& c, bool showCapitals, const WordVisitor& visit);
// WalkWords without a visitor: 1 when every page holds together and is reached once, every word within 63
// letters.
int CheckDictionaryTree(DictCollection& c);
// CheckDictionaryTree, and the words found agree with the count of the root record; fileSize bounds the
// pages there can be.
int CheckDictionaryWords(DictCollection& c, std::uint32_t fileSize);
// Before a file takes words: its file-level table and the collection's tables lie within the file, and
// with wholeTree, for a file of at most kWholeCheckSize bytes, its words agree with its count. A file that
// fails gets the engine's bad-file message.
constexpr std::uint32_t kWholeCheckSize = 256 * 1024;
int CheckDictionaryFile(DictCollection& c, bool wholeTree);

// One page of the word tree as read by the searches that walk the tree themselves (suggestions): tails
// expanded to letter codes. RootPageOf gives 0 for an empty tree or a root record that can't be read;
// ReadTreePage false for a page that does not hold together.
struct TreeEntry {
    unsigned char letter = 0;
    unsigned char endFlags = 0;  // kEntryEnd when a word ends here, with its kEntryCapital and kEntryMark
    unsigned char tailFlags = 0; // kEntryCapital and kEntryMark of the tail's word
    std::string tail;            // empty: none
    std::uint32_t link = 0;      // 0: none
};
std::uint32_t RootPageOf(const DictCollection& c);
bool ReadTreePage(const DictCollection& c, std::uint32_t offset, std::vector<TreeEntry>& out);

// Suffix compression of tails (letter codes in, stored bytes out) and its inverse; false for bytes that
// are no tail.
std::string CompressTail(const std::string& codes);
bool ExpandTail(const std::string& stored, std::string& codes);

} // namespace wortex
