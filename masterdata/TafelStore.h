#pragma once
// The fee tables of the master database without widgets: headers (TafelVerzeichnis) and rows (Tafel), their
// extremes, the check of a row before it is written, copy and delete. The fee lookup reads these rows, so a
// write never leaves a table it cannot use: built-in tables are never written, a row must keep the axis
// unique and the fees rising, and copy and delete run in one transaction each.
//
// Failures the user should see come back as German text; database failures inside a copy or delete are
// caught, rolled back and reported the same way.
#include "core/Currency.h"
#include "platform/db/Database.h"
#include "platform/db/Recordset.h"

#include <array>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <variant>
#include <vector>

namespace velu::masterdata {

struct TafelKopf {
    int64_t lfnr = 0;
    std::string kurz; // HoaiPara
    std::string bez;  // HoaiBez
    bool builtIn = false;
    bool alt = false;
};

// What GetMaxTafelwerte reports: the lowest and highest axis value and the zone count, unset when no zone
// has a value.
struct TafelExtreme {
    std::optional<int16_t> zonenAnz;
    db::Value minWert;
    db::Value maxWert;
};

// One row as the grid holds it before it is written: key 0 for a new row; unset cells are empty.
struct TafelZeile {
    int64_t lfnr = 0;
    std::optional<Currency> akosten;
    std::array<std::optional<Currency>, 10> s{};
};

// A failure message or nothing.
using Meldung = std::optional<std::string>;

class TafelStore {
public:
    explicit TafelStore(db::Database& stamm) : db_(stamm) {}

    static constexpr int KopieBezLaenge = 29;
    static constexpr const char* KopieKurz = "XXX";

    // Headers through LoadTafelBezeichnungen in the query's order (alt: the query's ALT parameter).
    std::vector<TafelKopf> Tafeln(const db::Value& alt = {});
    std::optional<TafelKopf> Kopf(int64_t lfnr);
    // The rows of a table in the order of the axis, editable (the grid's row source).
    db::Recordset Zeilen(int64_t lfnr);

    TafelExtreme UpdateMinMaxWerte(int64_t lfnr);
    // The header of table lfnr by its number: short and long name, extremes and zone count; the rows take the
    // short name. A built-in or missing table is refused.
    Meldung SaveStuff(int64_t lfnr, const std::string& kurz, const std::string& bez);
    // A copy of table quelle (header and rows), named "Kopie von " & its name and "XXX"; the new number.
    std::variant<int64_t, std::string> CopyAufr(int64_t quelle);
    // Rows of quelle appended under ziel through Tafeltemp; throws db::DbError (the caller's transaction
    // rolls back).
    void CopyTafeln(int64_t quelle, int64_t ziel);
    // Rows and header of a table that is not built in.
    Meldung DELTafel(int64_t lfnr);

    // Whether the row may be written into table tafel: the axis value given and not repeated, each fee
    // rising against its neighbours on the axis where both hold one.
    Meldung ZeilePruefen(int64_t tafel, const TafelZeile& zeile);

    // The zone count of GetMaxTafelwerte's zone fields (0 = zone without values).
    static std::optional<int16_t> ZonenAnzahl(const std::array<int64_t, 5>& zonen);

    static const char* const MeldungKeineKosten;
    static const char* const MeldungDoppelt;
    static const char* const MeldungSteigen;
    static const char* const MeldungStandard;

private:
    db::Database& db_;
};

// Runs schreiben in one transaction; a database failure rolls it back and comes back as fehler & its text.
Meldung InTransaktion(db::Database& db, const std::string& fehler, const std::function<void()>& schreiben);

// The first n characters of a UTF-8 text (characters, never bytes).
std::string ErsteZeichen(const std::string& text, int n);

} // namespace velu::masterdata
