#pragma once
// The points of one calculation and plant group and the fee zone that follows from them. The criteria are a
// copy of the master catalogue's, made on first use and kept in the project database, so a later change of
// the catalogue leaves existing calculations alone. The dialog PunkteKat owns one; nothing here knows a
// widget.
#include "platform/db/Recordset.h"

#include <array>
#include <cstdint>
#include <optional>
#include <string>

namespace velu::db {
class Database;
}

namespace velu::fee {

// Lower and upper bound of the points of each zone 1 to 5 (index 0 to 4).
struct ZonenGrenzen {
    std::array<int64_t, 5> von{};
    std::array<int64_t, 5> bis{};
};

// Zone 1 excludes its lower bound, zones 2 to 5 include both; where ranges overlap the highest zone wins.
// 0 when the total lies in no range.
int16_t ZoneAusPunkten(int64_t punkte, const ZonenGrenzen& grenzen);

// Why a zone computation gave what it gave.
enum class ZonenErgebnis {
    Zone,            // a zone 1 to 5 was found
    KeinePunkte,     // nothing awarded (no rows, or a total of 0)
    KeinVerzeichnis, // the catalogue number has no row with zone bounds
    KeinBereich      // points awarded, but their total lies in no zone range
};

struct HOAIZonenWert {
    int16_t zone = 0;
    ZonenErgebnis grund = ZonenErgebnis::KeinePunkte;
    int64_t punkte = 0; // the total awarded
};

class PunkteKatalog {
public:
    PunkteKatalog(db::Database& projektDB, db::Database& stammDB);

    // The rows of the calculation and group, ordered by key; editable.
    db::Recordset Kriterien(int16_t gruppe, int32_t berListNr);
    // Copies the catalogue's criteria with 0 points awarded, in the master database's order; returns the
    // number of rows copied. One statement, so a failure copies nothing.
    int64_t TranzPunkteKat(int32_t katalog, int16_t gruppe, int32_t berListNr);
    // The rows of the calculation and group, the catalogue copied in first when there are none.
    db::Recordset PunkteTabConnect(int32_t katalog, int16_t gruppe, int32_t berListNr);

    // Sum of the points awarded (getPunkteSumm), null read as 0.
    int64_t PunkteSumme(int16_t gruppe, int32_t berListNr);
    // Zone bounds of the catalogue (GetPunkteverz), missing bounds read as 0; nullopt without a row.
    std::optional<ZonenGrenzen> Grenzen(int32_t katalog);
    // The fee zone of the stored points; changes nothing.
    HOAIZonenWert HOAIZone(int32_t katalog, int16_t gruppe, int32_t berListNr);

    // What the opener does with the rows when no zone results: they are discarded (delPunkteTab) only when
    // no criterion carries points, so points whose total lies in no range survive for the next try. Returns
    // whether the rows were deleted.
    bool PunkteVerwerfen(int16_t gruppe, int32_t berListNr);

    // The check before a points cell is stored: the message when more than the criterion's maximum was
    // given, else nullopt. No lower bound applies.
    static std::optional<std::string> PunktePruefen(int64_t maxPunkte, int64_t vergeben);

private:
    db::Database& projekt_;
    db::Database& stamm_;
};

} // namespace velu::fee
