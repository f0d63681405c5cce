#include "platform/outside/ProjektListe.h"

#include "platform/archive/OfficeEntry.h"

#include "platform/db/Database.h"
#include "platform/db/DbError.h"
#include "platform/db/Recordset.h"
#include "platform/outside/IniUmgebung.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QSaveFile>

namespace velu::outside {

namespace {
std::filesystem::path Fs(const QString& p) {
    return std::filesystem::path(p.toStdString());
}
void Set(QString* out, const QString& text) {
    if (out) *out = text;
}
} // namespace

std::optional<QString> NormProjektNummer(const QString& eingabe) {
    const QString t = eingabe.trimmed();
    static const QRegularExpression digits(QStringLiteral("^[0-9]{1,8}$"));
    if (!digits.match(t).hasMatch()) return std::nullopt;
    return t.rightJustified(8, QLatin1Char('0'));
}

ProjektListe::ProjektListe(QString projekteOrdner) : ordner_(std::move(projekteOrdner)) {
    if (!ordner_.endsWith('/')) ordner_ += '/';
}

bool ProjektListe::Anlegen(QString* fehler) {
    if (!QDir().mkpath(ordner_)) {
        Set(fehler, QStringLiteral("Der Projektordner konnte nicht angelegt werden: ") + ordner_);
        return false;
    }
    if (QFileInfo::exists(Datei())) return true;
    std::string err;
    auto db = db::Database::Create(Fs(Datei()), &err);
    if (!db) {
        Set(fehler, QString::fromStdString(err));
        return false;
    }
    try {
        db->Execute("CREATE TABLE PROJEKT (PrNr TEXT NOT NULL, PRBZ TEXT);"
                    "CREATE UNIQUE INDEX Pindex ON PROJEKT (PrNr);");
    } catch (const db::DbError& e) {
        db.reset();
        QFile::remove(Datei());
        Set(fehler, QString::fromUtf8(e.what()));
        return false;
    }
    return true;
}

std::optional<std::vector<ProjektEintrag>> ProjektListe::Liste(QString* fehler) {
    std::string err;
    auto db = db::Database::Open(Fs(Datei()), db::OpenMode::Shared, &err);
    if (!db) {
        Set(fehler, QString::fromStdString(err));
        return std::nullopt;
    }
    try {
        std::vector<ProjektEintrag> out;
        auto rs = db->OpenRecordset("SELECT PrNr, PRBZ FROM PROJEKT ORDER BY PrNr");
        for (; !rs.EOF_(); rs.MoveNext())
            out.push_back(
                {QString::fromStdString(rs.GetText("PrNr")), QString::fromStdString(rs.GetText("PRBZ"))});
        return out;
    } catch (const db::DbError& e) {
        Set(fehler, QString::fromUtf8(e.what()));
        return std::nullopt;
    }
}

bool ProjektListe::Eintragen(const QString& nummer, const QString& name, QString* fehler) {
    std::string err;
    auto db = db::Database::Open(Fs(Datei()), db::OpenMode::Shared, &err);
    if (!db) {
        Set(fehler, QString::fromStdString(err));
        return false;
    }
    try {
        db::Transaction t(*db);
        db->Execute("UPDATE PROJEKT SET PRBZ = ? WHERE PrNr = ?",
                    db::Params().Add(name.toStdString()).Add(nummer.toStdString()));
        if (db->RecordsAffected() == 0)
            db->Execute("INSERT INTO PROJEKT (PrNr, PRBZ) VALUES (?, ?)",
                        db::Params().Add(nummer.toStdString()).Add(name.toStdString()));
        t.Commit();
        return true;
    } catch (const db::DbError& e) {
        Set(fehler, QString::fromUtf8(e.what()));
        return false;
    }
}

bool ProjektListe::ProjektAnlegen(QString& nummer, const QString& name, QString* fehler) {
    const auto norm = NormProjektNummer(nummer);
    if (!norm) {
        Set(fehler, QStringLiteral("Die Projektnummer muss aus 1 bis 8 Ziffern bestehen."));
        return false;
    }
    const QString bez = name.trimmed();
    if (bez.isEmpty() || bez.size() > 30) {
        Set(fehler, QStringLiteral("Die Projektbezeichnung muss 1 bis 30 Zeichen lang sein."));
        return false;
    }
    if (!Anlegen(fehler)) return false;
    const auto liste = Liste(fehler);
    if (!liste) return false;
    const QString vergeben =
        QStringLiteral("Ein Projekt mit der Nummer ") + *norm + QStringLiteral(" gibt es schon.");
    for (const auto& p : *liste)
        if (p.nummer == *norm) {
            Set(fehler, vergeben);
            return false;
        }
    const QString ordner = ProjektOrdnerVon(ordner_, *norm);
    // A folder a co-worker planted as a link under the new number is not the project's.
    if (archive::IsLink(QFile::encodeName(ordner).toStdString())) {
        Set(fehler, QString::fromStdString(archive::LinkText(QFile::encodeName(ordner).toStdString())));
        return false;
    }
    if (zwischenDenSchritten) zwischenDenSchritten("eintragen");

    // The row claims the number: the unique index lets only one of two clerks creating it at once have it,
    // and the other touches neither folder nor Prodat.
    std::string err;
    auto db = db::Database::Open(Fs(Datei()), db::OpenMode::Shared, &err);
    if (!db) {
        Set(fehler, QString::fromStdString(err));
        return false;
    }
    const db::Value nr = norm->toStdString();
    try {
        db->Execute("INSERT INTO PROJEKT (PrNr, PRBZ) VALUES (?, ?)",
                    db::Params().Add(nr).Add(bez.toStdString()));
    } catch (const db::DbError& e) {
        Set(fehler, (e.code() & 0xff) == 19 ? vergeben : QString::fromUtf8(e.what())); // SQLITE_CONSTRAINT
        return false;
    }
    auto zurueck = [&](const QString& text) {
        try {
            db->Execute("DELETE FROM PROJEKT WHERE PrNr = ?", db::Params().Add(nr));
        } catch (const db::DbError&) {
        }
        Set(fehler, text);
        return false;
    };
    if (!QDir().mkpath(ordner))
        return zurueck(QStringLiteral("Der Projektordner konnte nicht angelegt werden: ") + ordner);
    const QString prodat = ordner + QStringLiteral("/Prodat");
    QString warum;
    if (!QFileInfo::exists(prodat) && !SchreibeProdat(prodat, bez, &warum)) return zurueck(warum);
    nummer = *norm;
    return true;
}

} // namespace velu::outside
