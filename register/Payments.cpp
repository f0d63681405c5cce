#include "register/Payments.h"

#include "core/Money.h"
#include "platform/db/Recordset.h"

namespace velu::reg {

void GetVorZahlungen(db::Database& db, int64_t lfnr, int64_t ursprung, int inputType, Currency& andere,
                     Currency& summe) {
    const int64_t euro = inputType != 0 ? 1 : 0;
    // A payment whose calculation is gone counts in its main amount.
    db::Recordset rs =
        db.OpenRecordset("SELECT Sum(CASE WHEN (Coalesce(BeReList.INPUTType, :Euro) <> 0) = (:Euro <> 0) "
                         "THEN Zahlung.Zahlung ELSE Zahlung.AlDispZahlung END) AS Summe "
                         "FROM Zahlung LEFT JOIN BeReList ON BeReList.LfNr = Zahlung.LfNrBeReList "
                         "WHERE Zahlung.LfNrBeReList < :LfNr AND Zahlung.Ursprung = :Ursprung",
                         db::Params().Set("Euro", euro).Set("LfNr", lfnr).Set("Ursprung", ursprung));
    summe = rs.Empty() ? Currency{} : RundCY(GetCY(rs, "Summe"));
    andere = DMEuroUmrechnung(summe, euro == 0 ? 1 : 0);
}

} // namespace velu::reg
