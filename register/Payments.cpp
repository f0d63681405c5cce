#include "register/Payments.h"

#include "core/Money.h"
#include "platform/db/Recordset.h"

#include <map>
#include <tuple>

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

} // namespace velu::reg

namespace velu::reg {

Currency Forderung::Nachtrag(int waehrung) const {
    return RundCY((waehrung != 0) == (eingabe != 0) ? nachtrag : nachtragAnders);
}

std::vector<Forderung> Forderungen(db::Database& db) {
    std::vector<Forderung> out;
    std::map<int64_t, std::pair<Currency, Currency>> zahlungen;
    {
        db::Recordset z =
            db.OpenRecordset("SELECT LfNrBeReList AS L, Sum(Zahlung) AS S, Sum(AlDispZahlung) AS A "
                             "FROM Zahlung GROUP BY LfNrBeReList");
        for (; !z.Empty() && !z.EOF_(); z.MoveNext())
            zahlungen[z.GetInt("L")] = {GetCY(z, "S"), GetCY(z, "A")};
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
        if (const auto z = zahlungen.find(f.lfnr); z != zahlungen.end())
            std::tie(f.bezahlt, f.bezahltAnders) = z->second;
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
        f.nachtragAnders = DMEuroUmrechnung(f.nachtrag, f.eingabe == 0 ? 1 : 0);
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
