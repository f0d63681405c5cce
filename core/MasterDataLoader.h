#pragma once
// Fills a new master database with the delivered data: fee tables, service profiles, points catalogues, the
// cost-account plan (CSV files of data/hoai) and one print template per document kind.
//
// Fee tables are stored in DM: every published euro value times 1.95583, kept to four decimals. Headers of
// the current regulation have HOAIALT 0, the § 16 table and the § 15 profile HOAIALT -1; all delivered tables
// and profiles are built in (STDHOAI / STDLeistungbild -1). Points catalogues are numbered from 2, because a
// profile's catalogue number of 1 or less means "no catalogue"; profiles without one carry 0.
#include "platform/db/Database.h"

#include <filesystem>
#include <string>
#include <vector>

namespace velu {

class MasterDataLoader {
public:
    // Throws std::runtime_error (file missing, malformed row, a table that is not band continuous or does not
    // rise strictly) or db::DbError; runs in one transaction.
    static void Load(db::Database& db, const std::filesystem::path& csvDir);

    using Row = std::vector<std::string>;
    // Rows of a CSV file without its header line (fields split at commas, double quotes honoured).
    static std::vector<Row> ReadCsv(const std::filesystem::path& file);
    // Whole (non-negative) euro to DM ten-thousandths: euro × 1.95583, half a ten-thousandth rounded up.
    static int64_t EuroToDMRaw(int64_t euro);
};

} // namespace velu
