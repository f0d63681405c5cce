#include "fee/Pauschal.h"
#include "FeeTestSupport.h"
#include "TestApp.h"
#include "platform/forms/MessageBox.h"
#include "platform/forms/ToolBand.h"

#include <QApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>

#include <gtest/gtest.h>

namespace velu::fee {
namespace {

using test::C;

class PauschalDialog : public ::testing::Test {
protected:
    void SetUp() override { testApp(); }

    // Section 1 with a lump sum of 10 DM, sections 2 and 3 without; table fees 1000 DM in each.
    std::unique_ptr<Pauschal> Dialog(WaehrungCode berechnung, WaehrungCode anzeige, int16_t abschnitte = 3) {
        auto d = std::make_unique<Pauschal>();
        const Abschnitte<Currency> pausch{Currency{}, C("10"), C("0"), C("0")};
        const Abschnitte<Currency> alDispPausch{Currency{}, C("5.1129"), C("0"), C("0")};
        const Abschnitte<Currency> tafel{Currency{}, C("1000"), C("1000"), C("1000")};
        const Abschnitte<Currency> alDispTafel{Currency{}, C("511.29"), C("511.29"), C("511.29")};
        d->LoadPausch(pausch, alDispPausch, alDispTafel, tafel, berechnung, anzeige, abschnitte);
        d->show();
        return d;
    }
    static QLineEdit* Feld(Pauschal& d, const char* name, int i) {
        return d.findChild<QLineEdit*>(QString("%1_%2").arg(name).arg(i));
    }
    static Abschnitte<Currency> Pausch(const Pauschal& d) {
        Abschnitte<Currency> p{}, t{};
        d.GetPausch(p, t);
        return p;
    }
    static Abschnitte<Currency> Twin(const Pauschal& d) {
        Abschnitte<Currency> p{}, t{};
        d.GetPausch(p, t);
        return t;
    }

    forms::MessageBoxScript boxen;
};

TEST_F(PauschalDialog, OkRightAfterTypingTakesEuroAmountIntoDMCalculation) {
    auto d = Dialog(DM, EUR);
    EXPECT_EQ(d->windowTitle(), "Pauschalhonorar");
    EXPECT_EQ(Feld(*d, "XtraText2", 0)->text(), QString::fromUtf8("5,11\u00a0€"));
    EXPECT_EQ(Feld(*d, "XtraText1", 0)->text(), QString::fromUtf8("511,29\u00a0€"));
    EXPECT_TRUE(Feld(*d, "XtraText1", 0)->isReadOnly());
    Feld(*d, "XtraText2", 0)->setFocus();
    Feld(*d, "XtraText2", 0)->setText("100");
    ASSERT_TRUE(d->ActiveBar().Click("OK"));
    EXPECT_EQ(d->result(), QDialog::Accepted);
    EXPECT_EQ(d->ActiveBar().Tag(), "X");
    EXPECT_EQ(Pausch(*d)[1], C("195.58"));
    EXPECT_EQ(Twin(*d)[1], C("99.9985"));
    EXPECT_EQ(Feld(*d, "XtraText2", 0)->text(), QString::fromUtf8("100,00\u00a0€"));
    EXPECT_TRUE(boxen.Shown().empty());
}

TEST_F(PauschalDialog, SwitchingDisplayNeverRoundsTheStoredAmount) {
    auto d = Dialog(DM, DM);
    Feld(*d, "XtraText2", 1)->setText("1234,567");
    ASSERT_TRUE(d->calcwährung(1));
    EXPECT_EQ(Feld(*d, "XtraText2", 1)->text(), "1.234,57\u00a0DM");
    ASSERT_TRUE(d->ActiveBar().Click("EUR"));
    EXPECT_TRUE(d->ActiveBar().Checked("Band1", "EUR"));
    EXPECT_FALSE(d->ActiveBar().Checked("Band1", "DM"));
    EXPECT_EQ(Feld(*d, "XtraText2", 1)->text(), QString::fromUtf8("631,22\u00a0€"));
    EXPECT_EQ(Feld(*d, "XtraText1", 1)->text(), QString::fromUtf8("511,29\u00a0€"));
    // The currency tools act when already checked; a shown amount left alone is not taken over again.
    ASSERT_TRUE(d->ActiveBar().Click("EUR"));
    ASSERT_TRUE(d->ActiveBar().Click("DM"));
    ASSERT_TRUE(d->ActiveBar().Click("OK"));
    EXPECT_EQ(Pausch(*d)[2], C("1234.567"));
    EXPECT_EQ(Twin(*d)[2], C("631.2241"));
    EXPECT_EQ(Pausch(*d)[1], C("10"));
}

TEST_F(PauschalDialog, EnterMovesOnAndBadEntriesAreRefused) {
    auto d = Dialog(EUR, DM);
    d->activateWindow();
    QApplication::processEvents();
    QLineEdit* f0 = Feld(*d, "XtraText2", 0);
    f0->setFocus();
    f0->setText("195,58");
    QKeyEvent enter(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier);
    QApplication::sendEvent(f0, &enter);
    EXPECT_EQ(QApplication::focusWidget(), Feld(*d, "XtraText2", 1));
    EXPECT_EQ(Pausch(*d)[1], C("100"));
    EXPECT_EQ(Twin(*d)[1], C("195.583"));
    EXPECT_EQ(f0->text(), "195,58\u00a0DM");
    // With the focus in a field, a command's focus round trip refuses a bad entry once, then takes a good
    // one.
    QLineEdit* f1 = Feld(*d, "XtraText2", 1);
    f1->setText("x");
    EXPECT_FALSE(d->ActiveBar().Click("OK"));
    ASSERT_EQ(boxen.Shown().size(), 1u);
    EXPECT_EQ(boxen.Shown()[0].text, "Die Eingabe muss nummerisch sein");
    EXPECT_EQ(boxen.Shown()[0].title, "Pauschalhonorar");
    EXPECT_TRUE(d->isVisible());
    EXPECT_EQ(d->ActiveBar().Tag(), "");
    EXPECT_EQ(f1->text(), "0,00\u00a0DM");
    EXPECT_EQ(Pausch(*d)[2], C("0"));
    EXPECT_EQ(QApplication::focusWidget(), f1);
    f1->setText("1,96");
    EXPECT_TRUE(d->ActiveBar().Click("OK"));
    EXPECT_EQ(Pausch(*d)[2], C("1"));
    EXPECT_EQ(Twin(*d)[2], C("1.9558"));
}

TEST_F(PauschalDialog, RowsOfSectionsNotInUse) {
    auto d = Dialog(DM, DM, 2);
    d->BeschrifteZeile(1, "Gebäude");
    d->BeschrifteZeile(2, "Freianlagen");
    d->VerbergeZeile(3);
    EXPECT_EQ(d->findChild<QLabel*>("Label1_0")->text(), QString::fromUtf8("Grundhonorar Gebäude"));
    EXPECT_EQ(d->findChild<QLabel*>("Label2_1")->text(), "Pauschalhonorar Freianlagen");
    for (const char* name : {"Label1_2", "Label2_2", "XtraText1_2", "XtraText2_2"}) {
        SCOPED_TRACE(name);
        EXPECT_TRUE(d->findChild<QWidget*>(name)->isHidden());
    }
    EXPECT_FALSE(Feld(*d, "XtraText2", 1)->isHidden());
    // Only the sections in use receive values.
    EXPECT_EQ(Feld(*d, "XtraText2", 1)->text(), "0,00\u00a0DM");
    EXPECT_EQ(Feld(*d, "XtraText2", 2)->text(), "");
    EXPECT_EQ(Feld(*d, "XtraText1", 2)->text(), "");
}

TEST_F(PauschalDialog, LeavingWithoutOk) {
    struct Fall {
        const char* name;
        void (*verlassen)(Pauschal&);
        QString tag;
    } faelle[] = {
        {"EXIT", [](Pauschal& d) { d.ActiveBar().Click("EXIT"); }, ""},
        {"Esc",
         [](Pauschal& d) {
             QKeyEvent esc(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
             QApplication::sendEvent(&d, &esc);
         },
         ""},
        {"close box keeps the tag", [](Pauschal& d) { d.close(); }, "alt"},
    };
    for (const auto& f : faelle) {
        SCOPED_TRACE(f.name);
        auto d = Dialog(DM, DM);
        d->ActiveBar().SetTag("alt");
        f.verlassen(*d);
        EXPECT_FALSE(d->isVisible());
        EXPECT_EQ(d->result(), QDialog::Rejected);
        EXPECT_EQ(d->ActiveBar().Tag(), f.tag);
    }
}

} // namespace
} // namespace velu::fee
