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

} // namespace velu::forms
