#include "fee/FeeArithmetic.h"

#include "core/Money.h"

#include <cctype>
#include <cstdlib>

namespace velu::fee {

Currency MulCY(Currency a, Currency b) {
    const __int128 p = static_cast<__int128>(a.Raw()) * b.Raw();
    __int128 q = p / Currency::Scale;
    __int128 r = p % Currency::Scale;
    if (r < 0) {
        r += Currency::Scale;
        --q;
    }
    if (2 * r > Currency::Scale || (2 * r == Currency::Scale && (q & 1) != 0)) ++q;
    if (q > INT64_MAX || q < INT64_MIN) throw CurrencyOverflow("Währungsbetrag außerhalb des Wertebereichs");
    return Currency::FromRaw(static_cast<int64_t>(q));
}

Currency ProzentCY(Currency a, Currency b) {
    return RundCY(Currency::FromDouble(MulCY(a, b).ToDouble() / 100.0));
}

void InterpolTafel(Currency kosten, const TafelZeile& oben, const TafelZeile& unten, TafelErgebnis& ergebnis) {
    if (kosten == unten[0]) {
        ergebnis[0] = unten[1];
        ergebnis[1] = unten[2];
        return;
    }
    // lo + (hi - lo) / ((AK_hi - AK_lo) / (K - AK_lo)), as the published tables are interpolated.
    const double d = (oben[0] - unten[0]).ToDouble() / (kosten - unten[0]).ToDouble();
    for (int j = 1; j <= 2; ++j)
        ergebnis[j - 1] = RundCY(Currency::FromDouble((oben[j] - unten[j]).ToDouble() / d) + unten[j]);
}

Currency GetHonorarSatzUemin(const TafelErgebnis& minMax, Currency satz) {
    if (satz == Currency{}) return minMax[0];
    return minMax[0] + ProzentCY(minMax[1] - minMax[0], satz);
}

AnreKosten BerechneAnreKosten(Currency eigen, Currency fremd, bool fremdZaehlt) {
    AnreKosten k;
    k.eigen = eigen;
    k.fremd = fremdZaehlt ? fremd : Currency{};
    if (k.fremd == Currency{}) {
        k.summe = eigen;
        k.modus = 0;
        return k;
    }
    // Costs of others count in full up to a quarter of the own costs, the excess at one half.
    const Currency viertel = RundCY(Currency::FromDouble(eigen.ToDouble() * 0.25));
    if (k.fremd <= viertel) {
        k.summe = RundCY(eigen + k.fremd);
        k.modus = 1;
    } else {
        const Currency haelfte = RundCY(Currency::FromDouble((k.fremd - viertel).ToDouble() / 2.0));
        k.summe = RundCY(haelfte + viertel + eigen);
        k.modus = 2;
    }
    return k;
}

PhasenWerte BerechnePhase(Currency basis, Currency anteil, Currency zuschlagPro, Currency teilleistPro) {
    PhasenWerte w;
    w.grundL = ProzentCY(basis, anteil);
    w.vollZuschlag = ProzentCY(w.grundL, zuschlagPro);
    w.teilleistung = ProzentCY(w.grundL, teilleistPro);
    w.zuschlag = ProzentCY(w.vollZuschlag, teilleistPro);
    w.total = w.teilleistung + w.zuschlag;
    return w;
}

BerNettoWerte BerechneBerNetto(Currency netto, Currency prozent, Currency betrag) {
    BerNettoWerte w;
    // Divided before the product, unlike the phase percentages.
    w.zuschlagAusProzent = RundCY(Currency::FromDouble(netto.ToDouble() / 100.0 * prozent.ToDouble()));
    w.berNetto = RundCY(w.zuschlagAusProzent + netto + betrag);
    return w;
}

int16_t PruefeZoneUndSaetze(double zone, int64_t maxZone, const Abschnitte<Currency>& satz) {
    int16_t code = PruefungOk;
    if (zone > static_cast<double>(maxZone)) code = ZoneZuGross;
    if (zone <= 0) code = ZoneNichtPositiv;
    for (int k = 1; k <= 3; ++k) {
        if (satz[k] < Currency{}) code = SatzNegativ;
        if (satz[k] > Currency::FromUnits(100)) code = SatzUeber100;
    }
    return code;
}

std::optional<double> LeadingNumber(std::string_view text) {
    size_t i = 0;
    while (i < text.size() && (text[i] == ' ' || text[i] == '\t')) ++i;
    const size_t start = i;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) ++i;
    bool digits = false, point = false;
    for (; i < text.size(); ++i) {
        const char c = text[i];
        if (std::isdigit(static_cast<unsigned char>(c))) {
            digits = true;
        } else if (c == '.' && !point) {
            point = true;
        } else {
            break;
        }
    }
    if (!digits) return std::nullopt;
    return std::strtod(std::string(text.substr(start, i - start)).c_str(), nullptr);
}

} // namespace velu::fee
