#pragma once
// The first start on a machine: the office data folder gets the delivered master and template databases
// (in "STD_SYS"), the projects folder with Projekte.mdb and one demo project, and umgebung.ini naming them.
#include <QString>

namespace velu {

inline const QString DemoProjektNummer = QStringLiteral("00000001");
inline const QString DemoProjektName = QStringLiteral("Demoprojekt");

// Sets up buero from the delivered files in programmDaten. Each piece is made only when missing, and
// umgebung.ini is written last, so an interrupted first start is completed by the next one. Returns false
// with a German reason.
bool RichteBueroEin(const QString& buero, const QString& programmDaten, QString* fehler = nullptr);

} // namespace velu
