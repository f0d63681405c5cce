#pragma once
// The print templates delivered with the master database: one per document kind, in the velu-doc format of
// the document control (docs/velu-doc-format.md).
#include "platform/outside/Briefvorlage.h"

#include <string>
#include <vector>

namespace velu {

struct GelieferteDruckvorlage {
    int dokumentart; // 1-7
    std::string bezeichnung;
    std::string kopf, text, fuss;
};

// Margins of the delivered templates in thousandths of a millimetre (top, bottom, left, right).
inline constexpr const int (&GelieferteRaender)[4] = outside::brief::Raender;

const std::vector<GelieferteDruckvorlage>& GelieferteDruckvorlagen();

} // namespace velu
