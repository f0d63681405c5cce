#pragma once
// The lump sums of up to three cost sections, each kept as a pair: the amount in the calculation currency and
// its twin in the other currency, beside the table fees of the sections. No widgets: the dialog Pauschal
// shows what this class hands out and forwards what the user types.
#include "core/Currency.h"
#include "core/Money.h"
#include "fee/FeeArithmetic.h"

#include <optional>
#include <string>
#include <string_view>

namespace velu::fee {

// 2 x calculation currency + display currency + 1: 1 DM/DM, 2 DM shown in euro, 3 euro shown in DM, 4
// euro/euro.
int16_t WährungsModus(WaehrungCode berechnung, WaehrungCode anzeige);

struct WährungsPaar {
    Currency wert;    // in the calculation currency
    Currency altWert; // in the other currency
};

// An amount typed in the display currency as a pair. Modes 1 and 4: kept exactly as typed, the twin
// converted unrounded; modes 2 and 3: converted into the calculation currency and rounded to cents, the twin
// converted back from that unrounded. nullopt in any other mode.
std::optional<WährungsPaar> GetippterBetrag(int16_t modus, Currency getippt);

// What an entry field was given to show. Text that still reads as it was shown gives back the exact amount,
// not its picture rounded to cents; other text is read as typed (nullopt when it is no amount).
struct AngezeigterBetrag {
    Currency wert;
    std::string text;
};
std::optional<Currency> LeseBetrag(const std::optional<AngezeigterBetrag>& angezeigt, std::string_view text);

class PauschalRechnung {
public:
    static constexpr int16_t MaxAbschnitte = 3;

    // Elements 1 to 3 of each array; sections is the number of rows filled (cost sections 1, 2, 3 in order).
    void LoadPausch(const Abschnitte<Currency>& pausch, const Abschnitte<Currency>& alDispPausch,
                    const Abschnitte<Currency>& alDispTafel, const Abschnitte<Currency>& tafel,
                    WaehrungCode berechnung, WaehrungCode anzeige, int16_t abschnitte);
    // Elements 1 to 3 of both lump-sum arrays; element 0 is left alone.
    void GetPausch(Abschnitte<Currency>& pausch, Abschnitte<Currency>& alDispPausch) const;

    void SwitchWährung(WaehrungCode anzeige);
    // Takes an amount typed into lump-sum row index (0 to 2) into both arrays. Returns false when nothing
    // was taken (a mode without display, an index outside the rows).
    bool calcwährung(int16_t index, Currency getippt);

    int16_t Modus() const { return modus_; }
    WaehrungCode Berechnung() const { return berechnung_; }
    WaehrungCode Anzeige() const { return anzeige_; }
    int16_t AnzahlAbschnitte() const { return abschnitte_; }
    // What row index (0 to 2) shows in the display currency; nullopt for a row beyond the sections in use or
    // in a mode that shows nothing.
    std::optional<Currency> AnzeigePausch(int index) const;
    std::optional<Currency> AnzeigeTafel(int index) const;

private:
    std::optional<Currency> Anzeige(int index, const Abschnitte<Currency>& haupt,
                                    const Abschnitte<Currency>& twin) const;

    WaehrungCode berechnung_ = DM;
    WaehrungCode anzeige_ = DM;
    int16_t modus_ = 1;
    int16_t abschnitte_ = MaxAbschnitte;
    Abschnitte<Currency> pausch_{}, alDispPausch_{}, alDispTafel_{}, tafel_{};
};

} // namespace velu::fee
