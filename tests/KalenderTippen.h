#pragma once
// Typing into an open calendar as a clerk does: each key goes where the focus of the calendar's window is
// at that moment, and the closing key follows at once.
#include "platform/forms/MessageBox.h"

#include <QAbstractItemView>
#include <QTest>
#include <QWidget>
#include <gtest/gtest.h>

#include <vector>

namespace velu::eingabe {

inline QWidget* KalenderFokus(QWidget& kalender) {
    QWidget* f = kalender.window()->focusWidget();
    return f ? f : &kalender;
}

inline void KalenderTippen(QWidget& kalender, const QString& text, Qt::Key schluss = Qt::Key_Return) {
    for (const QChar c : text)
        QTest::keyClick(KalenderFokus(kalender), c.toLatin1());
    QTest::keyClick(KalenderFokus(kalender), schluss);
}

// A double click on a grid's date cell, the text typed into the calendar that opens and Enter at once. A
// calendar still open afterwards must hold the text for correction; Esc then closes it. Gives the messages
// shown meanwhile.
inline std::vector<QString> DatumImKalender(QAbstractItemView& grid, const QModelIndex& zelle,
                                            QWidget& kalender, const QString& text) {
    forms::MessageBoxScript boxen;
    EXPECT_TRUE(QTest::qWaitForWindowExposed(grid.window()));
    // As the window system delivers a double click: press, release, double click, release.
    const QPoint p = grid.visualRect(zelle).center();
    QTest::mouseClick(grid.viewport(), Qt::LeftButton, {}, p);
    QTest::mouseDClick(grid.viewport(), Qt::LeftButton, {}, p);
    QTest::mouseRelease(grid.viewport(), Qt::LeftButton, {}, p);
    EXPECT_TRUE(kalender.isVisible());
    KalenderTippen(kalender, text);
    if (kalender.isVisible()) {
        EXPECT_EQ(KalenderFokus(kalender)->property("text").toString(), text);
        QTest::keyClick(KalenderFokus(kalender), Qt::Key_Escape);
        EXPECT_FALSE(kalender.isVisible());
    }
    std::vector<QString> texte;
    for (const auto& e : boxen.Shown())
        texte.push_back(e.text);
    return texte;
}

} // namespace velu::eingabe
