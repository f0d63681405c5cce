// Suggestions on the wngerman dictionary: common misspellings of a fee office's words.
#include "WngermanSupport.h"

#include "platform/win32/GlobalMemory.h"
#include "Letters.h"
#include "Suggestions.h"

#include <cstring>

namespace wortex::test {
namespace {

using WngermanSuggestion = WngermanDictionary;

std::vector<std::string> suggestions(const char* word, bool extended) {
    std::vector<std::string> out;
    win32::HGLOBAL block = MakeSuggestionList(word, extended);
    auto* p = static_cast<const char*>(win32::GlobalLock(block));
    for (std::size_t k = 0; k < win32::GlobalSize(block) / kSuggestionSlot && p[k * kSuggestionSlot]; ++k)
        out.emplace_back(p + k * kSuggestionSlot);
    win32::GlobalUnlock(block);
    win32::GlobalFree(block);
    return out;
}

TEST_F(WngermanSuggestion, IntendedWordAmongTheFirstFive) {
    const struct {
        const char* typed;
        const char* meant;
    } cases[] = {{"Strasse", "Stra\xDF"
                             "e"},
                 {"Schlu\xDF"
                  "rechnung",
                  "Schlussrechnung"},
                 {"Grundstueck", "Grundst\xFC"
                                 "ck"},
                 {"Gebaeude", "Geb\xE4"
                              "ude"},
                 {"Wohnug", "Wohnung"},
                 {"Zeichung", "Zeichnung"},
                 {"Genemigung", "Genehmigung"},
                 {"Abrechung", "Abrechnung"},
                 {"warscheinlich", "wahrscheinlich"},
                 {"Rythmus", "Rhythmus"},
                 {"Rechnnung", "Rechnung"},
                 {"Bausstelle", "Baustelle"},
                 {"Addresse", "Adresse"},
                 {"Bauantarg", "Bauantrag"},
                 {"Unterschirft", "Unterschrift"},
                 {"Kalkualtion", "Kalkulation"},
                 {"Reperatur", "Reparatur"},
                 {"entg\xFCltig", "endg\xFCltig"},
                 {"Architeckt", "Architekt"},
                 {"vieleicht", "vielleicht"}};
    int inFive = 0;
    std::string ranks;
    for (const auto& c : cases) {
        auto list = suggestions(c.typed, false);
        int rank = 0;
        for (std::size_t k = 0; k < list.size() && !rank; ++k)
            if (AnsiCompareNoCase(list[k].c_str(), c.meant) == 0) rank = static_cast<int>(k + 1);
        if (rank >= 1 && rank <= 5) ++inFive;
        ranks += std::string(c.typed) + "=" + (rank ? std::to_string(rank) : "-") + " ";
    }
    std::printf("ranks: %s\n", ranks.c_str());
    EXPECT_GE(inFive, 16) << ranks;
}

TEST_F(WngermanSuggestion, CorrectionsAndReplacements) {
    char correction[64];
    unsigned char marks[kMarkCount];
    const struct {
        const char* typed;
        const char* correction;
        int cost;
    } cases[] = {{"~rechnung", "Rechnung", 0},
                 {"rechnung", "Rechnung", 1},
                 {"~gebaeude", "Geb\xE4ude", 2},
                 {"~bauantragsunterlagen", "Bauantragsunterlagen", 1},
                 {"~zuk~ker", "Zucker", 2}};
    for (const auto& c : cases) {
        EXPECT_EQ(FindBestCorrection(0, 'D', c.typed, correction, marks, false), handle()) << c.typed;
        EXPECT_STREQ(correction, c.correction);
        EXPECT_EQ(CorrectionCost(correction, marks), c.cost) << c.typed;
    }
    EXPECT_EQ(BestReplacement("Rechnnung", correction), handle());
    EXPECT_STREQ(correction, "Rechnung");
}

} // namespace
} // namespace wortex::test
