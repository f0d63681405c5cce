#pragma once
// The per-user settings store: sections and keys of text values under one application name, kept by QSettings
// in an INI file. Reads never fail (a missing setting yields the given default); writes report whether the
// file could be written.
#include <QString>

#include <memory>

class QSettings;

namespace velu::settings {

class SettingsStore {
public:
    // The user's store of this program: "Zarnik " + the executable's name without extension.
    SettingsStore();
    // A store in the given INI file (tests, or a store kept elsewhere).
    explicit SettingsStore(const QString& iniPath);
    ~SettingsStore();
    SettingsStore(const SettingsStore&) = delete;
    SettingsStore& operator=(const SettingsStore&) = delete;

    // "Zarnik Velunta32" for "/opt/velunta/Velunta32" or "Velunta32.exe".
    static QString ApplicationName(const QString& executablePath);

    QString GetSetting(const QString& section, const QString& key, const QString& defaultValue = {}) const;
    bool SaveSetting(const QString& section, const QString& key, const QString& value);
    // Removes one key, or the whole section when key is empty. Removing what is not there is no error.
    bool DeleteSetting(const QString& section, const QString& key = {});

    // A number stored as text in either form the user may have ("16,5", "16.5", "1.234,5"); a missing or
    // unreadable value yields the default.
    double GetNumber(const QString& section, const QString& key, double defaultValue) const;

    QString FileName() const;

private:
    bool flush();

    std::unique_ptr<QSettings> settings_;
};

} // namespace velu::settings
