#pragma once
// The euro or DM twin of a rate typed into a catalogue or employee grid: filled only while it is still 0
// (or empty), so once both columns hold amounts, changing one leaves the other alone.
#include "core/Currency.h"
#include "platform/db/Value.h"

#include <optional>

namespace velu::masterdata {

// The twin's new value (DM / 1.95583 or euro × 1.95583, rounded to the cent), or nothing when the twin
// already holds an amount. getippt Null counts as 0.
std::optional<Currency> ZwillingFuellen(const db::Value& getippt, bool getipptInDM,
                                        const db::Value& zwilling);

} // namespace velu::masterdata
