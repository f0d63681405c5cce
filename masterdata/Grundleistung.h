#pragma once
// The basic-services catalogue editor "Grundleistung": table AufwandVerz in one grid, the phase assignment
// chosen from the drop-down "SSDBDropDown2" ("Keine Zuordnung", "Leistungsphase 1" .. "9",
// "Stundenlohnarbeiten" = 0 .. 10).
#include "masterdata/StammGridDialog.h"

#include <optional>

namespace velu::masterdata {

class Grundleistung : public StammGridDialog {
    Q_OBJECT
public:
    explicit Grundleistung(db::Database& stamm, QWidget* parent = nullptr);

    // The drop-down's text of a stored assignment, and back (the text or the number itself).
    static QString ZuordnungText(int64_t zuordnung);
    static std::optional<int64_t> ZuordnungWert(const QString& text);
};

} // namespace velu::masterdata
