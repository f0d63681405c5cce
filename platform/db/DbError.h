#pragma once
#include <stdexcept>
#include <string>

struct sqlite3;

namespace velu::db {

// A database that fails under us (I/O error, SQL that does not prepare, constraint violation). Expected
// outcomes (file missing, row not found, lock held) are return values instead.
class DbError : public std::runtime_error {
public:
    DbError(const std::string& message, int sqliteCode = 0)
        : std::runtime_error(message), code_(sqliteCode) {}
    int code() const { return code_; }
    // Another connection held the lock longer than the busy timeout; trying again may succeed.
    bool Belegt() const { return (code_ & 0xff) == BusyCode || (code_ & 0xff) == LockedCode; }

    // What the user reads instead of SQLite's "database is locked".
    static constexpr const char* BelegtMeldung =
        "Die Daten werden gerade von einem anderen Benutzer geändert. Bitte versuchen Sie es noch einmal.";
    static constexpr int BusyCode = 5;   // SQLITE_BUSY
    static constexpr int LockedCode = 6; // SQLITE_LOCKED

    // German for the result codes whose SQLite text says nothing more than the code (a full disk, a
    // read-only file, a damaged file); empty for the others, whose text names what failed.
    static std::string Text(int sqliteCode);
    // Text, or else SQLite's own text of the code.
    static std::string CodeText(int sqliteCode);
    // Text, or else the connection's own message of its last failure (the code's text without one).
    static std::string Message(sqlite3* db, int sqliteCode);

private:
    int code_;
};

} // namespace velu::db
