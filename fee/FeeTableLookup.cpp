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

TafelDaten LoadTafel(db::Database& stammDB, int32_t TafelLfnr) {
    auto qd = stammDB.GetQueryDef("GetTafel");
    if (!qd) throw db::DbError("Abfrage GetTafel fehlt");
    qd->SetParameter("TafelLfnr", int64_t{TafelLfnr});
    db::Recordset rs = qd->OpenRecordset();
    TafelDaten t;
    t.zeilen.reserve(rs.RecordCount());
    for (rs.MoveFirst(); !rs.EOF_(); rs.MoveNext()) {
        // What ReadTafelZeile reads for each zone, with the axis value read once for all of them.
        TafelDaten::Zeile z{};
        z.akosten = axisValue(rs);
        for (int16_t zone = 1; zone <= 5; ++zone) {
            z.s[2 * zone - 1] = GetCY(rs, minField[zone]);
            z.s[2 * zone] = GetCY(rs, maxField[zone]);
        }
        t.zeilen.push_back(z);
    }
    return t;
}

void SucheTafelWerte(const TafelDaten& tafel, Currency kosten, int16_t zone, TafelErgebnis& ergebnis,
                     int16_t& status) {
    ergebnis = {};
    if (tafel.zeilen.empty()) {
        status = TafelOhneZeilen;
        return;
    }
    // The last row at or below the costs and the first at or above them, in the order of the query.
    const TafelDaten::Zeile *unten = nullptr, *oben = nullptr;
    for (const auto& z : tafel.zeilen) {
        if (z.akosten <= kosten) unten = &z;
        if (z.akosten >= kosten && !oben) oben = &z;
    }
    if (!unten) {
        status = TafelUnterhalb;
        return;
    }
    if (!oben) {
        status = TafelOberhalb;
        return;
    }
    auto triple = [zone](const TafelDaten::Zeile& z) {
        TafelZeile w{z.akosten, {}, {}};
        if (zone >= 1 && zone <= 5) {
            w[1] = z.s[2 * zone - 1];
            w[2] = z.s[2 * zone];
        }
        return w;
    };
    InterpolTafel(kosten, triple(*oben), triple(*unten), ergebnis);
}

void GetTafelWerte(db::Database& stammDB, Currency kosten, int32_t TafelLfnr, int16_t zone,
                   TafelErgebnis& ergebnis, int16_t& status) {
    ergebnis = {};
    const TafelDaten t = LoadTafel(stammDB, TafelLfnr);
    SucheTafelWerte(t, kosten, zone, ergebnis, status);
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
