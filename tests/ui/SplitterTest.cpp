#include "TestApp.h"
#include "ui/avbSplitter.h"

#include <QMouseEvent>
#include <gtest/gtest.h>

using namespace velu;

namespace {

struct Host {
    QApplication& app = testApp();
    QWidget form;
    QWidget* container = new QWidget(&form);
    QWidget* bar = new QWidget(&form);
    QWidget* first = new QWidget(&form);
    QWidget* second = new QWidget(&form);
    Host(int w, int h) {
        form.resize(w + 20, h + 20);
        container->setGeometry(0, 0, w, h);
        form.show();
    }
};

void send(QWidget* w, QEvent::Type type, QPoint pos, Qt::MouseButton button, Qt::MouseButtons buttons) {
    QMouseEvent e(type, QPointF(pos), QPointF(w->mapToGlobal(pos)), button, buttons, Qt::NoModifier);
    QApplication::sendEvent(w, &e);
}

} // namespace

TEST(avbSplitterH, CreateLaysOutAtTheMiddle) {
    Host h(400, 300);
    avbSplitterH s;
    s.Create(&h.form, "", h.container, h.bar, h.first, h.second);
    EXPECT_EQ(s.Name(), "avbSplitterH");
    EXPECT_EQ(s.SplitPos(), 200);
    EXPECT_EQ(h.first->geometry(), QRect(0, 0, 199, 300));
    EXPECT_EQ(h.bar->geometry(), QRect(199, 0, 3, 300));
    EXPECT_EQ(h.second->geometry(), QRect(202, 0, 198, 300));
    EXPECT_EQ(h.first->parentWidget(), h.container);
}

TEST(avbSplitterH, DragStopsAtMinimumAndLaysOutOnRelease) {
    Host h(400, 300);
    avbSplitterH s;
    s.Create(&h.form, "SplitterH", h.container, h.bar, h.first, h.second, 272, 100, 100);
    s.SkipEnabledLeft(false);
    send(h.bar, QEvent::MouseButtonPress, {1, 10}, Qt::LeftButton, Qt::LeftButton);
    EXPECT_EQ(s.Mode(), 1);
    EXPECT_FALSE(h.first->isEnabled());
    send(h.container, QEvent::MouseMove, {390, 10}, Qt::NoButton, Qt::LeftButton);
    EXPECT_EQ(s.SplitPos(), 299);
    EXPECT_EQ(h.bar->x(), 298);
    EXPECT_EQ(h.first->width(), 271); // panes wait for the release
    send(h.container, QEvent::MouseButtonRelease, {390, 10}, Qt::LeftButton, Qt::NoButton);
    EXPECT_EQ(s.Mode(), 0);
    EXPECT_TRUE(h.first->isEnabled());
    EXPECT_EQ(h.first->width(), 298);
    EXPECT_EQ(h.second->geometry(), QRect(301, 0, 99, 300));
}

TEST(avbSplitterV, DragRealTimeAndHiddenBottomPane) {
    Host h(300, 400);
    avbSplitterV s;
    s.Create(&h.form, "SplitterV", h.container, h.bar, h.first, h.second, -1, 100, 100);
    EXPECT_EQ(s.SplitPos(), 200);
    s.DragRealTime(true);
    send(h.bar, QEvent::MouseButtonPress, {10, 1}, Qt::LeftButton, Qt::LeftButton);
    send(h.container, QEvent::MouseMove, {10, 150}, Qt::NoButton, Qt::LeftButton);
    EXPECT_EQ(h.first->geometry(), QRect(0, 0, 300, 149));
    EXPECT_EQ(h.second->geometry(), QRect(0, 152, 300, 248));
    send(h.container, QEvent::MouseButtonRelease, {10, 150}, Qt::LeftButton, Qt::NoButton);

    // The forms hide their catalogue pane this way.
    s.MinBottom(0);
    s.SplitPos(30000);
    EXPECT_EQ(s.SplitPos(), 398);
    EXPECT_EQ(h.second->height(), 0);
    EXPECT_EQ(h.first->height(), 397);
}

TEST(avbSplitterH, ProportionalResizeAndZeroContainer) {
    Host h(400, 300);
    avbSplitterH s;
    s.Create(&h.form, "", h.container, h.bar, h.first, h.second, 100);
    s.Proportional(true);
    h.container->resize(800, 300);
    EXPECT_EQ(s.SplitPos(), 200);
    h.container->resize(0, 300);
    EXPECT_FLOAT_EQ(s.ratio(), 0.25f);
    h.container->resize(400, 300);
    EXPECT_EQ(s.SplitPos(), 100);
}

TEST(avbSplitterH, CancelledPositionChangeKeepsTheBar) {
    Host h(400, 300);
    avbSplitterH s;
    s.Create(&h.form, "", h.container, h.bar, h.first, h.second, 150);
    int calls = 0;
    s.hooks.SplitPosChange = [&](SplitterBase&, int&, int&, bool& cancel) {
        ++calls;
        cancel = true;
    };
    s.SplitPos(250);
    EXPECT_EQ(s.SplitPos(), 150);
    EXPECT_EQ(calls, 1);
    EXPECT_EQ(h.bar->x(), 149);
}

TEST(avbSplitterH, ColoursAndShowSplit) {
    Host h(400, 300);
    avbSplitterH s;
    s.Create(&h.form, "", h.container, h.bar, h.first, h.second);
    s.ShowColor(0xFF0000);
    EXPECT_EQ(h.bar->palette().color(QPalette::Window), QColor(0, 0, 255));
    s.DragColor(-5);
    EXPECT_EQ(s.DragColor(), vbButtonShadow);
    s.ShowSplit(5);
    EXPECT_EQ(s.ShowSplit(), 0);
    s.ShowSplit(2);
    EXPECT_EQ(h.first->geometry(), QRect(0, 0, 400, 300));
    EXPECT_FALSE(h.second->isVisible());
    EXPECT_FALSE(h.bar->isVisible());
}

TEST(avbSplitterH, AutoSplitCollapsesAndPullsOut) {
    Host h(400, 300);
    avbSplitterH s;
    s.Create(&h.form, "", h.container, h.bar, h.first, h.second);
    s.AutoSplit(true);
    send(h.bar, QEvent::MouseButtonPress, {1, 10}, Qt::LeftButton, Qt::LeftButton);
    send(h.container, QEvent::MouseMove, {0, 10}, Qt::NoButton, Qt::LeftButton);
    send(h.container, QEvent::MouseButtonRelease, {0, 10}, Qt::LeftButton, Qt::NoButton);
    EXPECT_EQ(s.ShowSplit(), 1);
    EXPECT_FALSE(h.first->isVisible());
    EXPECT_EQ(h.second->geometry(), QRect(0, 0, 400, 300));

    send(h.second, QEvent::MouseButtonPress, {1, 10}, Qt::LeftButton, Qt::LeftButton);
    EXPECT_EQ(s.Mode(), 1);
    EXPECT_EQ(s.SplitPos(), 1);
    send(h.container, QEvent::MouseMove, {120, 10}, Qt::NoButton, Qt::LeftButton);
    send(h.container, QEvent::MouseButtonRelease, {120, 10}, Qt::LeftButton, Qt::NoButton);
    EXPECT_EQ(s.ShowSplit(), 0);
    EXPECT_EQ(h.first->geometry(), QRect(0, 0, 119, 300));
}

TEST(avbSplitterH, PaneHiddenByItsFormStaysHiddenOnLayout) {
    Host h(400, 300);
    avbSplitterH s;
    s.Create(&h.form, "", h.container, h.bar, h.first, h.second);
    h.second->hide();
    h.container->resize(500, 300);
    EXPECT_TRUE(h.second->isHidden());
    h.second->show();
    EXPECT_EQ(h.second->geometry().right(), 499); // laid out while hidden

    // A pane the split hid itself returns when the split shows it again.
    s.ShowSplit(2);
    EXPECT_TRUE(h.second->isHidden());
    s.ShowSplit(0);
    EXPECT_FALSE(h.second->isHidden());
}
