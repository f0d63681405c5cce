#pragma once
// A line edit with a maximum length drops what does not fit without a word. With this hint, typing past the
// limit or pasting a longer text shows beside the field how many characters it takes, so no text is cut
// unnoticed.
#include <QString>

class QLineEdit;

namespace velu::forms {

void ShowTextLimitHint(QLineEdit& edit);

// The hint's text for a field of that length.
QString TextLimitHintText(int maxLength);

// For a field that takes any text and whose form refuses one that is too long when it stores it: as soon as
// the typed text grows past the limit, the refusal shows beside the field.
void ShowLengthLimit(QLineEdit& edit, int hoechstens);
// The refusal of a field's text longer than hoechstens, naming the field ("Bezeichnung:\nDer Text ist …");
// empty when the text fits.
QString LaengeFehler(const QString& feld, const QString& text, int hoechstens);

} // namespace velu::forms
