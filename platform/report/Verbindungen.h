#pragma once
// Where a report's tables are read from. The program hands in its open connections (so a print run reads
// the print tables it has just filled, inside its transaction); any other path is opened shared for the run
// and closed afterwards.
#include "platform/db/Database.h"

#include <QString>
#include <functional>
#include <map>
#include <memory>

namespace velu::report {

// The open connection of the program for that database file, or nullptr.
using VerbindungsQuelle = std::function<db::Database*(const QString& pfad)>;

class Verbindungen {
public:
    explicit Verbindungen(VerbindungsQuelle quelle) : quelle_(std::move(quelle)) {}
    // nullptr when the file cannot be opened (*fehler says why).
    db::Database* Fuer(const QString& pfad, QString* fehler);

private:
    VerbindungsQuelle quelle_;
    std::map<QString, std::unique_ptr<db::Database>> eigene_;
};

// Same file, whatever the spelling of the path (backslashes, "..", case of the last element).
bool GleicheDatei(const QString& a, const QString& b);

} // namespace velu::report
