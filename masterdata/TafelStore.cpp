#include "masterdata/TafelStore.h"

#include "core/Money.h"
#include "platform/db/DbError.h"
#include "platform/db/QueryDef.h"

#include <QString>

// GCC 12 false positive on moving db::Value temporaries.
#pragma GCC diagnostic ignored "-Wmaybe-uninitialized"

namespace velu::masterdata {

const char* const TafelStore::MeldungKeineKosten = "Bitte die anrechenbaren Kosten eingeben.";
const char* const TafelStore::MeldungDoppelt = "Diese anrechenbaren Kosten stehen schon in der Tafel.";
const char* const TafelStore::MeldungSteigen =
    "Die Werte der Tafel müssen mit den anrechenbaren Kosten steigen.";
const char* const TafelStore::MeldungStandard =
    "Diese Tafel gehört zum Lieferumfang des Programms und kann nicht geändert werden.";

Meldung InTransaktion(db::Database& db, const std::string& fehler, const std::function<void()>& schreiben) {
    try {
        db::Transaction t(db);
        schreiben();
        t.Commit();
    } catch (const db::DbError& e) {
        return fehler + "\n" + e.what();
    }
    return std::nullopt;
}

std::string ErsteZeichen(const std::string& text, int n) {
    return QString::fromStdString(text).left(n).toStdString();
}

namespace {

// Text columns of the headers and rows, in characters.
constexpr int KurzLaenge = 10;
constexpr int BezLaenge = 60;

TafelKopf KopfAus(const db::Recordset& rs) {
    TafelKopf k;
    k.lfnr = rs.GetInt("LfNr");
    k.kurz = rs.GetText("HoaiPara");
    k.bez = rs.GetText("HoaiBez");
    k.builtIn = rs.GetBool("STDHOAI");
    k.alt = rs.GetBool("HOAIALT");
    return k;
}

std::optional<Currency> Zelle(const db::Recordset& rs, const char* feld) {
    if (rs.IsNull(feld)) return std::nullopt;
    return GetCY(rs, feld);
}

// A fee cell counts as used when it holds an amount other than 0.
bool Benutzt(const std::optional<Currency>& c) {
    return c && *c != Currency();
}

} // namespace

std::vector<TafelKopf> TafelStore::Tafeln(const db::Value& alt) {
    db::QueryDef q = db_.StoredQuery("LoadTafelBezeichnungen");
    q.SetParameter("ALT", alt);
    db::Recordset rs = q.OpenRecordset();
    std::vector<TafelKopf> out;
    for (; !rs.EOF_(); rs.MoveNext())
        out.push_back(KopfAus(rs));
    return out;
}

std::optional<TafelKopf> TafelStore::Kopf(int64_t lfnr) {
    db::Recordset rs =
        db_.OpenRecordset("SELECT * FROM TafelVerzeichnis WHERE LfNr = ?", db::Params().Add(lfnr));
    if (rs.Empty()) return std::nullopt;
    return KopfAus(rs);
}

db::Recordset TafelStore::Zeilen(int64_t lfnr) {
    return db_.OpenRecordset("SELECT Tafel.* FROM Tafel WHERE LfNrTafel = ? ORDER BY AKosten, LfNr",
                             db::Params().Add(lfnr));
}

std::optional<int16_t> TafelStore::ZonenAnzahl(const std::array<int64_t, 5>& zonen) {
    for (int z = 5; z >= 1; --z)
        if (zonen[size_t(z - 1)] != 0) return int16_t(z);
    return std::nullopt;
}

TafelExtreme TafelStore::UpdateMinMaxWerte(int64_t lfnr) {
    db::QueryDef q = db_.StoredQuery("GetMaxTafelwerte");
    q.SetParameter("Lfnr", lfnr);
    db::Recordset rs = q.OpenRecordset();
    TafelExtreme e;
    if (rs.Empty()) return e;
    // Read by position: lowest, highest, then one field per zone.
    const auto& f = rs.FieldNames();
    e.minWert = rs.Get(f.at(0));
    e.maxWert = rs.Get(f.at(1));
    std::array<int64_t, 5> zonen{};
    for (size_t z = 0; z < 5; ++z)
        zonen[z] = rs.GetInt(f.at(2 + z), 0);
    e.zonenAnz = ZonenAnzahl(zonen);
    return e;
}

Meldung TafelStore::SaveStuff(int64_t lfnr, const std::string& kurz, const std::string& bez) {
    const auto kopf = Kopf(lfnr);
    if (!kopf) return std::string("Die Tafel ist nicht mehr vorhanden.");
    if (kopf->builtIn) return std::string(MeldungStandard);
    const std::string k = ErsteZeichen(kurz, KurzLaenge);
    return InTransaktion(db_, "Die Tafel konnte nicht gespeichert werden.", [&] {
        const TafelExtreme e = UpdateMinMaxWerte(lfnr);
        db_.Execute("UPDATE TafelVerzeichnis SET HoaiPara = ?, HoaiBez = ?, ZonenAnz = ?, MaxWert = ?, "
                    "MinWert = ? WHERE LfNr = ? AND Coalesce(STDHOAI, 0) = 0",
                    db::Params()
                        .Add(k)
                        .Add(ErsteZeichen(bez, BezLaenge))
                        .Add(e.zonenAnz ? db::Value(int64_t{*e.zonenAnz}) : db::Value())
                        .Add(e.maxWert)
                        .Add(e.minWert)
                        .Add(lfnr));
        db_.StoredQuery("SetNewTafelKurzName").SetParameter("Lfnr", lfnr).SetParameter("NEWBEZ", k).Execute();
    });
}

void TafelStore::CopyTafeln(int64_t quelle, int64_t ziel) {
    // Tafeltemp is a scratch table: emptied before and after, whatever it held.
    db_.Execute("DELETE FROM Tafeltemp");
    db_.StoredQuery("TransTafel2Temp").SetParameter("Lfnr", quelle).Execute();
    db_.StoredQuery("TransTemp2Tafel").SetParameter("Lfnr", ziel).Execute();
    db_.Execute("DELETE FROM Tafeltemp");
}

std::variant<int64_t, std::string> TafelStore::CopyAufr(int64_t quelle) {
    try {
        db::Recordset q =
            db_.OpenRecordset("SELECT * FROM TafelVerzeichnis WHERE LfNr = ?", db::Params().Add(quelle));
        if (q.Empty()) return std::string("Die Tafel ist nicht mehr vorhanden.");
        db::Transaction t(db_);
        db_.Execute("INSERT INTO TafelVerzeichnis (HoaiPara, HoaiBez, STDHOAI, ZonenAnz, MaxWert, MinWert, "
                    "HOAIALT) VALUES (?, ?, 0, ?, ?, ?, 0)",
                    db::Params()
                        .Add(std::string(KopieKurz))
                        .Add(ErsteZeichen("Kopie von " + q.GetText("HoaiBez"), KopieBezLaenge))
                        .Add(q.Get("ZonenAnz"))
                        .Add(q.Get("MaxWert"))
                        .Add(q.Get("MinWert")));
        const int64_t neu = db_.LastInsertId();
        CopyTafeln(quelle, neu);
        db_.StoredQuery("SetNewTafelKurzName")
            .SetParameter("Lfnr", neu)
            .SetParameter("NEWBEZ", std::string(KopieKurz))
            .Execute();
        t.Commit();
        return neu;
    } catch (const db::DbError& e) {
        return std::string("Die Tafel konnte nicht kopiert werden.\n") + e.what();
    }
}

Meldung TafelStore::DELTafel(int64_t lfnr) {
    const auto kopf = Kopf(lfnr);
    if (!kopf) return std::nullopt; // gone already: nothing to do
    if (kopf->builtIn) return std::string(MeldungStandard);
    return InTransaktion(db_, "Die Tafel konnte nicht gelöscht werden.", [&] {
        db_.StoredQuery("DelTafel").SetParameter("Lfnr", double(lfnr)).Execute();
        db_.Execute("DELETE FROM TafelVerzeichnis WHERE LfNr = ?", db::Params().Add(lfnr));
    });
}

Meldung TafelStore::ZeilePruefen(int64_t tafel, const TafelZeile& zeile) {
    const auto kopf = Kopf(tafel);
    if (!kopf) return std::string("Die Tafel ist nicht mehr vorhanden.");
    if (kopf->builtIn) return std::string(MeldungStandard);
    if (!zeile.akosten) return std::string(MeldungKeineKosten);
    const Currency k = *zeile.akosten;
    db::Recordset rs = Zeilen(tafel);
    std::optional<TafelZeile> unten, oben;
    for (; !rs.EOF_(); rs.MoveNext()) {
        if (rs.GetInt("LfNr") == zeile.lfnr || rs.IsNull("AKosten")) continue;
        const Currency a = GetCY(rs, "AKosten");
        if (a == k) return std::string(MeldungDoppelt);
        TafelZeile z;
        z.akosten = a;
        for (int i = 0; i < 10; ++i)
            z.s[size_t(i)] = Zelle(rs, ("S" + std::to_string(i + 1)).c_str());
        if (a < k && (!unten || a > *unten->akosten)) unten = z;
        if (a > k && (!oben || a < *oben->akosten)) oben = z;
    }
    for (size_t i = 0; i < 10; ++i) {
        if (!Benutzt(zeile.s[i])) continue;
        if (unten && Benutzt(unten->s[i]) && !(*unten->s[i] < *zeile.s[i]))
            return std::string(MeldungSteigen);
        if (oben && Benutzt(oben->s[i]) && !(*zeile.s[i] < *oben->s[i])) return std::string(MeldungSteigen);
    }
    return std::nullopt;
}

} // namespace velu::masterdata
