#include "platform/outside/IniUmgebung.h"

#include <QDir>
#include <QFileInfo>
#include <QSettings>

namespace velu::outside {

QString BueroOrdner() {
    const QString env = qEnvironmentVariable("VELUNTA_HOME");
    if (!env.isEmpty()) return QDir::cleanPath(env);
    return QDir::homePath() + QStringLiteral("/.local/share/Velunta32");
}

QString ProjektOrdnerVon(const QString& projekteOrdner, const QString& nummer) {
    QString base = projekteOrdner;
    if (!base.endsWith('/')) base += '/';
    return base + nummer.trimmed().rightJustified(8, QLatin1Char('0')) + QStringLiteral(".PRO");
}

IniUmgebung::IniUmgebung(QString iniDatei) : ini_(std::move(iniDatei)) {}

QString IniUmgebung::ProjekteOrdner() {
    QSettings s(ini_, QSettings::IniFormat);
    QString dir = s.value("Umgebung/ProjekteOrdner").toString();
    if (dir.isEmpty()) dir = QFileInfo(ini_).absolutePath() + QStringLiteral("/Projekte/");
    dir.replace('\\', '/');
    if (!dir.endsWith('/')) dir += '/';
    return dir;
}

bool IniUmgebung::DateiExistiert(const QString& pfad) {
    return QFileInfo(pfad).isFile();
}

QString IniUmgebung::ProjektOrdner() {
    QSettings s(ini_, QSettings::IniFormat);
    return ProjektOrdnerVon(ProjekteOrdner(), s.value("Umgebung/AktProjekt").toString());
}

QString IniUmgebung::PfadVonEinstellung(const QString& name, const QString& standard) {
    QSettings s(ini_, QSettings::IniFormat);
    QString p = s.value(QStringLiteral("Pfade/") + name).toString();
    if (p.isEmpty()) return standard;
    return p.replace('\\', '/');
}

void IniUmgebung::AktProjekt(QString& a, QString& b, QString& c, QString& d, QString& e) {
    QSettings s(ini_, QSettings::IniFormat);
    a = s.value("Umgebung/AktProjekt").toString();
    b = ProjektOrdner();
    c = s.value("Umgebung/AktProjektName").toString();
    d.clear();
    e.clear();
}

bool IniUmgebung::Write(const QString& key, const QString& value) {
    QSettings s(ini_, QSettings::IniFormat);
    s.setValue(key, value);
    s.sync();
    return s.status() == QSettings::NoError;
}

bool IniUmgebung::SetAktProjekt(const QString& nummer, const QString& name) {
    QSettings s(ini_, QSettings::IniFormat);
    s.setValue("Umgebung/AktProjekt", nummer);
    s.setValue("Umgebung/AktProjektName", name);
    s.sync();
    return s.status() == QSettings::NoError;
}

bool IniUmgebung::SetProjekteOrdner(const QString& ordner) {
    return Write("Umgebung/ProjekteOrdner", ordner);
}

bool IniUmgebung::SetPfad(const QString& name, const QString& pfad) {
    return Write("Pfade/" + name, pfad);
}

} // namespace velu::outside
