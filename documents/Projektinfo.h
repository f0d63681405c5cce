#pragma once
// The project's descriptive data as reports read it: the report header values from the current project's
// Prodat and the project environment, and the schedule dates of one project for the planning list.
#include <QString>
#include <array>

namespace velu::outside {
class ProjektUmgebung;
}

namespace velu {

// Elements 1 to 8 (0 unused), each quoted formula text: 1-3 project lines, 4-6 client lines, 7 project
// name, 8 project number.
using Projektkopf = std::array<QString, 9>;

// Lines lose their surrounding blanks; every value keeps its apostrophes, each doubled so the quoted text
// stays one text ("O'Brien" prints as typed).
Projektkopf AllProjektinfo(outside::ProjektUmgebung& umgebung);

// Values 1 to 11 = fields 160 to 170, value 12 = field 0, each trimmed; values stay as they are when the file
// does not exist.
void GetVorPlanungsdaten(outside::ProjektUmgebung& umgebung, const QString& pfad,
                         std::array<QString, 13>& werte);

} // namespace velu
