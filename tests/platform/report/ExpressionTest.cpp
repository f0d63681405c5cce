// The formula language on a fixed row: literals, operators, Null handling, functions, errors with position.
#include "platform/report/Expression.h"

#include <gtest/gtest.h>

#include <map>

using namespace velu::report;

namespace {

class Zeile : public AuswertungsKontext {
public:
    Zeile() {
        felder_["t.nr"] = RValue::Number(42);
        felder_["t.typ"] = RValue::Text("A");
        felder_["t.betrag"] = RValue::Money(100050); // 10,0050
        felder_["t.leer"] = RValue{};
        felder_["t.name"] = RValue::Text("  Müller  ");
        Formel_("_InWaehrung", "0");
        Formel_("Doppelt", "{t.nr} * 2");
        Formel_("Schleife", "{@Schleife} + 1");
    }
    RValue Feld(const QString& alias, const QString& feld, int pos) override {
        const auto it = felder_.find((alias + "." + feld).toLower());
        if (it == felder_.end()) throw AuswertungsFehler{pos, "unbekannt"};
        return it->second;
    }
    RValue Formel(const QString& name, int pos) override {
        const auto it = formeln_.find(name);
        if (it == formeln_.end() || ++tiefe_ > 20) throw AuswertungsFehler{pos, "unbekannt"};
        RValue v = it->second.Eval(*this);
        --tiefe_;
        return v;
    }
    const Formate& Formats() override { return f_; }

private:
    void Formel_(const QString& name, const QString& text) {
        ParseFehler pf;
        formeln_.emplace(name, Expression::Parse(text, &pf));
    }
    std::map<QString, RValue> felder_;
    std::map<QString, Expression> formeln_;
    Formate f_ = Formate::Standard();
    int tiefe_ = 0;
};

// The value as text, with its kind, so a test sees both.
QString Zeige(const RValue& v) {
    switch (v.kind) {
    case RValue::Kind::Null:
        return "null";
    case RValue::Kind::Number:
        return "n:" + QString::number(v.zahl);
    case RValue::Kind::Money:
        return "m:" + QString::number(v.geld);
    case RValue::Kind::Text:
        return "t:" + v.text;
    case RValue::Kind::Bool:
        return v.wahr ? "true" : "false";
    case RValue::Kind::Date:
        return "d:" + v.datum.toString(Qt::ISODate);
    }
    return {};
}

QString Werte(const QString& text) {
    ParseFehler pf;
    const Expression e = Expression::Parse(text, &pf);
    if (pf.position > 0) return QString("parse@%1").arg(pf.position);
    Zeile z;
    try {
        return Zeige(e.Eval(z));
    } catch (const AuswertungsFehler& f) {
        return QString("eval@%1").arg(f.position);
    }
}

} // namespace

TEST(ExpressionTest, EvaluatesTheLanguage) {
    const std::pair<const char*, const char*> faelle[] = {
        // literals and texts: a doubled quote is one quote
        {"'O''Brien'", "t:O'Brien"},
        {"''", "t:"},
        {"'a' & 'b' & 3", "t:ab3"},
        {"'x' & {t.leer}", "t:x"},
        {"1 + 2 * 3", "n:7"},
        {"(1 + 2) * 3", "n:9"},
        {"-{t.nr} + 2", "n:-40"},
        {"7 / 2", "n:3.5"},
        // money stays exact
        {"{t.betrag} + {t.betrag} + {t.betrag}", "m:300150"},
        {"{t.betrag} * 2", "m:200100"},
        {"{t.betrag} - 1", "m:90050"},
        // comparisons and in
        {"{t.nr} <= 42", "true"},
        {"{t.nr} < 42", "false"},
        {"{t.nr} <> 41", "true"},
        {"{t.typ} in ['A', 'V']", "true"},
        {"not ({t.typ} in ['B', 'V'])", "true"},
        {"{t.nr} in []", "false"},
        {"{t.betrag} = 10.005", "true"},
        {"{t.betrag} > 10", "true"},
        // a number against a formula "0"
        {"{@_InWaehrung} = 0", "true"},
        {"{@_InWaehrung} = 1", "false"},
        {"{@Doppelt}", "n:84"},
        // Null: comparisons stay unknown, and/or decide where they can
        {"{t.leer} = 1", "null"},
        {"not ({t.leer} = 1)", "null"},
        {"{t.leer} = 1 and false", "false"},
        {"{t.leer} = 1 or true", "true"},
        {"{t.leer} + 1", "null"},
        {"IsNull({t.leer})", "true"},
        {"isnull({t.nr})", "false"},
        // if-then-else, also on an unknown condition
        {"if {t.nr} > 40 then 'groß' else 'klein'", "t:groß"},
        {"if {t.leer} = 1 then 'ja' else 'nein'", "t:nein"},
        {"IF true THEN 1 ELSE 2", "n:1"},
        // functions
        {"Trim({t.name})", "t:Müller"},
        {"ToText(1234.5)", "t:1.234,50"},
        {"ToText(1234.5, 0)", "t:1.235"},
        {"ToText({t.betrag})", "t:10,01"},
        {"ToText({t.leer})", "t:"},
        {"Choose(2, 'a', 'b', 'c')", "t:b"},
        {"Choose(4, 'a', 'b', 'c')", "null"},
        {"Choose(0, 'a')", "null"},
        // RundCY: cents as the program rounds (one ten-thousandth added, halves to even), so rows add up
        {"RundCY({t.betrag})", "m:100100"},
        {"RundCY({t.betrag} - 0.0051)", "m:100000"},
        {"RundCY(0 - {t.betrag})", "m:-100000"},
        {"RundCY({t.leer})", "null"},
        {"RundCY(1.5)", "eval@1"},
        {"RundCY({t.betrag}, 2)", "parse@1"},
        // evaluation errors carry the operator's position
        {"1 / 0", "eval@3"},
        {"'a' < 1", "eval@5"},
        {"{t.typ} * 2", "eval@9"},
        {"{@Schleife}", "eval@1"},
        {"{x.y}", "eval@1"},
        {"1 + Sum({t.betrag}, 1)", "eval@5"},
        // syntax errors carry their position
        {"'O'Brien'", "parse@4"},
        {"1 +", "parse@4"},
        {"{t.nr", "parse@1"},
        {"{t}", "parse@1"},
        {"{@}", "parse@1"},
        {"if 1 then 2", "parse@12"},
        {"Foo(1)", "parse@1"},
        {"Trim(1, 2)", "parse@1"},
        {"IsNull(1)", "parse@8"},
        {"1 # 2", "parse@3"},
        {"'offen", "parse@1"},
        {"(1 + 2", "parse@7"},
        {"{t.nr} in ['A' 'B']", "parse@16"},
        // Sum takes a whole group level from 1, written as a number
        {"Sum({t.betrag}, 0)", "parse@17"},
        {"Sum({t.betrag}, 1.5)", "parse@17"},
        {"Sum({t.betrag}, {t.nr})", "parse@17"},
        {"Sum(1, 2, 3)", "parse@1"},
        {"Sum()", "parse@5"},
    };
    for (const auto& [text, erwartet] : faelle)
        EXPECT_EQ(Werte(text).toStdString(), erwartet) << text;
}

TEST(ExpressionTest, ListsEveryNameWithItsPosition) {
    ParseFehler pf;
    const Expression e = Expression::Parse("{BeReList.LfNr} + {@Summe} & {a.b}", &pf);
    ASSERT_EQ(pf.position, 0);
    QStringList namen;
    e.Namen([&](const QString& alias, const QString& name, bool formel, int pos) {
        namen << QString("%1|%2|%3|%4").arg(alias, name).arg(formel).arg(pos);
    });
    EXPECT_EQ(namen, QStringList({"BeReList|LfNr|0|1", "|Summe|1|19", "a|b|0|30"}));
    EXPECT_TRUE(Expression::Parse("   ", &pf).Empty());
    EXPECT_EQ(pf.position, 0);
}
