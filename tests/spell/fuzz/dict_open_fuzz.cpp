// Opens arbitrary bytes as a dictionary and looks words up, walks it both ways and changes it: a malformed
// file must be refused or read safely, never crash.
#include "FuzzSupport.h"
#include "DictionarySet.h"
#include "StyleNetwork.h"

#include <cstdint>
#include <cstdio>
#include <cstring>

using namespace wortex;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static bool side = InitDictionarySide(24) >= 0;
    (void)side;
    fuzz::startOnce();
    const std::string& path = fuzz::scratchPath("dict-open");
    if (FILE* f = std::fopen(path.c_str(), "wb")) {
        if (size) std::fwrite(data, 1, size, f);
        std::fclose(f);
    } else {
        return 0;
    }
    DBHandle h = OpenDictionary(false, path);
    if (h) {
        static const char* words[] = {"haus", "Haus", "wohnungen", "zebra", "ab", "~m~a~x", "z.b."};
        char buf[64];
        for (const char* w : words) {
            std::strcpy(buf, w);
            (void)FindWordInDictionaries(h, buf, 0, false, buf);
            (void)FindWordInDictionaries(h, w, 0, true);
        }
        int n = 0;
        DictionaryNode* node = FindDictionaryNode(h);
        for (int ok = FirstListWord(h, buf, true); ok && n < 200; ok = NextListWord(h, buf, true)) {
            ++n;
            // Every meaning of the word: its description and the members of its group.
            std::uint32_t record = 0;
            if (!node || !StyleRecordOf(*node, buf, record) || !record) continue;
            int meanings = MeaningCount(*node, record);
            for (int m = 1; m <= meanings && m <= 20; ++m) {
                (void)MeaningDescription(*node, record, m);
                char member[64] = "";
                for (int k = 0; k < 50 && NextGroupMember(h, buf, m, member); ++k) {
                }
            }
        }
        n = 0;
        for (int ok = LastListWord(h, buf, false); ok && n < 200; ok = PreviousListWord(h, buf, false))
            ++n;
        (void)AddDictionaryWord(h, "hausboot", false, true, 5, 0);
        (void)DeleteDictionaryWord(h, "haus");
        (void)GetDictionaryWordCount(h);
        CloseDictionary(h);
    }
    return 0;
}
