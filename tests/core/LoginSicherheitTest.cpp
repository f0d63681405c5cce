// The login where the users table is damaged, names carry umlauts, or a password is still stored in the
// old scrambled form.
#include "BenutzerTestDB.h"
#include "StartupFakes.h"
#include "TestApp.h"
#include "core/AppState.h"
#include "core/Benutzer.h"
#include "core/LogIn.h"
#include "core/LoginProvider.h"
#include "core/Startup.h"
#include "core/Zugangsrechte.h"
#include "platform/forms/MessageBox.h"
#include "platform/forms/ToolBand.h"

#include <QAction>
#include <QApplication>
#include <QLineEdit>
#include <QLockFile>
#include <QTabWidget>
#include <QTimer>

#include <gtest/gtest.h>

namespace velu {
namespace {

QString Alt(const QString& pw) {
    QString kopie = pw;
    return PasswortVerschl(kopie);
}

class LoginSicherheit : public ::testing::Test {
protected:
    void SetUp() override {
        testApp();
        SetMitPasswort(t.DB(), true);
    }
    std::unique_ptr<LogIn> Dialog() {
        auto d = std::make_unique<LogIn>(t.DB());
        d->SetPiepen([this] { ++piepser; });
        d->SetPasswortAendern([this](const LoginResult& r) {
            aenderungen << r.benutzer;
            if (!neuesPasswort.isEmpty()) SetNewPasswort(t.DB(), r.benutzer, neuesPasswort);
        });
        d->MakeConections(true, true);
        d->show();
        return d;
    }
    // Types name and password and clicks "OK"; whether the dialog accepted the login.
    bool Anmelden(LogIn& d, const QString& name, const QString& pw) {
        d.findChild<QLineEdit*>("XtraText1_0")->setText(name);
        d.findChild<QLineEdit*>("XtraText1_1")->setText(pw);
        d.findChild<QAction*>("Band1.OK")->trigger();
        return d.result() == QDialog::Accepted && d.Ergebnis().has_value();
    }

    test::BenutzerDB t;
    forms::MessageBoxScript boxen;
    int piepser = 0;
    QStringList aenderungen;
    QString neuesPasswort; // what the change dialog stores; empty: the user leaves it without a new one
};

// The users editor stores names as QString::toUpper makes them; every spelling of such a name logs in.
TEST_F(LoginSicherheit, NamesWithUmlautsLogInWhateverTheirCase) {
    struct Fall {
        QString gespeichert; // as the editor stores what was typed
        QString getippt;
    } faelle[] = {
        {QString("Müller").toUpper(), "Müller"},   {QString("Müller").toUpper(), "müller"},
        {QString("Müller").toUpper(), "MÜLLER"},   {QString("Jörg Öz").toUpper(), "jörg öz"},
        {QString("Straßer").toUpper(), "Straßer"}, {QString("Ändrä").toUpper(), "äNDRÄ"},
    };
    for (const auto& f : faelle) {
        SCOPED_TRACE(f.getippt.toStdString());
        t.Benutzer(f.gespeichert.toStdString(), 21, PasswortZumSpeichern("geheim"));
        auto ok = PruefeLogin(t.DB(), true, true, f.getippt, "geheim");
        ASSERT_TRUE(ok);
        EXPECT_EQ(ok->benutzer, f.getippt);
        EXPECT_EQ(ok->rechte, 21);
        EXPECT_FALSE(PruefeLogin(t.DB(), true, true, f.getippt, "falsch"));
        EXPECT_EQ(SetNewPasswort(t.DB(), f.getippt, "anders"), 1) << "the password is stored for that user";
        EXPECT_TRUE(PruefeLogin(t.DB(), true, true, f.getippt, "anders"));
        t.DB().Execute("DELETE FROM Zugriff WHERE Benutzername <> 'SUPERVISOR'");
    }
    EXPECT_FALSE(PruefeLogin(t.DB(), true, true, "Müller", "anders")) << "no such user left";
}

// The scramble keeps half of each character's code: "hdidhl" scrambles as "geheim" does. A login through
// it asks for a new password and stores nothing typed; without a new password there is no login.
TEST_F(LoginSicherheit, OldScrambleLogsInOnlyWithANewPassword) {
    ASSERT_EQ(Alt("hdidhl"), Alt("geheim"));
    t.Benutzer("ALT", 7, Alt("geheim").toStdString());
    const std::string alt = t.Gespeichert("ALT");

    struct Versuch {
        const char* was;
        QString passwort;
        QString neu; // set in the change dialog
        bool angemeldet;
    } versuche[] = {
        {"wrong password: a beep, no change dialog", "falsch", "", false},
        {"look-alike, change dialog left", "hdidhl", "", false},
        {"typed beyond 20 characters, left", "geheim" + QString(14, ' ') + "xyz", "", false},
        {"real password, change dialog left", "geheim", "", false},
        {"real password, new one set", "geheim", "neu123", true},
    };
    for (const auto& v : versuche) {
        SCOPED_TRACE(v.was);
        piepser = 0;
        aenderungen.clear();
        const size_t vorher = boxen.Shown().size();
        neuesPasswort = v.neu;
        auto d = Dialog();
        EXPECT_EQ(Anmelden(*d, "alt", v.passwort), v.angemeldet);
        if (v.passwort == "falsch") {
            EXPECT_EQ(piepser, 1);
            EXPECT_TRUE(aenderungen.isEmpty());
        } else {
            EXPECT_EQ(aenderungen, QStringList{"alt"});
        }
        if (v.angemeldet) {
            EXPECT_EQ(ArtDesPassworts(t.Gespeichert("ALT")), PasswortArt::Hash);
            EXPECT_EQ(d->Ergebnis()->rechte, 7);
        } else {
            EXPECT_EQ(t.Gespeichert("ALT"), alt) << "nothing stored";
            EXPECT_TRUE(d->isVisible());
            if (v.passwort != "falsch") {
                ASSERT_EQ(boxen.Shown().size(), vorher + 1);
                EXPECT_EQ(boxen.LastText(), MeldungNeuesPasswort);
            }
        }
    }
    // Only the new password opens the door now; neither the old one nor its look-alike does.
    for (const QString pw : {"geheim", "hdidhl"})
        EXPECT_FALSE(PruefeLogin(t.DB(), true, true, "ALT", pw)) << pw.toStdString();
    EXPECT_TRUE(PruefeLogin(t.DB(), true, true, "ALT", "neu123"));
}

// The change dialog of the program itself: "Zugangsrechte" on its password tab.
TEST_F(LoginSicherheit, OldScrambleOpensThePasswordDialog) {
    t.Benutzer("ALT", AlleRechte, Alt("geheim").toStdString());
    LogIn d(t.DB());
    d.MakeConections(true, true);
    d.show();
    bool gesehen = false;
    QTimer::singleShot(0, [&] {
        auto* z = qobject_cast<Zugangsrechte*>(QApplication::activeModalWidget());
        if (!z) return;
        gesehen = true;
        EXPECT_FALSE(z->findChild<QTabWidget*>("SSTab1")->isTabVisible(Zugangsrechte::RechteTab))
            << "users and rights stay closed until the login is done";
        z->findChild<QLineEdit*>("XtraText1_0")->setText("wirklich");
        z->findChild<QLineEdit*>("XtraText1_1")->setText("wirklich");
        boxen.Answer(forms::MsgResult::Yes); // "Soll das neue Passwort gespeichert werden"
        z->ToolClick("OK");
    });
    EXPECT_TRUE(Anmelden(d, "Alt", "geheim"));
    EXPECT_TRUE(gesehen);
    EXPECT_TRUE(PruefeLogin(t.DB(), true, true, "ALT", "wirklich"));
    EXPECT_FALSE(PruefeLogin(t.DB(), true, true, "ALT", "geheim"));
}

// A damaged users table: the login says so and stays open instead of ending the program.
TEST_F(LoginSicherheit, DamagedUsersTableGivesAMessage) {
    for (const char* schaden :
         {"ALTER TABLE Zugriff RENAME TO Kaputt", "ALTER TABLE Zugriff DROP COLUMN Passwort",
          "ALTER TABLE Zugriff DROP COLUMN Rechte"}) {
        SCOPED_TRACE(schaden);
        test::BenutzerDB kaputt;
        kaputt.DB().Execute(schaden);
        const size_t vorher = boxen.Shown().size();
        LogIn d(kaputt.DB());
        d.MakeConections(true, true);
        d.show();
        EXPECT_FALSE(Anmelden(d, "SUPERVISOR", ""));
        EXPECT_TRUE(d.isVisible());
        ASSERT_EQ(boxen.Shown().size(), vorher + 1);
        EXPECT_TRUE(boxen.LastText().startsWith(MeldungBenutzerUnlesbar + "\n"))
            << boxen.LastText().toStdString();
        EXPECT_GT(boxen.LastText().size(), MeldungBenutzerUnlesbar.size() + 1) << "with the cause";
        EXPECT_EQ(boxen.Shown().back().icon, forms::MsgIcon::Critical);
        d.findChild<QAction*>("Band1.EXIT")->trigger();
        EXPECT_EQ(d.result(), QDialog::Rejected);
    }
}

// Passwords on: the dialog is wide enough for its whole title.
TEST_F(LoginSicherheit, DialogIsWideEnoughForItsTitle) {
    auto d = Dialog();
    QApplication::processEvents();
    EXPECT_GE(d->width(), d->fontMetrics().horizontalAdvance(d->windowTitle()) + 100);
}

// Users and passwords off, the users table unreadable: the program starts as "SUPERVISOR" without rights
// and says why.
TEST(StartMitKaputtenBenutzern, SaysWhyItHasNoRights) {
    testing_velu::Buero b(0, 0, 8191);
    {
        auto db = db::Database::Open(std::filesystem::path((b.sys + "/VELUDAT32.MDB").toStdString()),
                                     db::OpenMode::Shared);
        ASSERT_TRUE(db);
        db->Execute("ALTER TABLE Zugriff DROP COLUMN Rechte");
    }
    App().SetLogin(std::make_shared<SupervisorLogin>(false));
    forms::MessageBoxScript boxen;
    StartOptionen opt;
    opt.bueroOrdner = b.buero;
    opt.programmDaten = b.buero + "/gibtsnicht";
    bool fenster = false;
    opt.zeigeHauptfenster = [&] { fenster = true; };
    std::unique_ptr<QLockFile> lock;
    ASSERT_EQ(Main(opt, lock), StartErgebnis::Laeuft);
    EXPECT_TRUE(fenster);
    EXPECT_EQ(App().AktBenutzer(), SupervisorName);
    EXPECT_EQ(App().AktRechte(), 0);
    ASSERT_EQ(boxen.Shown().size(), 1u);
    EXPECT_TRUE(boxen.LastText().startsWith(MeldungBenutzerUnlesbar + "\n"));
    EXPECT_TRUE(boxen.LastText().endsWith("Das Programm startet als SUPERVISOR ohne Rechte."));
}

} // namespace
} // namespace velu
