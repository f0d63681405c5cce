// How right the library's language results are on the wngerman dictionary, with the timing of the
// suggestions: the suggestion list against a typo set, the acceptance of one-letter misspellings of listed
// words, the words of a German text flagged, and hyphenation against expected points. A timing program,
// not a Google benchmark: it prints its figures once.
//
//   bench_spell_language                 the figures
//   bench_spell_language --make-typos    writes the typo set (typos.txt) from the text and the list
//   bench_spell_language --show WORD...  correction, marks, suggestions and hyphenation of each word
//   bench_spell_language --flagged FILE  the words of a word list (UTF-8, one a line) that are flagged
#include "tests/spell/wngerman/BuildWngerman.h"

#include "platform/win32/GlobalMemory.h"
#include "platform/win32/UiServices.h"
#include "DictionaryEngine.h"
#include "Hyphenation.h"
#include "Letters.h"
#include "Suggestions.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <map>
#include <random>
#include <set>
#include <sstream>

using namespace wortex;

namespace {

const std::string kDir = LANGUAGE_SET_DIR;

win32::ScriptedUi ui;

unsigned char uc(char c) {
    return static_cast<unsigned char>(c);
}

bool allLetters(const std::string& w) {
    return !w.empty() && std::all_of(w.begin(), w.end(), [](char c) { return IsAnsiLetter(uc(c)); });
}

// The set's files are UTF-8; the library works in Windows-1252.
std::vector<std::string> readLines(const std::string& name) {
    std::vector<std::string> out;
    std::ifstream in(kDir + "/" + name);
    std::string line, converted;
    while (std::getline(in, line)) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (line.empty() || line[0] == '#') continue;
        if (test::utf8To1252(line, converted)) out.push_back(converted);
    }
    return out;
}

std::string toUtf8(const std::string& s) {
    std::string out;
    for (char ch : s) {
        unsigned char c = uc(ch);
        if (c < 0x80) {
            out.push_back(ch);
        } else {
            out.push_back(static_cast<char>(0xC0 | (c >> 6)));
            out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
        }
    }
    return out;
}

// As the check hands a word over: a capital first letter written "~" and small.
std::string searchForm(const std::string& w) {
    if (w.empty() || AnsiToLower(uc(w[0])) == uc(w[0])) return w;
    std::string s = "~" + w;
    s[1] = static_cast<char>(AnsiToLower(uc(w[0])));
    return s;
}

bool listed(const std::string& w) {
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "%s", w.c_str());
    return FindWordInDictionaries(0, buffer, 0, false) != 0;
}

// The correction the analysis starts from; accepted when it has the word's letters unchanged.
bool accepted(const std::string& w, char* correction, unsigned char* marks) {
    if (!FindBestCorrection(0, 0, searchForm(w).c_str(), correction, marks, false)) return false;
    return AnsiCompareNoCase(correction, w.c_str()) == 0;
}

std::vector<std::string> suggestions(const std::string& w) {
    std::vector<std::string> out;
    win32::HGLOBAL block = MakeSuggestionList(w.c_str(), false);
    if (!block) return out;
    const char* slots = static_cast<const char*>(win32::GlobalLock(block));
    for (const char* p = slots; *p; p += kSuggestionSlot)
        out.emplace_back(p);
    win32::GlobalUnlock(block);
    win32::GlobalFree(block);
    return out;
}

std::string hyphenated(const std::string& w) {
    char correction[64], out[64];
    unsigned char marks[kMarkCount] = {};
    if (!accepted(w, correction, marks)) std::memset(marks, 0, sizeof marks);
    if (HyphenateWord('D', w.c_str(), marks, out)) return out;
    return w;
}

std::vector<std::string> textWords() {
    std::vector<std::string> out;
    for (const auto& line : readLines("text.txt")) {
        std::string w;
        for (std::size_t k = 0; k <= line.size(); ++k) {
            if (k < line.size() && IsAnsiLetter(uc(line[k]))) {
                w.push_back(line[k]);
                continue;
            }
            if (!w.empty()) out.push_back(w);
            w.clear();
        }
    }
    return out;
}

double median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v.empty() ? 0 : v[v.size() / 2];
}

// ---- The typo set ----

// Neighbours on a German keyboard.
const std::map<char, const char*> kNeighbours = {
    {'q', "wa"},  {'w', "qes"},  {'e', "wrd"},  {'r', "etf"},  {'t', "rzg"},  {'z', "tuh"},  {'u', "zij"},
    {'i', "uok"}, {'o', "ipl"},  {'p', "o"},    {'a', "qsy"},  {'s', "adw"},  {'d', "sfe"},  {'f', "dgr"},
    {'g', "fht"}, {'h', "gjz"},  {'j', "hku"},  {'k', "jli"},  {'l', "ko"},   {'y', "xa"},   {'x', "yc"},
    {'c', "xv"},  {'v', "cb"},   {'b', "vn"},   {'n', "bm"},   {'m', "n"},
};

// One typo of the given kind, empty when the word offers none.
std::string makeTypo(const std::string& w, int kind, std::mt19937& rng) {
    std::string t = w;
    std::size_t n = w.size();
    auto inner = [&] { return 1 + rng() % (n - 1); };
    switch (kind) {
    case 0: { // two neighbouring letters swapped
        std::size_t at = inner() - 1;
        if (at + 1 >= n || t[at] == t[at + 1]) return "";
        std::swap(t[at], t[at + 1]);
        if (at == 0 && AnsiToLower(uc(w[0])) != uc(w[0])) {
            t[0] = static_cast<char>(AnsiToUpper(uc(t[0])));
            t[1] = static_cast<char>(AnsiToLower(uc(t[1])));
        }
        return t;
    }
    case 1: // a letter dropped (also the last)
        t.erase(inner(), 1);
        return t;
    case 2: { // a letter doubled
        std::size_t at = inner();
        t.insert(at, 1, t[at]);
        return t;
    }
    case 3: { // a neighbouring key
        std::size_t at = inner();
        auto it = kNeighbours.find(t[at]);
        if (it == kNeighbours.end()) return "";
        t[at] = it->second[rng() % std::strlen(it->second)];
        return t;
    }
    case 4: { // ae, oe, ue for the umlaut
        static const char* pairs[] = {"\xE4"
                                      "ae",
                                      "\xF6"
                                      "oe",
                                      "\xFC"
                                      "ue"};
        for (const char* p : pairs) {
            std::size_t at = t.find(p[0]);
            if (at != std::string::npos) return t.replace(at, 1, p + 1);
        }
        return "";
    }
    case 5: { // ss for ß and ß for ss
        std::size_t at = t.find('\xDF');
        if (at != std::string::npos) return t.replace(at, 1, "ss");
        at = t.find("ss");
        if (at != std::string::npos) return t.replace(at, 2, "\xDF");
        return "";
    }
    default: // the capital missing
        if (AnsiToLower(uc(t[0])) == uc(t[0])) return "";
        t[0] = static_cast<char>(AnsiToLower(uc(t[0])));
        return t;
    }
}

const char* const kKindNames[] = {"swap", "drop", "double", "neighbour", "umlaut", "ss", "capital"};

int makeTypos(const std::vector<std::string>& list) {
    std::mt19937 rng(43);
    std::vector<std::string> words = textWords();
    // Words of the list that prose uses: every 97th of the list's longer words joins the text's.
    for (std::size_t k = 0; k < list.size(); k += 1777)
        if (list[k].size() >= 6 && allLetters(list[k])) words.push_back(list[k]);
    std::set<std::string> seen;
    std::ofstream out(kDir + "/typos.txt", std::ios::trunc);
    out << "# typo<TAB>intended<TAB>kind<TAB>listed (the intended word stands in the dictionary) or parts\n";
    int count = 0;
    for (const auto& w : words) {
        if (w.size() < 4 || !seen.insert(w).second) continue;
        char correction[64];
        unsigned char marks[kMarkCount];
        if (!accepted(w, correction, marks)) continue; // a word the dictionary does not know at all
        // Two typos per word, of kinds that fit it; the special kinds where they apply.
        std::vector<int> kinds;
        for (int kind : {4, 5, 6})
            if (!makeTypo(w, kind, rng).empty()) kinds.push_back(kind);
        while (kinds.size() < 2)
            kinds.push_back(static_cast<int>(rng() % 4));
        for (int kind : kinds) {
            std::string t;
            for (int tries = 0; tries < 5 && (t.empty() || t == w); ++tries)
                t = makeTypo(w, kind, rng);
            if (t.empty() || t == w || listed(t)) continue;
            out << toUtf8(t) << '\t' << toUtf8(w) << '\t' << kKindNames[kind] << '\t'
                << (listed(w) ? "listed" : "parts") << '\n';
            ++count;
        }
    }
    std::printf("%d typos written to %s/typos.txt\n", count, kDir.c_str());
    return 0;
}

// ---- The figures ----

void suggestionFigures() {
    struct Tally {
        int n = 0, first = 0, five = 0, empty = 0;
    };
    std::map<std::string, Tally> byClass;
    std::map<std::string, Tally> byKind;
    std::vector<double> ms;
    std::vector<std::string> misses;
    for (const auto& line : readLines("typos.txt")) {
        std::istringstream fields(line);
        std::string typo, intended, kind, cls;
        std::getline(fields, typo, '\t');
        std::getline(fields, intended, '\t');
        std::getline(fields, kind, '\t');
        std::getline(fields, cls, '\t');
        auto start = std::chrono::steady_clock::now();
        std::vector<std::string> list = suggestions(typo);
        ms.push_back(std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count());
        // A word that began a sentence in the text may stand small in the list.
        auto at = std::find_if(list.begin(), list.end(),
                               [&](const std::string& s) { return AnsiCompareNoCase(s.c_str(), intended.c_str()) == 0; });
        for (Tally* t : {&byClass[cls], &byClass["all"], &byKind[kind]}) {
            ++t->n;
            t->first += at == list.begin() && !list.empty();
            t->five += at != list.end() && at - list.begin() < 5;
            t->empty += list.empty();
        }
        if (at == list.end() || at - list.begin() >= 5)
            misses.push_back(typo + " -> " + intended + " (" + (list.empty() ? "empty" : list[0]) + ")");
    }
    std::printf("Suggestions (typos.txt, normal search)\n");
    auto print = [](const std::string& name, const Tally& t) {
        std::printf("  %-10s %4d typos  top-1 %5.1f %%  top-5 %5.1f %%  empty lists %d\n", name.c_str(), t.n,
                    100.0 * t.first / std::max(t.n, 1), 100.0 * t.five / std::max(t.n, 1), t.empty);
    };
    for (const auto& [name, t] : byClass)
        print(name, t);
    for (const auto& [name, t] : byKind)
        print(name, t);
    std::vector<double> sorted = ms;
    std::sort(sorted.begin(), sorted.end());
    double sum = 0;
    for (double v : ms)
        sum += v;
    std::printf("  time per word: median %.3f ms, mean %.3f ms, 95th percentile %.3f ms, max %.3f ms\n",
                median(ms), sum / std::max<std::size_t>(ms.size(), 1),
                sorted.empty() ? 0 : sorted[sorted.size() * 95 / 100], sorted.empty() ? 0 : sorted.back());
    if (std::getenv("SHOW_MISSES"))
        for (const auto& m : misses)
            std::printf("    miss: %s\n", toUtf8(m).c_str());
}

// One-letter misspellings of listed words (changed, dropped, doubled, swapped) that are not themselves
// listed, and how many of them pass as correct.
void acceptanceFigures(const std::vector<std::string>& list) {
    std::mt19937 rng(8104);
    std::vector<std::string> words;
    for (const auto& w : list)
        if (w.size() >= 4 && w.size() <= 40 && allLetters(w)) words.push_back(w);
    int tried = 0, passed = 0;
    std::vector<std::string> shown;
    char correction[64];
    unsigned char marks[kMarkCount];
    while (tried < 3000) {
        const std::string& w = words[rng() % words.size()];
        std::size_t at = 1 + rng() % (w.size() - 1);
        std::string t = w;
        switch (rng() % 4) {
        case 0:
            t[at] = static_cast<char>('a' + rng() % 26);
            break;
        case 1:
            t.erase(at, 1);
            break;
        case 2:
            t.insert(at, 1, t[at]);
            break;
        default:
            if (at + 1 < t.size()) std::swap(t[at], t[at + 1]);
        }
        if (t == w || listed(t)) continue;
        ++tried;
        if (accepted(t, correction, marks)) {
            ++passed;
            shown.push_back(t + " (" + w + ")");
        }
    }
    std::printf("One-letter misspellings of listed words accepted: %d of %d (%.2f %%)\n", passed, tried,
                100.0 * passed / tried);
    if (std::getenv("SHOW_MISSES"))
        for (const auto& s : shown)
            std::printf("    accepted: %s\n", toUtf8(s).c_str());
    if (std::getenv("SHOW_PARTS"))
        for (const auto& s : shown) {
            std::string t = s.substr(0, s.find(' '));
            accepted(t, correction, marks);
            std::string parts;
            for (std::size_t k = 0; correction[k]; ++k) {
                parts += correction[k];
                if ((marks[k] & 4) && correction[k + 1]) parts += '+';
            }
            std::printf("    parts: %s\n", toUtf8(parts).c_str());
        }
    int flagged = 0, n = 0;
    std::set<std::string> flaggedWords;
    for (const auto& w : textWords()) {
        ++n;
        if (!accepted(w, correction, marks)) {
            ++flagged;
            flaggedWords.insert(w);
        }
    }
    std::printf("Words of the German text flagged: %d of %d\n", flagged, n);
    for (const auto& w : flaggedWords)
        std::printf("    flagged: %s\n", toUtf8(w).c_str());
}

void hyphenationFigures() {
    int n = 0, right = 0;
    std::vector<std::string> wrong;
    auto start = std::chrono::steady_clock::now();
    for (const auto& expected : readLines("hyphenation.txt")) {
        std::string word;
        for (char c : expected)
            if (c != '~') word.push_back(c);
        std::string got = hyphenated(word);
        ++n;
        if (got == expected)
            ++right;
        else
            wrong.push_back(got + " (expected " + expected + ")");
    }
    double s = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    std::printf("Hyphenation (hyphenation.txt): %d of %d words exactly as expected (%.1f %%), %.1f us per word\n",
                right, n, 100.0 * right / std::max(n, 1), 1e6 * s / std::max(n, 1));
    for (const auto& w : wrong)
        std::printf("    %s\n", toUtf8(w).c_str());
}

// The words of a UTF-8 word list (one a line) that are not accepted, each printed, then their count.
int flagged(const char* file) {
    std::ifstream in(file);
    std::string line, w;
    int n = 0, out = 0;
    char correction[64];
    unsigned char marks[kMarkCount];
    while (std::getline(in, line)) {
        if (line.empty() || !test::utf8To1252(line, w) || !allLetters(w)) continue;
        ++n;
        if (!accepted(w, correction, marks)) {
            ++out;
            std::printf("flagged: %s\n", line.c_str());
        }
    }
    std::printf("%d of %d words flagged\n", out, n);
    return 0;
}

int show(int argc, char** argv) {
    for (int k = 2; k < argc; ++k) {
        std::string w;
        if (!test::utf8To1252(argv[k], w)) continue;
        char correction[64] = {};
        unsigned char marks[kMarkCount] = {};
        DBHandle h = FindBestCorrection(0, 0, searchForm(w).c_str(), correction, marks, false);
        std::printf("%s: found %d, correction %s, marks", toUtf8(w).c_str(), h != 0, toUtf8(correction).c_str());
        for (std::size_t j = 0; j < std::strlen(correction); ++j)
            std::printf(" %02x", marks[j]);
        char stored[64] = {};
        std::snprintf(stored, sizeof stored, "%s", w.c_str());
        char spelling[64] = {};
        FindWordInDictionaries(0, stored, 0, false, spelling);
        std::printf("\n  stored %s\n  hyphenated %s\n  suggestions:", toUtf8(spelling).c_str(), toUtf8(hyphenated(w)).c_str());
        for (const auto& s : suggestions(w))
            std::printf(" %s", toUtf8(s).c_str());
        std::printf("\n");
    }
    return 0;
}

} // namespace

int main(int argc, char** argv) {
    win32::SetUiServices(&ui);
    InitDictionarySide(120);
    std::filesystem::path file = test::fixtureOrBuiltWngerman(WNGERMAN_DICTIONARY);
    if (file.empty()) {
        std::fprintf(stderr, "wngerman is not installed or its import failed\n");
        return 1;
    }
    if (!OpenDictionary(true, file.string())) {
        std::fprintf(stderr, "%s can't be opened\n", file.c_str());
        return 1;
    }
    int result = 0;
    if (argc > 1 && std::strcmp(argv[1], "--show") == 0) {
        result = show(argc, argv);
    } else if (argc > 2 && std::strcmp(argv[1], "--flagged") == 0) {
        result = flagged(argv[2]);
    } else {
        std::vector<std::string> list = test::readWngerman();
        if (argc > 1 && std::strcmp(argv[1], "--make-typos") == 0) {
            result = makeTypos(list);
        } else {
            suggestionFigures();
            acceptanceFigures(list);
            hyphenationFigures();
        }
    }
    TermDictionarySide();
    return result;
}
