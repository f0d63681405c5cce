// Writes the seed corpus of the dictionary and DOZ3 fuzz targets with the library's own creation, so the
// fuzzer starts from files the reader accepts: make_seed_corpus <corpus folder>. The result is committed
// under tests/spell/fuzz/corpus/.
#include "FuzzSupport.h"
#include "DictionarySet.h"

#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

using namespace wortex;
namespace fs = std::filesystem;

namespace {

const std::vector<const char*> kGerman = {"Haus",         "haust\xFCr", "Bau",       "Antrag",  "Bauantrag",
                                          "Unterlagen",   "Winter",     "Zucker",    "kaufen",  "M\xFCller",
                                          "Stra\xDF\x65", "usw.",       "e-mail",    "o'neill", "caf\xE9",
                                          "Rechnung",     "Rechnungen", "Zeichnung", "Honorar", "Leistung",
                                          "Abschlag",     "Bauleitung", "Grundriss", "z.B."};
const std::vector<const char*> kEnglish = {"house", "colour", "color", "invoice", "fee", "o'clock", "e.g."};

// A dictionary of the language with the words; every second one marked, to reach the mark bits too.
bool dictionary(const fs::path& file, char language, const std::vector<const char*>& words, int repeat = 1) {
    fs::remove(file);
    if (!CreateDictionaryFile(file.string(), language)) return false;
    DBHandle h = OpenDictionary(false, file.string());
    if (!h) return false;
    int n = 0;
    for (int r = 0; r < repeat; ++r)
        for (const char* w : words) {
            std::string word = w;
            if (r > 0) word += std::string{static_cast<char>('a' + r % 26), static_cast<char>('a' + r / 26)};
            AddDictionaryWord(h, word.c_str(), false, n % 2 == 1, static_cast<std::uint32_t>(n), 0);
            ++n;
        }
    if (repeat == 1 && words.size() > 2) DeleteDictionaryWord(h, words[1]); // a freed record inside
    CloseDictionary(h);
    return true;
}

// A bare DOZ3 file with two tables and records written and freed.
bool doz3(const fs::path& file) {
    fs::remove(file);
    if (!CreateDBFile(file.string())) return false;
    DBHandle h = OpenDBFile(file.string(), 4);
    if (!h || !LockDBFile(h, 0)) return false;
    for (std::uint16_t pages : {1, 3}) {
        std::uint32_t t = CreateDBTable(h, pages);
        for (std::uint16_t size : {2, 40, 220, 700}) {
            std::uint32_t r = AllocDBRecord(h, size, t);
            std::vector<unsigned char> bytes(size, static_cast<unsigned char>(size));
            if (r) WriteDBBytes(h, r, bytes.data(), size);
            if (r && size == 40) FreeDBRecord(h, r, size, t);
        }
    }
    UnlockDBFile(h, 0);
    CloseDBFile(h);
    return true;
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: make_seed_corpus <corpus folder>\n");
        return 2;
    }
    const fs::path out = argv[1];
    fs::create_directories(out / "dict_open");
    fs::create_directories(out / "doz3_open");
    if (InitDictionarySide(24) < 0) return 1;
    fuzz::startOnce();
    bool ok = dictionary(out / "dict_open" / "leer.wxd", 'd', {}) &&
              dictionary(out / "dict_open" / "klein.wxd", 'd', kGerman) &&
              dictionary(out / "dict_open" / "english.wxe", 'e', kEnglish) &&
              dictionary(out / "dict_open" / "seiten.wxd", 'd', kGerman, 40) &&
              doz3(out / "doz3_open" / "tabellen.doz");
    TermDictionarySide();
    if (!ok) return 1;
    // Every dictionary is a DOZ3 file too.
    for (const auto& e : fs::directory_iterator(out / "dict_open"))
        fs::copy_file(e.path(), out / "doz3_open" / e.path().filename(),
                      fs::copy_options::overwrite_existing);
    return 0;
}
