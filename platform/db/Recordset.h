#pragma once
// The rows of one query, read at once. Field names are compared without regard to case. Edits are written
// back to the base table by its key column; reads and writes never depend on a cursor position in the file.
#include "platform/db/Value.h"

#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace velu::db {

class Database;

class Recordset {
public:
    Recordset();
    ~Recordset();
    Recordset(Recordset&&) noexcept;
    Recordset& operator=(Recordset&&) noexcept;

    // Navigation: the current row is an index into the rows read.
    bool BOF() const;
    bool EOF_() const; // "EOF" is a macro of <cstdio>
    bool Empty() const { return RecordCount() == 0; }
    int RecordCount() const;
    void MoveFirst();
    void MoveLast();
    void MoveNext();
    void MovePrevious();
    int AbsolutePosition() const;
    void SetAbsolutePosition(int row);

    // Simple criteria: "<field> <op> <literal>" joined by AND, op one of = <> < <= > >=, literal a number
    // (" 12.5") or a quoted text ('x' or "x"). Return false and keep the position when no row matches.
    bool FindFirst(std::string_view criteria);
    bool FindLast(std::string_view criteria);
    bool FindNext(std::string_view criteria);
    bool FindPrevious(std::string_view criteria);
    bool NoMatch() const;

    const std::vector<std::string>& FieldNames() const;
    bool HasField(std::string_view name) const;

    // Field access of the current row; throws DbError for an unknown field.
    Value Get(std::string_view field) const;
    bool IsNull(std::string_view field) const;
    int64_t GetInt(std::string_view field, int64_t def = 0) const;
    double GetDouble(std::string_view field, double def = 0) const;
    std::string GetText(std::string_view field, const std::string& def = {}) const;
    bool GetBool(std::string_view field, bool def = false) const;

    // Editing: Edit() on the current row or AddNew() for a new one, then Set..., then Update() writes it
    // (INSERT or UPDATE by key) and re-reads the row; CancelUpdate() drops the changes. Delete() removes the
    // current row from the table.
    void Edit();
    void AddNew();
    void Set(std::string_view field, Value v);
    void SetBool(std::string_view field, bool b) { Set(field, b ? int64_t{-1} : int64_t{0}); }
    void Update();
    void CancelUpdate();
    void Delete();
    bool Editing() const;

    // Reads the rows again with the same SQL and parameters, keeping the position by key where possible.
    void Requery();

private:
    friend class Database;
    friend class QueryDef;
    struct Impl;
    std::unique_ptr<Impl> d_;
};

} // namespace velu::db
