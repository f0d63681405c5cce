#pragma once
// The formula language of report templates: numbers, '…' texts (a doubled quote is one quote),
// {Alias.Field}, {@Formula}, + - * /, &, = <> < <= > >=, and/or/not, x in [a, b], if-then-else and the
// functions ToText, Trim, IsNull, Choose, Sum and RundCY. Keywords and function names ignore case.
#include "platform/report/Formate.h"
#include "platform/report/ReportValue.h"

#include <QString>
#include <functional>
#include <memory>
#include <vector>

namespace velu::report {

struct Node;

// How deep a formula may nest (brackets, if-then-else, not, signs, chains of operators): deeper ones do not
// parse (20503). Evaluation, where formulas call formulas, stops at its own limit (20507).
inline constexpr int MaxFormelTiefe = 256;
inline constexpr int MaxAuswertungsTiefe = 1024;
// The longest text a formula may make: a text doubled formula by formula would fill the memory.
inline constexpr int MaxTextLaenge = 1 << 20;

// Where a formula failed to parse: 1-based character position and a German reason.
struct ParseFehler {
    int position = 0;
    QString text;
};

// A failure while evaluating (wrong types, division by zero, overflow, unknown name).
struct AuswertungsFehler {
    int position = 0;
    QString text;
};

// What evaluation reads: the fields of the current row and the report's formulas.
class AuswertungsKontext {
public:
    virtual ~AuswertungsKontext() = default;
    virtual RValue Feld(const QString& alias, const QString& feld, int position) = 0;
    virtual RValue Formel(const QString& name, int position) = 0;
    virtual const Formate& Formats() = 0;
    // Sum(value, group): value summed over the rows of the current row's group (level from 1; 0: all rows).
    // This default, for contexts without rows to sum over, fails.
    virtual RValue Summe(int gruppe, const std::function<RValue()>& wert, int position);
};

class Expression {
public:
    Expression();
    ~Expression();
    Expression(Expression&&) noexcept;
    Expression& operator=(Expression&&) noexcept;

    // An empty or blank text parses to an expression without a tree (Empty()). On a syntax error *fehler gets
    // its position (from 1) and the result is empty too.
    static Expression Parse(const QString& text, ParseFehler* fehler);

    bool Empty() const { return !wurzel_; }
    const QString& Text() const { return text_; }
    // Throws AuswertungsFehler. An empty expression gives Null.
    RValue Eval(AuswertungsKontext& k) const;

    // Every {Alias.Field} (formel false) and {@Name} (formel true) with its position.
    void Namen(
        const std::function<void(const QString& alias, const QString& name, bool formel, int pos)>& f) const;

    // Every Sum call: its group (0 without one), position and how many Sum calls enclose it.
    void Summen(const std::function<void(int gruppe, int pos, int tiefe)>& f) const;

private:
    QString text_;
    std::unique_ptr<Node> wurzel_;
};

// True for a value that counts as "yes" in a selection (Null does not).
bool IstWahr(const RValue& v);

} // namespace velu::report
