#include "platform/db/RecordsetShape.h"

namespace velu::db {

void FieldIndex::Build(const std::vector<std::string>& names, const std::vector<int>& columns) {
    size_t size = 8;
    while (size < 2 * names.size())
        size *= 2;
    slots_.assign(size, Slot{0, -1, {}});
    for (size_t i = 0; i < names.size(); ++i) {
        const size_t h = FoldedHash{}(names[i]);
        for (size_t at = h & (size - 1);; at = (at + 1) & (size - 1)) {
            Slot& s = slots_[at];
            if (s.column < 0) {
                s = Slot{h, columns[i], names[i]};
                break;
            }
            if (s.hash == h && FoldedEqual{}(s.name, names[i])) break;
        }
    }
}

int FieldIndex::Find(std::string_view name) const {
    if (slots_.empty()) return -1;
    const size_t h = FoldedHash{}(name);
    const size_t mask = slots_.size() - 1;
    for (size_t at = h & mask;; at = (at + 1) & mask) {
        const Slot& s = slots_[at];
        if (s.column < 0) return -1;
        if (s.hash == h && FoldedEqual{}(s.name, name)) return s.column;
    }
}

} // namespace velu::db
