#include "platform/forms/BoundGridModel.h"

#include "platform/forms/MessageBox.h"
#include "platform/forms/TextLimitHint.h"

#include <QApplication>
#include <QLocale>
#include <QWidget>

#include <cmath>

namespace velu::forms {

const QString BoundGridModel::NumerischMeldung = QStringLiteral("Die Eingabe muss nummerisch sein");
const QString BoundGridModel::LoeschFrage = QStringLiteral("Soll diese Zeile gelöscht werden");

namespace {

// Field names are compared without regard to case.
std::string Schluessel(std::string_view field) {
    std::string s(field);
    for (char& c : s)
        if (c >= 'A' && c <= 'Z') c = char(c - 'A' + 'a');
    return s;
}

bool GleichesFeld(std::string_view a, std::string_view b) {
    return Schluessel(a) == Schluessel(b);
}

const QLocale& Deutsch() {
    static const QLocale l(QLocale::German, QLocale::Germany);
    return l;
}

} // namespace

BoundColumn FlagSpalte(std::string field, QString caption) {
    BoundColumn c;
    c.field = std::move(field);
    c.caption = std::move(caption);
    c.anzeigen = [](const db::Value& v) -> QVariant {
        if (db::IsNull(v)) return QString(); // the new-row line
        const auto* i = std::get_if<int64_t>(&v);
        return i && *i != 0 ? QStringLiteral("Ja") : QStringLiteral("Nein");
    };
    c.lesen = [](const QString& text) -> std::optional<db::Value> {
        const QString t = text.trimmed().toLower();
        if (t.isEmpty() || t == "nein" || t == "0") return db::Value(db::False);
        if (t == "ja" || t == "-1" || t == "1") return db::Value(db::True);
        return std::nullopt;
    };
    return c;
}

BoundGridModel::BoundGridModel(db::Recordset rs, std::vector<BoundColumn> columns, QObject* parent)
    : QAbstractTableModel(parent), rs_(std::move(rs)), columns_(std::move(columns)),
      zeilen_(rs_.RecordCount()) {}

void BoundGridModel::SetNeueZeile(bool an) {
    if (an == neueZeile_) return;
    beginResetModel();
    neueZeile_ = an;
    endResetModel();
}

int BoundGridModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : StoredRows() + (neueZeile_ ? 1 : 0);
}

int BoundGridModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : int(columns_.size());
}

int BoundGridModel::StoredRows() const {
    return zeilen_;
}

bool BoundGridModel::IsNewRowLine(int row) const {
    return neueZeile_ && row == StoredRows();
}

bool BoundGridModel::Position(int row) const {
    if (row < 0 || row >= StoredRows() || row >= rs_.RecordCount()) return false;
    rs_.SetAbsolutePosition(row);
    return true;
}

db::Value BoundGridModel::Value(int row, std::string_view field) const {
    if (row == pendingRow_) {
        auto it = pending_.find(Schluessel(field));
        if (it != pending_.end()) return it->second;
    }
    if (!Position(row)) return {};
    return rs_.Get(field);
}

QVariant BoundGridModel::Anzeige(const BoundColumn& col, const db::Value& v) const {
    if (col.anzeigen) return col.anzeigen(v);
    if (const auto* s = std::get_if<std::string>(&v)) return QString::fromStdString(*s);
    if (const auto* i = std::get_if<int64_t>(&v)) return QString::number(*i);
    if (const auto* d = std::get_if<double>(&v))
        return Deutsch().toString(*d, 'f', QLocale::FloatingPointShortest);
    return QString();
}

std::optional<db::Value> BoundGridModel::Lesen(const BoundColumn& col, const QString& roh,
                                               QString& meldung) const {
    meldung.clear();
    if (col.lesen) {
        auto v = col.lesen(roh);
        if (!v && col.ablehnung) meldung = col.caption + ":\n" + col.ablehnung(roh);
        return v;
    }
    const QString text = roh.trimmed();
    switch (col.art) {
    case BoundColumn::Art::Text:
        if (col.maxLength > 0 && roh.size() > col.maxLength) {
            meldung = LaengeFehler(col.caption, roh, col.maxLength);
            return std::nullopt;
        }
        return db::Value(roh.toStdString());
    case BoundColumn::Art::Ganzzahl: {
        if (text.isEmpty()) return db::Value();
        bool ok = false;
        qlonglong n = Deutsch().toLongLong(text, &ok);
        if (!ok) n = QLocale::c().toLongLong(text, &ok);
        return ok ? std::optional<db::Value>(int64_t(n)) : std::nullopt;
    }
    case BoundColumn::Art::Zahl: {
        if (text.isEmpty()) return db::Value();
        bool ok = false;
        double d = Deutsch().toDouble(text, &ok);
        if (!ok) d = QLocale::c().toDouble(text, &ok);
        return ok && std::isfinite(d) ? std::optional<db::Value>(d) : std::nullopt;
    }
    }
    return std::nullopt;
}

QVariant BoundGridModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.column() >= int(columns_.size())) return {};
    const BoundColumn& col = columns_[size_t(index.column())];
    // Amounts and other decimal numbers line up on the right, as in the form's amount fields.
    if (role == Qt::TextAlignmentRole)
        return col.art == BoundColumn::Art::Zahl ? QVariant(int(Qt::AlignRight | Qt::AlignVCenter))
                                                 : QVariant();
    if (role != Qt::DisplayRole && role != Qt::EditRole) return {};
    return Anzeige(col, Value(index.row(), col.field));
}

QVariant BoundGridModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (role != Qt::DisplayRole) return {};
    if (orientation == Qt::Horizontal)
        return section >= 0 && section < int(columns_.size()) ? QVariant(columns_[size_t(section)].caption)
                                                              : QVariant();
    return IsNewRowLine(section) ? QVariant(QStringLiteral("*")) : QVariant();
}

bool BoundGridModel::Aenderbar(int row) const {
    if (IsNewRowLine(row)) return true;
    return !cb_.zeileAenderbar || cb_.zeileAenderbar(row);
}

Qt::ItemFlags BoundGridModel::flags(const QModelIndex& index) const {
    if (!index.isValid()) return Qt::NoItemFlags;
    Qt::ItemFlags f = Qt::ItemIsSelectable | Qt::ItemIsEnabled;
    if (!columns_[size_t(index.column())].readOnly && Aenderbar(index.row())) f |= Qt::ItemIsEditable;
    return f;
}

bool BoundGridModel::setData(const QModelIndex& index, const QVariant& value, int role) {
    if (!index.isValid() || role != Qt::EditRole || !(flags(index) & Qt::ItemIsEditable)) return false;
    const BoundColumn& col = columns_[size_t(index.column())];
    // Passing through the new-row line (Tab, a click, an editor closed empty) types nothing into it.
    if (IsNewRowLine(index.row()) && pendingRow_ != index.row() && value.toString().trimmed().isEmpty())
        return true;
    QString meldung;
    const auto v = Lesen(col, value.toString(), meldung);
    behalten_ = !v && !meldung.isEmpty();
    if (!v) {
        Melden(behalten_ ? meldung : numerisch_);
        return false;
    }
    if (!SetValue(index.row(), col.field, *v)) return false;
    if (cb_.nachEingabe) cb_.nachEingabe(index.row(), index.column());
    return true;
}

int BoundGridModel::ColumnOf(std::string_view field) const {
    for (size_t i = 0; i < columns_.size(); ++i)
        if (GleichesFeld(columns_[i].field, field)) return int(i);
    return -1;
}

void BoundGridModel::SetColumnVisible(int column, bool visible) {
    if (column >= 0 && column < int(columns_.size())) columns_[size_t(column)].visible = visible;
}

bool BoundGridModel::SetValue(int row, std::string_view field, db::Value v) {
    if (row < 0 || row >= rowCount()) return false;
    if (pendingRow_ >= 0 && pendingRow_ != row && !Commit()) return false;
    pendingRow_ = row;
    pending_[Schluessel(field)] = std::move(v);
    const int c = ColumnOf(field);
    if (c >= 0) emit dataChanged(index(row, c), index(row, c));
    return true;
}

void BoundGridModel::Discard() {
    if (pendingRow_ < 0) return;
    const int row = pendingRow_;
    pendingRow_ = -1;
    pending_.clear();
    if (!columns_.empty()) emit dataChanged(index(row, 0), index(row, int(columns_.size()) - 1));
}

bool BoundGridModel::Commit() {
    if (pendingRow_ < 0) return true;
    const int row = pendingRow_;
    if (cb_.zeilePruefen) {
        if (auto meldung = cb_.zeilePruefen(row)) {
            Melden(*meldung);
            Discard();
            return false;
        }
    }
    const bool neu = IsNewRowLine(row);
    if (neu && NurLeer()) {
        // Typed and cleared again: no row for nothing.
        Discard();
        return true;
    }
    const int vorher = rs_.RecordCount();
    try {
        if (neu)
            rs_.AddNew();
        else {
            Position(row);
            rs_.Edit();
        }
        // Set in the recordset's own spelling of each field.
        for (const auto& name : rs_.FieldNames()) {
            auto it = pending_.find(Schluessel(name));
            if (it != pending_.end()) rs_.Set(name, it->second);
        }
        if (cb_.schluesselFuellen) cb_.schluesselFuellen(rs_, neu);
        rs_.Update();
    } catch (const db::DbError& e) {
        if (rs_.Editing()) rs_.CancelUpdate();
        if (neu && rs_.RecordCount() != vorher) Requery();
        Melden(cb_.speicherFehler ? cb_.speicherFehler(e) : QString::fromUtf8(e.what()));
        Discard();
        return false;
    }
    pendingRow_ = -1;
    pending_.clear();
    if (neu && neueZeile_) {
        // The added row took the new-row line's place; a fresh new-row line follows it.
        beginInsertRows({}, zeilen_ + 1, zeilen_ + 1);
        zeilen_ = rs_.RecordCount();
        endInsertRows();
    }
    if (!columns_.empty()) emit dataChanged(index(row, 0), index(row, int(columns_.size()) - 1));
    emit zeileGespeichert(row);
    return true;
}

bool BoundGridModel::DeleteRow(int row) {
    if (row < 0 || row >= StoredRows()) {
        // The new-row line: deleting it only drops what was typed there.
        if (IsNewRowLine(row) && pendingRow_ == row) Discard();
        return false;
    }
    if (!Aenderbar(row)) return false;
    if (cb_.vorLoeschen && !cb_.vorLoeschen(row)) return false;
    if (loeschfrage_ && !Fragen(LoeschFrage)) return false;
    if (pendingRow_ == row)
        Discard();
    else if (pendingRow_ >= 0 && !Commit())
        return false;
    const int vorher = rs_.RecordCount();
    try {
        Position(row);
        rs_.Delete();
    } catch (const db::DbError& e) {
        Melden(cb_.speicherFehler ? cb_.speicherFehler(e) : QString::fromUtf8(e.what()));
        return false;
    }
    beginRemoveRows({}, row, row);
    if (rs_.RecordCount() == vorher) rs_.Requery();
    zeilen_ = rs_.RecordCount();
    endRemoveRows();
    return true;
}

void BoundGridModel::Requery() {
    beginResetModel();
    pendingRow_ = -1;
    pending_.clear();
    rs_.Requery();
    zeilen_ = rs_.RecordCount();
    endResetModel();
}

bool BoundGridModel::NurLeer() const {
    for (const auto& [feld, v] : pending_) {
        if (db::IsNull(v)) continue;
        const auto* t = std::get_if<std::string>(&v);
        if (!t || !QString::fromStdString(*t).trimmed().isEmpty()) return false;
    }
    return true;
}

void BoundGridModel::Melden(const QString& text) const {
    if (cb_.melden)
        cb_.melden(text);
    else
        MsgCritical(QApplication::activeWindow(), text);
}

bool BoundGridModel::Fragen(const QString& text) const {
    if (cb_.fragen) return cb_.fragen(text);
    return MsgBox(QApplication::activeWindow(), text, MsgButtons::YesNo, MsgIcon::Question, {}, 1) ==
           MsgResult::Yes;
}

} // namespace velu::forms
