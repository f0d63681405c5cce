#pragma once
// Takes the calculations of an older project database (VELUPRO.MDB: one currency, the service profile inside
// the basic-data rows) over into a project database just made from the template.
//
// The copy runs into a temporary file beside the new database, in one transaction, with the older file
// attached by bound path and only read. Only when every statement succeeded does the copy replace the new
// database; on failure the message is shown and the new database is removed, so the next start creates it
// again and offers the migration once more. Column lists are those both layouts share, so an older file
// without the newest columns still migrates (missing site-supervision columns become 0).
#include "platform/db/Database.h"

#include <filesystem>
#include <functional>
#include <string>

namespace velu {

class Migration {
public:
    // Yes/No question (Yes the default); true = Yes.
    using Frage = std::function<bool(const std::string& text)>;
    using Meldung = std::function<void(const std::string& text)>;
    enum class Result { Declined, Migrated, Failed };

    static const std::string& FrageText();
    static constexpr const char* Titel = "Velunta 4.0";

    // alt: the older VELUPRO.MDB; neu: the Velupro32.mdb that was just copied from the template (not open).
    static Result UpdateAltDaten(const std::filesystem::path& alt, const std::filesystem::path& neu,
                                 const Frage& frage, const Meldung& meldung);

    // The statements of both steps on a database to which the older file is attached as "alt"; they throw on
    // failure and leave the transaction to the caller.
    static void CopyAltBerechnungen(db::Database& db);
    static void FillAlDisp(db::Database& db);
};

} // namespace velu
