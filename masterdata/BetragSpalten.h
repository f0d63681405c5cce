#pragma once
// Amount columns of the master-data grids. Amounts are stored to four decimals (fee tables in DM as
// delivered); a cell shows two, its editor all four, so opening and leaving a cell changes nothing.
#include "platform/forms/BoundGridModel.h"

#include <QString>

namespace velu::masterdata {

// An amount column: shown "###,##0.00" followed by einheit (" €" or empty), typed German or with a point,
// up to four decimals; empty is Null; anything else gets the grid's numeric message.
forms::BoundColumn BetragSpalte(const char* feld, const QString& caption, const QString& einheit = {});

// A text column of at most laenge characters.
forms::BoundColumn TextSpalte(const char* feld, const QString& caption, int laenge);

// The grid model of these editors: the editor of an amount cell starts from the full stored value.
class StammGridModel : public forms::BoundGridModel {
public:
    using forms::BoundGridModel::BoundGridModel;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
};

} // namespace velu::masterdata
