#include "platform/settings/SettingsStore.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QLocale>
#include <QSettings>
#include <QStringList>

#include <cmath>

namespace velu::settings {

namespace {

QString executablePath() {
    if (QCoreApplication::instance()) return QCoreApplication::applicationFilePath();
    return QFileInfo(QStringLiteral("/proc/self/exe")).symLinkTarget();
}

QString path(const QString& section, const QString& key) {
    return section + QLatin1Char('/') + key;
}

} // namespace

SettingsStore::SettingsStore()
    : settings_(std::make_unique<QSettings>(QSettings::IniFormat, QSettings::UserScope,
                                            ApplicationName(executablePath()))) {}

SettingsStore::SettingsStore(const QString& iniPath)
    : settings_(std::make_unique<QSettings>(iniPath, QSettings::IniFormat)) {}

SettingsStore::~SettingsStore() = default;

QString SettingsStore::ApplicationName(const QString& executablePath) {
    return QStringLiteral("Zarnik ") + QFileInfo(executablePath).completeBaseName();
}

QString SettingsStore::GetSetting(const QString& section, const QString& key,
                                  const QString& defaultValue) const {
    if (section.isEmpty() || key.isEmpty()) return defaultValue;
    QVariant v = settings_->value(path(section, key));
    if (!v.isValid()) return defaultValue;
    // An unquoted value with commas ("16,5" edited by hand) comes back from the INI reader as a list.
    if (v.typeId() == QMetaType::QStringList) return v.toStringList().join(QLatin1Char(','));
    return v.toString();
}

bool SettingsStore::SaveSetting(const QString& section, const QString& key, const QString& value) {
    if (section.isEmpty() || key.isEmpty()) return false;
    settings_->setValue(path(section, key), value);
    return flush();
}

bool SettingsStore::DeleteSetting(const QString& section, const QString& key) {
    // An empty section would address the whole store.
    if (section.isEmpty()) return false;
    settings_->remove(key.isEmpty() ? section : path(section, key));
    return flush();
}

double SettingsStore::GetNumber(const QString& section, const QString& key, double defaultValue) const {
    QString t = GetSetting(section, key).trimmed();
    if (t.contains(QLatin1Char(','))) {
        t.remove(QLatin1Char('.')); // German grouping points before a decimal comma
        t.replace(QLatin1Char(','), QLatin1Char('.'));
    }
    bool ok = false;
    double v = QLocale::c().toDouble(t, &ok);
    return ok && std::isfinite(v) ? v : defaultValue;
}

QString SettingsStore::FileName() const {
    return settings_->fileName();
}

bool SettingsStore::flush() {
    settings_->sync();
    return settings_->status() == QSettings::NoError;
}

} // namespace velu::settings
