#include "platform/outside/Ablage.h"

#include "platform/archive/OfficeEntry.h"
#include "platform/db/DbError.h"
#include "platform/db/Recordset.h"
#include "platform/outside/IniUmgebung.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <fcntl.h>

namespace velu::outside {

QString AblagePfad(ProjektUmgebung& umgebung, const QString& einstellung, const QString& datei) {
    const QString stamm =
        umgebung.PfadVonEinstellung("VELUDATEN", BueroOrdner() + QStringLiteral("/STD_SYS/VELUDAT32.MDB"));
    const QString standard = QFileInfo(QString(stamm).replace('\\', '/')).absolutePath() + '/' + datei;
    const QString p = umgebung.PfadVonEinstellung(einstellung, standard);
    return QString::fromStdString(db::Database::ResolvePath(p.toStdString()).string());
}

bool IstAblage(db::Database& db, const QString& art) {
    try {
        if (!db.HasTable("_Meta")) return false;
        auto rs = db.OpenRecordset("SELECT Value FROM _Meta WHERE Key = 'Kind'");
        return !rs.Empty() && QString::fromStdString(rs.GetText("Value")) == art;
    } catch (const db::DbError&) {
        return false;
    }
}

namespace {
// Makes the database's folder where it is missing. The folders above it may be reached through links (the
// office folder as configured, which may also hold it); the folder itself is made and opened without
// following one, and one that is a link is refused with *warum naming it.
bool MacheOrdner(const std::filesystem::path& ordner, std::string* warum) {
    const QString q = QString::fromStdString(ordner.string());
    if (ordner.empty() || !ordner.has_filename()) return true;
    if (QDir::cleanPath(q) == QDir::cleanPath(BueroOrdner())) return QDir().mkpath(q);
    const std::filesystem::path oben = ordner.parent_path();
    if (!QDir().mkpath(QString::fromStdString(oben.string()))) return false;
    const archive::UniqueFd darueber(::open(oben.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (darueber && archive::OpenFolderAt(darueber.Get(), ordner.filename().string(), true)) return true;
    if (archive::IsLink(ordner)) *warum = archive::LinkText(ordner);
    return false;
}
} // namespace

std::unique_ptr<db::Database> OeffneAblage(const QString& pfad, const QString& art,
                                           const std::function<void(db::Database&)>& anlegen,
                                           QString* fehler) {
    auto melde = [&](const QString& text) {
        if (fehler) *fehler = text;
        return nullptr;
    };
    const std::filesystem::path datei(pfad.toStdString());
    // A database or its folder that is a link is not the office's: nothing is made or opened through it.
    if (archive::IsLink(datei)) return melde(QString::fromStdString(archive::LinkText(datei)));
    std::string err;
    if (!QFileInfo::exists(pfad)) {
        if (!MacheOrdner(datei.parent_path(), &err)) {
            if (!err.empty()) return melde(QString::fromStdString(err));
            return melde("Der Ordner von " + pfad + " konnte nicht angelegt werden.");
        }
        auto neu = db::Database::Create(datei, &err);
        if (!neu) return melde(QString::fromStdString(err));
        try {
            db::Transaction t(*neu);
            neu->Execute("CREATE TABLE \"_Meta\" (\"Key\" TEXT PRIMARY KEY, \"Value\" TEXT)");
            neu->Execute("INSERT INTO _Meta (Key, Value) VALUES ('Kind', :art), ('SchemaVersion', '1')",
                         db::Params().Set("art", art.toStdString()));
            anlegen(*neu);
            t.Commit();
        } catch (const db::DbError& e) {
            neu.reset();
            QFile::remove(pfad);
            return melde("Die Datenbank " + pfad + " konnte nicht angelegt werden:\n" +
                         QString::fromUtf8(e.what()));
        }
        return neu;
    }
    auto d = db::Database::Open(datei, db::OpenMode::Shared, &err);
    if (!d) return melde(QString::fromStdString(err));
    if (IstAblage(*d, art)) return d;
    return melde("Die Datei " + pfad + " ist keine Datenbank dieses Programms (" + art + ").");
}

} // namespace velu::outside
