#include "expenses/ZeilenModell.h"

#include <string>
#include <utility>
#include <vector>

namespace velu::expenses {

bool ZeilenModell::setData(const QModelIndex& index, const QVariant& value, int role) {
    if (!index.isValid() || role != Qt::EditRole) return BoundGridModel::setData(index, value, role);
    const int row = index.row();
    const bool warOffen = PendingRow() == row;
    std::vector<std::pair<std::string, db::Value>> vorher;
    for (const auto& c : Columns())
        vorher.emplace_back(c.field, Value(row, c.field));
    abgelehnt_ = false;
    const bool ok = BoundGridModel::setData(index, value, role);
    if (!abgelehnt_) return ok;
    abgelehnt_ = false;
    // A row without edits before the input goes back to having none, so that the new-row line is not
    // stored as an empty row.
    if (!warOffen) {
        if (PendingRow() == row) Discard();
        return false;
    }
    for (auto& [feld, wert] : vorher)
        if (Value(row, feld) != wert) SetValue(row, feld, std::move(wert));
    return false;
}

} // namespace velu::expenses
