#pragma once
// Single-file databases of the outside programs (address book, serial letters): where they lie and their
// creation on first use.
#include "platform/db/Database.h"

#include <QString>
#include <functional>
#include <memory>

namespace velu::outside {

class ProjektUmgebung;

// The path under the setting name, else datei beside the master database (setting "VELUDATEN").
QString AblagePfad(ProjektUmgebung& umgebung, const QString& einstellung, const QString& datei);

// True when db's _Meta row names it a database of kind art (as OeffneAblage makes them). Reads only.
bool IstAblage(db::Database& db, const QString& art);

// Opens the database at pfad; a missing file is created (with its folder) and given its tables by anlegen,
// in one transaction, with a _Meta row naming art. A file that cannot be created is removed again.
// nullptr with a German reason in *fehler when it cannot be opened or created, or is another kind of
// database.
std::unique_ptr<db::Database> OeffneAblage(const QString& pfad, const QString& art,
                                           const std::function<void(db::Database&)>& anlegen,
                                           QString* fehler);

} // namespace velu::outside
