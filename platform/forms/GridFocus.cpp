#include "platform/forms/GridFocus.h"

#include <QAbstractItemDelegate>
#include <QAbstractItemView>

namespace velu::forms {

void KeepFocusAfterEditor(QAbstractItemView& view) {
    QAbstractItemDelegate* delegate = view.itemDelegate();
    if (!delegate) return;
    // Connected after the view's own slot, so the editor is closed by now.
    QObject::connect(delegate, &QAbstractItemDelegate::closeEditor, &view, [v = &view](QWidget* editor) {
        if (!v->isVisible()) return;
        const QWidget* f = v->window()->focusWidget();
        if (!f || f == editor || !f->isVisible() || (editor && editor->isAncestorOf(f))) v->setFocus();
    });
}

} // namespace velu::forms
