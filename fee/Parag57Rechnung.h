#pragma once
// The fee for local site supervision of one calculation: a rate of the eligible costs, reduced to the share
// of the services rendered, or a lump sum agreed instead. All amounts and percentages are currency amounts;
// the fee is computed in the calculation currency and kept with its twin. No widgets: the dialog Parag57
// shows what this class hands out and forwards what the user types.
//
// The costs are the total of the calculation's cost lines (AnrechenbareKosten), summed again by SumKostenEX
// whenever a line was edited or deleted since the last sum, also when no line is left.
#include "core/Currency.h"
#include "core/Money.h"
#include "platform/db/Database.h"

#include <cstdint>
#include <optional>
#include <string>

namespace velu::fee {

// Rate of the fee when none is stored yet.
inline const Currency Parag57StandardSatz = Currency::FromString("2.1");

// What the dialog hands back, in the order GetDaten returns it.
struct Parag57Werte {
    Currency kosten;
    Currency satz;
    Currency fertig;
    Currency pausch;
    Currency alDispPausch;
    Currency honorar;
    Currency alDispHonorar;
};

// fee = RundCY(RundCY(costs x rate / 100) x services rendered / 100): the rate is applied and rounded before
// the share, each product through double as ProzentVon does it.
Currency Honorar57(Currency kosten, Currency satz, Currency fertig);

// "###,##0.00" without a currency sign, e.g. "2,10", "1.234,50".
std::string FormatZahl2(Currency wert);

class Parag57Rechnung {
public:
    explicit Parag57Rechnung(db::Database& projektDB);

    // Takes over the stored values of the calculation (key = its LfNr). satz is empty when none is stored;
    // only then does the standard rate apply, so a rate the user set to 0 stays 0.
    void MakeConnection(int32_t key, Currency kosten, std::optional<Currency> satz, Currency fertig,
                        Currency pausch, Currency alDispPausch, WaehrungCode berechnung,
                        WaehrungCode anzeige);
    void SwitchWährung(WaehrungCode anzeige);

    // The fee and its twin from costs, rate and services rendered, in the calculation currency.
    void CalcHonorar57();
    // A cost line was written or deleted: the next SumKostenEX sums the lines again.
    void KostenGeaendert() { kostenGeaendert_ = true; }
    bool KostenSindGeaendert() const { return kostenGeaendert_; }
    // Costs := the total of the cost lines (stored query SumKostenPara57) when a line changed since the last
    // sum; none left gives 0. Pending grid edits must have been written before.
    void SumKostenEX();

    // Entry of rate and services rendered (fields 0 and 1, both taken), then the fee.
    void SetSatzUndFertig(Currency satz, Currency fertig);
    // Entry of the lump sum in the display currency (field 3). Returns true when the fields are to be
    // redisplayed (modes 2 and 3, where the typed amount was converted). The fee is not recomputed.
    bool SetPausch(Currency getippt);

    // Sums the costs again where needed, recomputes the fee and returns everything.
    Parag57Werte GetDaten();

    // What fields 2 (fee) and 3 (lump sum) show in the display currency; nullopt in a mode without display.
    std::optional<Currency> AnzeigeHonorar() const;
    std::optional<Currency> AnzeigePausch() const;

    int32_t Key() const { return key_; }
    int16_t Modus() const { return modus_; }
    WaehrungCode Berechnung() const { return berechnung_; }
    WaehrungCode Anzeige() const { return anzeige_; }
    Currency Kosten() const { return kosten_; }
    Currency Satz() const { return satz_; }
    Currency Fertig() const { return fertig_; }
    Currency Pausch() const { return pausch_; }
    Currency AlDispPausch() const { return alDispPausch_; }
    Currency Honorar() const { return honorar_; }
    Currency AlDispHonorar() const { return alDispHonorar_; }

private:
    db::Database& db_;
    int32_t key_ = 0;
    WaehrungCode berechnung_ = DM;
    WaehrungCode anzeige_ = DM;
    int16_t modus_ = 1;
    bool kostenGeaendert_ = false;
    Currency kosten_, satz_, fertig_, pausch_, alDispPausch_, honorar_, alDispHonorar_;
};

} // namespace velu::fee
