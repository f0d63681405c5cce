// Writes a PNG of a master-data editor when VELU_SCREENSHOT names the file (scripts/screenshot hoaitafel,
// lbild, grundleistung, mitarbeiter).
#include "StammFixture.h"
#include "TestApp.h"
#include "masterdata/Grundleistung.h"
#include "masterdata/HOAITAFEL.h"
#include "masterdata/LBild.h"
#include "masterdata/Mitarbeiter.h"
#include "masterdata/TafelStore.h"
#include "platform/forms/MessageBox.h"

#include <QApplication>
#include <QDir>
#include <QFileInfo>

using namespace velu;
using namespace velu::masterdata;

namespace {

class StammdatenScreenshot : public StammFixture {
public:
    void SetUp() override {
        datei_ = qEnvironmentVariable("VELU_SCREENSHOT");
        if (datei_.isEmpty()) GTEST_SKIP() << "VELU_SCREENSHOT not set";
        testApp();
        StammFixture::SetUp();
        stamm_->Execute(
            "INSERT INTO AufwandVerz (Positionsnummer, Leistung, Einheit, zuordnung, interSatz, Satz, "
            "AlDispinterSatz, AlDispSatz) VALUES "
            "('1.01', 'Bestandsaufnahme vor Ort', 'Std', 1, 1173498, 1760247, 600000, 900000), "
            "('2.01', 'Vorentwurf mit Varianten', 'Std', 2, 1369081, 2151413, 700000, 1100000), "
            "('5.10', 'Ausführungszeichnungen', 'Blatt', 5, 1955830, 2933745, 1000000, 1500000), "
            "('8.03', 'Bauüberwachung', 'Std', 8, 1466873, 2346996, 750000, 1200000), "
            "('9.90', 'Stundenlohnarbeiten', 'Std', 10, 1173498, 1857039, 600000, 950000), "
            "('K.01', 'Fahrtkosten', 'km', 0, 5867, 5867, 3000, 3000)");
        stamm_->Execute(
            "INSERT INTO Mitarbeiter (Mitarbeiter, StundensatzInt, Stundensatzext, AlDispStundensatzInt, "
            "AlDispStundensatzext) VALUES "
            "('Anna Becker, Architektin', 1466873, 2346996, 750000, 1200000), "
            "('Jonas Weiß, Bauingenieur', 1369081, 2151413, 700000, 1100000), "
            "('Lea Krüger, Bauzeichnerin', 977915, 1564664, 500000, 800000), "
            "('Tim Schäfer, Werkstudent', 586749, 977915, 300000, 500000)");
    }
    void Speichern(QWidget& f, int breite, int hoehe) {
        f.resize(breite, hoehe);
        f.show();
        QApplication::processEvents();
        QDir().mkpath(QFileInfo(datei_).absolutePath());
        ASSERT_TRUE(f.grab().save(datei_));
        EXPECT_GT(QFileInfo(datei_).size(), 1000);
        f.hide();
    }
    QString datei_;
    forms::MessageBoxScript boxen_;
};

} // namespace

TEST_F(StammdatenScreenshot, HOAITAFEL) {
    TafelStore(*stamm_).CopyAufr(Tafel("56"));
    HOAITAFEL f(*stamm_, nullptr, [](int64_t) { return std::vector<std::string>{}; });
    Speichern(f, 1280, 640);
}

TEST_F(StammdatenScreenshot, LBild) {
    LBild f(*stamm_);
    Speichern(f, 1000, 700);
}

TEST_F(StammdatenScreenshot, Grundleistung) {
    Grundleistung f(*stamm_);
    Speichern(f, 1000, 320);
}

TEST_F(StammdatenScreenshot, Mitarbeiter) {
    Mitarbeiter f(*stamm_);
    Speichern(f, 900, 260);
}
