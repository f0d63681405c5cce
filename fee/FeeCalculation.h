#pragma once
// The fee computation of one calculation: its Grunddaten row per plant group with the plant group's
// Leistungsbild row, the recalculation check with its flags, and the messages it shows. The basic-data form
// owns one and forwards its operations; nothing here knows a widget.
#include "core/Currency.h"
#include "fee/FeeArithmetic.h"
#include "fee/FeeMessages.h"
#include "fee/FeeTableLookup.h"
#include "fee/PhaseRanges.h"
#include "fee/TableFee.h"
#include "platform/db/Recordset.h"

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace velu::db {
class Database;
}

namespace velu::fee {

// What the form's input fields hold when the check runs. Rates come already read as numbers by the form's
// numeric input; the zone is the field's text.
struct GrunddatenEingabe {
    std::string leistungsbild;        // field 0: name of the profile in use
    std::string honorarzone;          // field 1
    bool punktekatUsed = false;       // field 1 was filled from the points catalogue
    Abschnitte<Currency> satzUemin{}; // fields 2 to 4, index 1 to 3
    std::string anlageGrBez;          // field 5
};

class FeeCalculation {
public:
    FeeCalculation(db::Database& projektDB, db::Database& stammDB, MessageSink& messages);

    // Form state.
    void BereListNr(int32_t nr) { berListNr_ = nr; }
    int32_t CalculationNumber() const { return berListNr_; }
    void SetRechnungsart(int16_t art) { rechnungsart_ = art; }
    int16_t Rechnungsart() const { return rechnungsart_; }
    // Calculation currency: 1 = euro, anything else DM.
    void SetBerechnungswaehrung(int16_t w) { waehrung_ = w; }
    int16_t Berechnungswaehrung() const { return waehrung_; }
    void SetAnlageGruppe(int16_t g) { anlageGruppe_ = g; }
    int16_t AnlageGruppe() const { return anlageGruppe_; }
    // Title of the input-error boxes: the form's caption.
    void SetCaption(std::string caption) { caption_ = std::move(caption); }
    void SetEingabe(const GrunddatenEingabe& e) { eingabe_ = e; }

    // The flags of the check: set by input events; cleared when the form refills its fields.
    void SetInputsChanged() { inputsChanged_ = true; }
    void SetCostsChanged() { costsChanged_ = true; }
    void ClearChanged() { inputsChanged_ = costsChanged_ = false; }
    bool InputsChanged() const { return inputsChanged_; }
    bool CostsChanged() const { return costsChanged_; }

    // Rows: the Grunddaten row of the calculation and plant group (false when there is none) and the
    // Leistungsbild row with the given key (false when there is none).
    bool OpenGrunddaten();
    bool ConectLeistungsbild(int32_t lfnr);
    db::Recordset& Grunddaten() { return grunddaten_; }
    db::Recordset& Leistungsbild() { return leistungsbild_; }

    // From the profile row in force: unit of the table axis (1 money), costs of others counted, plant groups.
    int16_t Einheit() const;
    bool FremdleistungZaehlt() const;
    bool MitAnlageGruppen() const;
    // Sections and phase ranges of the profile row in force; the offer has one section for phases 1 to 9.
    PhasenBereiche Bereiche() const;
    int16_t AnzahlAbschnitte() const { return Bereiche().anzahl; }

    // The check run when the user leaves the data; 0, an input code 1 to 16, or -1/-2 after recomputing.
    int16_t CheckCalcGrDaten();
    // The same for showing the fee while costs are typed: nothing is said, nothing counts as said, and the
    // check stays due, so that the next CheckCalcGrDaten reports what it finds.
    int16_t CheckCalcGrDatenStill();
    int16_t CheckGrDatenInput();
    void DisplayErrMsgGrDaten(int16_t code);
    int16_t CalcAllGrunddaten();
    // Reports costs outside the table and a missing table. result is written for every section outside a
    // table (-1) or without one (-2), also when its message was shown before and is not repeated.
    void FehlerCalcGPreis(const Abschnitte<int16_t>& status, int16_t& result);
    // The plant group whose stored zone or rates stopped the last CalcAllGrunddaten; 0 when none did.
    int16_t FehlerAnlageGruppe() const { return fehlerGruppe_; }

    // Computations on the current rows.
    void CalcAnreKostAB();
    void CallGrundHonorar(Abschnitte<Currency>& summen, Abschnitte<int16_t>& status);
    Currency GetAnGezGrHonorar(int16_t k, std::string_view prefix) const;
    Currency GetHonrarNetto(int16_t k, std::string_view prefix) const;
    // twin != 0 works on the "AlDisp" fields.
    void CalcLeistungsbild(int16_t twin);
    void CalcBerNetto(Currency netto, Currency& zuschlag, Currency& berNetto, std::string_view prefix) const;
    // The phase grid's edit of phase i (1 to 9): stores its share and partial service and recomputes every
    // phase of both currencies, as the full check does, in one transaction. False, and nothing written, for a
    // phase of no section.
    bool PhaseGeaendert(int i, Currency anteil, Currency teilleistPro);
    // One edited phase ("1" to "9"); false, and nothing written, for another text or a phase of no section.
    bool CalcNettoHonorarPosi(int16_t mode, std::string_view phase, Currency anteil, Currency teilleistPro,
                              Currency& netto, Currency& abschnittNetto, Currency& total);

private:
    void show(const std::string& text, const std::string& caption, MessageIcon icon);
    void zeigeZurueckgestellte();
    // Reads the current group's rows again after a rollback.
    void nachRollback(int32_t profil);
    int16_t pruefeGespeicherteWerte();
    int16_t calcAll();
    // The percentages of the phases, the same for the main and the twin run.
    struct PhasenEingaben {
        std::array<int16_t, 10> abschnitt{}; // 0 = no section
        std::array<Currency, 10> anteil{}, zuschlag{}, teilleistung{};
    };
    PhasenEingaben readPhasenEingaben() const;
    // Eligible costs of the sections in use from the cost lines; the others stay unset.
    Abschnitte<std::optional<AnreKosten>> berechneAnreKosten();
    void schreibeAnreKosten(const Abschnitte<std::optional<AnreKosten>>& kosten);
    void calcLeistungsbild(int16_t twinRun, const PhasenEingaben& e);
    void openGrunddaten(int32_t berListNr, int16_t gruppe);

    db::Database& projektDB_;
    db::Database& stammDB_;
    MessageSink& messages_;

    int32_t berListNr_ = 0;
    int16_t anlageGruppe_ = 1;
    int16_t rechnungsart_ = 0;
    int16_t waehrung_ = 0;
    std::string caption_;
    GrunddatenEingabe eingabe_;
    bool inputsChanged_ = false;
    bool costsChanged_ = false;
    bool unterTafelGezeigt_ = false;
    bool ueberTafelGezeigt_ = false;
    bool still_ = false;
    int16_t fehlerGruppe_ = 0;

    // While a pass writes in one transaction, its messages wait for the commit.
    bool deferMessages_ = false;
    struct Pending {
        std::string text, caption;
        MessageIcon icon;
    };
    std::vector<Pending> pending_;

    // Fee tables read during a pass of CalcAllGrunddaten; nullptr outside one.
    std::map<int32_t, TafelDaten>* tafelCache_ = nullptr;

    db::Recordset grunddaten_;
    db::Recordset leistungsbild_;
};

} // namespace velu::fee
