#include "register/CalculationSet.h"

#include "core/Money.h"
#include "core/SchemaDef.h"
#include "platform/db/DbError.h"
#include "platform/db/QueryDef.h"
#include "platform/db/Recordset.h"
#include "register/CalculationRegister.h"

#include <QString>

#include <utility>
#include <vector>

namespace velu::reg {

namespace {

db::QueryDef Abfrage(db::Database& db, std::string_view name) {
    return db.StoredQuery(name);
}

bool GleicherName(const QString& a, const QString& b) {
    return a.trimmed().compare(b.trimmed(), Qt::CaseInsensitive) == 0;
}

// Child tables keyed by the calculation's number, and the column that carries it.
constexpr std::pair<const char*, const char*> kKindTabellen[] = {
    {"Grunddaten", "LfNrBeReList"}, {"ZuBerNetto", "LfNrBeReList"},    {"ZuBrutto", "LfNrBeReList"},
    {"ZuLP", "LfNrBeReList"},       {"ZuNetto", "LfNrBeReList"},       {"Zahlung", "LfNrBeReList"},
    {"PunkteTab", "LfNrBeReList"},  {"Leistungsbild", "LfNrBeReList"}, {"AnrechenbareKosten", "LfNrBeReList"},
    {"StdRePos", "REZuordnung"},
};

// The copy queries of a fee calculation, in the order they run; the profile copy must follow the basic
// data, whose rows it links.
constexpr const char* kHonorarKopien[] = {
    "CopyZuBrutto",           "CopyZuLP",      "CopyZuNetto",    "CopyZuBerNetto",
    "CopyAnrechenbareKosten", "CopyPunkteTab", "CopyGrunddaten", "Copyleistungsbild"};

} // namespace

std::string TrimText(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())).trimmed().toStdString();
}

std::string BereinigterName(std::string_view text) {
    return TrimText(KuerzeBezeichnung(TrimText(text)));
}

int CalculationSet::GruppenAnzahl() {
    // An unreadable count proposes the first group; the name check still keeps names apart.
    try {
        auto q = db_.GetQueryDef("GruppenAnzahl");
        if (!q) return 0;
        return q->OpenRecordset().RecordCount();
    } catch (const db::DbError&) {
        return 0;
    }
}

bool CalculationSet::GruppeVorhanden(std::string_view name) {
    const QString gesucht = QString::fromStdString(std::string(name));
    db::Recordset rs = db_.OpenRecordset(
        "SELECT DISTINCT Gruppenbezeichnung FROM BeReList WHERE Gruppenbezeichnung IS NOT NULL");
    for (; !rs.EOF_(); rs.MoveNext())
        if (GleicherName(QString::fromStdString(rs.GetText("Gruppenbezeichnung")), gesucht)) return true;
    return false;
}

std::string CalculationSet::GruppenVorschlag() {
    int n = GruppenAnzahl() + 1;
    std::string name = "Gruppe " + std::to_string(n);
    while (GruppeVorhanden(name))
        name = "Gruppe " + std::to_string(++n);
    return name;
}

int64_t CalculationSet::NeueBerechnung(const NeueBerechnungDaten& d) {
    db::Transaction t(db_);
    db_.Execute("INSERT INTO BeReList (ReBezeichnung, REType, Redatum, ReNummer, Gruppenbezeichnung, "
                "DisplayType, INPUTType, MwstPro) VALUES (:Bez, :Typ, :Datum, :Nummer, :Gruppe, :Waehrung, "
                ":Waehrung, :Mwst)",
                db::Params()
                    .Set("Bez", d.bezeichnung)
                    .Set("Typ", std::string(1, d.typ))
                    .Set("Datum", d.datum)
                    .Set("Nummer", d.nummer)
                    .Set("Gruppe", d.gruppe)
                    .Set("Waehrung", int64_t{d.waehrung != 0 ? 1 : 0})
                    .Set("Mwst", d.mwstPro.Raw()));
    const int64_t lfnr = db_.LastInsertId();
    // The first calculation of a group is the group.
    db_.Execute("UPDATE BeReList SET Ursprung = :Nr WHERE LfNr = :Nr", db::Params().Set("Nr", lfnr));
    t.Commit();
    return lfnr;
}

void CalculationSet::RunCopy(std::string_view query, int64_t quelle, int64_t neu) {
    db::QueryDef q = Abfrage(db_, query);
    q.SetParameter("SelectNr", static_cast<double>(quelle)).SetParameter("NewNr", neu);
    q.Execute();
}

KopieErgebnis CalculationSet::CopyBerechnung(int64_t quelle, const std::string& heuteIso) {
    db::Transaction t(db_);
    db::Recordset rs =
        db_.OpenRecordset("SELECT * FROM BeReList WHERE LfNr = :Nr", db::Params().Set("Nr", quelle));
    if (rs.Empty())
        throw db::DbError("Die Berechnung " + std::to_string(quelle) + " ist nicht mehr vorhanden.");

    // Every column but the key, as it stands: the group, currencies, VAT rate and stored totals come along.
    std::vector<std::pair<std::string, db::Value>> werte;
    for (const auto& f : rs.FieldNames())
        if (!schema::EqualsNoCase(f, "LfNr")) werte.emplace_back(f, rs.Get(f));
    const std::string name = rs.GetText("ReBezeichnung");
    const std::string typ = rs.GetText("REType");
    char neuerTyp = typ.size() == 1 ? typ[0] : '\0';
    if (neuerTyp == 'A') neuerTyp = 'R';
    if (neuerTyp == 'E') neuerTyp = 'V';

    rs.AddNew();
    for (const auto& [f, v] : werte)
        rs.Set(f, v);
    const std::string voll = "Kopie " + name;
    const std::string kopieName = KuerzeBezeichnung(voll);
    rs.Set("ReBezeichnung", kopieName);
    rs.Set("Redatum", heuteIso);
    if (neuerTyp) rs.Set("REType", std::string(1, neuerTyp));
    rs.Update();
    const int64_t neu = rs.Key();
    rs.Edit();
    rs.Set("ReNummer", std::to_string(neu));
    rs.Update();

    if (typ == "S") {
        RunCopy("CopyStdRePos", quelle, neu);
    } else {
        for (const char* q : kHonorarKopien)
            RunCopy(q, quelle, neu);
        LBConnect(neu);
    }
    t.Commit();
    return {neu, quelle, neuerTyp, kopieName, kopieName != voll};
}

void CalculationSet::LBConnect(int64_t neu) {
    db::QueryDef offen = Abfrage(db_, "GetAllNotConectLB");
    offen.SetParameter("LFNR", neu);
    db::Recordset profile = offen.OpenRecordset();
    if (profile.Empty()) return;
    std::vector<std::pair<db::Value, int64_t>> links;
    for (; !profile.EOF_(); profile.MoveNext())
        links.emplace_back(profile.Get(profile.FieldNames().front()), profile.GetInt("AnlageGruppe"));
    for (const auto& [profil, gruppe] : links) {
        db::QueryDef verbindung = Abfrage(db_, "GetLBConnection");
        verbindung.SetParameter("LfNrBeReList", neu).SetParameter("ZuordnungAnlGrp", gruppe);
        db::Recordset gd = verbindung.OpenRecordset();
        const std::string feld = gd.FieldNames().empty() ? std::string() : gd.FieldNames().front();
        // Every basic-data row of the plant group, so none keeps the source's link.
        for (; !gd.EOF_(); gd.MoveNext()) {
            gd.Edit();
            gd.Set(feld, profil);
            gd.Update();
        }
    }
}

bool CalculationSet::KillBerechnung(int64_t lfnr) {
    db::Transaction t(db_);
    const db::Params nr = db::Params().Set("Nr", lfnr);
    for (const auto& [tabelle, spalte] : kKindTabellen)
        db_.Execute(std::string("DELETE FROM ") + tabelle + " WHERE " + spalte + " = :Nr", nr);
    db_.Execute("DELETE FROM BeReList WHERE LfNr = :Nr", nr);
    const bool geloescht = db_.RecordsAffected() > 0;
    t.Commit();
    return geloescht;
}

} // namespace velu::reg
