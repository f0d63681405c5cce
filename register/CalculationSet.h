#pragma once
// The set of a project's calculations as a whole: a new calculation in a group of its own, the copy of a
// calculation with every row that belongs to it, the deletion of a calculation with all its rows, and group
// names. No widgets.
//
// Each command is one transaction: a failure rolls back and throws (db::DbError), so no half calculation is
// ever left behind. Types are read from the calculation's stored row, never taken from what a window shows.
#include "core/Currency.h"
#include "platform/db/Database.h"

#include <cstdint>
#include <string>
#include <string_view>

namespace velu::reg {

// What the new-calculation dialog hands over; texts already trimmed.
struct NeueBerechnungDaten {
    std::string gruppe;      // Gruppenbezeichnung
    std::string nummer;      // ReNummer
    std::string bezeichnung; // ReBezeichnung
    char typ = 'A';          // REType
    int waehrung = 0;        // INPUTType and DisplayType: 0 DM, 1 EUR
    Currency mwstPro;        // VAT rate in force
    std::string datum;       // Redatum, "YYYY-MM-DD"
};

struct KopieErgebnis {
    int64_t neu = 0;
    int64_t quelle = 0;
    char typ = 0;          // type of the copy
    std::string name;      // the copy's name as stored
    bool gekuerzt = false; // "Kopie " & the source's name did not fit and was shortened
};

// Blanks at both ends removed (also the non-breaking and other Unicode blanks).
std::string TrimText(std::string_view text);
// A group or calculation name as it is stored: trimmed, cut to 30 characters, trimmed again.
std::string BereinigterName(std::string_view text);

class CalculationSet {
public:
    explicit CalculationSet(db::Database& projektDB) : db_(projektDB) {}

    // Number of groups, by the rows of the stored query "GruppenAnzahl"; 0 when it cannot be read.
    int GruppenAnzahl();
    // Whether a calculation already bears the group name, trimmed and without regard to case.
    bool GruppeVorhanden(std::string_view name);
    // "Gruppe " & n with n = number of groups + 1, counted on while that name is in use.
    std::string GruppenVorschlag();

    // Appends the calculation as the first of a new group (Ursprung = its own LfNr); returns its LfNr.
    int64_t NeueBerechnung(const NeueBerechnungDaten& d);

    // Copies the calculation into its group: "Kopie " & name cut to 30, dated today (iso), ReNummer = the new
    // number, offers become invoices and comparison offers comparison invoices; the child rows of its stored
    // type are copied (payments never), the plant groups relinked to the copy's own profile rows.
    KopieErgebnis CopyBerechnung(int64_t quelle, const std::string& heuteIso);
    // Links each basic-data row of calculation neu to neu's own service-profile row of its plant group.
    void LBConnect(int64_t neu);

    // Deletes the calculation and its rows of every child table, whatever its type; false when there was no
    // such calculation.
    bool KillBerechnung(int64_t lfnr);

private:
    void RunCopy(std::string_view query, int64_t quelle, int64_t neu);
    db::Database& db_;
};

} // namespace velu::reg
