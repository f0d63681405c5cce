#include "fee/ZuschlaegeListen.h"

#include "platform/db/Database.h"
#include "platform/db/DbError.h"
#include "platform/db/QueryDef.h"

#include <cmath>

namespace velu::fee {

namespace {

const std::array<ZuschlagTabelle, 4> Tabellen = {{
    {"ZuNetto", "Grundhonorar", true},
    {"ZuBerNetto", "bereinigtes Grundhonorar", false},
    {"ZuBrutto", "Bruttohonorar", false},
    {"ZuLP", "Leistungsphasen", true},
}};

db::Recordset Abfrage(db::Database& db, const char* name, const db::Params& params) {
    auto qd = db.StoredQuery(name);
    for (const auto& [n, v] : params.Named())
        qd.SetParameter(n, v);
    return qd.OpenRecordset();
}

// Fields 0 to 2 of a totals query, null read as 0.
ZuschlagSumme Summe(const db::Recordset& rs) {
    ZuschlagSumme s;
    if (rs.Empty()) return s;
    const auto& f = rs.FieldNames();
    if (f.size() > 0) s.prozent = GetCY(rs, f[0]);
    if (f.size() > 1) s.betrag = GetCY(rs, f[1]);
    if (f.size() > 2) s.alDispBetrag = GetCY(rs, f[2]);
    return s;
}

std::optional<int64_t> Ganzzahl(const db::Value& v) {
    if (db::IsNull(v)) return int64_t{0};
    if (const auto* i = std::get_if<int64_t>(&v)) return *i;
    if (const auto* d = std::get_if<double>(&v)) {
        if (!std::isfinite(*d) || *d != std::floor(*d)) return std::nullopt;
        return static_cast<int64_t>(*d);
    }
    if (const auto* s = std::get_if<std::string>(&v)) {
        if (s->empty()) return int64_t{0};
        try {
            size_t pos = 0;
            const long long n = std::stoll(*s, &pos);
            if (pos == s->size()) return n;
        } catch (const std::exception&) {
        }
    }
    return std::nullopt;
}

} // namespace

const ZuschlagTabelle* Tabelle(int liste) {
    return liste >= 0 && liste < int(Tabellen.size()) ? &Tabellen[size_t(liste)] : nullptr;
}

int16_t ZuschlagModus(WaehrungCode berechnung, WaehrungCode anzeige) {
    return static_cast<int16_t>(2 * (berechnung != DM ? 1 : 0) + (anzeige != DM ? 1 : 0) + 1);
}

db::Recordset ZuschlagZeilen(db::Database& projekt, int liste, int32_t berListNr, int16_t gruppe) {
    const ZuschlagTabelle* t = Tabelle(liste);
    if (!t) throw db::DbError("Zuschlagsliste " + std::to_string(liste) + " gibt es nicht");
    const std::string n = t->tabelle;
    std::string felder;
    switch (liste) {
    case ListeNetto:
        felder = "LfNr, Bezeichnung, ZuAbPro, ZuAbDM, AlDispZuAbDM, LfNrBeReList, ZuordnungAnlGrp";
        break;
    case ListeLP:
        felder = "LfNr, LfNrBeReList, ZuordnungAnlGrp, Bezeichnung, ZuAb, LP";
        break;
    default:
        felder = "LfNr, Bezeichnung, ZuAbPro, ZuAbDM, AlDispZuAbDM, LfNrBeReList, Dummy";
        break;
    }
    db::Params p;
    p.Set("nr", int64_t{berListNr});
    std::string sql = "SELECT " + felder + " FROM " + n + " WHERE LfNrBeReList = :nr";
    if (t->jeGruppe) {
        sql += " AND ZuordnungAnlGrp = :gruppe";
        p.Set("gruppe", int64_t{gruppe});
    }
    return projekt.OpenRecordset(sql + " ORDER BY LfNr", p);
}

ZuschlagBetrag BetragEingegeben(bool zwilling, Currency betrag, WaehrungCode anzeige) {
    ZuschlagBetrag b;
    WährungsWert(zwilling ? 2 : 1, betrag, anzeige, b.zuAbDM, b.alDispZuAbDM);
    return b;
}

std::optional<std::string> LPPruefen(const db::Value& lp) {
    const auto n = Ganzzahl(lp);
    if (n && *n >= 0 && *n <= 9) return std::nullopt;
    return std::string(LPMeldung);
}

int64_t LPSpeicherwert(const db::Value& lp) {
    const auto n = Ganzzahl(lp);
    return n && *n >= 1 && *n <= 9 ? *n : 1;
}

ZuschlagSumme SummZuNetto(db::Database& projekt, int32_t berListNr, int16_t gruppe) {
    return Summe(Abfrage(
        projekt, "SummZuSchBerNetto",
        db::Params().Set("LfNrBeReList", int64_t{berListNr}).Set("ZuordnungAnlGrp", int64_t{gruppe})));
}

ZuschlagSumme SummZuBerNetto(db::Database& projekt, int32_t berListNr) {
    return Summe(Abfrage(projekt, "GetZuBerNetto", db::Params().Set("BerListNr", int64_t{berListNr})));
}

ZuschlagSumme SummZuBrutto(db::Database& projekt, int32_t berListNr) {
    return Summe(Abfrage(projekt, "GetZuBrutto", db::Params().Set("BerListNr", int64_t{berListNr})));
}

std::array<Currency, 9> SummZuLP(db::Database& projekt, int32_t berListNr, int16_t gruppe) {
    std::array<Currency, 9> summen{};
    db::Recordset rs =
        Abfrage(projekt, "SummZuLP",
                db::Params().Set("LfNrBeReList", int64_t{berListNr}).Set("ZuordnungAnlGrp", int64_t{gruppe}));
    if (rs.FieldNames().size() < 2) return summen;
    const std::string betrag = rs.FieldNames()[0], phase = rs.FieldNames()[1];
    if (rs.Empty()) return summen;
    for (rs.MoveFirst(); !rs.EOF_(); rs.MoveNext()) {
        const int64_t lp = rs.GetInt(phase, 0);
        if (lp >= 1 && lp <= 9) summen[size_t(lp - 1)] = GetCY(rs, betrag);
    }
    return summen;
}

} // namespace velu::fee
