#include "platform/report/Formate.h"

#include <climits>
#include <cmath>

namespace velu::report {

namespace {
QString Gruppiert(QString ganz) {
    for (int i = int(ganz.size()) - 3; i > 0; i -= 3)
        ganz.insert(i, QLatin1Char('.'));
    return ganz;
}

int64_t Cents(int64_t raw) {
    // As the program rounds amounts: one ten-thousandth added, then cents with halves to even; on integers so
    // no amount is bent by binary fractions.
    if (raw < INT64_MAX) ++raw;
    int64_t cents = raw / 100;
    const int64_t rest = raw % 100;
    if (rest > 50 || (rest == 50 && (cents % 2) != 0)) ++cents;
    if (rest < -50 || (rest == -50 && (cents % 2) != 0)) --cents;
    return cents;
}

QString StandardBetrag(int64_t raw) {
    const int64_t cents = Cents(raw);
    const uint64_t mag = cents < 0 ? 0 - uint64_t(cents) : uint64_t(cents);
    return (cents < 0 ? QStringLiteral("-") : QString()) + Gruppiert(QString::number(mag / 100)) +
           QLatin1Char(',') + QStringLiteral("%1").arg(mag % 100, 2, 10, QLatin1Char('0'));
}
} // namespace

int64_t AufCent(int64_t raw) {
    return Cents(raw) * 100;
}

QString DeutscheZahl(double zahl, int stellen) {
    if (!std::isfinite(zahl)) return {};
    stellen = std::clamp(stellen, 0, 10);
    const double faktor = std::pow(10.0, stellen);
    const double gerundet = std::round(zahl * faktor) / faktor;
    QString s = QString::number(std::fabs(gerundet), 'f', stellen);
    QString ganz = s, bruch;
    if (const auto p = s.indexOf(QLatin1Char('.')); p >= 0) {
        ganz = s.left(p);
        bruch = s.mid(p + 1);
    }
    QString r = Gruppiert(ganz);
    if (!bruch.isEmpty()) r += QLatin1Char(',') + bruch;
    if (gerundet < 0) r.prepend(QLatin1Char('-'));
    return r;
}

Formate Formate::Standard() {
    Formate f;
    f.betrag = StandardBetrag;
    f.zahl = DeutscheZahl;
    f.datum = [](const QDate& d) { return d.toString(QStringLiteral("dd.MM.yyyy")); };
    return f;
}

Formate Formate::Ergaenzt() const {
    Formate s = Standard(), f = *this;
    if (!f.betrag) f.betrag = s.betrag;
    if (!f.zahl) f.zahl = s.zahl;
    if (!f.datum) f.datum = s.datum;
    return f;
}

QString FormatiereWert(const RValue& v, const QString& format, int stellen, const Formate& f) {
    using K = RValue::Kind;
    if (v.IsNull()) return {};
    if (format == QLatin1String("amount") && v.IsNumeric())
        return f.betrag(v.kind == K::Money ? v.geld : int64_t(std::llround(v.zahl * 10000.0)));
    if (format == QLatin1String("number") && v.IsNumeric()) return f.zahl(v.AsDouble(), stellen);
    switch (v.kind) {
    case K::Money:
        return f.betrag(v.geld);
    case K::Number:
        if (format.isEmpty() && v.zahl == std::trunc(v.zahl) && std::fabs(v.zahl) < 1e15)
            return QString::number(int64_t(v.zahl));
        return f.zahl(v.zahl, stellen);
    case K::Text:
        return v.text;
    case K::Bool:
        return v.wahr ? QStringLiteral("Wahr") : QStringLiteral("Falsch");
    case K::Date:
        return f.datum(v.datum);
    case K::Null:
        break;
    }
    return {};
}

} // namespace velu::report
