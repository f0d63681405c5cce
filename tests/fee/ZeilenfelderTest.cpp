// The basic-data form, the site-supervision fee and the surcharges take a name pasted from a letter as one
// line in every field and grid cell of each of their tabs; a number field refuses it as before.
#include "Zeilenfelder.h"
#include "GrunddatTestSupport.h"
#include "fee/Parag57.h"
#include "fee/Zuschlaege.h"
#include "platform/forms/EinzeiligeFelder.h"
#include "platform/forms/MessageBox.h"

#include <QApplication>
#include <QTabWidget>

#include <gtest/gtest.h>

using namespace velu;

TEST(GrunddatZeilenfelder, EveryFieldOfEveryTabTakesAPastedNameAsOneLine) {
    forms::MessageBoxScript script;
    fee::test::FensterPositionenImTestordner();
    fee::test::FormFixture f;
    forms::EinzeiligeFelderEinrichten();
    ASSERT_TRUE(f.open(1, 1, 1, 0));
    f.form->resize(1000, 720);
    f.form->show();
    for (int tab = 0; tab < f.tabs()->count(); ++tab) {
        if (!f.tabs()->isTabEnabled(tab)) continue;
        SCOPED_TRACE(f.tabs()->tabText(tab).toStdString());
        f.tabs()->setCurrentIndex(tab);
        QApplication::processEvents();
        EXPECT_EQ(eingabe::ZeilenfelderPruefen(*f.tabs()->currentWidget()).join("\n").toStdString(), "");
    }
}

TEST(GrunddatZeilenfelder, EveryFieldOfTheFeeDialogsTakesAPastedNameAsOneLine) {
    testApp();
    forms::EinzeiligeFelderEinrichten();
    forms::MessageBoxScript script;
    fee::test::FeeDbs dbs;
    fee::Parag57 p57(*dbs.projekt);
    p57.MakeConnection(7, Currency::FromUnits(100000), std::nullopt, Currency::FromUnits(50), {}, {}, DM, DM);
    fee::Zuschlaege zu(*dbs.projekt, *dbs.stamm);
    zu.WährungsInput(DM);
    zu.Makeconection(DM, 1, 7);
    for (QWidget* d : std::initializer_list<QWidget*>{&p57, &zu}) {
        SCOPED_TRACE(d->metaObject()->className());
        d->show();
        auto* tabs = d->findChild<QTabWidget*>();
        for (int tab = 0; tab < (tabs ? tabs->count() : 1); ++tab) {
            if (tabs) tabs->setCurrentIndex(tab);
            QApplication::processEvents();
            EXPECT_EQ(eingabe::ZeilenfelderPruefen(*d).join("\n").toStdString(), "") << tab;
        }
        d->hide();
    }
}
