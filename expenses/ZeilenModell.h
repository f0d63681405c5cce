#pragma once
// The bound-grid model of the position and expense grids: a row computation that cannot take a typed value
// (an amount beyond the money range) rejects it, and every cell of the row keeps the value it had before
// the input.
#include "platform/forms/BoundGridModel.h"

namespace velu::expenses {

class ZeilenModell : public forms::BoundGridModel {
    Q_OBJECT
public:
    using BoundGridModel::BoundGridModel;

    bool setData(const QModelIndex& index, const QVariant& value, int role = Qt::EditRole) override;
    // Called from the input callback: the input being taken is refused.
    void EingabeAblehnen() { abgelehnt_ = true; }

private:
    bool abgelehnt_ = false;
};

} // namespace velu::expenses
