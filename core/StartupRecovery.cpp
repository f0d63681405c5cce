#include "core/StartupRecovery.h"

#include "core/DataSwap.h"
#include "core/Datensicherung.h"
#include "platform/archive/WorkFolder.h"
#include "platform/archive/ZipArchive.h"
#include "platform/db/Database.h"
#include "platform/outside/ProjektUmgebung.h"
#include "platform/settings/SettingsStore.h"

#include <QDir>
#include <QRegularExpression>

#include <set>

namespace velu {

namespace fs = std::filesystem;

namespace {
fs::path Fs(const QString& p) {
    return fs::path(p.toStdString());
}
} // namespace

QString LetztesArchiv(settings::SettingsStore& store) {
    return store.GetSetting(QStringLiteral("Datensicherung"), QStringLiteral("Archiv"));
}

void MerkeArchiv(settings::SettingsStore& store, const QString& archiv) {
    store.SaveSetting(QStringLiteral("Datensicherung"), QStringLiteral("Archiv"), archiv);
}

void RecoverAfterCrash(outside::ProjektUmgebung& umgebung, const QString& sysPfad,
                       settings::SettingsStore* store) {
    QString projekte = umgebung.ProjekteOrdner();
    while (projekte.size() > 1 && projekte.endsWith('/'))
        projekte.chop(1);
    const fs::path projekteOrdner = Fs(projekte);
    RecoverSwap(projekteOrdner);

    // Project folders by the names of what their swaps leave: "<nr>.PRO.neu…", "<nr>.PRO.alt…", "….arbeit".
    static const QRegularExpression muster(QStringLiteral("^(.+\\.PRO)\\.(neu|alt|arbeit)"),
                                           QRegularExpression::CaseInsensitiveOption);
    std::set<fs::path> ziele;
    std::error_code ec;
    for (auto it = fs::directory_iterator(projekteOrdner, ec); !ec && it != fs::directory_iterator();
         it.increment(ec)) {
        const auto m = muster.match(QString::fromStdString(it->path().filename().string()));
        if (m.hasMatch()) ziele.insert(projekteOrdner / m.captured(1).toStdString());
    }
    // A project restore killed after its swap still gets its entry in the project list.
    for (const auto& z : ziele)
        if (const auto eintrag = LeseProjektEintragsNotiz(RecoverSwap(z)))
            TrageProjektEin(umgebung.ProjekteOrdner(), eintrag->first, eintrag->second);

    QString sys = sysPfad;
    while (sys.size() > 1 && sys.endsWith('/'))
        sys.chop(1);
    for (const auto& [einstellung, datei] : {std::pair{"VELUDATEN", "VELUDAT32.MDB"},
                                             {"VELUVORLAGE", "VELUVOR32.MDB"},
                                             {"STDBRIEF", "SERIENBRIEFE.MDB"},
                                             {"ADRESSMDB", "ZADRESS32.MDB"}}) {
        const QString p = umgebung.PfadVonEinstellung(einstellung, sys + "/" + datei);
        RecoverSwap(db::Database::ResolvePath(p.toStdString()));
    }

    archive::RemoveAbandonedWork(Fs(QDir::tempPath()), SnapshotPrefix);
    if (const QString letztes = store ? LetztesArchiv(*store) : QString(); !letztes.isEmpty())
        archive::RemoveAbandonedPartials(Fs(letztes));
}

} // namespace velu
