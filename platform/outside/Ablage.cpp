#include "platform/outside/Ablage.h"

#include "platform/db/DbError.h"
#include "platform/db/Recordset.h"
#include "platform/outside/IniUmgebung.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

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

std::unique_ptr<db::Database> OeffneAblage(const QString& pfad, const QString& art,
                                           const std::function<void(db::Database&)>& anlegen,
                                           QString* fehler) {
    auto melde = [&](const QString& text) {
        if (fehler) *fehler = text;
        return nullptr;
    };
    const std::filesystem::path datei(pfad.toStdString());
    std::string err;
    if (!QFileInfo::exists(pfad)) {
        if (!QDir().mkpath(QFileInfo(pfad).absolutePath()))
            return melde("Der Ordner von " + pfad + " konnte nicht angelegt werden.");
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
            return melde("Die Datenbank " + pfad + " konnte nicht angelegt werden:\n" + QString::fromUtf8(e.what()));
        }
        return neu;
    }
    auto d = db::Database::Open(datei, db::OpenMode::Shared, &err);
    if (!d) return melde(QString::fromStdString(err));
    if (IstAblage(*d, art)) return d;
    return melde("Die Datei " + pfad + " ist keine Datenbank dieses Programms (" + art + ").");
}

} // namespace velu::outside
