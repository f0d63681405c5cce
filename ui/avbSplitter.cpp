#include "ui/avbSplitter.h"

#include <QApplication>
#include <QEvent>
#include <QMouseEvent>
#include <QPalette>
#include <algorithm>

namespace velu {

namespace {

int formButton(Qt::MouseButton button) {
    switch (button) {
    case Qt::LeftButton:
        return 1;
    case Qt::RightButton:
        return 2;
    case Qt::MiddleButton:
        return 4;
    default:
        return 0;
    }
}

int formButtons(Qt::MouseButtons buttons) {
    return (buttons & Qt::LeftButton ? 1 : 0) | (buttons & Qt::RightButton ? 2 : 0) |
           (buttons & Qt::MiddleButton ? 4 : 0);
}

int formShift(Qt::KeyboardModifiers mods) {
    return (mods & Qt::ShiftModifier ? 1 : 0) | (mods & Qt::ControlModifier ? 2 : 0) |
           (mods & Qt::AltModifier ? 4 : 0);
}

} // namespace

QColor farbeAusOle(std::int32_t colour, const QPalette& palette) {
    if (colour < 0) {
        switch (colour & 0xFF) {
        case 0x10:
            return palette.color(QPalette::Dark);
        case 0x14:
            return palette.color(QPalette::Light);
        case 0x05:
            return palette.color(QPalette::Base);
        default:
            return palette.color(QPalette::Button);
        }
    }
    return QColor(colour & 0xFF, (colour >> 8) & 0xFF, (colour >> 16) & 0xFF);
}

SplitterBase::SplitterBase(Orientation orientation, const QString& defaultName, QObject* parent)
    : QObject(parent), orientation_(orientation), name_(defaultName) {}

avbSplitterH::avbSplitterH(QObject* parent) : SplitterBase(Orientation::Horizontal, "avbSplitterH", parent) {}

avbSplitterV::avbSplitterV(QObject* parent) : SplitterBase(Orientation::Vertical, "avbSplitterV", parent) {}

void SplitterBase::create(QObject* owner, const QString& name, QWidget* container, QWidget* bar,
                          QWidget* first, QWidget* second, std::optional<int> splitPos,
                          std::optional<int> minFirst, std::optional<int> minSecond,
                          std::optional<QCursor> noDrop) {
    owner_ = owner;
    if (!name.isEmpty()) name_ = name;
    container_ = container;
    bar_ = bar;
    if (container_) {
        const QColor background = container_->parentWidget()
                                      ? container_->parentWidget()->palette().color(QPalette::Window)
                                      : farbeAusOle(vbButtonFace, container_->palette());
        QPalette pal = container_->palette();
        pal.setColor(QPalette::Window, background);
        container_->setPalette(pal);
        container_->setFocusPolicy(Qt::NoFocus);
        watch(container_);
    }
    if (bar_) {
        bar_->setAutoFillBackground(true);
        applyBarColour(showColor_);
        adoptChild(bar_);
        bar_->show();
        bar_->setCursor(orientation_ == Orientation::Horizontal ? Qt::SplitHCursor : Qt::SplitVCursor);
        bar_->setMouseTracking(true);
        cursorNoDrop_ = QCursor(Qt::ForbiddenCursor);
        watch(bar_);
    }
    first_ = first;
    second_ = second;
    adoptChild(first_);
    adoptChild(second_);
    watch(second_);
    if (splitPos) layout_.splitPos = *splitPos;
    if (minFirst) layout_.minFirst = *minFirst;
    if (minSecond) layout_.minSecond = *minSecond;
    LayoutSplit();
    if (noDrop) cursorNoDrop_ = *noDrop;
}

void SplitterBase::Destroy() {
    for (QWidget* w : {container_.data(), bar_.data(), second_.data()})
        if (w) w->removeEventFilter(this);
    cursorNoDrop_ = QCursor();
    first_ = nullptr;
    second_ = nullptr;
    bar_ = nullptr;
    container_ = nullptr;
}

void SplitterBase::adoptChild(QWidget* child) {
    if (!child || !container_ || child->parentWidget() == container_) return;
    const bool hidden = child->isHidden();
    child->setParent(container_);
    child->setVisible(!hidden);
}

void SplitterBase::watch(QWidget* widget) {
    if (widget) widget->installEventFilter(this);
}

void SplitterBase::setFirstPane(QWidget* pane) {
    first_ = pane;
    if (!inLayout_) LayoutSplit();
}

void SplitterBase::setSecondPane(QWidget* pane) {
    if (second_) second_->removeEventFilter(this);
    second_ = pane;
    watch(second_);
    if (!inLayout_) LayoutSplit();
}

void SplitterBase::SplitPos(int pos) {
    if (pos == layout_.splitPos) return;
    layout_.splitPos = pos;
    LayoutSplit();
}

void SplitterBase::setMinFirst(int value) {
    if (value == layout_.minFirst) return;
    layout_.minFirst = value;
    LayoutSplit();
}

void SplitterBase::setMinSecond(int value) {
    if (value == layout_.minSecond) return;
    layout_.minSecond = value;
    LayoutSplit();
}

void SplitterBase::setMinimums(int first, int second) {
    layout_.minFirst = first;
    layout_.minSecond = second;
    LayoutSplit();
}

void SplitterBase::ShowSplit(int value) {
    if (value == layout_.showSplit) return;
    layout_.showSplit = SplitLayout::normalisedShowSplit(value);
    LayoutSplit();
}

void SplitterBase::AutoSplit(bool on) {
    if (on == layout_.autoSplit) return;
    layout_.autoSplit = on;
    if (on) {
        if (layout_.showSplit == velu::spltLeftTop) layout_.showSplit = velu::spltRightBottom;
        if (second_) second_->setMouseTracking(true);
    } else if (layout_.showSplit == velu::spltLeftTop) {
        layout_.showSplit = velu::spltVisible;
    }
}

void SplitterBase::ENABLED(bool on) {
    enabled_ = on;
    if (!bar_) return;
    if (on) {
        bar_->setCursor(orientation_ == Orientation::Horizontal ? Qt::SplitHCursor : Qt::SplitVCursor);
        applyBarColour(showColor_);
    } else {
        bar_->unsetCursor();
        QPalette pal = bar_->palette();
        pal.setColor(QPalette::Window, container_ ? container_->palette().color(QPalette::Window)
                                                  : farbeAusOle(vbButtonFace, pal));
        bar_->setPalette(pal);
    }
}

void SplitterBase::Proportional(bool on) {
    if (on == proportional_) return;
    proportional_ = on;
    if (on) layout_.updateRatio(extent());
}

void SplitterBase::ShowColor(std::int32_t colour) {
    showColor_ = colour < 0 ? vbButtonFace : colour;
    if (mode_ == 0) applyBarColour(showColor_);
}

void SplitterBase::DragColor(std::int32_t colour) {
    dragColor_ = colour < 0 ? vbButtonShadow : colour;
    if (mode_ == 1) applyBarColour(dragColor_);
}

QCursor SplitterBase::MouseIcon() const {
    return bar_ ? bar_->cursor() : QCursor();
}

void SplitterBase::MouseIcon(const QCursor& cursor) {
    if (bar_) bar_->setCursor(cursor);
}

void SplitterBase::applyBarColour(std::int32_t colour) {
    if (!bar_) return;
    QPalette pal = bar_->palette();
    pal.setColor(QPalette::Window, farbeAusOle(colour, pal));
    bar_->setPalette(pal);
}

int SplitterBase::extent() const {
    if (!container_) return 0;
    const QRect inner = container_->contentsRect();
    return orientation_ == Orientation::Horizontal ? inner.width() : inner.height();
}

int SplitterBase::across() const {
    if (!container_) return 0;
    const QRect inner = container_->contentsRect();
    return orientation_ == Orientation::Horizontal ? inner.height() : inner.width();
}

double SplitterBase::alongIn(QWidget* widget, const QPointF& local) const {
    QPointF p = local;
    if (widget != container_ && container_) p = widget->mapTo(container_, local.toPoint());
    if (container_) p -= container_->contentsRect().topLeft();
    return orientation_ == Orientation::Horizontal ? p.x() : p.y();
}

void SplitterBase::moveBarTo(int pos) {
    if (!bar_ || !container_) return;
    const QPoint origin = container_->contentsRect().topLeft();
    const int t = SplitLayout::BarThickness;
    if (orientation_ == Orientation::Horizontal)
        bar_->setGeometry(origin.x() + pos - 1, origin.y(), t, across());
    else
        bar_->setGeometry(origin.x(), origin.y() + pos - 1, across(), t);
}

void SplitterBase::LayoutSplit() {
    const int e = extent();
    const int a = across();
    layout_.deriveShowSplit();
    if (!layout_.bothPanes()) {
        const SplitPlacement p = layout_.placement(e);
        inLayout_ = true;
        placePane(true, p.first.visible, p.first.start, p.first.size, a);
        placePane(false, p.second.visible, p.second.start, p.second.size, a);
        if (bar_) bar_->hide();
        inLayout_ = false;
        layout_.updateRatio(e);
        return;
    }
    layout_.clampPosition(e);
    if (cancel_) {
        cancel_ = false;
    } else if (layout_.splitPos != previousPos_ && hooks.SplitPosChange) {
        int next = layout_.splitPos;
        hooks.SplitPosChange(*this, previousPos_, next, cancel_);
        if (cancel_) {
            layout_.splitPos = previousPos_;
            LayoutSplit();
            return;
        }
        if (next != layout_.splitPos) {
            layout_.splitPos = next;
            layout_.clampPosition(e);
        }
    }
    // Remember the accepted position, so the hook is offered only real changes.
    previousPos_ = layout_.splitPos;
    const SplitPlacement p = layout_.placement(e);
    inLayout_ = true;
    placePane(true, p.first.visible, p.first.start, p.first.size, a);
    placePane(false, p.second.visible, p.second.start, p.second.size, a);
    inLayout_ = false;
    moveBarTo(layout_.splitPos);
    applyBarColour(showColor_);
    if (bar_) bar_->setVisible(p.barVisible);
    layout_.updateRatio(e);
}

void SplitterBase::placePane(bool firstOne, bool visible, int start, int size, int acrossSize) {
    QWidget* pane = firstOne ? first_ : second_;
    if (!pane || !container_) return;
    const auto& showHook = firstOne ? hooks.FirstBeforeShow : hooks.SecondBeforeShow;
    const auto& resizeHook = firstOne ? hooks.FirstBeforeResize : hooks.SecondBeforeResize;
    bool& hiddenBySplit = firstOne ? firstHiddenBySplit_ : secondHiddenBySplit_;
    const bool keepHidden = visible && pane->isHidden() && !hiddenBySplit;
    if (!keepHidden && visible == pane->isHidden() && showHook) showHook(*this, pane, visible);
    if (!visible && !pane->isHidden()) hiddenBySplit = true;
    if (visible) hiddenBySplit = false;
    if (visible) {
        int left, top, width, height;
        if (orientation_ == Orientation::Horizontal) {
            left = start, top = 0, width = size, height = acrossSize;
        } else {
            left = 0, top = start, width = acrossSize, height = size;
        }
        const QPoint origin = container_->contentsRect().topLeft();
        if (pane->geometry() != QRect(origin.x() + left, origin.y() + top, width, height)) {
            if (resizeHook) {
                int fixed = 0;
                if (orientation_ == Orientation::Horizontal)
                    resizeHook(*this, pane, left, fixed, width, height);
                else
                    resizeHook(*this, pane, fixed, top, width, height);
            }
            pane->setGeometry(origin.x() + left, origin.y() + top, std::max(width, 0), std::max(height, 0));
        }
    }
    if (!keepHidden) pane->setVisible(visible);
}

void SplitterBase::StartSplitDrag(double) {
    if (!container_) return;
    container_->setFocus();
    if (!skipFirst_ && first_) first_->setEnabled(false);
    if (!skipSecond_ && second_) second_->setEnabled(false);
    if (rememberedFocus_ && rememberedFocus_->isEnabled()) rememberedFocus_->setFocus();
    // Put the cursor on the bar's middle pixel, so the first move does not make the bar jump; across the
    // extent it stays where it is, kept inside the container.
    {
        const QRect inner = container_->contentsRect();
        const QPoint local = container_->mapFromGlobal(QCursor::pos());
        const int middle = layout_.splitPos;
        const QPoint target =
            orientation_ == Orientation::Horizontal
                ? QPoint(inner.left() + middle,
                         std::clamp(local.y(), inner.top(), std::max(inner.bottom(), inner.top())))
                : QPoint(std::clamp(local.x(), inner.left(), std::max(inner.right(), inner.left())),
                         inner.top() + middle);
        QCursor::setPos(container_->mapToGlobal(target));
    }
    container_->setCursor(bar_ ? bar_->cursor() : QCursor());
    if (!dragRealTime_) {
        applyBarColour(dragColor_);
        if (bar_) bar_->raise();
    }
    mode_ = 1;
    container_->grabMouse();
}

void SplitterBase::vbSplitMouseMove() {
    if (enabled_) rememberedFocus_ = QApplication::focusWidget();
}

void SplitterBase::vbMouseDown(int button, int, double pos) {
    if (enabled_ && button == 1) StartSplitDrag(pos);
}

void SplitterBase::vbMouseMove(int, int, double pos) {
    if (!enabled_ || mode_ != 1) return;
    layout_.splitPos = layout_.dragPosition(pos, extent());
    if (dragRealTime_)
        LayoutSplit();
    else
        moveBarTo(layout_.splitPos);
}

void SplitterBase::vbMouseUp(int button, int, double) {
    if (!enabled_ || button != 1) return;
    if (container_) container_->unsetCursor();
    applyBarColour(showColor_);
    LayoutSplit();
    if (bar_) bar_->lower();
    if (!skipFirst_ && first_) first_->setEnabled(true);
    if (!skipSecond_ && second_) second_->setEnabled(true);
    mode_ = 0;
    if (container_ && QWidget::mouseGrabber() == container_) container_->releaseMouse();
    if (rememberedFocus_) rememberedFocus_->setFocus();
}

void SplitterBase::vbResize() {
    if (proportional_) layout_.splitPos = layout_.proportionalPosition(extent());
    LayoutSplit();
    if (hooks.Resize) hooks.Resize(*this);
}

void SplitterBase::vbDragOver(QWidget* control, int, int, int state) {
    if (!control) return;
    if (state == 0) {
        savedDragCursor_ = control->cursor();
        control->setCursor(cursorNoDrop_);
    } else if (state == 1 && savedDragCursor_) {
        control->setCursor(*savedDragCursor_);
        savedDragCursor_.reset();
    }
}

void SplitterBase::pullFirstPaneOut() {
    enabled_ = true;
    layout_.showSplit = velu::spltVisible;
    layout_.minFirst = 1;
    layout_.splitPos = 1;
    LayoutSplit();
    StartSplitDrag(2);
}

void SplitterBase::BeginSplitDrag() {
    if (layout_.autoSplit && layout_.showSplit == velu::spltRightBottom) pullFirstPaneOut();
}

void SplitterBase::secondPaneMouseMove(double pos) {
    if (!second_) return;
    const bool atEdge =
        layout_.autoSplit && layout_.showSplit == velu::spltRightBottom && pos >= 0 && pos <= 2;
    if (atEdge) {
        if (!savedPaneCursor_) savedPaneCursor_ = second_->cursor();
        second_->setCursor(bar_ ? bar_->cursor() : QCursor());
    } else if (savedPaneCursor_) {
        second_->setCursor(*savedPaneCursor_);
        savedPaneCursor_.reset();
    }
}

void SplitterBase::secondPaneMouseDown(int button, double pos) {
    if (button != 1) return;
    if (pos >= 0 && pos <= 2 && layout_.autoSplit && layout_.showSplit == velu::spltRightBottom) {
        if (savedPaneCursor_) {
            second_->setCursor(*savedPaneCursor_);
            savedPaneCursor_.reset();
        }
        pullFirstPaneOut();
    }
}

bool SplitterBase::eventFilter(QObject* watched, QEvent* event) {
    const QEvent::Type type = event->type();
    if (watched == container_ && container_) {
        if (type == QEvent::Resize) {
            vbResize();
        } else if (type == QEvent::MouseMove) {
            auto* me = static_cast<QMouseEvent*>(event);
            vbMouseMove(formButtons(me->buttons()), formShift(me->modifiers()),
                        alongIn(container_, me->position()));
        } else if (type == QEvent::MouseButtonRelease) {
            auto* me = static_cast<QMouseEvent*>(event);
            vbMouseUp(formButton(me->button()), formShift(me->modifiers()),
                      alongIn(container_, me->position()));
        }
        return false;
    }
    if (watched == bar_ && bar_) {
        auto* me = dynamic_cast<QMouseEvent*>(event);
        if (!me) return false;
        const QPointF local = me->position();
        if (type == QEvent::MouseButtonPress) {
            vbMouseDown(formButton(me->button()), formShift(me->modifiers()),
                        orientation_ == Orientation::Horizontal ? local.x() : local.y());
            return true;
        }
        // Without a grab the moves of a drag still arrive at the bar that was pressed.
        if (type == QEvent::MouseMove) {
            if (mode_ == 1)
                vbMouseMove(formButtons(me->buttons()), formShift(me->modifiers()), alongIn(bar_, local));
            else
                vbSplitMouseMove();
            return true;
        }
        if (type == QEvent::MouseButtonRelease) {
            vbMouseUp(formButton(me->button()), formShift(me->modifiers()), alongIn(bar_, local));
            return true;
        }
        return false;
    }
    if (watched == second_ && second_ && layout_.autoSplit) {
        auto* me = dynamic_cast<QMouseEvent*>(event);
        if (!me) return false;
        const double pos = orientation_ == Orientation::Horizontal ? me->position().x() : me->position().y();
        if (type == QEvent::MouseMove) {
            secondPaneMouseMove(pos);
        } else if (type == QEvent::MouseButtonPress && pos >= 0 && pos <= 2 &&
                   layout_.showSplit == velu::spltRightBottom && me->button() == Qt::LeftButton) {
            secondPaneMouseDown(1, pos);
            return true;
        }
    }
    return false;
}

} // namespace velu
