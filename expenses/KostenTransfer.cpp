#include "expenses/KostenTransfer.h"

#include "core/Money.h"
#include "platform/db/Database.h"
#include "platform/db/QueryDef.h"
#include "platform/db/Recordset.h"

namespace velu::expenses {

PositionsBetraege TransferBetraege(const OffenerAufwand& a, int rechnungsEingabe) {
    if ((a.inputType != 0) == (rechnungsEingabe != 0))
        return {RundCY(a.satz), RundCY(a.summ), a.alDispSatz, a.alDispSumm};
    return {RundCY(a.alDispSatz), RundCY(a.alDispSumm), a.satz, a.summ};
}

std::vector<OffenerAufwand> OffenenAufwandLesen(db::Database& projekt) {
    db::Recordset rs = projekt.StoredQuery("GetNichtVerbuchtenProjektAufwand").OpenRecordset();
    std::vector<OffenerAufwand> liste;
    liste.reserve(size_t(rs.RecordCount()));
    for (int i = 0; i < rs.RecordCount(); ++i) {
        rs.SetAbsolutePosition(i);
        OffenerAufwand a;
        a.lfnr = rs.GetInt("LfNr");
        a.inputType = rs.GetInt("INPUTTYPE", 0) != 0 ? 1 : 0;
        a.numm = rs.Get("Numm");
        a.leistung = rs.Get("Leistung");
        a.einheit = rs.Get("Einheit");
        a.menge = rs.Get("Menge");
        a.mitarbeiter = rs.Get("Mitarbeiter");
        a.datum = rs.Get("Datum");
        a.satz = GetCY(rs, "Satz");
        a.summ = GetCY(rs, "SUMM");
        a.alDispSatz = GetCY(rs, "ALDISPSatz");
        a.alDispSumm = GetCY(rs, "ALDISPSUMM");
        liste.push_back(std::move(a));
    }
    return liste;
}

int AufwandBuchen(db::Database& projekt, const std::vector<OffenerAufwand>& aufwand, int64_t rechnung,
                  int rechnungsEingabe) {
    int gebucht = 0;
    db::Transaction t(projekt);
    for (const OffenerAufwand& a : aufwand) {
        // Marked in the same statement that tests the mark: a record billed meanwhile is left alone.
        projekt.Execute("UPDATE Projektaufwand SET SchonVerbucht = -1 "
                        "WHERE LfNr = ? AND Coalesce(SchonVerbucht, 0) = 0",
                        db::Params().Add(a.lfnr));
        if (projekt.RecordsAffected() != 1) continue;
        const PositionsBetraege b = TransferBetraege(a, rechnungsEingabe);
        projekt.Execute(
            "INSERT INTO StdRePos (REZuordnung, PosNr, Leistung, Einheit, Menge, Mitarbeiter, Summ, "
            "Satz, Datum, AlDispSatz, AlDispSumm) VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)",
            db::Params()
                .Add(rechnung)
                .Add(a.numm)
                .Add(a.leistung)
                .Add(a.einheit)
                .Add(a.menge)
                .Add(a.mitarbeiter)
                .Add(b.summ.Raw())
                .Add(b.satz.Raw())
                .Add(a.datum)
                .Add(b.alDispSatz.Raw())
                .Add(b.alDispSumm.Raw()));
        ++gebucht;
    }
    t.Commit();
    return gebucht;
}

} // namespace velu::expenses
