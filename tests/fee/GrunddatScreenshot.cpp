// Writes a PNG of the basic-data form on a computed calculation when VELU_SCREENSHOT names the file
// (scripts/screenshot grunddat).
#include "GrunddatTestSupport.h"

#include "fee/Zuschlaege.h"
#include "platform/forms/MessageBox.h"

#include <QApplication>
#include <QDir>
#include <QFileInfo>

#include <gtest/gtest.h>

using namespace velu;

TEST(GrunddatScreenshot, WritesPng) {
    const QString datei = qEnvironmentVariable("VELU_SCREENSHOT");
    if (datei.isEmpty()) GTEST_SKIP() << "VELU_SCREENSHOT not set";
    forms::MessageBoxScript script;
    fee::test::FensterPositionenImTestordner();
    fee::test::FormFixture f;
    f.form->setWindowTitle("Grunddaten 2024-001 Neubau Kindertagesstätte");
    // A euro invoice under § 34 with the DIN 276 cost plan and two cost groups filled in.
    ASSERT_TRUE(f.open(1, 1, 1, 0));
    f.tabs()->setCurrentIndex(1);
    f.form->ToolClick("KX1");
    forms::BoundGridModel* m = f.kostenModel();
    for (int row = 0; row < m->StoredRows(); ++row) {
        const auto nr = std::get<std::string>(m->Value(row, "Kostenstellennr"));
        const char* betrag = nr == "300" ? "1.850.000,00" : nr == "400" ? "640.000,00" : nullptr;
        if (betrag) {
            ASSERT_TRUE(f.kostenEingeben(row, "Eigenleistung", betrag));
        }
    }
    f.tabs()->setCurrentIndex(0);
    f.text(1)->setText("3");
    f.text(2)->setText("50");
    // Recompute through a command, as the user would; its surcharge dialog is confirmed unchanged.
    fee::test::ModalerDialog modal;
    modal.Naechster<fee::Zuschlaege>([](fee::Zuschlaege& d) { d.Toolband().Click("Band1", "OK"); });
    f.form->ToolClick("ZUSCH");
    EXPECT_EQ(modal.Gesehen(), 1);
    f.tabs()->setCurrentIndex(4);
    EXPECT_TRUE(script.Shown().empty()) << script.LastText().toStdString();
    f.form->resize(1000, 720);
    f.form->show();
    QApplication::processEvents();
    QDir().mkpath(QFileInfo(datei).absolutePath());
    ASSERT_TRUE(f.form->grab().save(datei));
    EXPECT_GT(QFileInfo(datei).size(), 1000);
}
