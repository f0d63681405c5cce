#include "fee/PhaseRanges.h"

#include <algorithm>

namespace velu::fee {

std::string PhasenBereiche::CaptionRange(int k) const {
    return " " + std::to_string(von[k]) + " - " + std::to_string(bis[k]);
}

std::string PhasenBereiche::StoredText(int k) const {
    if (k > anzahl) return {};
    return std::to_string(von[k]) + " - " + std::to_string(bis[k]);
}

PhasenBereiche BerechnePhasenBereiche(int16_t rechnungsart, const std::array<int16_t, 11>& koZU) {
    PhasenBereiche b;
    if (rechnungsart == 1) {
        b.anzahl = 1;
        b.von[1] = 1;
        b.bis[1] = 9;
        return b;
    }
    for (int16_t i = 1; i <= 10; ++i) {
        const int16_t z = koZU[i];
        if (z < 1 || z > 3) continue;
        b.anzahl = std::max(b.anzahl, z);
        if (b.von[z] == 0) b.von[z] = i;
        b.bis[z] = i;
    }
    return b;
}

} // namespace velu::fee
