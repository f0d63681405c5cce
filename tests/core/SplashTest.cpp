#include "StartupFakes.h"

#include "core/Splash.h"

#include <QEventLoop>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QPointer>
#include <QScreen>
#include <QTimer>
#include <gtest/gtest.h>

using testing_velu::app;

TEST(Splash, PositionAndTimer) {
    app();
    struct Case {
        int left, top, sekunden;
        bool zentriert;
        int intervall;
    };
    for (const Case& c : {Case{0, 200, 5, true, 5000}, Case{120, 0, 0, true, 5000},
                          Case{120, 80, 3, false, 3000}, Case{120, 80, 60, false, 32000}}) {
        velu::frmSplash s;
        s.PosLeft = c.left;
        s.PosTop = c.top;
        s.ClockIntervall = c.sekunden;
        s.Version = "4.0.0";
        s.ProduktName = "Velunta";
        s.Action(17);
        EXPECT_EQ(s.Timer1().interval(), c.intervall);
        EXPECT_TRUE(s.Timer1().isActive());
        if (c.zentriert) {
            const QRect scr = QGuiApplication::primaryScreen()->availableGeometry();
            EXPECT_EQ(s.x(), scr.x() + (scr.width() - s.width()) / 2);
        } else {
            EXPECT_EQ(s.pos(), QPoint(c.left, c.top));
        }
        EXPECT_EQ(s.findChild<QLabel*>("lblVersion")->text(), "Version :4.0.0");
        EXPECT_EQ(s.findChild<QLabel*>("lblProductName")->text(), "Velunta");
    }
}

TEST(Splash, KeyOrTimerClosesIt) {
    app();
    QPointer<velu::frmSplash> s = velu::ShowSplash();
    ASSERT_TRUE(s);
    EXPECT_EQ(s->Timer1().interval(), 5000);
    QKeyEvent key(QEvent::KeyPress, Qt::Key_A, Qt::NoModifier);
    QApplication::sendEvent(s, &key);
    QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(!s || !s->isVisible());

    QPointer<velu::frmSplash> t = velu::ShowSplash();
    t->Timer1().setInterval(1);
    t->Timer1().start();
    QEventLoop warten;
    QObject::connect(t, &QObject::destroyed, &warten, &QEventLoop::quit);
    QTimer::singleShot(2000, &warten, &QEventLoop::quit);
    warten.exec();
    EXPECT_TRUE(!t || !t->isVisible());
}
