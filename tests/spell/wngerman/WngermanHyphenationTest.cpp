// Hyphenation on the wngerman dictionary: the dictionary's words decide word parts and prefixes.
#include "WngermanSupport.h"

#include "Hyphenation.h"

namespace wortex::test {
namespace {

using WngermanHyphenation = WngermanDictionary;

TEST_F(WngermanHyphenation, GermanWords) {
    const struct {
        const char* word;
        const char* result;
        std::vector<int> joints; // letters (from 1) whose mark is 0x04
    } cases[] = {
        {"Winter", "Win~ter", {}},
        {"Zucker", "Zu~cker", {}},
        {"R\xF6schen", "R\xF6s~chen", {}},
        {"H\xE4uschen", "H\xE4us~chen", {}},
        {"Bauer", "Bau~er", {}},
        {"Theater", "Thea~ter", {}},
        {"Fenster", "Fen~ster", {}},
        {"stellte", "stell~te", {}},
        {"Signal", "Si~gnal", {}},
        {"Tasche", "Ta~sche", {}},
        {"Tischler", "Tisch~ler", {}},
        {"Wespe", "We~spe", {}},
        {"Technik", "Tech~nik", {}},
        {"freundlich", "freund~lich", {}},
        {"verkaufen", "ver~kau~fen", {}},
        {"bearbeiten", "be~ar~bei~ten", {}},
        {"Apfel", "", {}},
        {"Br\xFC"
         "cke",
         "",
         {}},
        {"Bauantrag", "Bau~an~trag", {3}},
        {"Haust\xFC"
         "rschl\xFC"
         "ssel",
         "Haus~t\xFC"
         "r~schl\xFC"
         "s~sel",
         {4, 7}},
    };
    for (const auto& c : cases) {
        unsigned char marks[64] = {};
        for (int j : c.joints)
            marks[j - 1] = 0x04;
        char out[64];
        EXPECT_EQ(HyphenateWord('D', c.word, marks, out), *c.result ? 1 : 0) << c.word;
        EXPECT_STREQ(out, c.result) << c.word;
    }
}

} // namespace
} // namespace wortex::test
