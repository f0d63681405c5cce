#pragma once
// The editors a calculation opens in, by type: the basic-data and fee form (offers, invoices, comparisons),
// the hourly-rate invoice positions and the site-supervision dialog. Each runs modally and stores what it
// computes itself; the register recomputes from the stored rows afterwards.
#include "core/Currency.h"

#include <cstdint>
#include <optional>
#include <string>

namespace velu::reg {

enum class EditorErgebnis {
    NichtVerfuegbar, // the form does not exist (yet): nothing was edited, nothing is recomputed
    Geschlossen,     // the form ran and was closed
    Bestaetigt       // the form ran and was confirmed with OK (the site-supervision dialog's "X")
};

// In and out of the site-supervision dialog (MakeConnection in, GetDaten out).
struct Parag57Daten {
    Currency kost57;
    std::optional<Currency> pSatz57; // empty while no rate is stored: the dialog offers its default
    Currency fertigstell57;
    Currency pausch57;
    Currency alDispPausch57;
    Currency honorar;       // computed fee in the entry currency (out only)
    Currency alDispHonorar; // the same in the other currency (out only)
};

class BerechnungEditor {
public:
    virtual ~BerechnungEditor() = default;
    // Grunddat: MakeconectionGRDAT(lfnr, displayType, inputType, rechnungsart) with rechnungsart 1 for offers
    // and comparison offers, else 0.
    virtual EditorErgebnis EditGrunddaten(int64_t lfnr, int displayType, int inputType, int rechnungsart,
                                          const std::string& caption) = 0;
    // StdRech: Makeconection(lfnr, displayType, inputType).
    virtual EditorErgebnis EditStdRech(int64_t lfnr, int displayType, int inputType,
                                       const std::string& caption) = 0;
    // Parag57: MakeConnection with daten's first five values; on Bestaetigt daten holds what GetDaten gave.
    virtual EditorErgebnis EditParag57(int64_t lfnr, Parag57Daten& daten, int inputType, int displayType) = 0;
};

} // namespace velu::reg
