#include "expenses/ZeilenRechnung.h"

namespace velu::expenses {

namespace {

constexpr int ZuDM = 0;
constexpr int ZuEuro = 1;

bool GleichesFeld(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i) {
        char x = a[i], y = b[i];
        if (x >= 'A' && x <= 'Z') x = char(x - 'A' + 'a');
        if (y >= 'A' && y <= 'Z') y = char(y - 'A' + 'a');
        if (x != y) return false;
    }
    return true;
}

} // namespace

int Waehrungsmodus(int eingabe, int anzeige) {
    return 2 * (eingabe != 0 ? 1 : 0) + (anzeige != 0 ? 1 : 0) + 1;
}

bool ZeigtHauptspalten(int modus) {
    return modus == 1 || modus == 4;
}

WaehrungCode AnzeigeWaehrung(int modus) {
    return modus == 2 || modus == 4 ? EUR : DM;
}

std::string_view Waehrungszeichen(int modus) {
    return AnzeigeWaehrung(modus) == EUR ? "\xE2\x82\xAC" : "DM";
}

std::optional<Satzpaar> calcSumme(int modus, int spalte, Currency menge, const Satzpaar& alt) {
    Satzpaar p = alt;
    const bool zwilling = !ZeigtHauptspalten(modus);
    try {
        if (spalte != NurMenge) {
            switch (modus) {
            case 1:
                p.alDispSatz = DMEuroUmrechnung(p.satz, ZuEuro);
                break;
            case 4:
                p.alDispSatz = DMEuroUmrechnung(p.satz, ZuDM);
                break;
            // Typed in the display currency: that rate stays as typed, and the rate of the entry currency
            // keeps all four places, so that the typed amount comes back whenever it is shown again.
            case 2:
                p.satz = DMEuroUmrechnung(p.alDispSatz, ZuDM);
                break;
            case 3:
                p.satz = DMEuroUmrechnung(p.alDispSatz, ZuEuro);
                break;
            default:
                break;
            }
        }
        // Through double, as every product of amounts; each sum to the cent in its own currency.
        p.summ = RundCY(Currency::FromDouble(menge.ToDouble() * p.satz.ToDouble()));
        p.alDispSumm = zwilling ? RundCY(Currency::FromDouble(menge.ToDouble() * p.alDispSatz.ToDouble()))
                                : DMEuroUmrechnung(p.summ, modus <= 2 ? ZuEuro : ZuDM);
    } catch (const CurrencyOverflow&) {
        return std::nullopt;
    }
    return p;
}

std::optional<Satzpaar> SatzUebernehmen(int modus, Currency menge, Satzpaar alt, Currency dm, Currency euro) {
    if (modus < 1 || modus > 4) return alt;
    try {
        // The offered rate of the entry currency as it stands, its twin converted.
        if (modus <= 2) {
            alt.satz = dm;
            alt.alDispSatz = DMEuroUmrechnung(dm, ZuEuro);
        } else {
            alt.satz = euro;
            alt.alDispSatz = DMEuroUmrechnung(euro, ZuDM);
        }
    } catch (const CurrencyOverflow&) {
        return std::nullopt;
    }
    return calcSumme(modus, NurMenge, menge, alt);
}

bool HeuteEintragen(bool datumLeer, std::string_view bearbeitetesFeld) {
    return datumLeer && !GleichesFeld(bearbeitetesFeld, "Datum");
}

} // namespace velu::expenses
