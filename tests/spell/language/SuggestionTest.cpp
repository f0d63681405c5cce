#include "SpellTestSupport.h"

#include "platform/win32/GlobalMemory.h"
#include "DictionarySet.h"
#include "Letters.h"
#include "Suggestions.h"

#include <cstring>
#include <set>

namespace wortex::test {
namespace {

class Suggestion : public DictionaryTest {
protected:
    DictCollection& words(DBHandle h) { return FindDictionaryNode(h)->words; }
    static std::vector<std::string> slots(win32::HGLOBAL block) {
        std::vector<std::string> out;
        auto* p = static_cast<const char*>(win32::GlobalLock(block));
        std::size_t n = win32::GlobalSize(block) / kSuggestionSlot;
        for (std::size_t k = 0; k < n; ++k)
            out.emplace_back(p + k * kSuggestionSlot);
        win32::GlobalUnlock(block);
        return out;
    }
};

// The marks as "index:hex" for every letter with a mark.
std::string markList(const unsigned char* marks) {
    std::string out;
    char buf[16];
    for (std::size_t k = 0; k < kMarkCount; ++k)
        if (marks[k]) {
            std::snprintf(buf, sizeof buf, "%s%zu:%02x", out.empty() ? "" : " ", k, marks[k]);
            out += buf;
        }
    return out;
}

TEST_F(Suggestion, CorrectWordAlternativesCostsAndMarks) {
    struct Case {
        std::vector<std::string> stored;
        const char* typed;
        bool exactOnly;
        int found;
        const char* correction;
        int cost;
        const char* marks;
    };
    const Case cases[] = {
        {{"Mueller"}, "M\xFCller", false, 1, "Mueller", 32, "0:0a 1:10"},
        {{"M\xFCller"}, "Mueller", false, 1, "M\xFCller", 96, "0:0a 1:60"},
        {{"M\xFCller"}, "~mueller", false, 1, "M\xFCller", 96, "0:03 1:60"},
        {{"caf\xE9"}, "cafe", false, 1, "caf\xE9", 32, "3:20"},
        {{"caf\xE9"}, "cafe", true, 0, "cafe", 0, "3:01"},
        {{"strasse"},
         "stra\xDF"
         "e",
         false,
         1,
         "strasse",
         32,
         "4:10"},
        {{"stra\xDF"
          "e"},
         "strasse",
         false,
         1,
         "stra\xDF"
         "e",
         96,
         "4:60"},
        {{"photo"}, "foto", false, 1, "photo", 32, "0:10"},
        {{"fotograf"}, "photograf", false, 1, "fotograf", 96, "0:60"},
        {{"b\xE4r"}, "baer", false, 1, "b\xE4r", 96, "1:60"},
        {{"zucker"}, "zuk~ker", false, 1, "zucker", 160, "2:a0"},
        {{"usw."}, "usw", false, 1, "usw.", 16, "3:10"},
        {{"e-mail"}, "email", false, 1, "e-mail", 16, "1:10"},
        {{"o'neill"}, "oneill", false, 1, "o'neill", 16, "1:10"},
        {{"Haus"}, "haus", false, 1, "Haus", 0, "0:0a"},
        {{"Haus"}, "~haus", false, 1, "Haus", 0, "0:03"},
        {{"Haus"}, "hau~s", false, 1, "Haus", 0, "0:0a 3:01"},
        {{"winter"}, "win~ter", false, 1, "winter", 0, "3:03"},
        {{"Bauantrag", "Unterlagen"},
         "bauantragsunterlagen",
         false,
         1,
         "Bauantragsunterlagen",
         0,
         "0:0a 9:04"},
        {{"Bauantrag", "Unterlagen"},
         "bauantragsunterlagen",
         true,
         1,
         "Bauantragsunterlagen",
         0,
         "0:0a 9:04"},
        {{"haus",
          "T\xFC"
          "r",
          "schl\xFC"
          "ssel"},
         "haust\xFC"
         "rschl\xFC"
         "ssel",
         false,
         1,
         "haust\xFC"
         "rschl\xFC"
         "ssel",
         0,
         "3:04 6:04"},
        {{"haus", "t\xFC"
                  "r"},
         "hausb\xFC"
         "r",
         false,
         0,
         "hausb\xFC"
         "r",
         0,
         "4:01"},
        {{"M\xFCller"}, "m\xFCller's", false, 0, "m\xFCller's", 0, "6:01"},
        {{"hand", "handtuch"}, "handtuch", false, 1, "handtuch", 0, ""},
    };
    int n = 0;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.typed);
        DBHandle h = make("c" + std::to_string(n++) + ".wxd", 'd', c.stored);
        char correction[64];
        unsigned char marks[kMarkCount];
        int cost = -1;
        EXPECT_EQ(CorrectWord(words(h), c.typed, correction, marks, c.exactOnly, &cost), c.found);
        EXPECT_STREQ(correction, c.correction);
        if (c.found) {
            EXPECT_EQ(cost, c.cost);
        }
        EXPECT_EQ(markList(marks), c.marks);
        CloseDictionary(h);
    }
}

// A correction of 63 typed letters can grow past 63 stored ones (a pair for an umlaut, a sign the input
// lacks, compound parts): it never writes past its 64 bytes.
TEST_F(Suggestion, LongCorrectionsStayInTheirSixtyFourBytes) {
    DBHandle h = make("l.wxd", 'd',
                      {"Haus",
                       "haust\xfcr",
                       "Bau",
                       "Antrag",
                       "Bauantrag",
                       "Unterlagen",
                       "Winter",
                       "Zucker",
                       "kaufen",
                       "Mueller",
                       "M\xfcller",
                       "Stra\xdf"
                       "e",
                       "usw.",
                       "e-mail",
                       "o'neill",
                       "caf\xe9",
                       "Rechnung",
                       "Rechnungen",
                       "photo",
                       "Zeichnung",
                       "a-b",
                       std::string(62, 'a')});
    const std::string compounds =
        "m\xfcllerusw.~m\xfclleruswusw.~m\xfclleruswuswm\xfcllerusw.~m\xfclleruswuswF0\x8a";
    std::string umlauts;
    while (umlauts.size() < 63)
        umlauts += "m\xfcller";
    umlauts.resize(63);
    std::string signs;
    while (signs.size() < 63)
        signs += "ab";
    signs.resize(63);
    for (const std::string& typed :
         {compounds, umlauts, signs, std::string(62, 'a') + "\xe4", "~" + umlauts}) {
        SCOPED_TRACE(typed);
        struct {
            char correction[64];
            char guard;
        } out;
        unsigned char marks[kMarkCount + 1];
        out.guard = 'G';
        marks[kMarkCount] = 0x5A;
        FindBestCorrection(h, 0, typed.c_str(), out.correction, marks, false);
        EXPECT_EQ(out.guard, 'G');
        EXPECT_EQ(marks[kMarkCount], 0x5A);
        EXPECT_LE(std::strlen(out.correction), 63u);
        CorrectWord(words(h), typed.c_str(), out.correction, marks, false);
        EXPECT_EQ(out.guard, 'G');
        EXPECT_LE(std::strlen(out.correction), 63u);
    }
}

// Which words the correction search takes as compounds: every part holds a vowel; a part of three letters
// is a noun not followed by a vowel; only a noun of four letters or more takes a vowel after it; a joint
// "s" is not followed by a part with "s"; a joint stem is a noun's without its "e" or a verb's without
// its "en"; a noun with a suffix such as "ung" takes a joint "s"; an adjective with a suffix such as
// "lich" begins no compound.
TEST_F(Suggestion, CompoundPartsAndJoints) {
    DBHandle h = make("k.wxd", 'd',
                      {"Chr", "der", "zus", "amen", "stellen", "Bau", "Amt", "Antrag", "Arzt", "Haus", "Tag",
                       "Leitung", "Krieg", "Verbrecher", "T\xFCr", "roh", "Farbe", "Modus", "Adresse", "Familie", "pr\xFC"
                       "fen",
                       "Programme", "gut", "Ende", "wohlig", "ehen", "Zeichen", "Ehre", "Abb", "artiger",
                       "Platz", "Ring", "Arbeit", "Wachs", "Tum", "Erholung", "Urlaub", "Netz", "Sprung",
                       "Brett", "Sicherheit", "Kopie", "wirklich", "Sets", "heimt\xFC" "ckisch", "Teer", "lesbar",
                       "Religion", "Unterricht", "Qualit\xE4t", "Kontrolle", "passender", "Itt", "All",
                       "Macht", "Ass", "denn", "sich", "allen", "oder", "dessen", "dienen", "Jagd", "Hilfe",
                       "Mittel", "Bde", "Mantel", "Psalm", "Pflanze", "Zwerg"});
    const struct {
        const char* typed;
        int found;
        const char* marks; // of the correction when found
    } cases[] = {
        {"chrring", 0, ""},          // a part without a vowel
        {"zusamenstellen", 0, ""},   // a small part of three letters before a small one
        {"rohbau", 1, "2:04"},       // ... before a noun
        {"bauroh", 0, ""},           // ... not as the last part
        {"verkennder", 0, ""},       // ... also as the last part
        {"bauleitung", 1, "0:0a 2:04"},
        {"hausarzt", 1, "0:0a 3:04"}, // a noun of four letters before a vowel
        {"bauantrag", 1, "0:0a 2:04"}, // a noun of three letters before a vowel
        {"abbartiger", 0, ""},          // ... but not one without a vowel in the middle
        {"wohligehen", 0, ""},        // a small part before a vowel
        {"tagring", 1, "0:0a 2:04"},  // a noun of three letters before a consonant
        {"ringtag", 1, "0:0a 3:04"},  // ... and as the last part
        {"kriegsverbrecher", 1, "0:0a 5:04"},
        {"kriegssverbrecher", 0, ""}, // a joint "s" before "s"
        {"hausst\xFCr", 0, ""},          // ... or after it
        {"farbmodus", 1, "0:0a 3:04"},
        {"adressfamilie", 1, "0:0a 5:04"},
        {"pr\xFC"
         "fprogramme",
         1, "3:04"},
        {"ehrzeichen", 0, ""}, // a joint stem of three letters
        {"arbeitsplatz", 1, "0:0a 6:04"},
        // A noun with a suffix such as "ung", "heit", "ion" or "tät" joins the next part with an "s".
        {"erholungsurlaub", 1, "0:0a 8:04"},
        {"erholungurlaub", 0, ""},
        {"leitungnetz", 0, ""},
        {"sicherheitkopie", 0, ""},
        {"religionunterricht", 0, ""},
        {"religionsunterricht", 1, "0:0a 8:04"},
        {"qualit\xE4tkontrolle", 0, ""},
        {"sprungbrett", 1, "0:0a 5:04"}, // "ung" of a word of one syllable is no suffix
        // An adjective with a suffix of its own begins no compound.
        {"wirklichsets", 0, ""},
        {"heimt\xFC"
         "ckischsteer",
         0, ""},
        {"lesbarteer", 0, ""},
        // A vowel and a doubled consonant is an abbreviation or a name, unless it is "All" or "Ass".
        {"abbpassender", 0, ""},
        {"bauitt", 0, ""},
        {"ittbau", 0, ""},
        {"allmacht", 1, "0:0a 2:04"},
        {"assring", 1, "0:0a 2:04"},
        // Conjunctions and inflected pronouns are no parts; a relative pronoun joins ("dessenungeachtet").
        {"hausdenn", 0, ""},
        {"dennhaus", 0, ""},
        {"sichbau", 0, ""},
        {"allenplatz", 0, ""},
        {"oderhaus", 0, ""},
        {"dessenhaus", 1, "5:04"},
        // A verb's stem joins without an "s", a noun's may take one.
        {"dienjagd", 1, "3:04"},
        {"diensjagd", 0, ""},
        {"hilfsmittel", 1, "0:0a 4:04"},
        // Two consonants begin a part only as a cluster that begins German words.
        {"bdemantel", 0, ""},
        {"mantelbde", 0, ""},
        {"zwergpflanze", 1, "0:0a 4:04"},
        {"psalmring", 1, "0:0a 4:04"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.typed);
        char correction[64];
        unsigned char marks[kMarkCount];
        EXPECT_EQ(CorrectWord(words(h), c.typed, correction, marks, false), c.found);
        if (c.found) {
            EXPECT_EQ(markList(marks), c.marks);
        }
    }
}

TEST_F(Suggestion, BestCorrectionOverTheSet) {
    DBHandle a = make("a.wxd", 'd', {"Mueller", "Haus"});
    DBHandle b = make("b.wxd", 'd', {"M\xFCller", "haus"});
    DBHandle e = make("e.wxe", 'e', {"house"});
    char correction[64];
    unsigned char marks[kMarkCount];
    // Mueller from a costs 1 (capital typed small) + 2 (pair letter); the umlaut word from b costs 1.
    EXPECT_EQ(FindBestCorrection(0, 0, "m\xFCller", correction, marks, false), b);
    EXPECT_STREQ(correction, "M\xFCller");
    EXPECT_EQ(CorrectionCost(correction, marks), 1);
    // haus costs 1 in a (capital typed small) and 0 in b.
    EXPECT_EQ(FindBestCorrection(0, 0, "haus", correction, marks, false), b);
    EXPECT_EQ(FindBestCorrection(0, 'e', "haus", correction, marks, false), 0);
    EXPECT_EQ(FindBestCorrection(0, 'E', "house", correction, marks, false), e);
    EXPECT_EQ(FindBestCorrection(a, 0, "haus", correction, marks, false), a);
    // A typed "~" where a stored word with capitals has none is refused.
    EXPECT_EQ(FindBestCorrection(a, 0, "hau~s", correction, marks, false), 0);
    EXPECT_EQ(markList(marks), "0:0a 3:01");
    const struct {
        const char* correction;
        std::vector<unsigned char> marks;
        int cost;
    } sums[] = {{"abc", {0, 0, 0}, 0},       {"abc", {3, 2, 0}, 0},       {"abc", {0x0a, 0, 0}, 1},
                {"abc", {0x10, 0x60, 0}, 4}, {"abc", {0x04, 0x20, 0}, 3}, {"abc", {1, 0, 0}, -1}};
    for (const auto& s : sums) {
        unsigned char m[kMarkCount] = {};
        std::copy(s.marks.begin(), s.marks.end(), m);
        EXPECT_EQ(CorrectionCost(s.correction, m), s.cost);
    }
}

TEST_F(Suggestion, VariantLimitsByLength) {
    const struct {
        std::size_t length;
        bool one, extended;
        int limit;
    } cases[] = {{2, false, false, 2},  {5, false, false, 2},  {8, false, false, 3},
                 {11, false, false, 4}, {14, false, false, 4}, {13, true, false, 1},
                 {13, false, true, 7},  {2, false, true, 2},   {40, false, true, 7}};
    for (const auto& c : cases)
        EXPECT_EQ(VariantLimit(c.length, c.one, c.extended), c.limit) << c.length;
}

struct Collected {
    std::vector<std::pair<std::string, int>> words;
    static bool add(void* self, const char* word, int cost) {
        static_cast<Collected*>(self)->words.emplace_back(word, cost);
        return true;
    }
    int costOf(const std::string& w) const {
        int best = -1;
        for (const auto& [word, cost] : words)
            if (word == w && (best < 0 || cost < best)) best = cost;
        return best;
    }
};

TEST_F(Suggestion, VariantsCountDifferences) {
    DBHandle h =
        make("v.wxd", 'd',
             {"Rechnung", "Wohnung", "Zeichnung", "Baustelle", "Bauantrag", "Reparatur", "vielleicht",
              "Stra\xDF"
              "e",
              "Geb\xE4ude", "Ahorn", "Foto", "Rhythmus", "nahe"});
    const struct {
        const char* typed;
        bool one, extended;
        const char* word;
        int cost; // -1: not found
    } cases[] = {
        {"rechnung", false, false, "Rechnung", 0},
        {"rechnnung", true, false, "Rechnung", 1},
        {"wohnug", false, false, "Wohnung", 1},
        {"zeichung", false, false, "Zeichnung", 1},
        {"bausstelle", false, false, "Baustelle", 1},
        {"reperatur", false, false, "Reparatur", 2},
        {"strasse", false, false,
         "Stra\xDF"
         "e",
         0},
        {"gebaeude", false, false, "Geb\xE4ude", 0},
        {"phoho", false, false, "Foto", 2},
        {"bauantarg", false, false, "Bauantrag", 1},
        {"rytmus", false, true, "Rhythmus", 2},
        {"vieleicht", false, false, "vielleicht", 1},
        {"rechnung", true, false, "Wohnung", -1},
        {"ahorrn", false, false, "Ahorn", 1},
        {"ahorm", false, true, "Ahorn", 2},
        {"ahorm", false, false, "Ahorn", 2},
        {"ehorn", false, false, "Ahorn", -1},
        {"rechnungx", false, false, "Rechnung", 1},
        {"nahex", false, false, "nahe", 1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.typed);
        Collected got;
        EXPECT_EQ(FindVariants(words(h), c.typed, Collected::add, &got, c.one, c.extended), 1);
        EXPECT_EQ(got.costOf(c.word), c.cost);
    }
    Collected none;
    EXPECT_EQ(FindVariants(words(h), "r", Collected::add, &none, false, false), 0);
    EXPECT_TRUE(none.words.empty());
}

// A search run from inside another search's callback (each reads the tree through pages of its own) gives
// the same answers as on its own, and the outer search goes on as if nothing had run.
// The variant search, rule by rule: a stored letter that the input lacks, also at its end; an extra
// input letter; two neighbouring letters swapped, one difference like any other one-letter slip; the
// first input letter matched only by a letter equal to it.
TEST_F(Suggestion, VariantRulesOneByOne) {
    DBHandle h = make("r.wxd", 'd', {"eingereicht", "Haus", "Wohnung", "Rechnung", "Ahorn", "nahe", "Zeit"});
    const struct {
        const char* typed;
        const char* word;
        int cost; // -1: not found
    } cases[] = {
        {"eingereich", "eingereicht", 1}, // the stored last letter lacking
        {"eingerech", "eingereicht", 2},  // ... and one inside
        {"wohnug", "Wohnung", 1},         // lacking inside
        {"rechnungg", "Rechnung", 1},     // an extra last letter
        {"rechnnung", "Rechnung", 1},     // an extra letter inside
        {"hasu", "Haus", 1},              // a swap at the end
        {"wohnugn", "Wohnung", 1},
        {"rehcnung", "Rechnung", 1}, // a swap inside
        {"ahusn", "Haus", -1},       // two letters wrong at the start
        {"zeti", "Zeit", 1},
        {"ahorm", "Ahorn", 2}, // one letter for another: an extra and a lacking one
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.typed);
        Collected got;
        EXPECT_EQ(FindVariants(words(h), c.typed, Collected::add, &got, false, false), 1);
        EXPECT_EQ(got.costOf(c.word), c.cost);
    }
}

// A compound that the dictionary holds only in parts: as typed, first in the list; with one wrong part,
// the part's variants joined to the rest, a joint "s" kept.
TEST_F(Suggestion, SuggestionListOffersCompoundsOfKnownParts) {
    make("c.wxd", 'd', {"Rechnung", "Nummer", "Honorar", "Zone", "Leistung", "Phasen", "Haus", "Bau", "Selle",
                        "Baustelle"});
    const struct {
        const char* typed;
        const char* first;
    } cases[] = {
        {"rechnungsnummer", "Rechnungsnummer"},
        {"Rechnnugsnummer", "Rechnungsnummer"},
        {"Hoorarzone", "Honorarzone"},
        {"Leistungsphasne", "Leistungsphasen"},
        {"eingereich", ""}, // nothing near: an empty list
        // A compound exactly as typed changes nothing: a word one letter away comes first.
        {"Bauselle", "Baustelle"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.typed);
        win32::HGLOBAL block = MakeSuggestionList(c.typed, false);
        ASSERT_TRUE(block);
        EXPECT_EQ(slots(block).front(), c.first);
        win32::GlobalFree(block);
    }
}

TEST_F(Suggestion, SearchesInsideAVariantCallbackLeaveTheOuterOneIntact) {
    DBHandle h =
        make("n.wxd", 'd', {"Rechnung", "Wohnung", "Zeichnung", "Bauantrag", "Unterlagen", "Wohnungen"});
    struct Nested {
        Collected outer;
        DictCollection* words;
        std::vector<std::string> inner;
        static bool add(void* self, const char* word, int cost) {
            auto* n = static_cast<Nested*>(self);
            char correction[64];
            unsigned char marks[kMarkCount];
            n->inner.push_back(
                CorrectWord(*n->words, "~bauantragsunterlagen", correction, marks, false) ? correction : "-");
            return Collected::add(&n->outer, word, cost);
        }
    };
    for (const char* typed : {"wohnug", "rechnnung", "zeichnug"}) {
        SCOPED_TRACE(typed);
        Collected alone;
        ASSERT_EQ(FindVariants(words(h), typed, Collected::add, &alone, false, false), 1);
        Nested nested{{}, &words(h), {}};
        ASSERT_EQ(FindVariants(words(h), typed, Nested::add, &nested, false, false), 1);
        EXPECT_EQ(nested.outer.words, alone.words);
        ASSERT_FALSE(nested.inner.empty());
        for (const std::string& w : nested.inner)
            EXPECT_EQ(w, "Bauantragsunterlagen");
    }
}

TEST_F(Suggestion, SuggestionListKeepsTheCheapestFortyOnce) {
    SuggestionList list;
    // 41 candidates, costs descending, one word offered twice.
    for (int k = 0; k <= 40; ++k)
        AddSuggestion(&list, ("w" + std::to_string(k)).c_str(), 50 - k);
    AddSuggestion(&list, "w20", 5);
    AddSuggestion(&list, "W20", 7);
    ASSERT_EQ(list.count, kMaxSuggestions);
    std::set<std::string> seen;
    for (int k = 0; k < list.count; ++k) {
        std::string w(reinterpret_cast<const char*>(list.entries[k] + 1));
        EXPECT_TRUE(seen.insert(w).second) << w;
        if (k) {
            EXPECT_LE(list.entries[k - 1][0], list.entries[k][0]);
        }
    }
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(list.entries[0] + 1)), "w20");
    EXPECT_EQ(list.entries[0][0], 5);
    EXPECT_EQ(seen.count("w0"), 0u) << "the dearest is pushed out";
    EXPECT_EQ(seen.count("w1"), 1u);
    // A full list takes nothing that costs the same as its last entry.
    AddSuggestion(&list, "late", list.entries[kMaxSuggestions - 1][0]);
    EXPECT_EQ(list.count, kMaxSuggestions);
    for (int k = 0; k < list.count; ++k)
        EXPECT_STRNE(reinterpret_cast<const char*>(list.entries[k] + 1), "late");
}

TEST_F(Suggestion, SuggestionListBlockAndBestReplacement) {
    DBHandle a = make("a.wxd", 'd', {"Rechnung", "Haus"});
    DBHandle b = make("b.wxd", 'd', {"Reichnung", "Maus"});
    win32::HGLOBAL block = MakeSuggestionList("RECHNNUNG", false);
    ASSERT_TRUE(block);
    auto got = slots(block);
    EXPECT_EQ(got, (std::vector<std::string>{"Rechnung", "Reichnung", ""}));
    win32::GlobalFree(block);
    block = MakeSuggestionList("xyzzyq", false);
    EXPECT_EQ(slots(block), std::vector<std::string>{""}) << "one empty slot when nothing is found";
    win32::GlobalFree(block);
    char out[64];
    EXPECT_EQ(BestReplacement("Rechnnung", out), a);
    EXPECT_STREQ(out, "Rechnung");
    EXPECT_EQ(BestReplacement("Reichnnung", out), b);
    EXPECT_STREQ(out, "Reichnung");
    EXPECT_EQ(BestReplacement("Hauss", out), a);
    EXPECT_EQ(BestReplacement("Mau", out), 0);
    EXPECT_EQ(BestReplacement("Hais", out), 0) << "four letters get no replacement";
    EXPECT_STREQ(out, "");
}

TEST_F(Suggestion, CompareTextsScores) {
    const struct {
        const char* first;
        const char* second;
        int limit;
        int score;
    } cases[] = {
        {"Die Rechnung ist bezahlt", "Die Rechnung ist bezahlt", 0, 0},
        {"Rechnung", "Rechnnung", 0, 1},
        {"Rechnung bezahlt", "Rechnung", 0, 5 + 5},
        {"Rechnung Haus Maus", "Rechnung", 0, 5 + 5 + 10},
        {"Rechnung", "Rechnung Haus", 0, 0},
        {"Rechnung", "Xylophon", 0, kNoSimilarity},
        {"Rechnung", "", 0, kNoSimilarity},
        {"a b c", "x y z", 0, 0},
        {"Rechnung", "Rrecchnnung", 0, 3},
        {"Rechnung", "Rrecchnnung", 2, kNoSimilarity},
        {"Rechnung", "Rechnnnnung", 0, kNoSimilarity},
    };
    for (const auto& c : cases)
        EXPECT_EQ(CompareTexts(c.first, c.second, c.limit, false), c.score) << c.first << " / " << c.second;
    // A long text of far words saturates below the no-match score instead of wrapping.
    std::string first = "haus ", second = "haus";
    for (int k = 0; k < 20000; ++k)
        first += "xq ";
    EXPECT_EQ(CompareTexts(first.c_str(), second.c_str(), 0, false), 65534);
}

TEST_F(Suggestion, SpellingReplacements) {
    make("d.wxd", 'd',
         {"Stra\xDF"
          "e",
          "Masse",
          "Ma\xDF"
          "e",
          "Fluss", "Messe"});
    make("e.wxe", 'e', {"colour"});
    const struct {
        char language;
        const char* word;
        const char* find;
        const char* replace;
        int changed;
        const char* result;
        const char* marks;
    } cases[] = {
        {'D', "strasse", "ss", "\xDF", 1,
         "stra\xDF"
         "e",
         "4:20 5:10"},
        {'D', "masse", "ss", "\xDF", 1,
         "ma\xDF"
         "e",
         "2:20 3:10"},
        {'D', "flusse", "ss", "\xDF", 0, "flusse", ""},
        {'E', "color", "o", "ou", 1, "colour", "3:60"},
        {'E', "color", "o", "ou", 1, "colour", "3:60"},
        {'D', "color", "o", "ou", 0, "color", ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.word);
        char word[64];
        std::strcpy(word, c.word);
        unsigned char marks[kMarkCount] = {};
        std::uint32_t options = 0;
        EXPECT_EQ(ReplaceIfListed(c.language, word, marks, c.find, c.replace, options, 0x40000), c.changed);
        EXPECT_STREQ(word, c.result);
        EXPECT_EQ(markList(marks), c.marks);
        EXPECT_EQ(options, c.changed ? 0x40000u : 0u);
    }
    // A marked place is not replaced.
    char word[64] = "strasse";
    unsigned char marks[kMarkCount] = {};
    marks[4] = kMarkAdded;
    std::uint32_t options = 0;
    EXPECT_EQ(ReplaceIfListed('D', word, marks, "ss", "\xDF", options, 0x40000), 0);
    const struct {
        const char* word;
        const char* result;
        const char* marks;
    } sharp[] = {{"stra\xDF"
                  "e",
                  "strasse", "4:20 5:10"},
                 {"flu\xDF", "fluss", "3:20 4:10"},
                 {"ma\xDF"
                  "e",
                  "masse", "2:20 3:10"}};
    for (const auto& c : sharp) {
        std::strcpy(word, c.word);
        std::memset(marks, 0, sizeof marks);
        options = 0;
        EXPECT_EQ(ReplaceSharpS(word, marks, options), 1);
        EXPECT_STREQ(word, c.result);
        EXPECT_EQ(markList(marks), c.marks) << c.word;
        EXPECT_EQ(options, 0x80000u);
    }
}

} // namespace
} // namespace wortex::test

namespace wortex::test {

// A word too long for a slot of the list is not offered cut short: it would come back as a new entry each
// time it is found again. Compounds of 61 to 63 letters typed as they stand, or found among the variants.
TEST_F(Suggestion, LongCompoundsAreOfferedOnceAndWhole) {
    make("a.wxd", 'd', {"Haus", "Bau", "Zucker", "Mueller", "M\xfcller", "Rechnung"});
    std::string tenTimes;
    for (int k = 0; k < 10; ++k)
        tenTimes += "m\xfcller";
    const std::string cases[] = {tenTimes + "b",
                                 tenTimes + "ba",
                                 tenTimes + "bau",
                                 tenTimes + "baus",
                                 tenTimes + "bauzucker",
                                 tenTimes + "zucker",
                                 "zucker" + tenTimes + "zucker"};
    for (const std::string& typed : cases) {
        for (bool extended : {false, true}) {
            win32::HGLOBAL block = MakeSuggestionList(typed.c_str(), extended);
            ASSERT_TRUE(block);
            std::vector<std::string> got = slots(block);
            win32::GlobalFree(block);
            std::set<std::string> once;
            for (std::string w : got) {
                if (w.empty()) continue;
                EXPECT_EQ(w.size(), std::strlen(w.c_str()));
                EXPECT_LE(w.size(), 62u) << typed;
                AnsiStrLower(w.data());
                EXPECT_TRUE(once.insert(w).second) << w << " offered twice for " << typed;
            }
        }
    }
    SuggestionList list;
    for (std::size_t length : {61u, 62u, 63u})
        for (int cost : {3, 2, 2})
            AddSuggestion(&list, std::string(length, 'a').c_str(), cost);
    EXPECT_EQ(list.count, 2) << "61 and 62 letters, each once";
}

} // namespace wortex::test
