#include "expenses/AufwandSummen.h"

#include "core/Money.h"
#include "expenses/ZeilenRechnung.h"
#include "platform/db/Database.h"
#include "platform/db/QueryDef.h"
#include "platform/db/Recordset.h"

namespace velu::expenses {

void AufwandSummen::Lesen(db::Database& projekt) {
    db::Recordset rs = projekt.StoredQuery("ProAufWandSummGrup").OpenRecordset();
    for (int i = 0; i < rs.RecordCount(); ++i) {
        rs.SetAbsolutePosition(i);
        Addieren(rs.Get("Phzuordnung"), GetCY(rs, "Summ"), GetCY(rs, "interSumm"), GetCY(rs, "AlDispSumm"),
                 GetCY(rs, "AlDispinterSumm"));
    }
}

void AufwandSummen::Addieren(const db::Value& phase, Currency summ, Currency interSumm, Currency alDispSumm,
                             Currency alDispInterSumm) {
    int64_t k = 0;
    if (const auto* i = std::get_if<int64_t>(&phase))
        k = *i;
    else if (const auto* d = std::get_if<double>(&phase))
        k = *d >= 0 && *d <= 10 ? int64_t(*d) : -1;
    const auto add = [&](Reihe& r, Currency c) {
        if (k >= 0 && k <= 10) r[size_t(k)] += c;
        r[Gesamt] += c;
    };
    add(summ_, summ);
    add(interSumm_, interSumm);
    add(alDispSumm_, alDispSumm);
    add(alDispInterSumm_, alDispInterSumm);
}

const AufwandSummen::Reihe& AufwandSummen::Anzeige(int modus, bool intern) const {
    if (ZeigtHauptspalten(modus)) return intern ? interSumm_ : summ_;
    return intern ? alDispInterSumm_ : alDispSumm_;
}

} // namespace velu::expenses
