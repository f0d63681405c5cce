#include "platform/forms/Eingabemeldungen.h"

namespace velu::forms {

QString TextZuLangMeldung(int laenge, int hoechstens) {
    return QStringLiteral("Der Text ist %1 Zeichen lang; höchstens %2 Zeichen sind möglich.")
        .arg(laenge)
        .arg(hoechstens);
}

QString KeinDatumMeldung(const QString& text) {
    return QStringLiteral("„") + text +
           QStringLiteral("“ ist kein Datum. Bitte geben Sie das Datum als TT.MM.JJJJ ein.");
}

} // namespace velu::forms
