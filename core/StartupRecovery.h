#pragma once
// At start, before any database is opened or created from the template: what a killed backup or restore
// left goes. A swap that died with the target's place empty gets its whole old data back; staged copies,
// set-aside old data, snapshots of backups and partial archives beside the last archive go, unless a running
// process still works on them.
#include <QString>

namespace velu::outside {
class ProjektUmgebung;
}
namespace velu::settings {
class SettingsStore;
}

namespace velu {

// sysPfad: the base of the default paths of the single-file data sets; store: where the archive last written
// or restored is remembered (nullptr: none).
void RecoverAfterCrash(outside::ProjektUmgebung& umgebung, const QString& sysPfad,
                       settings::SettingsStore* store);

// The archive last written or restored, empty when none is remembered.
QString LetztesArchiv(settings::SettingsStore& store);
void MerkeArchiv(settings::SettingsStore& store, const QString& archiv);

// The prefix of a backup's snapshot folders in the temporary folder.
inline constexpr const char* SnapshotPrefix = "velunta-sicherung-";

} // namespace velu
