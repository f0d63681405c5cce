#include "register/Payments.h"

#include "core/Money.h"
#include "platform/db/Recordset.h"

#include <map>

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

Currency Forderung::OffenIn(int waehrung) const {
    if ((waehrung != 0) == (eingabe != 0)) return RundCY(Offen());
    return RundCY(DMEuroUmrechnung(Offen(), eingabe == 0 ? 1 : 0));
}

Currency Forderung::Nachtrag(int waehrung) const {
    const bool eigen = (waehrung != 0) == (eingabe != 0);
    return RundCY(eigen ? ende : endeAnders) - gedruckt[waehrung != 0 ? 1 : 0] - OffenIn(waehrung);
}

std::vector<Forderung> Forderungen(db::Database& db) {
    std::vector<Forderung> out;
    struct Gezahlt {
        Currency betrag, gedruckt[2]; // in the entry currency; each row rounded, in DM and in euro
    };
    std::map<int64_t, Gezahlt> zahlungen;
    {
        db::Recordset z = db.OpenRecordset(
            "SELECT Zahlung.LfNrBeReList AS L, Zahlung.Zahlung AS S, Zahlung.AlDispZahlung AS A, "
            "Coalesce(BeReList.INPUTType, 0) <> 0 AS E FROM Zahlung "
            "JOIN BeReList ON BeReList.LfNr = Zahlung.LfNrBeReList");
        for (; !z.Empty() && !z.EOF_(); z.MoveNext()) {
            Gezahlt& g = zahlungen[z.GetInt("L")];
            const Currency s = GetCY(z, "S"), a = GetCY(z, "A");
            const int e = z.GetInt("E") != 0 ? 1 : 0;
            g.betrag += s;
            g.gedruckt[e] += RundCY(s);
            g.gedruckt[1 - e] += RundCY(a);
        }
    }
    std::map<int64_t, size_t> kopf; // group -> index of its last invoice with payments on account
    std::vector<Currency> summAz;
    db::Recordset rs = db.OpenRecordset(
        "SELECT LfNr, Coalesce(Ursprung, LfNr) AS U, REType, INPUTType, Endbetrag, AlDispEndbetrag, SummAz "
        "FROM BeReList WHERE REType IN ('R', 'S', 'B') ORDER BY LfNr");
    for (; !rs.Empty() && !rs.EOF_(); rs.MoveNext()) {
        Forderung f;
        f.lfnr = rs.GetInt("LfNr");
        f.ursprung = rs.GetInt("U");
        f.typ = rs.GetText("REType");
        f.eingabe = rs.GetInt("INPUTType", 0) != 0 ? 1 : 0;
        f.ende = GetCY(rs, "Endbetrag");
        f.endeAnders = GetCY(rs, "AlDispEndbetrag");
        if (const auto z = zahlungen.find(f.lfnr); z != zahlungen.end()) {
            f.bezahlt = z->second.betrag;
            f.gedruckt[0] = z->second.gedruckt[0];
            f.gedruckt[1] = z->second.gedruckt[1];
        }
        summAz.push_back(GetCY(rs, "SummAz"));
        if (RundCY(summAz.back()) != Currency{}) kopf[f.ursprung] = out.size();
        out.push_back(f);
    }
    for (const auto& [ursprung, k] : kopf) {
        Forderung& f = out[k];
        for (size_t i = 0; i < k; ++i)
            if (out[i].ursprung == ursprung) out[i].abgeloest = true;
        Currency andere, summe;
        GetVorZahlungen(db, f.lfnr, ursprung, f.eingabe, andere, summe);
        f.nachtrag = summe - summAz[k];
    }
    return out;
}

std::vector<Vorzahlung> Vorzahlungen(db::Database& db, int64_t lfnr, int64_t ursprung, int eingabe,
                                     int waehrung, Currency mwstPro) {
    std::vector<Vorzahlung> out;
    db::Recordset rs =
        db.OpenRecordset("SELECT Zahlung.LfNrBeReList AS L, Coalesce(BeReList.MwstPro, :Satz) AS Satz, "
                         "Sum(CASE WHEN (Coalesce(BeReList.INPUTType, :Eingabe) <> 0) = (:Waehrung <> 0) "
                         "THEN Zahlung.Zahlung ELSE Zahlung.AlDispZahlung END) AS Summe "
                         "FROM Zahlung LEFT JOIN BeReList ON BeReList.LfNr = Zahlung.LfNrBeReList "
                         "WHERE Zahlung.LfNrBeReList < :LfNr AND Zahlung.Ursprung = :Ursprung "
                         "GROUP BY Zahlung.LfNrBeReList ORDER BY Zahlung.LfNrBeReList",
                         db::Params()
                             .Set("Satz", mwstPro.Raw())
                             .Set("Eingabe", int64_t(eingabe != 0))
                             .Set("Waehrung", int64_t(waehrung != 0))
                             .Set("LfNr", lfnr)
                             .Set("Ursprung", ursprung));
    for (; !rs.Empty() && !rs.EOF_(); rs.MoveNext())
        out.push_back({rs.GetInt("L"), GetCY(rs, "Satz"), RundCY(GetCY(rs, "Summe"))});
    return out;
}

} // namespace velu::reg
