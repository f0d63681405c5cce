#include "masterdata/Zwilling.h"

#include <gtest/gtest.h>

using namespace velu;
using namespace velu::masterdata;

TEST(Zwilling, FilledOnlyWhileZero) {
    auto raw = [](const char* s) { return db::Value(Currency::FromString(s).Raw()); };
    struct Fall {
        const char* name;
        db::Value getippt;
        bool dm;
        db::Value zwilling;
        std::optional<Currency> erwartet;
    } faelle[] = {
        {"100 DM", raw("100"), true, raw("0"), Currency::FromString("51.13")},
        {"60 DM after that", raw("60"), true, raw("51.13"), std::nullopt},
        {"50 euro, DM 0", raw("50"), false, raw("0"), Currency::FromString("97.79")},
        {"120 DM, twin empty", raw("120"), true, db::Value(), Currency::FromString("61.36")},
        {"40 euro", raw("40"), false, db::Value(), Currency::FromString("78.23")},
        {"empty typed counts as 0", db::Value(), true, db::Value(), Currency()},
        {"negative twin is an amount", raw("10"), true, raw("-1"), std::nullopt},
    };
    for (const auto& f : faelle)
        EXPECT_EQ(ZwillingFuellen(f.getippt, f.dm, f.zwilling), f.erwartet) << f.name;
}
