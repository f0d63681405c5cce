#include "fee/PunkteKatalog.h"

#include "platform/db/Database.h"
#include "platform/db/DbError.h"
#include "platform/db/QueryDef.h"

#include <cmath>

namespace velu::fee {

namespace {

db::QueryDef Abfrage(db::Database& db, const char* name) {
    return db.StoredQuery(name);
}

// A field read as a VB 16-bit integer would be: null as 0, a fraction rounded half to even.
int64_t GanzeZahl(const db::Recordset& rs, const std::string& feld) {
    const db::Value v = rs.Get(feld);
    if (const auto* d = std::get_if<double>(&v)) return static_cast<int64_t>(std::nearbyint(*d));
    return rs.GetInt(feld, 0);
}

} // namespace

int16_t ZoneAusPunkten(int64_t punkte, const ZonenGrenzen& g) {
    int16_t zone = 0;
    if (punkte > g.von[0] && punkte <= g.bis[0]) zone = 1;
    for (int z = 2; z <= 5; ++z)
        if (punkte >= g.von[size_t(z - 1)] && punkte <= g.bis[size_t(z - 1)]) zone = static_cast<int16_t>(z);
    return zone;
}

PunkteKatalog::PunkteKatalog(db::Database& projektDB, db::Database& stammDB)
    : projekt_(projektDB), stamm_(stammDB) {}

db::Recordset PunkteKatalog::Kriterien(int16_t gruppe, int32_t berListNr) {
    return projekt_.OpenRecordset("SELECT PunkteTab.* FROM PunkteTab WHERE LfNrBeReList = :nr "
                                  "AND ZuordnungAnlGrp = :gruppe ORDER BY LfNr",
                                  db::Params().Set("nr", int64_t{berListNr}).Set("gruppe", int64_t{gruppe}));
}

int64_t PunkteKatalog::TranzPunkteKat(int32_t katalog, int16_t gruppe, int32_t berListNr) {
    // Executed on the master database with the project attached, so the copy is one INSERT ... SELECT.
    stamm_.Attach(projekt_.Path(), "Projekt");
    try {
        stamm_.Execute("INSERT INTO Projekt.PunkteTab (Text, MaxPunkte, ZuordnungAnlGrp, LfNrBeReList, "
                       "VergebenePunkte) SELECT Punkte.Text, Punkte.MaxPunkte, :gruppe, :nr, 0 FROM Punkte "
                       "WHERE Punkte.LFNRPUNKTVERZ = :katalog ORDER BY Punkte.rowid",
                       db::Params()
                           .Set("gruppe", int64_t{gruppe})
                           .Set("nr", int64_t{berListNr})
                           .Set("katalog", int64_t{katalog}));
    } catch (...) {
        stamm_.Detach("Projekt");
        throw;
    }
    const int64_t n = stamm_.RecordsAffected();
    stamm_.Detach("Projekt");
    return n;
}

db::Recordset PunkteKatalog::PunkteTabConnect(int32_t katalog, int16_t gruppe, int32_t berListNr) {
    db::Recordset rs = Kriterien(gruppe, berListNr);
    if (!rs.Empty()) return rs;
    TranzPunkteKat(katalog, gruppe, berListNr);
    return Kriterien(gruppe, berListNr);
}

int64_t PunkteKatalog::PunkteSumme(int16_t gruppe, int32_t berListNr) {
    db::QueryDef qd = Abfrage(projekt_, "getPunkteSumm");
    qd.SetParameter("BerListNr", int64_t{berListNr});
    qd.SetParameter("ZuordnungAnlGrp", int64_t{gruppe});
    db::Recordset rs = qd.OpenRecordset();
    if (rs.Empty() || rs.FieldNames().empty()) return 0;
    return GanzeZahl(rs, rs.FieldNames().front());
}

std::optional<ZonenGrenzen> PunkteKatalog::Grenzen(int32_t katalog) {
    db::QueryDef qd = Abfrage(stamm_, "GetPunkteverz");
    qd.SetParameter("LfnRPunkteVerz", int64_t{katalog});
    db::Recordset rs = qd.OpenRecordset();
    if (rs.Empty()) return std::nullopt;
    ZonenGrenzen g;
    for (int z = 1; z <= 5; ++z) {
        const std::string n = "Hzone" + std::to_string(z);
        g.von[size_t(z - 1)] = GanzeZahl(rs, n + "VonPunkt");
        g.bis[size_t(z - 1)] = GanzeZahl(rs, n + "BisPunkt");
    }
    return g;
}

HOAIZonenWert PunkteKatalog::HOAIZone(int32_t katalog, int16_t gruppe, int32_t berListNr) {
    HOAIZonenWert w;
    w.punkte = PunkteSumme(gruppe, berListNr);
    if (w.punkte == 0) return w;
    const auto g = Grenzen(katalog);
    if (!g) {
        w.grund = ZonenErgebnis::KeinVerzeichnis;
        return w;
    }
    w.zone = ZoneAusPunkten(w.punkte, *g);
    w.grund = w.zone != 0 ? ZonenErgebnis::Zone : ZonenErgebnis::KeinBereich;
    return w;
}

bool PunkteKatalog::PunkteVerwerfen(int16_t gruppe, int32_t berListNr) {
    db::Recordset rs = projekt_.OpenRecordset(
        "SELECT Count(*) AS n FROM PunkteTab WHERE LfNrBeReList = :nr AND ZuordnungAnlGrp = :gruppe "
        "AND Coalesce(VergebenePunkte, 0) <> 0",
        db::Params().Set("nr", int64_t{berListNr}).Set("gruppe", int64_t{gruppe}));
    if (rs.GetInt("n") != 0) return false;
    db::QueryDef qd = Abfrage(projekt_, "delPunkteTab");
    qd.SetParameter("Lfnr", int64_t{berListNr});
    qd.SetParameter("ZuOrdGrupp", int64_t{gruppe});
    qd.Execute();
    return true;
}

std::optional<std::string> PunkteKatalog::PunktePruefen(int64_t maxPunkte, int64_t vergeben) {
    if (vergeben <= maxPunkte) return std::nullopt;
    return "Diese Position kann mit höchstens" + std::string(maxPunkte < 0 ? "" : " ") +
           std::to_string(maxPunkte) + " Punkten bewertet werden";
}

} // namespace velu::fee
