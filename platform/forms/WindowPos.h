#pragma once
// A form's position and size in the settings store, section "WindowPos " + form name + form tag, keys "Left",
// "Top", "Height", "Width" in pixels. Left and top are the frame's position (QWidget::pos), height and width
// the client size (QWidget::size), so that a saved position restores exactly.
#include <QString>

class QWidget;

namespace velu::settings {
class SettingsStore;
}

namespace velu::forms {

// "WindowPos Grunddat", "WindowPos PrintFormKOT2". The form name is the objectName, or the class name without
// namespace for a form that has none.
QString WindowPosSection(const QWidget& form);

// Restores what is stored, a value that cannot be read as a number keeping the form's current one. Nothing is
// changed unless the resulting top-left corner lies within the available area of a screen and the size is
// positive, so a position saved on a screen that is gone does not hide the form. Returns whether it applied
// the values.
bool LoadWindowPos(QWidget& form, settings::SettingsStore& store);

// Stores the position only of a normal window (not minimised, maximised or full screen) with left and top not
// negative and no larger than its screen, so such a state never overwrites the last good position. Returns
// whether it stored.
bool SaveWindowPos(QWidget& form, settings::SettingsStore& store);

} // namespace velu::forms
