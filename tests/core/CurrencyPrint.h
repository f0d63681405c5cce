#pragma once
// Lets GoogleTest print amounts as "1.2350" instead of their bytes.
#include "core/Currency.h"

#include <ostream>

namespace velu {
inline void PrintTo(const Currency& c, std::ostream* os) {
    *os << c.ToString();
}
} // namespace velu
