#include "masterdata/Zwilling.h"

#include "core/Money.h"

#include <cmath>

namespace velu::masterdata {

namespace {

Currency Betrag(const db::Value& v) {
    if (const auto* i = std::get_if<int64_t>(&v)) return Currency::FromRaw(*i);
    if (const auto* d = std::get_if<double>(&v)) return Currency::FromDouble(*d / Currency::Scale);
    return {};
}

} // namespace

std::optional<Currency> ZwillingFuellen(const db::Value& getippt, bool getipptInDM,
                                        const db::Value& zwilling) {
    if (Betrag(zwilling) != Currency()) return std::nullopt;
    return RundCY(DMEuroUmrechnung(Betrag(getippt), getipptInDM ? 1 : 0));
}

} // namespace velu::masterdata
