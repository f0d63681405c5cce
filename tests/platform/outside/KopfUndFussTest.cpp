#include "TestApp.h"
#include "core/DatabaseSetup.h"
#include "core/MasterDataLoader.h"
#include "platform/outside/DruckVorlagenEditor.h"
#include "platform/outside/StandInProgramme.h"

#include <QComboBox>
#include <QLineEdit>
#include <QTemporaryDir>
#include <QTimer>
#include <gtest/gtest.h>

using namespace velu::outside;

TEST(KopfUndFuss, OpensTheTemplateEditorOnTheMasterDatabase) {
    testApp();
    QTemporaryDir tmp;
    const QString stammPfad = tmp.path() + "/VELUDAT32.MDB";
    {
        std::string error;
        auto stamm = velu::DatabaseSetup::CreateStammDB(stammPfad.toStdString(), &error);
        ASSERT_TRUE(stamm) << error;
        velu::MasterDataLoader::Load(*stamm, std::filesystem::path(VELU_SOURCE_DIR) / "data" / "hoai");
    }
    IniUmgebung u(tmp.path() + "/umgebung.ini");
    ASSERT_TRUE(u.SetPfad("VELUDATEN", stammPfad));
    StandInProgramme p(u);
    QString art, bezeichnung, titel;
    QTimer::singleShot(0, [&] {
        QWidget* w = QApplication::activeModalWidget();
        ASSERT_NE(w, nullptr);
        titel = w->windowTitle();
        art = w->findChild<QComboBox*>("Dokumentart")->currentText();
        bezeichnung = w->findChild<QLineEdit*>("Bezeichnung")->text();
        w->close();
    });
    auto prog = p.CreateKopfUndFussProgramm();
    prog->SetPxEntry(51);
    prog->ShowKopfUndFuss(1);
    EXPECT_EQ(titel, "Druckvorlagen");
    EXPECT_EQ(art, "Rechnungen");
    EXPECT_EQ(bezeichnung, "Rechnung");
}
