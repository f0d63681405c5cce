#include "platform/outside/IniUmgebung.h"

#include "platform/outside/ProjektListe.h"
#include "platform/settings/SettingsStore.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFileInfo>
#include <QSettings>

namespace velu::outside {

namespace {

QString Schraegstriche(QString p) {
    return p.replace('\\', '/');
}

// Absolute here or on the computer that wrote it ("C:/Buero").
bool Absolut(const QString& p) {
    return p.startsWith('/') || (p.size() >= 3 && p[0].isLetter() && p[1] == ':' && p[2] == '/');
}

bool Darin(const QString& pfad, const QString& ordner) {
    return pfad == ordner || pfad.startsWith(ordner + '/');
}

// Where the first start puts the projects and the master database below the office.
const QString ProjekteUnten = QStringLiteral("/Projekte/");
const QString StammUnten = QStringLiteral("/STD_SYS/VELUDAT32.MDB");

QString Abschnitt(const QString& buero) {
    return QStringLiteral("Buero ") + BueroSchluessel(buero);
}

} // namespace

QString BueroOrdner() {
    const QString env = qEnvironmentVariable("VELUNTA_HOME");
    if (!env.isEmpty()) return QDir::cleanPath(env);
    return QDir::homePath() + QStringLiteral("/.local/share/Velunta32");
}

QString BueroSchluessel(const QString& buero) {
    const QByteArray pfad = QFileInfo(buero).absoluteFilePath().toUtf8();
    return QString::fromLatin1(QCryptographicHash::hash(pfad, QCryptographicHash::Sha256).toHex().left(16));
}

QString ProjektOrdnerVon(const QString& projekteOrdner, const QString& nummer) {
    QString base = projekteOrdner;
    if (!base.endsWith('/')) base += '/';
    return base + nummer.trimmed().rightJustified(8, QLatin1Char('0')) + QStringLiteral(".PRO");
}

IniUmgebung::IniUmgebung(QString iniDatei, std::shared_ptr<settings::SettingsStore> eigene)
    : ini_(std::move(iniDatei)), eigene_(std::move(eigene)) {}
IniUmgebung::~IniUmgebung() = default;

QString IniUmgebung::Buero() const {
    return QDir::cleanPath(QFileInfo(ini_).absolutePath());
}

// Settings written before paths were stored relative name the office by its absolute path at that time. That
// office is known when the projects folder and the master database both lie where the first start put them
// below one folder; paths into it are then read as paths into this office, wherever it lies now. A folder of
// that name that still exists without settings of its own holds data the office put there on purpose.
QString IniUmgebung::AltesBuero() const {
    QSettings s(ini_, QSettings::IniFormat);
    const QString projekte = Schraegstriche(s.value("Umgebung/ProjekteOrdner").toString());
    const QString stamm = Schraegstriche(s.value("Pfade/VELUDATEN").toString());
    if (!Absolut(projekte) || !projekte.endsWith(ProjekteUnten) || !stamm.endsWith(StammUnten)) return {};
    const QString alt = projekte.chopped(ProjekteUnten.size());
    if (alt.isEmpty() || alt != stamm.chopped(StammUnten.size()) || alt == Buero()) return {};
    if (QFileInfo(alt).isDir() && !QFileInfo::exists(alt + QStringLiteral("/umgebung.ini"))) return {};
    return alt;
}

// The stored path as this office reaches it; empty when none is stored.
QString IniUmgebung::Gelesen(const QString& key) const {
    QSettings s(ini_, QSettings::IniFormat);
    const QString p = Schraegstriche(s.value(key).toString());
    if (p.isEmpty()) return p;
    if (!Absolut(p)) return Buero() + '/' + p;
    const QString alt = AltesBuero();
    if (!alt.isEmpty() && Darin(p, alt)) return Buero() + p.mid(alt.size());
    return p;
}

QString IniUmgebung::ProjekteOrdner() {
    QString dir = Gelesen("Umgebung/ProjekteOrdner");
    if (dir.isEmpty()) dir = Buero() + ProjekteUnten;
    if (!dir.endsWith('/')) dir += '/';
    return dir;
}

bool IniUmgebung::DateiExistiert(const QString& pfad) {
    return QFileInfo(pfad).isFile();
}

QString IniUmgebung::ProjektOrdner() {
    return ProjektOrdnerVon(ProjekteOrdner(), Aktuell().nummer);
}

QString IniUmgebung::PfadVonEinstellung(const QString& name, const QString& standard) {
    const QString p = Gelesen(QStringLiteral("Pfade/") + name);
    return p.isEmpty() ? standard : p;
}

const IniUmgebung::Projekt& IniUmgebung::Aktuell() {
    if (aktuell_) return *aktuell_;
    Projekt p;
    if (eigene_) {
        p.nummer = eigene_->GetSetting(Abschnitt(Buero()), "AktProjekt");
        p.name = eigene_->GetSetting(Abschnitt(Buero()), "AktProjektName");
    }
    if (p.nummer.isEmpty()) {
        QSettings s(ini_, QSettings::IniFormat);
        p = {s.value("Umgebung/AktProjekt").toString(), s.value("Umgebung/AktProjektName").toString()};
    }
    if (p.nummer.isEmpty())
        if (const auto liste = ProjektListe(ProjekteOrdner()).Liste(); liste && !liste->empty())
            p = {liste->front().nummer, liste->front().name};
    aktuell_ = p;
    return *aktuell_;
}

void IniUmgebung::AktProjekt(QString& a, QString& b, QString& c, QString& d, QString& e) {
    a = Aktuell().nummer;
    b = ProjektOrdner();
    c = Aktuell().name;
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
    aktuell_ = Projekt{nummer, name};
    if (!eigene_) return true;
    return eigene_->SaveSetting(Abschnitt(Buero()), "AktProjekt", nummer) &&
           eigene_->SaveSetting(Abschnitt(Buero()), "AktProjektName", name);
}

namespace {
// A path inside the office as stored: relative to it, a folder keeping its final separator.
QString Gespeichert(const QString& pfad, const QString& buero) {
    QString p = Schraegstriche(pfad);
    if (!Absolut(p)) p = QDir::current().absoluteFilePath(p) + (p.endsWith('/') ? "/" : "");
    if (!p.startsWith('/')) return p;
    const QString sauber = QDir::cleanPath(p);
    if (sauber == buero || !Darin(sauber, buero)) return p;
    return sauber.mid(buero.size() + 1) + (p.endsWith('/') ? QStringLiteral("/") : QString());
}
} // namespace

bool IniUmgebung::SetProjekteOrdner(const QString& ordner) {
    return Write("Umgebung/ProjekteOrdner", Gespeichert(ordner, Buero()));
}

bool IniUmgebung::SetPfad(const QString& name, const QString& pfad) {
    return Write("Pfade/" + name, Gespeichert(pfad, Buero()));
}

} // namespace velu::outside
