#pragma once
// The description a project backup gives its archive: "PROJEKT°<number>°<name>". The archive keeps it as
// one line of its comment, and the restore splits it at "°"; a name holding a line break lost its second
// line and made the rest the backup's date. Such a name (or one holding "°" or "%") is written
// percent-encoded behind a second "°": "PROJEKT°4711°°Kita Nord%0ABauteil B". Older archives never hold that
// form (an empty name field), and every other name stays written as before, so either program reads
// either archive.
#include <QString>

#include <optional>

namespace velu {

QString ProjektDeskriptor(const QString& nummer, const QString& name);

struct ProjektAngaben {
    QString nummer;
    QString name;
};
// nullopt for a description that names no project.
std::optional<ProjektAngaben> LeseProjektDeskriptor(const QString& deskriptor);

} // namespace velu
