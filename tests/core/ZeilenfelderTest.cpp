// The core's dialogs that write what is typed (users and rights, the restored project's number and name)
// take a name pasted from a letter as one line in every field and grid cell.
#include "Zeilenfelder.h"
#include "BenutzerTestDB.h"
#include "DaSiFixture.h"
#include "TestApp.h"
#include "core/DaSiinPro.h"
#include "core/Zugangsrechte.h"
#include "platform/forms/EinzeiligeFelder.h"
#include "platform/forms/MessageBox.h"

#include <QApplication>

#include <gtest/gtest.h>

namespace {

class CoreZeilenfelder : public dasi_test::DaSiTest {};

TEST_F(CoreZeilenfelder, EveryFieldOfTheDialogsTakesAPastedNameAsOneLine) {
    testApp();
    velu::forms::EinzeiligeFelderEinrichten();
    velu::forms::MessageBoxScript boxen;
    velu::test::BenutzerDB benutzer;
    velu::Zugangsrechte rechte(benutzer.DB(), "SUPERVISOR", 8191);
    velu::DaSiinPro projekt(u);
    bool fehler = true;
    projekt.MakeConections("PROJEKT°7°Neubau Kita°05.12.2026 17:30:00", fehler);
    ASSERT_FALSE(fehler);
    for (QWidget* d : std::initializer_list<QWidget*>{&rechte, &projekt}) {
        SCOPED_TRACE(d->metaObject()->className());
        d->show();
        QApplication::processEvents();
        EXPECT_EQ(velu::eingabe::ZeilenfelderPruefen(*d).join("\n").toStdString(), "");
        d->hide();
    }
}

} // namespace
