#include "core/Money.h"

#include <stdexcept>

namespace velu {

Currency GetCY(const db::Recordset& rs, std::string_view field, Currency def) {
    db::Value v = rs.Get(field);
    if (auto* i = std::get_if<int64_t>(&v)) return Currency::FromRaw(*i);
    if (auto* d = std::get_if<double>(&v)) return Currency::FromDouble(*d / Currency::Scale);
    if (auto* t = std::get_if<std::string>(&v)) {
        try {
            return Currency::FromString(*t);
        } catch (const std::invalid_argument&) {
            return def;
        }
    }
    return def;
}

} // namespace velu
