#pragma once
// The sums of the project's expense records per phase assignment: four arrays of twelve amounts (external,
// internal, and both in the other currency), element k the sum of phase k (0 none, 1 to 9 the service
// phases, 10 hourly work), element 11 the total of all records.
#include "core/Currency.h"
#include "platform/db/Value.h"

#include <array>

namespace velu::db {
class Database;
}

namespace velu::expenses {

class AufwandSummen {
public:
    static constexpr int Gesamt = 11;
    using Reihe = std::array<Currency, 12>;

    // Reads the stored query "ProAufWandSummGrup" and adds its rows. Throws DbError.
    void Lesen(db::Database& projekt);
    // Adds one row of the query: an empty phase is phase 0; a phase outside 0 to 10 counts in the total only.
    void Addieren(const db::Value& phase, Currency summ, Currency interSumm, Currency alDispSumm,
                  Currency alDispInterSumm);

    // What the totals window shows: modes 1 and 4 the sums in the entry currency, 2 and 3 their twins; the
    // external sums or the internal ones (tab "Interne Summe").
    const Reihe& Anzeige(int modus, bool intern) const;

    const Reihe& Summ() const { return summ_; }
    const Reihe& InterSumm() const { return interSumm_; }

private:
    Reihe summ_{}, interSumm_{}, alDispSumm_{}, alDispInterSumm_{};
};

} // namespace velu::expenses
