#include "platform/report/Verbindungen.h"

#include <QFileInfo>

namespace velu::report {

namespace {
QString Kanonisch(const QString& pfad) {
    const QString p = QString::fromStdString(db::Database::ResolvePath(pfad.toStdString()).string());
    const QFileInfo fi(p);
    const QString k = fi.canonicalFilePath();
    return k.isEmpty() ? fi.absoluteFilePath() : k;
}
} // namespace

bool GleicheDatei(const QString& a, const QString& b) {
    return !a.isEmpty() && !b.isEmpty() && Kanonisch(a) == Kanonisch(b);
}

db::Database* Verbindungen::Fuer(const QString& pfad, QString* fehler) {
    if (pfad.trimmed().isEmpty()) {
        if (fehler) *fehler = QStringLiteral("Für die Tabelle ist keine Datenbank angegeben.");
        return nullptr;
    }
    if (quelle_)
        if (db::Database* d = quelle_(pfad)) return d;
    const QString k = Kanonisch(pfad);
    if (auto it = eigene_.find(k); it != eigene_.end()) return it->second.get();
    std::string err;
    auto d = db::Database::Open(k.toStdString(), db::OpenMode::Shared, &err);
    if (!d) {
        if (fehler) *fehler = QString::fromStdString(err);
        return nullptr;
    }
    return (eigene_[k] = std::move(d)).get();
}

} // namespace velu::report
