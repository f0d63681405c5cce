#pragma once
// How the engine turns values into text. The defaults are German; the program hands in its own amount and
// date formats so a report prints an amount exactly as a document field does.
#include "platform/report/ReportValue.h"

#include <QDate>
#include <QString>
#include <functional>

namespace velu::report {

struct Formate {
    // Amount from ten-thousandths, e.g. "1.234,56" (rounded to cents, no currency sign).
    std::function<QString(int64_t raw)> betrag;
    // Number with the given decimals, German grouping, e.g. "1.234,5".
    std::function<QString(double zahl, int stellen)> zahl;
    // Date, e.g. "31.12.2024".
    std::function<QString(const QDate&)> datum;

    // German defaults for every function left empty.
    static Formate Standard();
    Formate Ergaenzt() const;
};

// An amount in ten-thousandths rounded to cents as the program rounds amounts (RundCY).
int64_t AufCent(int64_t raw);

// German number text with grouping points and a decimal comma; halves of the last place go away from zero.
QString DeutscheZahl(double zahl, int stellen);

// The value as a field of that format shows it: "amount", "number", "date", "text" (empty: by kind).
QString FormatiereWert(const RValue& v, const QString& format, int stellen, const Formate& f);

} // namespace velu::report
