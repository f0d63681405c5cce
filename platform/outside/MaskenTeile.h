#pragma once
// Pieces shared by the outside programs' masks.
#include "platform/forms/MessageBox.h"

#include <QPushButton>
#include <functional>

namespace velu::outside {

// The question before unsaved changes are left: Yes saves (and goes on only when that worked), No discards,
// Cancel stays.
inline bool AenderungenKlaeren(QWidget* owner, const QString& frage, const std::function<bool()>& speichern) {
    switch (forms::MsgBox(owner, frage, forms::MsgButtons::YesNoCancel, forms::MsgIcon::Question)) {
    case forms::MsgResult::Yes:
        return speichern();
    case forms::MsgResult::No:
        return true;
    default:
        return false;
    }
}

// A named button that Enter in the mask's fields does not press.
inline QPushButton* Knopf(QWidget* owner, const char* name, const QString& text) {
    auto* b = new QPushButton(text, owner);
    b->setObjectName(name);
    b->setAutoDefault(false);
    return b;
}

} // namespace velu::outside
