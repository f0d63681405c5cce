// PNGs of the reports dialog and of the preview of the expense report by service phase, when VELU_SCREENSHOT
// names the file (scripts/screenshot druckausgabe, scripts/screenshot bericht).
#include "DruckausgabeFixture.h"
#include "core/AppState.h"
#include "documents/PrintFormKO.h"
#include "platform/report/VorschauFenster.h"
#include "platform/settings/SettingsStore.h"

#include <QRadioButton>
#include <QTemporaryDir>

using namespace velu;
using namespace berichte;

namespace {
bool Speichern(QWidget& w, const QString& datei) {
    QApplication::processEvents();
    QDir().mkpath(QFileInfo(datei).absolutePath());
    return w.grab().save(datei);
}
} // namespace

TEST(DruckausgabeScreenshot, Dialog) {
    const QString datei = qEnvironmentVariable("VELU_SCREENSHOT");
    if (datei.isEmpty()) GTEST_SKIP() << "VELU_SCREENSHOT not set";
    DruckausgabeFixture t;
    QTemporaryDir ordner;
    App().SetEinstellungen(std::make_shared<settings::SettingsStore>(ordner.path() + "/e.ini"));
    CRModul cr{report::Umfeld{}};
    PrintFormKO d(cr, t.Quellen(), GelieferteBerichte());
    d.findChild<QRadioButton*>("Option1(0)")->setChecked(true);
    d.show();
    EXPECT_TRUE(Speichern(d, datei));
    d.close();
    App().SetEinstellungen(nullptr);
}

TEST(DruckausgabeScreenshot, Bericht) {
    const QString datei = qEnvironmentVariable("VELU_SCREENSHOT");
    if (datei.isEmpty()) GTEST_SKIP() << "VELU_SCREENSHOT not set";
    DruckausgabeFixture t;
    const char* leistungen[] = {"Besprechung Bauherr", "Bestandsaufnahme", "Variantenstudie",
                                "Kostenschätzung"};
    for (int i = 0; i < 12; ++i)
        t.projekt->Execute(
            "INSERT INTO Projektaufwand (Datum, Numm, Leistung, Mitarbeiter, Menge, PHzuordnung, "
            "INPUTType, Summ, AlDispSumm, interSumm, AlDispinterSumm) "
            "VALUES (?, ?, ?, ?, ?, ?, 0, ?, ?, ?, ?)",
            db::Params()
                .Add(QString("2024-03-%1").arg(i + 10).toStdString())
                .Add(QString("%1.0%2").arg(i % 4 + 1).arg(i % 3 + 1).toStdString())
                .Add(std::string(leistungen[i % 4]))
                .Add(std::string(i % 2 ? "Schulz" : "Meier"))
                .Add(int64_t((i % 5 + 1) * 10000))
                .Add(int64_t(i % 4 + 1))
                .Add(int64_t((i % 5 + 1) * 950000))
                .Add(int64_t((i % 5 + 1) * 485727))
                .Add(int64_t((i % 5 + 1) * 600000))
                .Add(int64_t((i % 5 + 1) * 306775)));
    CRModul cr{report::Umfeld{}};
    auto r = t.Routinen(cr);
    bool gespeichert = false;
    r->Fenster().warten = [&] {
        report::VorschauFenster* v = cr.Vorschau();
        ASSERT_TRUE(v);
        v->resize(1000, 860);
        gespeichert = Speichern(*v, datei);
        v->close();
    };
    r->Dispatch(1, 0);
    EXPECT_TRUE(gespeichert);
    EXPECT_TRUE(t.meldungen.isEmpty()) << t.meldungen.join("; ").toStdString();
}
