#pragma once
// Which service phases each cost section covers, from the section numbers of the profile's ten slots.
#include <array>
#include <cstdint>
#include <string>

namespace velu::fee {

struct PhasenBereiche {
    int16_t anzahl = 0;               // highest section in use, 0 to 3
    std::array<int16_t, 4> von{};     // first phase of section k (index 1 to 3), 0 = none
    std::array<int16_t, 4> bis{};     // last phase of section k

    // " 1 - 4": appended to "Kosten Lp", "Satz über Minimum Lp" and "Honorar Leistungsphase".
    std::string CaptionRange(int k) const;
    // "1 - 4": stored in PhTXk; empty for a section above the count.
    std::string StoredText(int k) const;
};

// koZU[i] for slot i = 1 to 10 (index 0 unused); values other than 1, 2, 3 belong to no section. An offer
// (rechnungsart 1) has one section for phases 1 to 9 whatever the profile says.
PhasenBereiche BerechnePhasenBereiche(int16_t rechnungsart, const std::array<int16_t, 11>& koZU);

} // namespace velu::fee
