#pragma once
// Enter in a grid moves the cursor one row down, as the down-arrow key would.
//
// The move is queued behind the cell editor's own commit, which Qt also queues on Enter: moving while the
// editor is being committed closes it under the commit, and a refusal shown during the commit (a message box
// with its own event loop) would then let Qt delete the editor that the commit still uses. So the move waits
// until the editor is closed and is dropped while a message is open: after a refused value the cursor stays
// on the cell, which shows its old value again.
class QAbstractItemView;

namespace velu::forms {

void MoveDownOnEnter(QAbstractItemView& view);

} // namespace velu::forms
