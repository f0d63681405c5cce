#include "masterdata/BetragSpalten.h"

#include "core/Currency.h"
#include "core/MoneyFormat.h"

#include <QLocale>

namespace velu::masterdata {

namespace {

const QLocale& Deutsch() {
    static const QLocale l(QLocale::German, QLocale::Germany);
    return l;
}

std::optional<Currency> Betrag(const db::Value& v) {
    if (const auto* i = std::get_if<int64_t>(&v)) return Currency::FromRaw(*i);
    if (const auto* d = std::get_if<double>(&v)) return Currency::FromDouble(*d / Currency::Scale);
    return std::nullopt;
}

// At least two decimals, more only where the stored value has them.
QString Voll(Currency c) {
    QString t = Deutsch().toString(c.ToDouble(), 'f', 4);
    while (t.endsWith('0') && t.indexOf(',') >= 0 && t.size() - t.indexOf(',') > 3)
        t.chop(1);
    return t;
}

} // namespace

forms::BoundColumn BetragSpalte(const char* feld, const QString& caption, const QString& einheit) {
    forms::BoundColumn c;
    c.field = feld;
    c.caption = caption;
    c.art = forms::BoundColumn::Art::Zahl;
    // The blank before the unit does not break, as in every amount the program shows.
    QString zeichen = einheit;
    if (zeichen.startsWith(QLatin1Char(' '))) zeichen[0] = QChar(0x00A0);
    c.anzeigen = [zeichen](const db::Value& v) -> QVariant {
        const auto b = Betrag(v);
        if (!b) return QString();
        return Deutsch().toString(b->ToDouble(), 'f', 2) + zeichen;
    };
    c.lesen = [](const QString& text) -> std::optional<db::Value> {
        QString t = text.trimmed();
        if (t.isEmpty()) return db::Value();
        const auto b = ParseBetrag(t.toStdString());
        if (!b) return std::nullopt;
        return db::Value(b->Raw());
    };
    return c;
}

forms::BoundColumn TextSpalte(const char* feld, const QString& caption, int laenge) {
    forms::BoundColumn c;
    c.field = feld;
    c.caption = caption;
    c.maxLength = laenge;
    return c;
}

QVariant StammGridModel::data(const QModelIndex& index, int role) const {
    if (role == Qt::EditRole && index.isValid() && index.column() < int(Columns().size())) {
        const forms::BoundColumn& col = Columns()[size_t(index.column())];
        if (col.art == forms::BoundColumn::Art::Zahl && col.anzeigen) {
            const auto b = Betrag(Value(index.row(), col.field));
            return b ? QVariant(Voll(*b)) : QVariant(QString());
        }
    }
    return forms::BoundGridModel::data(index, role);
}

} // namespace velu::masterdata
