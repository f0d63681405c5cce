#include "fee/PauschalRechnung.h"

#include "core/MoneyFormat.h"

#include <algorithm>

namespace velu::fee {

int16_t WährungsModus(WaehrungCode berechnung, WaehrungCode anzeige) {
    return static_cast<int16_t>(2 * berechnung + anzeige + 1);
}

std::optional<WährungsPaar> GetippterBetrag(int16_t modus, Currency getippt) {
    // The display currency is DM in modes 1 and 3; WährungsWert converts from the currency typed in.
    const WaehrungCode anzeige = (modus == 1 || modus == 3) ? DM : EUR;
    WährungsPaar p;
    switch (modus) {
    case 1:
    case 4:
        WährungsWert(1, getippt, anzeige, p.wert, p.altWert);
        return p;
    case 2:
    case 3:
        WährungsWert(2, getippt, anzeige, p.wert, p.altWert);
        return p;
    default:
        return std::nullopt;
    }
}

std::optional<Currency> LeseBetrag(const std::optional<AngezeigterBetrag>& angezeigt, std::string_view text) {
    if (angezeigt && angezeigt->text == text) return angezeigt->wert;
    return ParseBetrag(text);
}

void PauschalRechnung::LoadPausch(const Abschnitte<Currency>& pausch,
                                  const Abschnitte<Currency>& alDispPausch,
                                  const Abschnitte<Currency>& alDispTafel, const Abschnitte<Currency>& tafel,
                                  WaehrungCode berechnung, WaehrungCode anzeige, int16_t abschnitte) {
    for (size_t k = 1; k <= 3; ++k) {
        pausch_[k] = pausch[k];
        alDispPausch_[k] = alDispPausch[k];
        alDispTafel_[k] = alDispTafel[k];
        tafel_[k] = tafel[k];
    }
    berechnung_ = berechnung;
    abschnitte_ = std::clamp<int16_t>(abschnitte, 0, MaxAbschnitte);
    SwitchWährung(anzeige);
}

void PauschalRechnung::GetPausch(Abschnitte<Currency>& pausch, Abschnitte<Currency>& alDispPausch) const {
    for (size_t k = 1; k <= 3; ++k) {
        pausch[k] = pausch_[k];
        alDispPausch[k] = alDispPausch_[k];
    }
}

void PauschalRechnung::SwitchWährung(WaehrungCode anzeige) {
    anzeige_ = anzeige;
    modus_ = WährungsModus(berechnung_, anzeige_);
}

bool PauschalRechnung::calcwährung(int16_t index, Currency getippt) {
    if (index < 0 || index >= MaxAbschnitte) return false;
    const auto paar = GetippterBetrag(modus_, getippt);
    if (!paar) return false;
    pausch_[size_t(index) + 1] = paar->wert;
    alDispPausch_[size_t(index) + 1] = paar->altWert;
    return true;
}

std::optional<Currency> PauschalRechnung::Anzeige(int index, const Abschnitte<Currency>& haupt,
                                                  const Abschnitte<Currency>& twin) const {
    if (index < 0 || index >= abschnitte_) return std::nullopt;
    switch (modus_) {
    case 1:
    case 4:
        return haupt[size_t(index) + 1];
    case 2:
    case 3:
        return twin[size_t(index) + 1];
    default:
        return std::nullopt;
    }
}

std::optional<Currency> PauschalRechnung::AnzeigePausch(int index) const {
    return Anzeige(index, pausch_, alDispPausch_);
}

std::optional<Currency> PauschalRechnung::AnzeigeTafel(int index) const {
    return Anzeige(index, tafel_, alDispTafel_);
}

} // namespace velu::fee
