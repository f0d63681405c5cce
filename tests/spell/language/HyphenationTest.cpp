#include "SpellTestSupport.h"

#include "DictionarySet.h"
#include "Hyphenation.h"

#include <cstring>

namespace wortex::test {
namespace {

class Hyphenation : public DictionaryTest {};

struct Hyphenated {
    const char* word;
    const char* result;           // "" for none
    std::vector<int> joints = {}; // letters (from 1) whose mark is 0x04
};

const Hyphenated kGermanCases[] = {
    {"Winter", "Win~ter"},
    {"Zucker", "Zu~cker"},
    {"R\xF6schen", "R\xF6s~chen"},
    {"H\xE4uschen", "H\xE4us~chen"},
    {"Bauer", "Bau~er"},
    {"Theater", "Thea~ter"},
    {"Fenster", "Fen~ster"},
    {"stellte", "stell~te"},
    {"Signal", "Si~gnal"},
    {"Tasche", "Ta~sche"},
    {"Tischler", "Tisch~ler"},
    {"Wespe", "We~spe"},
    {"Technik", "Tech~nik"},
    {"freundlich", "freund~lich"},
    {"verkaufen", "ver~kau~fen"},
    {"bearbeiten", "be~ar~bei~ten"},
    {"Apfel", ""},
    {"Br\xFC"
     "cke",
     ""},
    {"Bauantrag", "Bau~an~trag", {3}},
    {"Haust\xFC"
     "rschl\xFC"
     "ssel",
     "Haus~t\xFC"
     "r~schl\xFC"
     "s~sel",
     {4, 7}},
};

std::vector<std::string> germanWords() {
    std::vector<std::string> words = {"kaufen"};
    for (const auto& c : kGermanCases)
        words.push_back(c.word);
    return words;
}

void expectHyphenated(char language, const Hyphenated& c) {
    unsigned char marks[64] = {};
    for (int j : c.joints)
        marks[j - 1] = 0x04;
    char out[64];
    EXPECT_EQ(HyphenateWord(language, c.word, marks, out), *c.result ? 1 : 0) << c.word;
    EXPECT_STREQ(out, c.result) << c.word;
}

TEST_F(Hyphenation, GermanWordsOnASmallDictionary) {
    make("d.wxd", 'd', germanWords());
    for (const auto& c : kGermanCases)
        expectHyphenated('D', c);
}

// Clusters after a prefix and at joints: a prefix of the list that ends inside a cluster, also before
// sch, takes the hyphen; th stays together unless the h starts a word part; l after b, d, f, g, k, p
// goes with it unless the l starts a suffix or a word part on its own; ck goes whole to the next
// syllable; st is not split. A capital on the first letter (marks 1 and 2) is no joint.
TEST_F(Hyphenation, ClustersAfterPrefixesAndJoints) {
    make("p.wxd", 'd',
         {"schreiben", "Hilfe", "Platz", "Latz", "Platten", "Lage", "Lauf", "Trocken", "Liste", "Arbeit",
          "fest", "Stand", "Tand", "Haus", "T\xFCr", "gegen", "Rechnung", "ein", "bar", "probiert", "halten"});
    const struct {
        const char* word;
        const char* result;
        unsigned char firstMark;
    } cases[] = {
        {"einschlie\xDF"
         "lich",
         "ein~schlie\xDF~lich", 0},
        {"verschwendet", "ver~schwen~det", 0},
        {"Beschreibung", "Be~schrei~bung", 0x03},
        {"Tischler", "Tisch~ler", 0x03},
        {"ausprobiert", "aus~pro~biert", 0},
        {"enthalten", "ent~hal~ten", 0},
        {"mithilfe", "mit~hil~fe", 0},
        {"Theater", "Thea~ter", 0x03},
        {"Arbeitsplatz", "Ar~beits~platz", 0x03},
        {"Festplatten", "Fest~plat~ten", 0x03},
        {"M\xF6glichkeiten", "M\xF6g~lich~kei~ten", 0x03},
        {"Ablage", "Ab~la~ge", 0x03},
        {"Ablauf", "Ab~lauf", 0x03},
        {"Zucker", "Zu~cker", 0x03},
        {"Trockenlauf", "Tro~cken~lauf", 0x03},
        {"Liste", "Li~ste", 0x03},
        {"Fenster", "Fen~ster", 0x03},
        {"Bestand", "Be~stand", 0x03},
        {"Haust\xFCr", "Haus~t\xFCr", 0x03},           // a joint "s" before a word part with t
        {"Gegenstand", "Ge~gen~stand", 0x03},              // ... but the word part takes the s
        {"Abrechnung", "Ab~rech~nung", 0x03},              // a prefix of two letters before a word part
        {"herzlich", "herz~lich", 0},                      // ... not before letters that are none
        {"vereinbart", "ver~ein~bart", 0},                 // a prefix before a vowel and a word
        {"Menschen", "Men~schen", 0x03},                   // sch after a consonant
        {"G\xE4nschen", "", 0x03},                        // ... not in a diminutive after an umlaut
    };
    for (const auto& c : cases) {
        unsigned char marks[64] = {c.firstMark};
        char out[64];
        EXPECT_EQ(HyphenateWord('D', c.word, marks, out), *c.result ? 1 : 0) << c.word;
        EXPECT_STREQ(out, c.result) << c.word;
    }
}

TEST_F(Hyphenation, EnglishSuffixesAndOtherLanguages) {
    make("e.wxe", 'e', {"print", "kind"});
    const Hyphenated cases[] = {
        {"printing", "print~ing"},
        {"kindness", "kind~ness"},
        {"winter", "wint~er"},
        {"table", "ta~ble"},
    };
    for (const auto& c : cases)
        expectHyphenated('E', c);
    char out[64];
    EXPECT_EQ(HyphenateWord('F', "fen\xEAtre", nullptr, out), 0);
    EXPECT_EQ(HyphenateWord('D', "Haus", nullptr, out), 0) << "fewer than five letters";
}

TEST_F(Hyphenation, CompoundsFromTheDictionaryAndHyphens) {
    make("d.wxd", 'd',
         {"Haus",
          "T\xFC"
          "r",
          "Antrag", "Bau", "Fenster", "Rahmen"});
    // Capital marks (compound bits 1 and 2) let the dictionary find the parts.
    unsigned char marks[64] = {};
    marks[0] = 0x03;
    char out[64];
    const struct {
        const char* word;
        const char* result;
    } cases[] = {{"Fensterrahmen", "Fen~ster~rah~men"}, {"Bau-Antrag", "Bau-An~trag"}};
    for (const auto& c : cases) {
        std::memset(marks, 0, sizeof marks);
        for (std::size_t k = 0; k < std::strlen(c.word); ++k)
            marks[k] = 0x02;
        EXPECT_EQ(HyphenateWord('D', c.word, marks, out), 1) << c.word;
        EXPECT_STREQ(out, c.result);
    }
}

TEST_F(Hyphenation, LongResultGivesNone) {
    // 60 letters hyphenate into more than 63 characters: no hyphenation instead of an overflow.
    std::string word;
    for (int k = 0; k < 10; ++k)
        word += "winter";
    char out[64];
    EXPECT_EQ(HyphenateWord('D', word.c_str(), nullptr, out), 0);
    EXPECT_STREQ(out, "");
    word = word.substr(0, 30);
    EXPECT_EQ(HyphenateWord('D', word.c_str(), nullptr, out), 1);
    EXPECT_LE(std::strlen(out), 63u);
}

TEST_F(Hyphenation, MarksToHyphens) {
    const unsigned char marks[] = {0, 0, 0, 2, 0, 3, 0, 2};
    char out[64];
    EXPECT_EQ(MarksToHyphens(marks, "winterab", out), 1);
    EXPECT_STREQ(out, "win~tera~b");
    const unsigned char none[8] = {2, 0, 1};
    EXPECT_EQ(MarksToHyphens(none, "abc", out), 0);
    EXPECT_STREQ(out, "abc");
}

} // namespace
} // namespace wortex::test
