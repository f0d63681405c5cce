#include "core/StartupRecovery.h"

#include "core/DataSwap.h"
#include "core/Datensicherung.h"
#include "platform/archive/WorkFolder.h"
#include "platform/archive/ZipArchive.h"
#include "platform/db/Database.h"
#include "platform/forms/MessageBox.h"
#include "platform/outside/ProjektUmgebung.h"
#include "platform/settings/SettingsStore.h"

#include <QDir>
#include <QRegularExpression>
#include <QStringList>

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
    QStringList abgelehnt; // markers not followed
    auto recover = [&](const fs::path& ziel, const std::vector<fs::path>& bekannte) {
        std::string why;
        const std::string note = RecoverSwap(ziel, bekannte, &why);
        if (!why.empty()) abgelehnt << QString::fromStdString(why);
        return note;
    };
    QString projekte = umgebung.ProjekteOrdner();
    while (projekte.size() > 1 && projekte.endsWith('/'))
        projekte.chop(1);
    const fs::path projekteOrdner = Fs(projekte);
    recover(projekteOrdner, {});

    // Project folders the program restores, by their markers: "<8 digits>.PRO.arbeit".
    static const QRegularExpression muster(QStringLiteral("^([0-9]{8})\\.PRO\\.arbeit$"));
    std::set<fs::path> ziele;
    std::error_code ec;
    for (auto it = fs::directory_iterator(projekteOrdner, ec); !ec && it != fs::directory_iterator();
         it.increment(ec))
        if (muster.match(QString::fromStdString(it->path().filename().string())).hasMatch())
            ziele.insert(fs::path(it->path().string()).replace_extension());
    // A project restore killed after its swap still gets its entry in the project list, under its own number.
    for (const auto& z : ziele) {
        const auto eintrag = LeseProjektEintragsNotiz(recover(z, {}));
        if (!eintrag) continue;
        if (eintrag->first + ".PRO" == QString::fromStdString(z.filename().string()))
            TrageProjektEin(umgebung.ProjekteOrdner(), eintrag->first, eintrag->second);
        else
            abgelehnt << "Die Arbeitsnotiz zu '" + QString::fromStdString(z.string()) +
                             "' will das Projekt " + eintrag->first +
                             " in die Projektliste eintragen. Sie wurde nicht befolgt.";
    }

    QString sys = sysPfad;
    while (sys.size() > 1 && sys.endsWith('/'))
        sys.chop(1);
    std::vector<fs::path> dateien;
    for (const auto& [einstellung, datei] : {std::pair{"VELUDATEN", "VELUDAT32.MDB"},
                                             {"VELUVORLAGE", "VELUVOR32.MDB"},
                                             {"STDBRIEF", "SERIENBRIEFE.MDB"},
                                             {"ADRESSMDB", "ZADRESS32.MDB"}}) {
        const QString p = umgebung.PfadVonEinstellung(einstellung, sys + "/" + datei);
        dateien.push_back(db::Database::ResolvePath(p.toStdString()));
    }
    for (const auto& d : dateien)
        recover(d, dateien);
    if (!abgelehnt.isEmpty())
        forms::MsgBox(nullptr, abgelehnt.join("\n\n"), forms::MsgButtons::OK, forms::MsgIcon::Exclamation);

    archive::RemoveAbandonedWork(Fs(QDir::tempPath()), SnapshotPrefix);
    if (const QString letztes = store ? LetztesArchiv(*store) : QString(); !letztes.isEmpty())
        archive::RemoveAbandonedPartials(Fs(letztes));
}

} // namespace velu
