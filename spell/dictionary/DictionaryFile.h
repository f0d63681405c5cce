#pragma once
// Dictionary files: a DOZ3 file holding two word collections ("WXT Word table" and "WXT Style tables"),
// each headed by a 54-byte dictionary header and a 30-byte root record.
#include "Doz3.h"

#include <cstdint>

namespace wortex {

constexpr std::uint16_t kDictHeaderSize = 54;
constexpr std::uint16_t kRootRecordSize = 30;
constexpr const char* kWordTableName = "WXT Word table";
constexpr const char* kStyleTableName = "WXT Style tables";
constexpr const char* kOldTableName = "QStdSpellChecker";

// The open collection passed around by the dictionary engine and the set of open dictionaries.
struct DictCollection {
    DBHandle db = 0;
    unsigned char header[kDictHeaderSize] = {};
    char word[64] = {}; // the word last found or inserted; navigation continues from it

    std::uint32_t descriptionTable() const;
    std::uint32_t wordTable() const; // also the lock key of every word operation
    std::uint32_t rootRecord() const;
    std::uint16_t format() const;
};

int CreateDictionary(const std::string& fileName, char language);
void CreateDictionaryTable(DBHandle h, const char* name, char language);
// kind 1 = word table, 2 = style tables. 0 also for a header that does not hold together.
int OpenDictionaryTable(DBHandle h, DictCollection& collection, int kind);
int InitDictionaryEngine(std::uint16_t cachePages);
void TermDictionaryEngine();

} // namespace wortex
