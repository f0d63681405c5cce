#pragma once
// The rows of one query, read at once. Field names are compared without regard to case. Edits are written
// back to the base table by its key column; reads and writes never depend on a cursor position in the file.
// Edits go through the Database the recordset was opened on, which must outlive them.
#include "platform/db/Params.h"
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
    // A number compared with a column declared CURRENCY is in units and is scaled by 10000 exactly. Texts
    // compare without regard to case; a Null field matches nothing. Unparsable criteria throw DbError.
    bool FindFirst(std::string_view criteria);
    bool FindLast(std::string_view criteria);
    bool FindNext(std::string_view criteria);
    bool FindPrevious(std::string_view criteria);
    bool NoMatch() const;

    const std::vector<std::string>& FieldNames() const;
    bool HasField(std::string_view name) const;

    // Field access of the current row (of the edit buffer while editing); throws DbError for an unknown field
    // or when there is no current row. Values come as stored: a CURRENCY column gives its raw integer
    // (ten-thousandths) from every getter, so read money with GetCY. Conversions follow a VB variant: text
    // "12" gives 12, a real rounds half to even for GetInt, Null gives the default, GetBool is value != 0
    // (texts "True"/"Wahr" and "False"/"Falsch" too).
    Value Get(std::string_view field) const;
    bool IsNull(std::string_view field) const;
    int64_t GetInt(std::string_view field, int64_t def = 0) const;
    double GetDouble(std::string_view field, double def = 0) const;
    std::string GetText(std::string_view field, const std::string& def = {}) const;
    bool GetBool(std::string_view field, bool def = false) const;
    // Declared type of the field's column as written in CREATE TABLE ("CURRENCY", "TEXT", ...), empty for an
    // expression.
    std::string DeclType(std::string_view field) const;

    // Editing: Edit() on the current row or AddNew() for a new one, then Set..., then Update() writes it
    // (INSERT or UPDATE by key) and re-reads the row; CancelUpdate() drops the changes. Delete() removes the
    // current row from the table; the position stays on the gap, MoveNext goes to the row after it.
    // After Update of an AddNew the new row is appended to the rows read and becomes the current row, so its
    // key (and the defaults the table filled in) can be read from it. Moving or finding drops pending edits.
    // Editing needs a result from one base table; when the SELECT lacks the key, the rowid is read as a
    // hidden column where the query allows it (no DISTINCT, GROUP BY, aggregates or compound SELECT),
    // otherwise Edit/AddNew/Delete throw DbError.
    void Edit();
    void AddNew();
    void Set(std::string_view field, Value v);
    void SetBool(std::string_view field, bool b) { Set(field, b ? int64_t{-1} : int64_t{0}); }
    void Update();
    void CancelUpdate();
    void Delete();
    bool Editing() const;
    // Key (rowid, which is the INTEGER PRIMARY KEY where there is one) of the current row; DbError when the
    // recordset is not editable or there is no current row.
    int64_t Key() const;

    // Reads the rows again with the same SQL and parameters, keeping the position by key where possible. A
    // stored query runs under the guard of its first read; a refused or stopped one keeps the rows read
    // before and throws DbError.
    void Requery();

private:
    friend class Database;
    friend class QueryDef;
    static Recordset Open(Database& db, std::string sql, Params params);
    // Read from the stored query name: Requery runs it guarded as Database::ReadStored does.
    void SetStored(std::string name);
    struct Impl;
    std::unique_ptr<Impl> d_;
};

} // namespace velu::db
