#pragma once
// Who still uses a fee table: the profile templates linking it, and the calculations of every listed project
// whose profile row links it. A table with users must not be deleted, because the fee engine would no longer
// find it. A project database that exists but cannot be read counts as a user: nobody can tell.
#include "platform/db/Database.h"

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

namespace velu::masterdata {

struct ProjektDatei {
    std::string nummer;
    std::filesystem::path datei; // its Velupro32.mdb
};

class TafelVerwendung {
public:
    // aktuell: the open database of the current project (may be null), read through that handle; a listed
    // project with the same file is not opened again.
    TafelVerwendung(db::Database& stamm, db::Database* aktuell, std::string aktNummer);

    // One line per user, empty when the table is free.
    std::vector<std::string> Verwender(int64_t tafel, const std::vector<ProjektDatei>& projekte);

    static const char* const Meldung;

private:
    void Berechnungen(db::Database& projekt, const std::string& nummer, int64_t tafel,
                      std::vector<std::string>& out);

    db::Database& stamm_;
    db::Database* aktuell_;
    std::string aktNummer_;
};

} // namespace velu::masterdata
