#pragma once
#include <stdexcept>
#include <string>

namespace velu::db {

// A database that fails under us (I/O error, SQL that does not prepare, constraint violation). Expected
// outcomes (file missing, row not found, lock held) are return values instead.
class DbError : public std::runtime_error {
public:
    DbError(const std::string& message, int sqliteCode = 0) : std::runtime_error(message), code_(sqliteCode) {}
    int code() const { return code_; }

private:
    int code_;
};

} // namespace velu::db
