// Writes a PNG of the hourly-rate invoice form when VELU_SCREENSHOT names the file (scripts/screenshot
// stdrech): an invoice entered in euro with three positions, the catalogue shown below.
#include "StdRechFixture.h"

#include <QApplication>
#include <QDir>
#include <QFileInfo>

namespace {

class StdRechScreenshot : public StdRechFixture {};

TEST_F(StdRechScreenshot, WritesPng) {
    const QString datei = qEnvironmentVariable("VELU_SCREENSHOT");
    if (datei.isEmpty()) GTEST_SKIP() << "VELU_SCREENSHOT not set";
    auto f = Oeffnen(1, 1);
    f->setWindowTitle("Stundenlohnrechnung 2026-014 Bauleitung Kita Sonnenhof");
    struct Zeile {
        const char *leistung, *menge, *satz, *mitarbeiter, *datum;
    } zeilen[] = {
        {"Bauleitung Rohbau", "12,5", "65,00", "Meier", "02.11.2026"},
        {"Ausführungszeichnungen", "8", "48,50", "Schulz", "09.11.2026"},
        {"Baustellenbesprechung", "3", "65,00", "Meier", "16.11.2026"},
    };
    velu::forms::BoundGridModel* m = f->Positionen();
    for (const Zeile& z : zeilen) {
        const int row = m->rowCount() - 1;
        ASSERT_TRUE(Tippen(*f, row, "PosNr", QString::number(row + 1)));
        ASSERT_TRUE(Tippen(*f, row, "Leistung", QString::fromUtf8(z.leistung)));
        ASSERT_TRUE(Tippen(*f, row, "Menge", z.menge));
        ASSERT_TRUE(Tippen(*f, row, "Einheit", "Std"));
        ASSERT_TRUE(Tippen(*f, row, "Satz", z.satz));
        ASSERT_TRUE(Tippen(*f, row, "Mitarbeiter", z.mitarbeiter));
        ASSERT_TRUE(Tippen(*f, row, "Datum", z.datum));
        ASSERT_TRUE(m->Commit());
    }
    EXPECT_TRUE(boxen_.Shown().empty()) << boxen_.LastText().toStdString();
    f->resize(1000, 620);
    f->show();
    QApplication::processEvents();
    f->SwitchLK(1);
    QApplication::processEvents();
    QDir().mkpath(QFileInfo(datei).absolutePath());
    ASSERT_TRUE(f->grab().save(datei));
    EXPECT_GT(QFileInfo(datei).size(), 1000);
    f->hide();
}

} // namespace
