#pragma once
// The question before unsaved changes are left: Yes saves (and goes on only when that worked), No discards,
// Cancel stays.
#include "platform/forms/MessageBox.h"

#include <functional>

namespace velu::outside {

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

} // namespace velu::outside
