// Writes a PNG of the expense window when VELU_SCREENSHOT names the file (scripts/screenshot aufwand): a
// dozen records in several phases, the catalogue below.
#include "StdRechFixture.h"

#include "core/MoneyFormat.h"
#include "expenses/Aufwand.h"

#include <QApplication>
#include <QDir>
#include <QFileInfo>

namespace {

class AufwandScreenshot : public StdRechFixture {};

TEST_F(AufwandScreenshot, WritesPng) {
    const QString datei = qEnvironmentVariable("VELU_SCREENSHOT");
    if (datei.isEmpty()) GTEST_SKIP() << "VELU_SCREENSHOT not set";
    const struct {
        const char *menge, *satz, *datum;
        int phase;
    } eintraege[] = {
        {"6", "85", "2026-09-01", 1},  {"12", "85", "2026-09-08", 2}, {"4,5", "60", "2026-09-15", 2},
        {"20", "85", "2026-09-22", 3}, {"8", "60", "2026-09-29", 3},  {"16", "85", "2026-10-06", 5},
        {"10", "60", "2026-10-13", 5}, {"3", "120", "2026-10-20", 6}, {"7,5", "85", "2026-10-27", 8},
        {"2", "45", "2026-11-03", 0},  {"5", "60", "2026-11-10", 10}, {"1,5", "120", "2026-11-17", 10},
    };
    int nr = 0;
    for (const auto& e : eintraege) {
        const velu::Currency m = velu::Currency::FromString(QString(e.menge).replace(',', '.').toStdString());
        const velu::Currency s = velu::Currency::FromString(e.satz);
        const velu::Currency summ = velu::RundCY(velu::Currency::FromDouble(m.ToDouble() * s.ToDouble()));
        const std::string nummer = std::to_string(++nr);
        Erfassen({nummer.c_str(), 0, velu::StrZahl(m).c_str() + 1, e.satz, summ.ToString().c_str(),
                  velu::DMEuroUmrechnung(s, 1).ToString().c_str(),
                  velu::DMEuroUmrechnung(summ, 1).ToString().c_str(), e.datum, e.phase, nr <= 4});
    }
    velu::expenses::Aufwand f(*projekt_, *stamm_, *settings_, nullptr, "2,00 DM");
    EXPECT_TRUE(boxen_.Shown().empty()) << boxen_.LastText().toStdString();
    f.resize(1400, 700);
    f.show();
    QApplication::processEvents();
    f.SwitchLK(1);
    QApplication::processEvents();
    QDir().mkpath(QFileInfo(datei).absolutePath());
    ASSERT_TRUE(f.grab().save(datei));
    EXPECT_GT(QFileInfo(datei).size(), 1000);
    f.hide();
}

} // namespace
