#pragma once
// After a cell editor closes, the keyboard stays with its grid.
//
// A message shown while the editor is committed (a refused value) takes the window's focus; when the editor
// closes before the window has it back, Qt leaves the window without a focus widget and the next keys typed
// are lost. The grid takes the focus whenever the closed editor held it or the window has none left.
class QAbstractItemView;

namespace velu::forms {

// For the view's own item delegate; call again after setItemDelegate.
void KeepFocusAfterEditor(QAbstractItemView& view);

} // namespace velu::forms
