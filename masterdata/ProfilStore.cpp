#include "masterdata/ProfilStore.h"

#include "core/Money.h"
#include "core/MoneyFormat.h"
#include "platform/db/DbError.h"
#include "platform/db/QueryDef.h"

#include <QLocale>
#include <QString>

#include <cmath>

// GCC 12 false positive on moving db::Value temporaries.
#pragma GCC diagnostic ignored "-Wmaybe-uninitialized"

namespace velu::masterdata {

const char* const ProfilStore::MeldungNummerisch = "Die Eingabe muss nummerisch sein";

namespace {

// Text columns of Leistungsbilder, in characters.
constexpr int ParagLaenge = 20;
constexpr int TextLaenge = 80;
constexpr int TafelKurzLaenge = 10;

std::string Slot(const char* stamm, int i) {
    return stamm + std::string(i < 10 ? "0" : "") + std::to_string(i);
}

std::string Trim(const std::string& s) {
    return QString::fromStdString(s).trimmed().toStdString();
}

} // namespace

std::string ProfilStore::MenueCaption(const std::string& kurz, const std::string& bez) {
    return "§ " + ErsteZeichen(kurz + "   ", 3) + "  " + bez;
}

std::string ProfilStore::KurzAus(const std::string& caption) {
    return QString::fromStdString(caption).mid(2, 3).toStdString();
}

std::string ProfilStore::BezAus(const std::string& caption) {
    return QString::fromStdString(caption).mid(7).toStdString();
}

std::optional<db::Value> ProfilStore::ProzentWert(const std::string& text) {
    const std::string t = Trim(text);
    if (t.empty()) return db::Value();
    const auto c = ParseBetrag(t);
    if (!c) return std::nullopt;
    return db::Value(c->Raw());
}

std::optional<db::Value> ProfilStore::GruppeWert(const std::string& text) {
    const std::string t = Trim(text);
    if (t.empty()) return db::Value();
    const auto z = ParseZahl(t);
    if (!z || std::fabs(*z) > 32767) return std::nullopt;
    return db::Value(static_cast<int64_t>(std::nearbyint(*z)));
}

std::string ProfilStore::ProzentText(const db::Value& v) {
    if (db::IsNull(v)) return {};
    double d = 0;
    if (const auto* i = std::get_if<int64_t>(&v))
        d = Currency::FromRaw(*i).ToDouble();
    else if (const auto* r = std::get_if<double>(&v))
        d = *r / Currency::Scale;
    QLocale l(QLocale::German, QLocale::Germany);
    l.setNumberOptions(QLocale::OmitGroupSeparator);
    return l.toString(d, 'f', QLocale::FloatingPointShortest).toStdString();
}

std::string ProfilStore::GruppeText(const db::Value& v) {
    if (db::IsNull(v)) return {};
    if (const auto* i = std::get_if<int64_t>(&v)) return std::to_string(*i);
    if (const auto* r = std::get_if<double>(&v)) return std::to_string(std::llround(*r));
    if (const auto* s = std::get_if<std::string>(&v)) return *s;
    return {};
}

std::vector<ProfilStore::Eintrag> ProfilStore::Profile(const db::Value& alt) {
    db::QueryDef q = db_.StoredQuery("LoadLeistungsbilder");
    q.SetParameter("ALT", alt);
    db::Recordset rs = q.OpenRecordset();
    std::vector<Eintrag> out;
    for (; !rs.EOF_(); rs.MoveNext())
        out.push_back({rs.GetInt("LfNr"), rs.GetText("ParagBezeichnung")});
    return out;
}

std::optional<ProfilDaten> ProfilStore::Laden(int64_t lfnr) {
    db::Recordset rs =
        db_.OpenRecordset("SELECT * FROM Leistungsbilder WHERE LfNr = ?", db::Params().Add(lfnr));
    if (rs.Empty()) return std::nullopt;
    ProfilDaten d;
    d.parag = rs.GetText("Parag");
    d.bez = rs.GetText("ParagBezeichnung");
    d.hoaiTafel = rs.GetText("HoaiTafel");
    d.hoaiTafelBez = rs.GetText("HoaiTafelBez");
    d.punktekat = rs.GetText("PunktekatName");
    d.tafelNr = rs.GetInt("HoaiTafelZuordnung");
    d.punkteNr = rs.GetInt("Punktekatzuordnung");
    for (int i = 1; i <= 9; ++i) {
        d.leistung[size_t(i - 1)] = rs.GetText(Slot("LiTX", i));
        d.proz[size_t(i - 1)] = ProzentText(rs.Get(Slot("proz", i)));
        d.gruppe[size_t(i - 1)] = GruppeText(rs.Get(Slot("KoZU", i)));
    }
    const int64_t e = rs.GetInt("Einheit", 0);
    if (e >= 1 && e <= 3) d.einheit = int(e);
    d.check = {int(rs.GetInt("Integrationspl")), int(rs.GetInt("Kontenplan")),
               int(rs.GetInt("Anlagegruppen"))};
    d.builtIn = rs.GetBool("STDLeistungbild");
    return d;
}

Meldung ProfilStore::SummenMeldung(int64_t lfnr, const ProfilDaten& d) {
    db::Recordset rs =
        db_.OpenRecordset("SELECT proz10 FROM Leistungsbilder WHERE LfNr = ?", db::Params().Add(lfnr));
    Currency summe = rs.Empty() ? Currency{} : GetCY(rs, "proz10");
    for (const std::string& text : d.proz) {
        const auto v = ProzentWert(text);
        if (!v) return std::nullopt;
        if (const auto* raw = std::get_if<int64_t>(&*v)) summe += Currency::FromRaw(*raw);
    }
    if (summe == Currency::FromUnits(100)) return std::nullopt;
    return "Die Bewertungen der Leistungsphasen ergeben zusammen " + ProzentText(db::Value(summe.Raw())) +
           " %. Ein Leistungsbild kann nur mit zusammen 100 % gespeichert werden.";
}

Meldung ProfilStore::Speichern(int64_t lfnr, const ProfilDaten& d) {
    std::string sql = "UPDATE Leistungsbilder SET Parag = ?, ParagBezeichnung = ?, HoaiTafel = ?, "
                      "HoaiTafelBez = ?, PunktekatName = ?, HoaiTafelZuordnung = ?, Punktekatzuordnung = ?, "
                      "Integrationspl = ?, Kontenplan = ?, Anlagegruppen = ?";
    db::Params p;
    p.Add(ErsteZeichen(d.parag, ParagLaenge))
        .Add(ErsteZeichen(d.bez, TextLaenge))
        .Add(ErsteZeichen(d.hoaiTafel, TafelKurzLaenge))
        .Add(ErsteZeichen(d.hoaiTafelBez, TextLaenge))
        .Add(ErsteZeichen(d.punktekat, TextLaenge))
        .Add(d.tafelNr)
        .Add(d.punkteNr)
        .Add(int64_t{d.check[0]})
        .Add(int64_t{d.check[1]})
        .Add(int64_t{d.check[2]});
    for (int i = 1; i <= 9; ++i) {
        const auto proz = ProzentWert(d.proz[size_t(i - 1)]);
        const auto gruppe = GruppeWert(d.gruppe[size_t(i - 1)]);
        if (!proz || !gruppe) return std::string(MeldungNummerisch);
        sql += ", " + Slot("LiTX", i) + " = ?, " + Slot("proz", i) + " = ?, " + Slot("KoZU", i) + " = ?";
        p.Add(ErsteZeichen(d.leistung[size_t(i - 1)], TextLaenge)).Add(*proz).Add(*gruppe);
    }
    if (Meldung m = SummenMeldung(lfnr, d)) return m;
    if (d.einheit) {
        sql += ", Einheit = ?";
        p.Add(int64_t{*d.einheit});
    }
    sql += " WHERE LfNr = ?";
    p.Add(lfnr);
    try {
        db_.Execute(sql, p);
    } catch (const db::DbError& e) {
        return std::string("Das Leistungsbild konnte nicht gespeichert werden.\n") + e.what();
    }
    if (db_.RecordsAffected() == 0) return std::string("Das Leistungsbild ist nicht mehr vorhanden.");
    return std::nullopt;
}

std::variant<int64_t, std::string> ProfilStore::CopyLBild(int64_t lfnr) {
    try {
        db::Recordset q = db_.OpenRecordset("SELECT ParagBezeichnung FROM Leistungsbilder WHERE LfNr = ?",
                                            db::Params().Add(lfnr));
        if (q.Empty()) return std::string("Das Leistungsbild ist nicht mehr vorhanden.");
        std::string spalten;
        for (const std::string& c : db_.Columns("Leistungsbilder"))
            if (QString::fromStdString(c).compare("LfNr", Qt::CaseInsensitive) != 0)
                spalten += (spalten.empty() ? "" : ", ") + ("\"" + c + "\"");
        db::Transaction t(db_);
        db_.Execute("INSERT INTO Leistungsbilder (" + spalten + ") SELECT " + spalten +
                        " FROM Leistungsbilder WHERE LfNr = ?",
                    db::Params().Add(lfnr));
        const int64_t neu = db_.LastInsertId();
        db_.Execute("UPDATE Leistungsbilder SET STDLeistungbild = 0, HOAIALT = 0, LastUsed = 0, "
                    "ParagBezeichnung = ? WHERE LfNr = ?",
                    db::Params()
                        .Add(ErsteZeichen("Kopie von " + q.GetText("ParagBezeichnung"), KopieBezLaenge))
                        .Add(neu));
        t.Commit();
        return neu;
    } catch (const db::DbError& e) {
        return std::string("Das Leistungsbild konnte nicht kopiert werden.\n") + e.what();
    }
}

Meldung ProfilStore::Loeschen(int64_t lfnr) {
    const auto d = Laden(lfnr);
    if (!d) return std::nullopt;
    if (d->builtIn)
        return std::string("Dieses Leistungsbild gehört zum Lieferumfang des Programms und kann nicht "
                           "gelöscht werden.");
    return InTransaktion(db_, "Das Leistungsbild konnte nicht gelöscht werden.", [&] {
        db_.Execute("DELETE FROM Leistungsbilder WHERE LfNr = ?", db::Params().Add(lfnr));
    });
}

} // namespace velu::masterdata
