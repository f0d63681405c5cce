#include "register/BeReListKette.h"

#include "platform/db/Database.h"
#include "platform/db/DbError.h"
#include "platform/db/QueryDef.h"
#include "platform/db/Recordset.h"

#include <cctype>
#include <utility>

namespace velu {

namespace {

const char* const MeldungSummen = "Die Rechnungssummen konnten nicht gespeichert werden:\n";
const char* const MeldungNetto = "Das Nettohonorar konnte nicht gespeichert werden:\n";
const char* const MeldungMwst = "Der MwSt.-Satz muss größer als -100 sein.";
const char* const MeldungZuGross = "Die Beträge sind zu groß für eine Berechnung.";

std::string Feld(std::string_view prefix, std::string_view name) {
    std::string f(prefix);
    f += name;
    return f;
}

// Field names compare without regard to case.
bool GleicherName(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i)
        if (std::tolower(static_cast<unsigned char>(a[i])) != std::tolower(static_cast<unsigned char>(b[i])))
            return false;
    return true;
}

bool IstCurrencySpalte(const db::Recordset& rs, std::string_view feld) {
    std::string typ = rs.DeclType(feld);
    for (char& c : typ)
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return typ.empty() || typ == "CURRENCY";
}

// Edit, fill, Update; on failure the edit is dropped so the row keeps its stored values.
template <class Fill> KettenStatus Schreibe(db::Recordset& rs, const char* meldung, Fill&& fill) {
    try {
        rs.Edit();
        fill();
        rs.Update();
        return {};
    } catch (const db::DbError& e) {
        if (rs.Editing()) rs.CancelUpdate();
        return {meldung + std::string(e.what())};
    } catch (const CurrencyOverflow&) {
        if (rs.Editing()) rs.CancelUpdate();
        return {MeldungZuGross};
    }
}

// Field i of the first row of a stored query run with BerListNr = lfnr.
std::optional<db::Recordset> OeffneAbfrage(db::Database& db, std::string_view name, int64_t lfnr,
                                           std::string* fehler) {
    try {
        auto q = db.GetQueryDef(name);
        if (!q) {
            if (fehler) *fehler = "Die Abfrage " + std::string(name) + " fehlt in der Projektdatenbank.";
            return std::nullopt;
        }
        q->SetParameter("BerListNr", lfnr);
        return q->OpenRecordset();
    } catch (const db::DbError& e) {
        if (fehler) *fehler = "Die Abfrage " + std::string(name) + " ist fehlgeschlagen:\n" + e.what();
        return std::nullopt;
    }
}

db::Value FeldNr(const db::Recordset& rs, size_t i) {
    if (rs.Empty() || rs.FieldNames().size() <= i) return {};
    return rs.Get(rs.FieldNames()[i]);
}

Currency BetragNr(const db::Recordset& rs, size_t i) {
    if (rs.Empty() || rs.FieldNames().size() <= i) return {};
    return GetCY(rs, rs.FieldNames()[i]);
}

Currency AndereWährung(Currency betrag, WaehrungCode inputType) {
    Currency wert, alt;
    WährungsWert(1, betrag, inputType, wert, alt);
    return alt;
}

} // namespace

std::string_view KettenPrefix(int mode) {
    return mode == 0 ? std::string_view{} : std::string_view{"AlDisp"};
}

Currency LeseProzent(const db::Recordset& rs, std::string_view feld) {
    if (rs.IsNull(feld)) return {};
    if (IstCurrencySpalte(rs, feld)) return GetCY(rs, feld);
    return Currency::FromDouble(rs.GetDouble(feld));
}

void SetzeProzent(db::Recordset& rs, std::string_view feld, Currency wert) {
    if (IstCurrencySpalte(rs, feld))
        SetCY(rs, feld, wert);
    else
        rs.Set(feld, wert.ToDouble());
}

KettenEingabe LeseKettenEingabe(const db::Recordset& rs, std::string_view prefix) {
    KettenEingabe e;
    e.berNetto = GetCY(rs, Feld(prefix, "BerNetto"));
    e.mwstPro = LeseProzent(rs, "MwstPro");
    e.skontoPro = LeseProzent(rs, "SkontoPro");
    e.summAz = GetCY(rs, Feld(prefix, "SummAz"));
    e.inZuSchBerNettoPro = LeseProzent(rs, "InZuSchBerNettoPro");
    e.inZuSchBerNettoDM = GetCY(rs, Feld(prefix, "InZuSchBerNettoDM"));
    e.inZuSchBruttoPro = LeseProzent(rs, "InZuSchBruttoPro");
    e.inZuSchBruttoDM = GetCY(rs, Feld(prefix, "InZuSchBruttoDM"));
    e.stdReNetZuAbPro = LeseProzent(rs, "StdReNetZuAbPro");
    e.stdReNetZuAbDM = GetCY(rs, Feld(prefix, "StdReNetZuAbDM"));
    e.stdReBrZuAbPro = LeseProzent(rs, "StdReBrZuAbPro");
    e.stdReBrZuAbDM = GetCY(rs, Feld(prefix, "StdReBrZuAbDM"));
    return e;
}

KettenStatus WriteBerechnung(db::Recordset& rs, std::string_view prefix, const KettenErgebnis& r) {
    return Schreibe(rs, MeldungSummen, [&] {
        const std::pair<const char*, Currency> felder[] = {
            {"StdReNetZuAbProDM", r.stdReNetZuAbProDM},
            {"StdReBrZuAbProDM", r.stdReBrZuAbProDM},
            {"InZuSchBerNettoProDM", r.inZuSchBerNettoProDM},
            {"ZuAbBrNetto", r.zuAbBrNetto},
            {"ZwSumm", r.zwSumm},
            {"MwstDM", r.mwstDM},
            {"Brutto", r.brutto},
            {"InZuSchBruttoProDM", r.inZuSchBruttoProDM},
            {"ZuAbBrutto", r.zuAbBrutto},
            {"Skontofaehig", r.skontofaehig},
            {"SkontoDM", r.skontoDM},
            {"Endbetrag", r.endbetrag},
            {"Mwstenthalten", r.mwstenthalten},
        };
        for (const auto& [name, wert] : felder)
            SetCY(rs, Feld(prefix, name), wert);
    });
}

KettenStatus CalcRechnung(db::Recordset& rs, int mode, std::string_view reType) {
    const std::string_view prefix = KettenPrefix(mode);
    KettenErgebnis r;
    try {
        const KettenEingabe e = LeseKettenEingabe(rs, prefix);
        if (!MwstProGueltig(e.mwstPro)) return {MeldungMwst};
        r = CalcRechnung(e, reType);
    } catch (const db::DbError& e) {
        return {MeldungSummen + std::string(e.what())};
    } catch (const CurrencyOverflow&) {
        return {MeldungZuGross};
    }
    return WriteBerechnung(rs, prefix, r);
}

KettenStatus CalcRechnungBeide(db::Database& db, db::Recordset& rs, std::string_view reType) {
    KettenStatus s;
    try {
        db::Transaction t(db);
        s = CalcRechnung(rs, 0, reType);
        if (s.Ok()) s = CalcRechnung(rs, 1, reType);
        if (s.Ok()) {
            t.Commit();
            return s;
        }
    } catch (const db::DbError& e) {
        s = {MeldungSummen + std::string(e.what())};
    }
    // The first run's row was re-read before the rollback; read it again as stored.
    try {
        rs.Requery();
    } catch (const db::DbError&) {
    }
    return s;
}

KettenStatus PutProzent(db::Recordset& rs, std::string_view feld, Currency wert) {
    if (GleicherName(feld, "MwstPro") && !MwstProGueltig(wert)) return {MeldungMwst};
    return Schreibe(rs, MeldungSummen, [&] { SetzeProzent(rs, feld, wert); });
}

KettenStatus RepariereMwstPro(db::Recordset& rs, std::optional<Currency>& satz) {
    satz.reset();
    try {
        if (!rs.IsNull("MwstPro")) return {};
        const Currency mwstDM = GetCY(rs, "MwstDM");
        if (mwstDM == Currency{}) return {};
        const auto pro = MwstProAusBetrag(mwstDM, GetCY(rs, "ZwSumm"));
        if (!pro) return {};
        KettenStatus s = Schreibe(rs, MeldungSummen, [&] { SetzeProzent(rs, "MwstPro", *pro); });
        if (s.Ok()) satz = pro;
        return s;
    } catch (const db::DbError& e) {
        return {MeldungSummen + std::string(e.what())};
    }
}

std::optional<HonorarSummen> LeseHonorarSummen(db::Database& db, int64_t lfnr, std::string* fehler) {
    HonorarSummen s;
    try {
        auto para = OeffneAbfrage(db, "GetLeistungsbildPara", lfnr, fehler);
        if (!para) return std::nullopt;
        const db::Value p = FeldNr(*para, 0);
        if (auto* text = std::get_if<std::string>(&p))
            s.zuPara = *text;
        else if (auto* zahl = std::get_if<int64_t>(&p))
            s.zuPara = std::to_string(*zahl);

        auto netto = OeffneAbfrage(db, "GETHonorarBerNetto", lfnr, fehler);
        if (!netto) return std::nullopt;
        s.netto = BetragNr(*netto, 0);

        auto zuNetto = OeffneAbfrage(db, "GetZuBerNetto", lfnr, fehler);
        if (!zuNetto) return std::nullopt;
        s.zuBerNettoPro = BetragNr(*zuNetto, 0);
        s.zuBerNettoDM = BetragNr(*zuNetto, 1);

        auto zuBrutto = OeffneAbfrage(db, "GetZuBrutto", lfnr, fehler);
        if (!zuBrutto) return std::nullopt;
        s.zuBruttoPro = BetragNr(*zuBrutto, 0);
        s.zuBruttoDM = BetragNr(*zuBrutto, 1);
    } catch (const db::DbError& e) {
        if (fehler) *fehler = MeldungNetto + std::string(e.what());
        return std::nullopt;
    }
    return s;
}

KettenStatus SchreibeHonorarBerNetto(db::Recordset& rs, const HonorarSummen& s, WaehrungCode inputType) {
    return Schreibe(rs, MeldungNetto, [&] {
        SetCY(rs, "BerNetto", s.netto);
        SetCY(rs, "AlDispBerNetto", RundCY(AndereWährung(s.netto, inputType)));
        SetzeProzent(rs, "InZuSchBerNettoPro", s.zuBerNettoPro);
        SetCY(rs, "InZuSchBerNettoDM", s.zuBerNettoDM);
        SetCY(rs, "AlDispInZuSchBerNettoDM", AndereWährung(s.zuBerNettoDM, inputType));
        SetzeProzent(rs, "InZuSchBruttoPro", s.zuBruttoPro);
        SetCY(rs, "InZuSchBruttoDM", s.zuBruttoDM);
        SetCY(rs, "AlDispInZuSchBruttoDM", AndereWährung(s.zuBruttoDM, inputType));
        if (s.zuPara)
            rs.Set("ZuPara", *s.zuPara);
        else
            rs.Set("ZuPara", db::Value{});
    });
}

KettenStatus CalcHonorarBerNetto(db::Database& db, db::Recordset& rs, int64_t lfnr, WaehrungCode inputType) {
    std::string fehler;
    const auto s = LeseHonorarSummen(db, lfnr, &fehler);
    if (!s) return {fehler};
    return SchreibeHonorarBerNetto(rs, *s, inputType);
}

std::optional<Currency> LeseStdRePos(db::Database& db, int64_t lfnr, std::string* fehler) {
    try {
        auto pos = OeffneAbfrage(db, "GetStdRePos", lfnr, fehler);
        if (!pos) return std::nullopt;
        return BetragNr(*pos, 0);
    } catch (const db::DbError& e) {
        if (fehler) *fehler = MeldungNetto + std::string(e.what());
        return std::nullopt;
    }
}

KettenStatus SchreibeStdReNetto(db::Recordset& rs, Currency summe, WaehrungCode inputType) {
    return Schreibe(rs, MeldungNetto, [&] {
        SetCY(rs, "BerNetto", summe);
        SetCY(rs, "AlDispBerNetto", RundCY(AndereWährung(summe, inputType)));
        rs.Set("ZuPara", std::string("XXX"));
    });
}

KettenStatus CalcStdReNetto(db::Database& db, db::Recordset& rs, int64_t lfnr, WaehrungCode inputType) {
    std::string fehler;
    const auto s = LeseStdRePos(db, lfnr, &fehler);
    if (!s) return {fehler};
    return SchreibeStdReNetto(rs, *s, inputType);
}

} // namespace velu
