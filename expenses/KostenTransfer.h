#pragma once
// The transfer of the project's unbilled expense records into the positions of an hourly-rate invoice: each
// record becomes one StdRePos row of the invoice and is marked SchonVerbucht, so that it is billed once.
//
// Reading and booking are two steps: the records are read (stored query "GetNichtVerbuchtenProjektAufwand"),
// then booked in one transaction, every position and every mark or nothing. A record is marked only while it
// is still unmarked; one that another user has billed since it was read is skipped.
#include "core/Currency.h"
#include "platform/db/Value.h"

#include <cstdint>
#include <vector>

namespace velu::db {
class Database;
}

namespace velu::expenses {

struct OffenerAufwand {
    int64_t lfnr = 0;
    int inputType = 0; // the record's entry currency, empty counting as DM
    db::Value numm, leistung, einheit, menge, mitarbeiter, datum;
    Currency satz, summ, alDispSatz, alDispSumm; // empty amounts count as 0
};

// The amounts of the new position: the record's amounts in the invoice's entry currency rounded to cents,
// their twins as stored. Nothing is converted.
struct PositionsBetraege {
    Currency satz, summ, alDispSatz, alDispSumm;
    bool operator==(const PositionsBetraege&) const = default;
};
PositionsBetraege TransferBetraege(const OffenerAufwand& a, int rechnungsEingabe);

// The unbilled records in the query's order. Throws DbError.
std::vector<OffenerAufwand> OffenenAufwandLesen(db::Database& projekt);

// Books the records into invoice rechnung (BeReList.LfNr) entered in currency rechnungsEingabe. Returns how
// many positions were added. A failure rolls everything back and throws DbError.
int AufwandBuchen(db::Database& projekt, const std::vector<OffenerAufwand>& aufwand, int64_t rechnung,
                  int rechnungsEingabe);

} // namespace velu::expenses
