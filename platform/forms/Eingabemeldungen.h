#pragma once
// The messages that refuse a typed value, worded alike wherever a form refuses one: the value stays typed
// for correction and nothing is stored.
#include <QString>

namespace velu::forms {

// "Der Text ist 300 Zeichen lang; höchstens 255 Zeichen sind möglich."
QString TextZuLangMeldung(int laenge, int hoechstens);
// "„31.02.2026“ ist kein Datum. Bitte geben Sie das Datum als TT.MM.JJJJ ein."
QString KeinDatumMeldung(const QString& text);

} // namespace velu::forms
