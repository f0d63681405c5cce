#pragma once
// Parameters bound to a statement: by name (":LfNrBeReList", written without the colon here) or by position
// (1-based, in the order added).
#include "platform/db/Value.h"

#include <string>
#include <utility>
#include <vector>

namespace velu::db {

class Params {
public:
    Params() = default;
    Params& Set(std::string name, const Value& v) {
        named_.emplace_back(std::move(name), v);
        return *this;
    }
    // By const reference: moving a by-value variant here trips g++ 12's -Wmaybe-uninitialized at -O2.
    Params& Add(const Value& v) {
        positional_.push_back(v);
        return *this;
    }
    const std::vector<std::pair<std::string, Value>>& Named() const { return named_; }
    const std::vector<Value>& Positional() const { return positional_; }

private:
    std::vector<std::pair<std::string, Value>> named_;
    std::vector<Value> positional_;
};

} // namespace velu::db
