#include "StartupFakes.h"

#include "core/AppState.h"
#include "core/MwSt.h"
#include "core/Startup.h"
#include "platform/forms/MessageBox.h"
#include "platform/forms/ToolBand.h"
#include "platform/settings/SettingsStore.h"

#include <QLineEdit>
#include <QLockFile>
#include <gtest/gtest.h>

using namespace testing_velu;
using velu::App;
using velu::Currency;

TEST(Vat, TypedRatesAcceptedOrRefused) {
    struct Case {
        const char* text;
        std::optional<int64_t> raw;
    };
    const Case cases[] = {
        {"16", 160000},
        {"16,5", 165000},
        {"16.5", 165000},
        {" 7 ", 70000},
        {"0", 0},
        {"99,99", 999900},
        {"12,3456", 123456},
        {"100", std::nullopt},
        {"99,991", std::nullopt},
        {"abc", std::nullopt},
        {"", std::nullopt},
        {"-1", std::nullopt},
        {"16,", std::nullopt},
        {"1,2,3", std::nullopt},
        {"16,12345", std::nullopt},
        {"16 %", std::nullopt},
    };
    for (const Case& c : cases) {
        auto r = velu::ParseMwStSatz(c.text);
        ASSERT_EQ(r.has_value(), c.raw.has_value()) << c.text;
        if (r) {
            EXPECT_EQ(r->Raw(), *c.raw) << c.text;
        }
    }
}

TEST(Vat, RatesShownWithoutTrailingZeros) {
    EXPECT_EQ(velu::FormatMwStSatz(Currency::FromUnits(16)), "16");
    EXPECT_EQ(velu::FormatMwStSatz(Currency::FromRaw(165000)), "16,5");
    EXPECT_EQ(velu::FormatMwStSatz(Currency::FromRaw(70001)), "7,0001");
    EXPECT_EQ(velu::FormatMwStSatz(Currency()), "0");
}

TEST(Vat, StoredRateReadBackAndUnreadableFallsBackTo19) {
    app();
    QTemporaryDir tmp;
    velu::settings::SettingsStore store(tmp.path() + "/s.ini");
    EXPECT_FALSE(velu::LeseMwStSatz(store));
    ASSERT_TRUE(velu::SpeichereMwStSatz(Currency::FromRaw(165000), store));
    EXPECT_EQ(store.GetSetting("MwSt", "value"), "16,5");
    EXPECT_EQ(velu::LeseMwStSatz(store), Currency::FromRaw(165000));
    store.SaveSetting("MwSt", "value", "sechzehn");
    EXPECT_FALSE(velu::LeseMwStSatz(store));

    // Start-up takes the standard rate of 19 % when the setting cannot be read, and when none is stored.
    Buero b;
    velu::StartOptionen opt;
    opt.bueroOrdner = b.buero;
    opt.leseMwSt = [&] { return velu::LeseMwStSatz(store); };
    std::unique_ptr<QLockFile> lock;
    App().SetMwStSatz(Currency::FromUnits(3));
    ASSERT_EQ(velu::Main(opt, lock), velu::StartErgebnis::Laeuft);
    EXPECT_EQ(App().MwStSatz(), Currency::FromUnits(19));
    lock.reset();
    store.SaveSetting("MwSt", "value", "");
    App().SetMwStSatz(Currency::FromUnits(3));
    ASSERT_EQ(velu::Main(opt, lock), velu::StartErgebnis::Laeuft);
    EXPECT_EQ(App().MwStSatz(), Currency::FromUnits(19));
    lock.reset();
    // A stored rate stays as stored, the old 16 % included.
    store.SaveSetting("MwSt", "value", "16");
    ASSERT_EQ(velu::Main(opt, lock), velu::StartErgebnis::Laeuft);
    EXPECT_EQ(App().MwStSatz(), Currency::FromUnits(16));
    lock.reset();
    store.SaveSetting("MwSt", "value", "7");
    ASSERT_EQ(velu::Main(opt, lock), velu::StartErgebnis::Laeuft);
    EXPECT_EQ(App().MwStSatz(), Currency::FromUnits(7));
}

TEST(Vat, DialogStoresOnlyOnOkAndRefusesBadInput) {
    app();
    App().Reset();
    QTemporaryDir tmp;
    auto store = std::make_shared<velu::settings::SettingsStore>(tmp.path() + "/s.ini");
    App().SetEinstellungen(store);
    App().SetMwStSatz(Currency::FromRaw(165000));

    struct Case {
        const char* text;
        bool gespeichert;
        int64_t danach;
        QString wert;
    };
    for (const Case& c :
         {Case{"", true, 165000, "16,5"}, Case{"7", true, 70000, "7"}, Case{"19.5", true, 195000, "19,5"},
          Case{"abc", false, 195000, "19,5"}, Case{"100", false, 195000, "19,5"}}) {
        SCOPED_TRACE(c.text);
        velu::MwSt dlg;
        EXPECT_EQ(dlg.windowTitle(), "Mehrwertsteuer");
        auto* feld = dlg.findChild<QLineEdit*>("Text1");
        ASSERT_NE(feld, nullptr);
        // An empty case confirms what the dialog shows.
        if (*c.text) feld->setText(c.text);
        velu::forms::MessageBoxScript script;
        EXPECT_EQ(dlg.ActiveBar().Click("Band1", "OK"), true);
        EXPECT_EQ(dlg.result() == QDialog::Accepted, c.gespeichert);
        EXPECT_EQ(script.Shown().size(), c.gespeichert ? 0u : 1u);
        if (!c.gespeichert) {
            EXPECT_EQ(script.LastText(), "Bitte geben Sie einen Mehrwertsteuersatz von 0 bis 99,99 ein.");
        }
        EXPECT_EQ(App().MwStSatz().Raw(), c.danach);
        EXPECT_EQ(store->GetSetting("MwSt", "value"), c.wert);
    }
    // Closing without OK changes nothing.
    {
        velu::MwSt dlg;
        dlg.findChild<QLineEdit*>("Text1")->setText("5");
        dlg.reject();
        EXPECT_EQ(App().MwStSatz().Raw(), 195000);
    }
    App().Reset();
}
