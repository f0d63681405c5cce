// The basic-data form takes a name pasted from a letter as one line in every field and grid cell of each of
// its tabs; pasted into a number field, the number's check sees one line.
#include "Zeilenfelder.h"
#include "GrunddatTestSupport.h"
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
