#include "core/LogIn.h"
#include "BenutzerTestDB.h"
#include "Bildschirmfoto.h"
#include "TestApp.h"
#include "core/Benutzer.h"
#include "platform/forms/MessageBox.h"
#include "platform/forms/ToolBand.h"
#include "platform/settings/SettingsStore.h"

#include <QAction>
#include <QApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QTemporaryDir>
#include <QTimer>

#include <gtest/gtest.h>

namespace velu {
namespace {

void App() {
    testApp();
}

class LoginDialog : public ::testing::Test {
protected:
    void SetUp() override {
        App();
        t.Benutzer("Meier", 5, PasswortZumSpeichern("geheim"));
        SetNewPasswort(t.DB(), "SUPERVISOR", "chef1");
    }
    std::unique_ptr<LogIn> Dialog(bool mitBenutzer, bool mitPasswort) {
        auto d = std::make_unique<LogIn>(t.DB());
        d->SetPiepen([this] { ++piepser; });
        d->MakeConections(mitBenutzer, mitPasswort);
        d->show();
        return d;
    }
    static QLineEdit* Feld(LogIn& d, int i) {
        return d.findChild<QLineEdit*>(QString("XtraText1_%1").arg(i));
    }

    // Only an unknown user name gets a message; any other failed login only beeps.
    void TearDown() override { EXPECT_EQ(boxen.Shown().size(), gemeldet); }

    test::BenutzerDB t;
    forms::MessageBoxScript boxen;
    int piepser = 0;
    size_t gemeldet = 0;
};

TEST_F(LoginDialog, EnterKeyRoutes) {
    enum Folge { ZumAnderen, Angemeldet, Piep, Unbekannt };
    struct Fall {
        const char* name;
        bool mitBenutzer, mitPasswort;
        QString benutzer, passwort;
        int feld;
        Folge folge;
    } faelle[] = {
        {"user field, password empty", true, true, "Meier", "", 0, ZumAnderen},
        {"user field, password filled", true, true, "Meier", "geheim", 0, Angemeldet},
        {"user field, passwords off", true, false, "meier", "", 0, Angemeldet},
        {"user field, unknown user", true, false, "Niemand", "", 0, Unbekannt},
        {"password field, unknown user", true, true, "Niemand", "geheim", 1, Unbekannt},
        {"password field, user empty", true, true, "", "geheim", 1, ZumAnderen},
        {"password field, both filled", true, true, "MEIER", "geheim", 1, Angemeldet},
        {"password field, wrong password", true, true, "Meier", "falsch", 1, Piep},
        {"password field, users off", false, true, "", "chef1", 1, Angemeldet},
        {"users off, another name typed", false, true, "Meier", "geheim", 1, Piep},
    };
    for (const auto& f : faelle) {
        SCOPED_TRACE(f.name);
        piepser = 0;
        auto d = Dialog(f.mitBenutzer, f.mitPasswort);
        Feld(*d, 0)->setText(f.benutzer);
        Feld(*d, 1)->setText(f.passwort);
        Feld(*d, f.feld)->setFocus();
        QKeyEvent enter(QEvent::KeyPress, f.feld == 0 ? Qt::Key_Return : Qt::Key_Enter, Qt::NoModifier);
        QApplication::sendEvent(Feld(*d, f.feld), &enter);
        EXPECT_TRUE(enter.isAccepted());
        switch (f.folge) {
        case ZumAnderen:
            EXPECT_EQ(d->focusWidget(), Feld(*d, 1 - f.feld));
            EXPECT_EQ(d->result(), QDialog::Rejected);
            EXPECT_EQ(piepser, 0);
            EXPECT_TRUE(d->isVisible());
            break;
        case Angemeldet:
            EXPECT_EQ(d->result(), QDialog::Accepted);
            ASSERT_TRUE(d->Ergebnis());
            EXPECT_EQ(d->Ergebnis()->benutzer, f.mitBenutzer ? f.benutzer : SupervisorName);
            EXPECT_FALSE(d->isVisible());
            EXPECT_EQ(d->findChild<forms::ToolBand*>()->Tag(), "X");
            break;
        case Piep:
            EXPECT_EQ(piepser, 1);
            EXPECT_TRUE(d->isVisible());
            EXPECT_EQ(Feld(*d, 1)->text(), f.passwort); // entries kept
            break;
        case Unbekannt:
            ++gemeldet;
            ASSERT_EQ(boxen.Shown().size(), gemeldet);
            EXPECT_EQ(boxen.LastText(), "Der Benutzer ist nicht bekannt.");
            EXPECT_EQ(boxen.Shown().back().title, "Benutzer Login Velunta 4.0");
            EXPECT_EQ(piepser, 0);
            EXPECT_TRUE(d->isVisible());
            EXPECT_EQ(d->focusWidget(), Feld(*d, 0));
            EXPECT_EQ(Feld(*d, 0)->selectedText(), f.benutzer); // the name selected for retyping
            EXPECT_EQ(Feld(*d, 1)->text(), f.passwort);
            break;
        }
    }
}

TEST_F(LoginDialog, MakeConections) {
    auto d = Dialog(false, true);
    EXPECT_EQ(Feld(*d, 0)->text(), "SUPERVISOR");
    EXPECT_TRUE(Feld(*d, 1)->isVisible());
    auto e = Dialog(true, false);
    EXPECT_TRUE(Feld(*e, 0)->text().isEmpty());
    EXPECT_FALSE(Feld(*e, 1)->isVisible());
    EXPECT_EQ(Feld(*e, 0)->maxLength(), 30);
    EXPECT_EQ(e->windowTitle(), "Benutzer Login Velunta 4.0");
}

TEST_F(LoginDialog, KeepsItsWindowPosition) {
    QTemporaryDir dir;
    settings::SettingsStore store(dir.filePath("z.ini"));
    {
        LogIn d(t.DB(), &store);
        d.MakeConections(true, true);
        d.show();
        d.move(40, 50);
        d.ToolClick("EXIT");
    }
    EXPECT_EQ(store.GetSetting("WindowPos LogIn", "Left"), "40");
    LogIn e(t.DB(), &store);
    EXPECT_EQ(e.pos(), QPoint(40, 50));
}

// Drives the modal dialog of RunLogin once it is shown.
void Spaeter(std::function<void(LogIn&)> tun) {
    QTimer::singleShot(0, [tun] {
        for (QWidget* w : QApplication::topLevelWidgets())
            if (auto* d = qobject_cast<LogIn*>(w); d && d->isVisible()) {
                tun(*d);
                return;
            }
        ADD_FAILURE() << "login not shown";
    });
}

TEST_F(LoginDialog, RunLoginCancelledOrDone) {
    Spaeter([](LogIn& d) { d.findChild<QAction*>("Band1.EXIT")->trigger(); });
    EXPECT_FALSE(RunLogin(t.DB(), nullptr, true, true)); // start-up ends the program

    Spaeter([](LogIn& d) { d.close(); });
    EXPECT_FALSE(RunLogin(t.DB(), nullptr, true, true));

    Spaeter([](LogIn& d) {
        d.findChild<QLineEdit*>("XtraText1_0")->setText("mEiEr");
        d.findChild<QLineEdit*>("XtraText1_1")->setText("geheim");
        d.findChild<QAction*>("Band1.OK")->trigger();
    });
    auto ok = RunLogin(t.DB(), nullptr, true, true);
    ASSERT_TRUE(ok);
    EXPECT_EQ(ok->benutzer, "mEiEr");
    EXPECT_EQ(ok->rechte, 5);
}

// The login after an unknown user name, its message still open (scripts/screenshot login).
TEST(LoginScreenshot, WritesPng) {
    const QString datei = test::BildschirmfotoDatei();
    if (datei.isEmpty()) GTEST_SKIP() << "VELU_SCREENSHOT not set";
    App();
    test::BenutzerDB t;
    LogIn d(t.DB());
    d.MakeConections(true, true);
    d.resize(360, 130);
    d.move(400, 300);
    d.show();
    d.findChild<QLineEdit*>("XtraText1_0")->setText("Niemand");
    d.findChild<QLineEdit*>("XtraText1_1")->setText("geheim");
    bool gespeichert = false;
    QTimer::singleShot(400, [&] {
        QWidget* box = QApplication::activeModalWidget();
        if (box && box != &d) {
            // Without a window manager the box would cover the dialog's bar: put it just below.
            box->move(d.x() + 40, d.frameGeometry().bottom() + 8);
            QApplication::processEvents();
            gespeichert = test::Bildschirmfoto({&d, box}, datei);
        }
        if (box && box != &d) box->close(); // the test answers the message
    });
    d.ToolClick("OK");
    EXPECT_TRUE(gespeichert);
    EXPECT_TRUE(d.isVisible());
    EXPECT_GT(QFileInfo(datei).size(), 1000);
}

} // namespace
} // namespace velu
