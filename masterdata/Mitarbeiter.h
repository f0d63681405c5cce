#pragma once
// The employee editor "Mitarbeiter": table Mitarbeiter in one grid, the name and the internal and external
// hourly rates in DM and euro. An employee named in invoice positions or expense records can be deleted.
#include "masterdata/StammGridDialog.h"

namespace velu::masterdata {

class Mitarbeiter : public StammGridDialog {
    Q_OBJECT
public:
    explicit Mitarbeiter(db::Database& stamm, QWidget* parent = nullptr);

    static const QString LoeschFrage;
};

} // namespace velu::masterdata
