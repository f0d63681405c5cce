// The grid date picker in the project-data mask: it opens over a date row of the schedule, its answer lands
// in that row and is stored; the building project number row gets no calendar.
#include "KalenderTippen.h"
#include "TestApp.h"
#include "TestDir.h"
#include "platform/forms/Eingabemeldungen.h"
#include "platform/forms/MessageBox.h"
#include "platform/outside/DatumsWahl.h"
#include "platform/outside/Prodat.h"
#include "platform/outside/ProjektDatenMaske.h"
#include "platform/outside/ProjektUmgebung.h"
#include "ui/DatePicSSDB.h"
#include "ui/GitterDatumsWahl.h"

#include <QLineEdit>
#include <QTableWidget>
#include <gtest/gtest.h>

using namespace velu;
using namespace velu::outside;

namespace {

struct KalenderFixture : ::testing::Test {
    TestDir dir;
    QString pfad = QString::fromStdString((dir / "Prodat").string());
    void SetUp() override {
        testApp();
        RegistriereDatumsWahl();
    }
    void TearDown() override { SetzeDatumsWahl(nullptr); }
};

TEST_F(KalenderFixture, ThePickedDateLandsInItsRowAndIsStored) {
    ProjektDatenMaske m(pfad, ProjektInfo{"00000001", "", "Kita", "", ""});
    m.resize(1000, 520);
    m.show();
    auto* picker = m.findChild<DatePicSSDB*>("DatePicSSDB1");
    ASSERT_NE(picker, nullptr);
    struct Fall {
        int zeile;
        const char* datum;
        int aktion;
        const char* erwartet; // in the row afterwards
    };
    const Fall faelle[] = {
        {0, "01.02.2026", DatePicSSDB::ActionClicked, "01.02.2026"},
        {4, "02.05.2026", DatePicSSDB::ActionEnter, "02.05.2026"},
        {7, "30.09.2027", DatePicSSDB::ActionDoubleClicked, "30.09.2027"},
        {3, "01.01.2030", DatePicSSDB::ActionEscape, ""},
        {5, "01.01.2030", DatePicSSDB::ActionLostFocus, ""},
    };
    for (const Fall& f : faelle) {
        ASSERT_TRUE(m.KalenderOeffnen(f.zeile)) << f.zeile;
        EXPECT_TRUE(picker->isVisible());
        emit picker->DateAction(f.datum, f.aktion);
        EXPECT_FALSE(picker->isVisible());
        EXPECT_EQ(m.Termine()->item(f.zeile, 1)->text(), f.erwartet) << f.zeile;
    }
    EXPECT_FALSE(m.KalenderOeffnen(2)) << "the building project number is no date";
    EXPECT_FALSE(picker->isVisible());
    forms::MessageBoxScript boxen;
    ASSERT_TRUE(m.Speichern()) << boxen.LastText().toStdString();
    EXPECT_EQ(LeseProdatFeld(pfad, 163), "01.02.2026");
    EXPECT_EQ(LeseProdatFeld(pfad, 167), "02.05.2026");
    EXPECT_EQ(LeseProdatFeld(pfad, 170), "30.09.2027");
    EXPECT_EQ(LeseProdatFeld(pfad, 166), "");
}

// A date typed into the calendar of the "Baugenehmigung" cell is stored whole, or refused aloud while the
// stored date stays.
TEST_F(KalenderFixture, TypedDateIsTakenWholeOrRefused) {
    ASSERT_TRUE(SchreibeProdatFelder(pfad, {{166, "15.04.2026"}}));
    ProjektDatenMaske m(pfad, ProjektInfo{"00000001", "", "Kita", "", ""});
    m.resize(1000, 520);
    m.show();
    auto* picker = m.findChild<DatePicSSDB*>("DatePicSSDB1");
    ASSERT_NE(picker, nullptr);
    QTableWidget& t = *m.Termine();
    ASSERT_EQ(t.item(3, 0)->text(), "Baugenehmigung");
    struct Fall {
        QString getippt, danach; // in the row
        bool abgelehnt;
    } const faelle[] = {{"20.03.26", "15.04.2026", true},
                        {"200326", "15.04.2026", true},
                        {"01.02.2026", "01.02.2026", false}};
    for (const Fall& f : faelle) {
        SCOPED_TRACE(f.getippt.toStdString());
        const auto meldungen = eingabe::DatumImKalender(t, t.model()->index(3, 1), *picker, f.getippt);
        EXPECT_EQ(meldungen,
                  f.abgelehnt ? std::vector{forms::KeinDatumMeldung(f.getippt)} : std::vector<QString>{});
        EXPECT_EQ(t.item(3, 1)->text(), f.danach);
    }
    forms::MessageBoxScript boxen;
    ASSERT_TRUE(m.Speichern()) << boxen.LastText().toStdString();
    EXPECT_EQ(LeseProdatFeld(pfad, 166), "01.02.2026");
}

// scripts/screenshot projektdaten
TEST_F(KalenderFixture, Screenshot) {
    ASSERT_TRUE(SchreibeProdatFelder(pfad, {{0, "Neubau Kindertagesstätte"},
                                            {1, "Sonnenhof, Bauabschnitt 1"},
                                            {4, "Gemeinde Musterhausen"},
                                            {5, "Rathausplatz 1"},
                                            {6, "12345 Musterhausen"},
                                            {160, "Stufenweise Beauftragung"},
                                            {163, "01.02.2026"},
                                            {164, "15.04.2026"},
                                            {165, "BV 2026/0815"}}));
    ProjektDatenMaske m(pfad, ProjektInfo{"00000001", "", "Kita Sonnenhof", "", ""});
    m.resize(m.sizeHint().width(), m.sizeHint().height());
    m.show();
    ASSERT_TRUE(m.KalenderOeffnen(3));
    QApplication::processEvents();
    const QString datei = qEnvironmentVariable("VELU_SCREENSHOT");
    if (!datei.isEmpty()) EXPECT_TRUE(m.grab().save(datei));
    for (int k : {0, 1, 2, 4, 5, 6, 160})
        if (auto* e = m.Feld(k))
            EXPECT_GE(e->contentsRect().width(), e->fontMetrics().horizontalAdvance(QString(40, 'x')))
                << e->objectName().toStdString();
}

} // namespace
