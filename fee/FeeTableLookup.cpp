#include "fee/FeeTableLookup.h"

#include "core/Money.h"
#include "fee/TableFee.h"
#include "platform/db/Database.h"
#include "platform/db/DbError.h"
#include "platform/db/QueryDef.h"
#include "platform/db/Recordset.h"

namespace velu::fee {

namespace {

const char* const minField[] = {"", "S1", "S3", "S5", "S7", "S9"};
const char* const maxField[] = {"", "S2", "S4", "S6", "S8", "S10"};

Currency axisValue(const db::Recordset& rs) {
    // An empty axis value is a broken table, not a zero.
    if (rs.IsNull("AKOSTEN")) throw db::DbError("Tafelzeile ohne AKosten");
    return GetCY(rs, "AKOSTEN");
}

} // namespace

void ReadTafelZeile(int16_t zone, const db::Recordset& zeile, TafelZeile& werte) {
    werte[0] = axisValue(zeile);
    if (zone >= 1 && zone <= 5) {
        werte[1] = GetCY(zeile, minField[zone]);
        werte[2] = GetCY(zeile, maxField[zone]);
    }
}

void GetTafelWerte(db::Database& stammDB, Currency kosten, int32_t TafelLfnr, int16_t zone,
                   TafelErgebnis& ergebnis, int16_t& status) {
    ergebnis = {};
    TafelZeile unten{}, oben{};
    auto qd = stammDB.GetQueryDef("GetTafel");
    if (!qd) throw db::DbError("Abfrage GetTafel fehlt");
    qd->SetParameter("TafelLfnr", int64_t{TafelLfnr});
    db::Recordset rs = qd->OpenRecordset();
    if (rs.Empty()) {
        status = TafelOhneZeilen;
        return;
    }
    // The last row at or below the costs and the first at or above them, in the order of the query.
    int lastBelow = -1, firstAbove = -1;
    int row = 0;
    for (rs.MoveFirst(); !rs.EOF_(); rs.MoveNext(), ++row) {
        const Currency ak = axisValue(rs);
        if (ak <= kosten) lastBelow = row;
        if (ak >= kosten && firstAbove < 0) firstAbove = row;
    }
    if (lastBelow < 0) {
        status = TafelUnterhalb;
        return;
    }
    rs.SetAbsolutePosition(lastBelow);
    ReadTafelZeile(zone, rs, unten);
    if (firstAbove < 0) {
        status = TafelOberhalb;
        return;
    }
    rs.SetAbsolutePosition(firstAbove);
    ReadTafelZeile(zone, rs, oben);
    InterpolTafel(kosten, oben, unten, ergebnis);
}

void CalcTafelHonorar(db::Database& stammDB, Abschnitte<Currency>& summen, Abschnitte<int16_t>& status,
                      bool uebernahme, int32_t tafel, int16_t zone, const Abschnitte<Currency>& eigen,
                      const Abschnitte<Currency>& satz, bool dritterStop, MinMaxAbschnitte& anteil,
                      Abschnitte<Currency>& honorar, Abschnitte<Currency>& tafelMin, Abschnitte<Currency>& tafelMax) {
    const TafelLookup lookup = [&stammDB](Currency kosten, int32_t t, int16_t z, TafelErgebnis& e, int16_t& s) {
        GetTafelWerte(stammDB, kosten, t, z, e, s);
    };
    CalcTafelHonorar(lookup, summen, status, uebernahme, tafel, zone, eigen, satz, dritterStop, anteil, honorar,
                     tafelMin, tafelMax);
}

} // namespace velu::fee
