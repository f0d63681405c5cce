#include "platform/forms/MoveDownOnEnter.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QKeyEvent>
#include <QPointer>
#include <QTimer>

namespace velu::forms {

namespace {

class EnterFilter : public QObject {
public:
    explicit EnterFilter(QAbstractItemView& view) : QObject(&view), view_(&view) {}

    bool eventFilter(QObject* watched, QEvent* event) override {
        if (watched != view_ || event->type() != QEvent::KeyPress) return false;
        const auto* k = static_cast<QKeyEvent*>(event);
        if (k->key() != Qt::Key_Return && k->key() != Qt::Key_Enter) return false;
        QPointer<QAbstractItemView> view = view_;
        QTimer::singleShot(0, view_, [view] {
            if (!view || !view->isVisible() || EditorOpen(*view)) return;
            // A message about the cell (a refused value) is still open: the cursor stays where it is.
            if (QWidget* modal = QApplication::activeModalWidget(); modal && modal != view->window()) return;
            QKeyEvent down(QEvent::KeyPress, Qt::Key_Down, Qt::NoModifier);
            QCoreApplication::sendEvent(view, &down);
        });
        return true;
    }

private:
    // A cell editor is a child of the viewport; the queued commit closes it before the move runs.
    static bool EditorOpen(const QAbstractItemView& view) {
        const QWidget* f = QApplication::focusWidget();
        return f && f != view.viewport() && view.viewport()->isAncestorOf(f);
    }

    QAbstractItemView* view_;
};

} // namespace

void MoveDownOnEnter(QAbstractItemView& view) {
    view.installEventFilter(new EnterFilter(view));
}

} // namespace velu::forms
