#include "platform/db/Recordset.h"

#include "platform/db/Criteria.h"
#include "platform/db/Database.h"
#include "platform/db/DbError.h"
#include "platform/db/RecordsetShape.h"
#include "platform/db/Statement.h"
#include "platform/db/StatementCache.h"
#include "platform/db/Text.h"

#include <sqlite3.h>

#include <algorithm>
#include <cctype>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <optional>
#include <unordered_map>

namespace velu::db {

namespace {

using Column = RecordsetColumn;

const char* Or(const char* s) {
    return s ? s : "";
}

std::vector<Column> Describe(const Statement& st) {
    std::vector<Column> cols;
    sqlite3_stmt* s = st.Get();
    for (int i = 0; i < st.ColumnCount(); ++i)
        cols.push_back({Or(sqlite3_column_name(s, i)), Or(sqlite3_column_decltype(s, i)),
                        Or(sqlite3_column_table_name(s, i)), Or(sqlite3_column_origin_name(s, i)),
                        Or(sqlite3_column_database_name(s, i))});
    return cols;
}

// Words (outside quotes) of the SQL, folded, with "(" kept as its own token so "count(" can be seen.
std::vector<std::string> Words(std::string_view sql) {
    std::vector<std::string> out;
    std::string cur;
    auto flush = [&] {
        if (!cur.empty()) out.push_back(FoldCase(cur));
        cur.clear();
    };
    for (size_t i = 0; i < sql.size(); ++i) {
        char c = sql[i];
        if (c == '\'' || c == '"' || c == '[' || c == '`') {
            flush();
            char close = c == '[' ? ']' : c;
            size_t end = sql.find(close, i + 1);
            i = end == std::string_view::npos ? sql.size() : end;
            out.push_back("<quoted>");
        } else if (std::isalnum(static_cast<unsigned char>(c)) || c == '_') {
            cur += c;
        } else {
            flush();
            if (c == '(') out.push_back("(");
        }
    }
    flush();
    return out;
}

// Whether the SELECT gives one row per base-table row, so a hidden rowid column can be added in front.
bool RowPerBaseRow(std::string_view sql) {
    auto w = Words(sql);
    if (w.empty() || w[0] != "select") return false;
    static const char* const refused[] = {"distinct", "group", "union", "intersect",
                                          "except",   "over",  "window"};
    static const char* const aggregates[] = {"count", "sum", "avg", "min", "max", "total", "group_concat"};
    for (size_t i = 0; i < w.size(); ++i) {
        for (const char* r : refused)
            if (w[i] == r) return false;
        if (i + 1 < w.size() && w[i + 1] == "(")
            for (const char* a : aggregates)
                if (w[i] == a) return false;
    }
    return true;
}

std::string FormatDouble(double d) {
    char buf[32];
    std::snprintf(buf, sizeof buf, "%.15g", d);
    return buf;
}

bool IsRowidName(std::string_view s) {
    return EqualsNoCase(s, "rowid") || EqualsNoCase(s, "_rowid_") || EqualsNoCase(s, "oid");
}

// The shape of a recordset that was never opened: no fields, not editable.
const std::shared_ptr<const RecordsetShape>& NoShape() {
    static const auto none = [] {
        auto s = std::make_shared<RecordsetShape>();
        s->notEditable = "Die Datensatzgruppe liest aus keiner Tabelle und kann nicht geändert werden.";
        return std::shared_ptr<const RecordsetShape>(std::move(s));
    }();
    return none;
}

} // namespace

struct Recordset::Impl {
    Database* db = nullptr;
    Params params;
    std::string stored; // the stored query read; a requery runs under the same guard as the first read
    std::shared_ptr<const RecordsetShape> s = NoShape();
    std::vector<std::vector<Value>> rows;
    int pos = 0;
    bool noMatch = false;
    bool onGap = false; // the current row was deleted; pos is the row after it

    enum class Mode { None, Edit, Add } mode = Mode::None;
    std::vector<Value> buffer;
    std::vector<char> dirty;
    // The UPDATE of the last Update and the columns it set: a loop over rows sets the same ones each time.
    std::vector<char> updateDirty;
    std::string updateSql;

    bool HasCurrent() const { return !onGap && pos >= 0 && pos < static_cast<int>(rows.size()); }

    int Index(std::string_view field) const { return s->byName.Find(field); }
    int Require(std::string_view field) const {
        int i = Index(field);
        if (i < 0) throw DbError("Das Feld '" + std::string(field) + "' ist nicht vorhanden.");
        return i;
    }
    const std::vector<Value>& Current() const {
        if (mode != Mode::None) return buffer;
        if (!HasCurrent()) throw DbError("Kein aktueller Datensatz.");
        return rows[pos];
    }
    bool IsBase(int i) const {
        const Column& c = s->cols[i];
        return !c.table.empty() && c.table == s->table && c.schema == s->schema;
    }
    void RequireEditable() const {
        if (!s->notEditable.empty()) throw DbError(s->notEditable);
    }
    void Leave() {
        mode = Mode::None;
        buffer.clear();
        dirty.clear();
        onGap = false;
    }

    void ReadFrom(Statement& st) {
        rows.clear();
        const int n = st.ColumnCount();
        while (st.Step()) {
            std::vector<Value> row;
            row.reserve(n);
            for (int i = 0; i < n; ++i)
                row.push_back(st.Column(i));
            rows.push_back(std::move(row));
        }
    }
    void Read() {
        Statement st(db->Handle(), db->Statements(), s->sql);
        st.Bind(params);
        ReadFrom(st);
    }

    // Reads the base-table columns of the row with this key from the table; false when it is gone.
    bool Reread(int64_t key, std::vector<Value>& row) {
        Statement st(db->Handle(), db->Statements(), s->rereadSql);
        st.Bind(1, key);
        if (!st.Step()) return false;
        for (size_t k = 0; k < s->rereadCols.size(); ++k)
            row[s->rereadCols[k]] = st.Column(static_cast<int>(k));
        return true;
    }
    bool Find(std::string_view criteria, int start, bool forward);
};

namespace {

// Base table, key and field names of a statement that has been read to its end (a statement SQLite
// prepared again on its first step describes the schema as it is now).
void DescribeShape(Database& db, const Statement& st, RecordsetShape& d) {
    d.cols = Describe(st);
    // The base table: every column that comes from a table must come from the same one.
    for (const Column& c : d.cols) {
        if (c.table.empty()) continue;
        if (d.table.empty()) {
            d.table = c.table;
            d.schema = c.schema;
        } else if (c.table != d.table || c.schema != d.schema) {
            d.notEditable = "Die Datensatzgruppe liest aus mehreren Tabellen und kann nicht geändert werden.";
            break;
        }
    }
    if (d.table.empty())
        d.notEditable = "Die Datensatzgruppe liest aus keiner Tabelle und kann nicht geändert werden.";
    if (!d.notEditable.empty()) return;

    // The key is the INTEGER PRIMARY KEY, which SQLite keeps as the rowid; else the rowid itself.
    std::string ipk;
    int pkCount = 0;
    Statement info(db.Handle(), db.Statements(), "SELECT name, type, pk FROM pragma_table_info(?1, ?2)");
    info.Bind(Params().Add(d.table).Add(d.schema));
    while (info.Step()) {
        Value pk = info.Column(2);
        if (std::get<int64_t>(pk) == 0) continue;
        ++pkCount;
        Value type = info.Column(1);
        auto* t = std::get_if<std::string>(&type);
        if (t && EqualsNoCase(*t, "INTEGER")) ipk = std::get<std::string>(info.Column(0));
    }
    if (pkCount != 1) ipk.clear();
    auto isBase = [&d](const Column& c) {
        return !c.table.empty() && c.table == d.table && c.schema == d.schema;
    };
    for (size_t i = 0; i < d.cols.size(); ++i) {
        const Column& c = d.cols[i];
        if (isBase(c) &&
            ((!ipk.empty() && EqualsNoCase(c.origin, ipk)) || (ipk.empty() && IsRowidName(c.origin)))) {
            d.keyCol = static_cast<int>(i);
            break;
        }
    }
    if (d.keyCol < 0)
        d.notEditable = "Die Datensatzgruppe enthält den Schlüssel der Tabelle nicht und kann nicht geändert "
                        "werden.";
}

// The texts the edits use, built once per shape.
void PrepareEdits(RecordsetShape& d) {
    if (!d.notEditable.empty()) return;
    d.target = QuoteIdent(d.schema) + "." + QuoteIdent(d.table);
    std::string list;
    for (size_t i = 0; i < d.cols.size(); ++i) {
        const Column& c = d.cols[i];
        d.quoted.push_back(QuoteIdent(c.origin));
        if (c.table.empty() || c.table != d.table || c.schema != d.schema) continue;
        if (!list.empty()) list += ", ";
        list += static_cast<int>(i) == d.keyCol ? std::string("_rowid_") : d.quoted.back();
        d.rereadCols.push_back(static_cast<int>(i));
    }
    d.rereadSql = "SELECT " + list + " FROM " + d.target + " WHERE _rowid_ = ?1";
}

} // namespace

Recordset Recordset::Open(Database& db, std::string sql, Params params) {
    Recordset rs;
    Impl& d = *rs.d_;
    d.db = &db;
    d.params = std::move(params);
    StatementCache* cache = db.Statements();
    if (auto known = cache->Shape(sql)) {
        Statement st(db.Handle(), cache, known->sql);
        if (st.Serial() == known->serial) {
            st.Bind(d.params);
            d.ReadFrom(st);
            if (st.Reprepares() == known->reprepares) {
                d.s = std::move(known);
                return rs;
            }
        }
    }

    std::string_view tail;
    Statement st(db.Handle(), cache, sql, &tail);
    if (!st.Valid()) throw DbError("Die Abfrage ist leer.");
    if (!tail.empty() && Statement(db.Handle(), tail).Valid())
        throw DbError("Eine Datensatzgruppe liest nur eine Anweisung.");
    auto shape = std::make_shared<RecordsetShape>();
    RecordsetShape& s = *shape;
    s.sql = sql;
    st.Bind(d.params);
    d.ReadFrom(st);
    DescribeShape(db, st, s);
    const Statement* described = &st;

    std::optional<Statement> h;
    if (s.keyCol < 0 && !s.table.empty() && RowPerBaseRow(s.sql) &&
        s.notEditable.rfind("Die Datensatzgruppe enthält den Schlüssel", 0) == 0) {
        size_t at = s.sql.find_first_not_of(" \t\r\n");
        std::string hidden = "SELECT _rowid_ AS __velu_key, " + s.sql.substr(at + 6);
        bool usable = false;
        try {
            h.emplace(db.Handle(), cache, hidden);
            auto cols = Describe(*h);
            usable = !cols.empty() && cols[0].table == s.table && cols[0].schema == s.schema;
        } catch (const DbError&) {
            // e.g. an ambiguous rowid in a join: the recordset stays read-only
        }
        if (usable) {
            h->Bind(d.params);
            d.ReadFrom(*h);
            s.sql = std::move(hidden);
            s.cols = Describe(*h);
            s.hiddenKey = true;
            s.keyCol = 0;
            s.notEditable.clear();
            described = &*h;
        }
    }
    std::vector<int> columns;
    for (size_t i = s.hiddenKey ? 1 : 0; i < s.cols.size(); ++i) {
        s.names.push_back(s.cols[i].name);
        columns.push_back(static_cast<int>(i));
    }
    s.byName.Build(s.names, columns); // views into names, which stay put from here on
    PrepareEdits(s);
    s.serial = described->Serial();
    s.reprepares = described->Reprepares();
    if (s.serial != 0) cache->KeepShape(sql, shape);
    d.s = std::move(shape);
    return rs;
}

void Recordset::SetStored(std::string name) {
    d_->stored = std::move(name);
}

Recordset::Recordset() : d_(std::make_unique<Impl>()) {}
Recordset::~Recordset() = default;
Recordset::Recordset(Recordset&&) noexcept = default;
Recordset& Recordset::operator=(Recordset&&) noexcept = default;

bool Recordset::BOF() const {
    return d_->rows.empty() || d_->pos < 0;
}
bool Recordset::EOF_() const {
    return d_->rows.empty() || d_->pos >= static_cast<int>(d_->rows.size());
}
int Recordset::RecordCount() const {
    return static_cast<int>(d_->rows.size());
}

void Recordset::MoveFirst() {
    d_->Leave();
    d_->pos = 0;
}

void Recordset::MoveLast() {
    d_->Leave();
    d_->pos = static_cast<int>(d_->rows.size()) - 1;
}

void Recordset::MoveNext() {
    if (d_->onGap) {
        d_->Leave();
        return;
    }
    if (EOF_()) throw DbError("Kein aktueller Datensatz.");
    d_->Leave();
    ++d_->pos;
}

void Recordset::MovePrevious() {
    if (d_->onGap) {
        d_->Leave();
        --d_->pos;
        return;
    }
    if (BOF()) throw DbError("Kein aktueller Datensatz.");
    d_->Leave();
    --d_->pos;
}

int Recordset::AbsolutePosition() const {
    return d_->HasCurrent() ? d_->pos : -1;
}

void Recordset::SetAbsolutePosition(int row) {
    if (row < 0 || row >= RecordCount()) throw DbError("Ungültige Datensatzposition.");
    d_->Leave();
    d_->pos = row;
}

bool Recordset::Impl::Find(std::string_view criteria, int start, bool forward) {
    Impl& d = *this;
    auto crit = ParseCriteria(criteria);
    std::vector<int> index;
    std::vector<bool> currency;
    for (const Criterion& c : crit) {
        index.push_back(d.Require(c.field));
        currency.push_back(EqualsNoCase(d.s->cols[index.back()].decl, "CURRENCY"));
    }
    const int n = static_cast<int>(d.rows.size());
    for (int i = start; i >= 0 && i < n; i += forward ? 1 : -1) {
        bool all = true;
        for (size_t k = 0; k < crit.size() && all; ++k)
            all = Matches(crit[k], d.rows[i][index[k]], currency[k]);
        if (all) {
            d.Leave();
            d.pos = i;
            d.noMatch = false;
            return true;
        }
    }
    d.noMatch = true;
    return false;
}

bool Recordset::FindFirst(std::string_view criteria) {
    return d_->Find(criteria, 0, true);
}
bool Recordset::FindLast(std::string_view criteria) {
    return d_->Find(criteria, RecordCount() - 1, false);
}
bool Recordset::FindNext(std::string_view criteria) {
    int start = d_->onGap ? d_->pos : std::max(d_->pos + 1, 0);
    return d_->Find(criteria, start, true);
}
bool Recordset::FindPrevious(std::string_view criteria) {
    int start = std::min(d_->pos - 1, RecordCount() - 1);
    return d_->Find(criteria, start, false);
}
bool Recordset::NoMatch() const {
    return d_->noMatch;
}

const std::vector<std::string>& Recordset::FieldNames() const {
    return d_->s->names;
}
bool Recordset::HasField(std::string_view name) const {
    return d_->Index(name) >= 0;
}

Value Recordset::Get(std::string_view field) const {
    int i = d_->Require(field);
    return d_->Current()[i];
}

bool Recordset::IsNull(std::string_view field) const {
    return db::IsNull(Get(field));
}

int64_t Recordset::GetInt(std::string_view field, int64_t def) const {
    Value v = Get(field);
    if (auto* i = std::get_if<int64_t>(&v)) return *i;
    double d = 0;
    if (auto* p = std::get_if<double>(&v)) {
        d = *p;
    } else if (auto* t = std::get_if<std::string>(&v)) {
        Decimal dec;
        if (!ParseDecimal(*t, dec)) return def;
        if (dec.scale == 0 && dec.mantissa >= INT64_MIN && dec.mantissa <= INT64_MAX)
            return static_cast<int64_t>(dec.mantissa);
        d = GetDouble(field, 0);
    } else {
        return def;
    }
    if (!std::isfinite(d) || std::fabs(d) >= 9.2e18) return def;
    return static_cast<int64_t>(std::nearbyint(d)); // rounds half to even, as VB does
}

double Recordset::GetDouble(std::string_view field, double def) const {
    Value v = Get(field);
    if (auto* i = std::get_if<int64_t>(&v)) return static_cast<double>(*i);
    if (auto* d = std::get_if<double>(&v)) return *d;
    if (auto* t = std::get_if<std::string>(&v)) {
        Decimal dec;
        if (!ParseDecimal(*t, dec)) return def;
        std::string s(*t);
        size_t start = s.find_first_not_of(" \t");
        double out = def;
        if (s[start] == '+') ++start;
        std::from_chars(s.data() + start, s.data() + s.size(), out);
        return out;
    }
    return def;
}

std::string Recordset::GetText(std::string_view field, const std::string& def) const {
    Value v = Get(field);
    if (auto* i = std::get_if<int64_t>(&v)) return std::to_string(*i);
    if (auto* d = std::get_if<double>(&v)) return FormatDouble(*d);
    if (auto* t = std::get_if<std::string>(&v)) return *t;
    if (auto* b = std::get_if<Blob>(&v)) return std::string(b->begin(), b->end());
    return def;
}

bool Recordset::GetBool(std::string_view field, bool def) const {
    Value v = Get(field);
    if (auto* i = std::get_if<int64_t>(&v)) return *i != 0;
    if (auto* d = std::get_if<double>(&v)) return *d != 0;
    if (auto* t = std::get_if<std::string>(&v)) {
        if (EqualsNoCase(*t, "true") || EqualsNoCase(*t, "wahr")) return true;
        if (EqualsNoCase(*t, "false") || EqualsNoCase(*t, "falsch")) return false;
        Decimal dec;
        if (ParseDecimal(*t, dec)) return dec.mantissa != 0;
    }
    return def;
}

std::string Recordset::DeclType(std::string_view field) const {
    return d_->s->cols[d_->Require(field)].decl;
}

void Recordset::Edit() {
    d_->RequireEditable();
    if (!d_->HasCurrent()) throw DbError("Kein aktueller Datensatz.");
    d_->buffer = d_->rows[d_->pos];
    d_->dirty.assign(d_->s->cols.size(), 0);
    d_->mode = Impl::Mode::Edit;
}

void Recordset::AddNew() {
    d_->RequireEditable();
    d_->buffer.assign(d_->s->cols.size(), Value{});
    d_->dirty.assign(d_->s->cols.size(), 0);
    d_->mode = Impl::Mode::Add;
}

void Recordset::Set(std::string_view field, Value v) {
    if (d_->mode == Impl::Mode::None)
        throw DbError("Der Datensatz wird nicht bearbeitet (Edit oder AddNew fehlt).");
    int i = d_->Require(field);
    if (!d_->IsBase(i)) throw DbError("Das Feld '" + std::string(field) + "' kann nicht geändert werden.");
    d_->buffer[i] = std::move(v);
    d_->dirty[i] = 1;
}

void Recordset::Update() {
    Impl& d = *d_;
    if (d.mode == Impl::Mode::None)
        throw DbError("Der Datensatz wird nicht bearbeitet (Edit oder AddNew fehlt).");
    const RecordsetShape& s = *d.s;
    std::vector<int> set; // the hidden key is never set
    for (size_t i = 0; i < s.cols.size(); ++i)
        if (d.dirty[i]) set.push_back(static_cast<int>(i));
    auto bindSet = [&](Statement& st) {
        for (size_t k = 0; k < set.size(); ++k)
            st.Bind(static_cast<int>(k) + 1, d.buffer[set[k]]);
    };
    sqlite3* h = d.db->Handle();
    int64_t key = 0;
    if (d.mode == Impl::Mode::Add) {
        std::string sql = "INSERT INTO " + s.target;
        if (set.empty()) {
            sql += " DEFAULT VALUES";
        } else {
            std::string cols, marks;
            for (size_t k = 0; k < set.size(); ++k) {
                cols += (k ? ", " : "") + s.quoted[set[k]];
                marks += k ? ", ?" : "?";
            }
            sql += " (" + cols + ") VALUES (" + marks + ")";
        }
        Statement st(h, d.db->Statements(), sql);
        bindSet(st);
        st.Step();
        key = sqlite3_last_insert_rowid(h);
    } else {
        key = std::get<int64_t>(d.rows[d.pos][s.keyCol]);
        if (!set.empty()) {
            if (d.updateSql.empty() || d.updateDirty != d.dirty) {
                std::string sets;
                for (size_t k = 0; k < set.size(); ++k)
                    sets += (k ? ", " : "") + s.quoted[set[k]] + " = ?";
                d.updateSql = "UPDATE " + s.target + " SET " + sets + " WHERE _rowid_ = ?";
                d.updateDirty = d.dirty;
            }
            Statement st(h, d.db->Statements(), d.updateSql);
            bindSet(st);
            st.Bind(static_cast<int>(set.size()) + 1, d.rows[d.pos][s.keyCol]);
            st.Step();
            if (sqlite3_changes(h) == 0) throw DbError("Der Datensatz wurde inzwischen gelöscht.");
            // A changed key moves the row.
            if (d.dirty[s.keyCol])
                if (auto* k = std::get_if<int64_t>(&d.buffer[s.keyCol])) key = *k;
        }
    }
    std::vector<Value> row = std::move(d.buffer);
    d.Reread(key, row);
    if (d.mode == Impl::Mode::Add) {
        d.rows.push_back(std::move(row));
        d.pos = static_cast<int>(d.rows.size()) - 1;
    } else {
        d.rows[d.pos] = std::move(row);
    }
    d.Leave();
}

void Recordset::CancelUpdate() {
    d_->mode = Impl::Mode::None;
    d_->buffer.clear();
    d_->dirty.clear();
}

void Recordset::Delete() {
    Impl& d = *d_;
    d.RequireEditable();
    if (d.mode != Impl::Mode::None) CancelUpdate();
    if (!d.HasCurrent()) throw DbError("Kein aktueller Datensatz.");
    Statement st(d.db->Handle(), "DELETE FROM " + d.s->target + " WHERE _rowid_ = ?1");
    st.Bind(1, d.rows[d.pos][d.s->keyCol]);
    st.Step();
    d.rows.erase(d.rows.begin() + d.pos);
    d.onGap = true;
}

bool Recordset::Editing() const {
    return d_->mode != Impl::Mode::None;
}

int64_t Recordset::Key() const {
    d_->RequireEditable();
    if (!d_->HasCurrent()) throw DbError("Kein aktueller Datensatz.");
    const Value& v = d_->rows[d_->pos][d_->s->keyCol];
    if (auto* i = std::get_if<int64_t>(&v)) return *i;
    throw DbError("Der Datensatz hat keinen Schlüssel.");
}

void Recordset::Requery() {
    Impl& d = *d_;
    std::optional<Value> key;
    if (d.s->keyCol >= 0 && d.HasCurrent()) key = d.rows[d.pos][d.s->keyCol];
    d.Leave();
    // A failed or stopped read keeps the rows read before.
    std::vector<std::vector<Value>> vorher = std::move(d.rows);
    try {
        if (d.stored.empty())
            d.Read();
        else
            d.db->RunStored(d.stored, d.s->sql, true, [&d] { d.Read(); });
    } catch (...) {
        d.rows = std::move(vorher);
        throw;
    }
    d.pos = 0;
    if (key)
        for (size_t i = 0; i < d.rows.size(); ++i)
            if (d.rows[i][d.s->keyCol] == *key) d.pos = static_cast<int>(i);
}

} // namespace velu::db
