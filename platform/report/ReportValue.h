#pragma once
// A value inside the report engine. Money is kept as ten-thousandths, exactly as CURRENCY columns store it,
// so sums stay exact and are rounded only when shown.
#include <QDate>
#include <QString>
#include <cstdint>

namespace velu::report {

struct RValue {
    enum class Kind { Null, Number, Money, Text, Bool, Date };
    Kind kind = Kind::Null;
    double zahl = 0;
    int64_t geld = 0;
    QString text;
    bool wahr = false;
    QDate datum;

    static RValue Number(double z) {
        RValue v;
        v.kind = Kind::Number;
        v.zahl = z;
        return v;
    }
    static RValue Money(int64_t raw) {
        RValue v;
        v.kind = Kind::Money;
        v.geld = raw;
        return v;
    }
    static RValue Text(QString t) {
        RValue v;
        v.kind = Kind::Text;
        v.text = std::move(t);
        return v;
    }
    static RValue Bool(bool b) {
        RValue v;
        v.kind = Kind::Bool;
        v.wahr = b;
        return v;
    }
    static RValue Date(QDate d) {
        if (!d.isValid()) return {};
        RValue v;
        v.kind = Kind::Date;
        v.datum = d;
        return v;
    }
    bool IsNull() const { return kind == Kind::Null; }
    bool IsNumeric() const { return kind == Kind::Number || kind == Kind::Money; }
    double AsDouble() const { return kind == Kind::Money ? double(geld) / 10000.0 : zahl; }
};

} // namespace velu::report
