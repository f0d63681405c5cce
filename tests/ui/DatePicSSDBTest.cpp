#include "TestApp.h"
#include "ui/DatePicSSDB.h"

#include <QCalendarWidget>
#include <QKeyEvent>
#include <QLineEdit>
#include <QLocale>
#include <QTableView>
#include <gtest/gtest.h>
#include <vector>

using namespace velu;

namespace {

struct PickerHost {
    QApplication& app = testApp();
    QWidget form;
    QLineEdit* cell = new QLineEdit(&form);
    DatePicSSDB* picker = new DatePicSSDB(&form);
    std::vector<std::pair<QString, int>> actions;
    PickerHost()
    {
        form.resize(800, 600);
        cell->setGeometry(50, 40, 80, 20);
        form.show();
        QObject::connect(picker, &DatePicSSDB::DateAction,
                         [this](const QString& d, int a) { actions.emplace_back(d, a); });
    }
    void key(int k)
    {
        QWidget* view = picker->calendar()->findChild<QTableView*>();
        QKeyEvent e(QEvent::KeyPress, k, Qt::NoModifier);
        QApplication::sendEvent(view, &e);
    }
};

} // namespace

TEST(DatePicSSDB, DefaultsParseAsGermanWhateverTheLocale)
{
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
    PickerHost h;
    EXPECT_EQ(h.picker->MinDate(), QDate(1753, 1, 1));
    EXPECT_EQ(h.picker->MaxDate(), QDate(9999, 12, 31));
    EXPECT_EQ(h.picker->Value(), QDate::currentDate());
    QLocale::setDefault(QLocale::system());
}

TEST(DatePicSSDB, SetStartTakesTheDateOrToday)
{
    PickerHost h;
    struct Case {
        QString text, expectText;
        QDate expectValue;
    } const cases[] = {
        {"24.12.2026", "24.12.2026", QDate(2026, 12, 24)},
        {"1.2.2027", "1.2.2027", QDate(2027, 2, 1)},
        {"", DatePicSSDB::datumText(QDate::currentDate()), QDate::currentDate()},
        {"31.02.2026", DatePicSSDB::datumText(QDate::currentDate()), QDate::currentDate()},
        {"01.01.1700", "01.01.1700", QDate(1753, 1, 1)}, // clamped into the calendar's range
    };
    for (const auto& c : cases) {
        QString text = c.text;
        h.picker->SetStart(h.cell, 0, 0, text);
        EXPECT_EQ(text, c.expectText) << c.text.toStdString();
        EXPECT_EQ(h.picker->Value(), c.expectValue) << c.text.toStdString();
    }
}

TEST(DatePicSSDB, OpensUpwardsNearTheBottom)
{
    PickerHost h;
    QString text = "01.03.2026";
    h.picker->SetStart(h.cell, 0, 0, text);
    EXPECT_EQ(h.picker->pos(), QPoint(50, 40));
    h.cell->move(700, 580);
    h.picker->SetStart(h.cell, 0, 0, text);
    EXPECT_EQ(h.picker->y(), 580 - h.picker->height());
    EXPECT_LE(h.picker->x() + h.picker->width(), 800);
}

TEST(DatePicSSDB, EventCodes)
{
    PickerHost h;
    QString text = "15.06.2026";
    h.picker->SetStart(h.cell, 0, 0, text);
    h.picker->show();

    h.key(Qt::Key_Escape);
    h.key(Qt::Key_Return);
    h.key(Qt::Key_A); // other keys raise nothing
    emit h.picker->calendar()->clicked(QDate(2026, 6, 20));
    ASSERT_EQ(h.actions.size(), 3u);
    EXPECT_EQ(h.actions[0], std::make_pair(QString("15.06.2026"), -1));
    EXPECT_EQ(h.actions[1], std::make_pair(QString("15.06.2026"), 3));
    EXPECT_EQ(h.actions[2], std::make_pair(QString("20.06.2026"), 2));

    h.actions.clear();
    h.picker->setFocus();
    QApplication::processEvents();
    if (!h.picker->calendar()->isAncestorOf(QApplication::focusWidget()))
        GTEST_SKIP() << "no focus on this platform";
    h.cell->setFocus();
    ASSERT_EQ(h.actions.size(), 1u);
    EXPECT_EQ(h.actions[0].second, 1);

    // A host that hides the picker first hears nothing more.
    h.actions.clear();
    h.picker->setFocus();
    h.picker->hide();
    h.cell->setFocus();
    EXPECT_TRUE(h.actions.empty());
}
