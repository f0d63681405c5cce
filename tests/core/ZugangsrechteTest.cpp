#include "core/Zugangsrechte.h"
#include "BenutzerTestDB.h"
#include "Bildschirmfoto.h"
#include "TestApp.h"
#include "core/Benutzer.h"
#include "core/LogIn.h"
#include "platform/forms/MessageBox.h"
#include "platform/help/Hilfe.h"

#include <QApplication>
#include <QCheckBox>
#include <QKeyEvent>
#include <QLineEdit>
#include <QTabWidget>
#include <QTextBrowser>
#include <QThread>

#include <gtest/gtest.h>

#include <deque>

namespace velu {
namespace {

QApplication& App() {
    return testApp();
}

// Records what the dialog says and answers its questions from a script (the default button when it runs out).
struct Skript {
    std::unique_ptr<forms::MessageBoxScript> box = std::make_unique<forms::MessageBoxScript>();

    void Neu(const std::deque<bool>& antworten = {}) {
        box.reset();
        box = std::make_unique<forms::MessageBoxScript>();
        for (bool a : antworten)
            box->Answer(a ? forms::MsgResult::Yes : forms::MsgResult::No);
    }
    std::vector<QString> Texte(bool fragen) const {
        std::vector<QString> t;
        for (const auto& e : box->Shown())
            if ((e.buttons == forms::MsgButtons::YesNo) == fragen) t.push_back(e.text);
        return t;
    }
    std::vector<QString> meldungen() const { return Texte(false); }
    std::vector<QString> fragen() const { return Texte(true); }
};

class ZugangsrechteTest : public ::testing::Test {
protected:
    void SetUp() override { App(); }

    std::unique_ptr<Zugangsrechte> Dialog(const QString& benutzer, int32_t rechte) {
        auto d = std::make_unique<Zugangsrechte>(t.DB(), benutzer, rechte);
        d->show();
        return d;
    }
    int Zeile(Zugangsrechte& d, const QString& name) {
        for (int r = 0; r < d.Model().StoredRows(); ++r)
            if (GleicherBenutzer(
                    QString::fromStdString(std::get<std::string>(d.Model().Value(r, "Benutzername"))), name))
                return r;
        return -1;
    }
    static QCheckBox* Box(Zugangsrechte& d, int k) {
        return d.findChild<QCheckBox*>(QString("Check1_%1").arg(k));
    }
    // As typed: a field typed into and emptied again counts as edited.
    static void Tippen(Zugangsrechte& d, const QString& neu, const QString& best) {
        for (auto [feld, text] : {std::pair{"XtraText1_0", neu}, std::pair{"XtraText1_1", best}}) {
            auto* edit = d.findChild<QLineEdit*>(feld);
            edit->setText(text + "x");
            edit->setText(text);
        }
    }

    test::BenutzerDB t;
    Skript skript;
};

TEST_F(ZugangsrechteTest, GridShowsNoPasswordAndRightsAreReadOnly) {
    t.Benutzer("MEIER", 6, PasswortZumSpeichern("geheim"));
    auto d = Dialog("SUPERVISOR", AlleRechte);
    auto& m = d->Model();
    EXPECT_EQ(m.ColumnOf("Passwort"), -1);
    for (int c = 0; c < m.columnCount(); ++c)
        for (int r = 0; r < m.rowCount(); ++r)
            EXPECT_FALSE(m.data(m.index(r, c)).toString().contains("argon"));
    const int r = Zeile(*d, "MEIER");
    const QModelIndex rechte = m.index(r, m.ColumnOf("Rechte"));
    EXPECT_FALSE(m.flags(rechte) & Qt::ItemIsEditable);
    EXPECT_FALSE(m.setData(rechte, "8191"));
    EXPECT_TRUE(m.flags(m.index(r, m.ColumnOf("Benutzername"))) & Qt::ItemIsEditable);
}

// The grid names flags and rights instead of showing raw numbers; what is stored stays as it was.
TEST_F(ZugangsrechteTest, GridShowsFlagAndRightsByName) {
    struct Fall {
        const char* name;
        int64_t ohnePasswort;
        int32_t rechte;
        QString flag, rechteText;
    } faelle[] = {
        {"ANNA", 0, 0, "Nein", "keine"},
        {"BERT", -1, 6, "Ja", "Projektdaten erstellen / ändern; Rechnungen erstellen / ändern"},
        {"CARL", 1, 4096 + 1, "Ja", "Projekte erstellen / ändern / anwählen; Mitarbeiter anlegen"},
        {"DORA", 0, AlleRechte, "Nein", "alle"},
    };
    for (const auto& f : faelle) {
        t.Benutzer(f.name, f.rechte);
        t.DB().Execute("UPDATE Zugriff SET OhnePasswort = :o WHERE Benutzername = :n",
                       db::Params().Set("o", f.ohnePasswort).Set("n", std::string(f.name)));
    }
    auto d = Dialog("SUPERVISOR", AlleRechte);
    auto& m = d->Model();
    for (const auto& f : faelle) {
        SCOPED_TRACE(f.name);
        const int r = Zeile(*d, f.name);
        EXPECT_EQ(m.data(m.index(r, m.ColumnOf("OhnePasswort"))).toString(), f.flag);
        EXPECT_EQ(m.data(m.index(r, m.ColumnOf("Rechte"))).toString(), f.rechteText);
    }
    EXPECT_EQ(m.data(m.index(Zeile(*d, "SUPERVISOR"), m.ColumnOf("Rechte"))).toString(), "alle");
}

TEST_F(ZugangsrechteTest, FlagTypedIntoTheGridStoresTrueOrFalse) {
    struct Fall {
        QString getippt;
        bool angenommen;
        int64_t gespeichert;
    } faelle[] = {
        {"Ja", true, -1}, {"nein", true, 0}, {"-1", true, -1},          {"1", true, -1},
        {"0", true, 0},   {"", true, 0},     {"vielleicht", false, -1}, {"2", false, -1},
    };
    t.Benutzer("MEIER", 0);
    auto d = Dialog("SUPERVISOR", AlleRechte);
    auto& m = d->Model();
    const int r = Zeile(*d, "MEIER");
    const QModelIndex flag = m.index(r, m.ColumnOf("OhnePasswort"));
    auto gespeichert = [&] {
        return t.DB()
            .OpenRecordset("SELECT OhnePasswort FROM Zugriff WHERE Benutzername = 'MEIER'")
            .GetInt("OhnePasswort");
    };
    for (const auto& f : faelle) {
        SCOPED_TRACE(f.getippt.toStdString());
        t.DB().Execute("UPDATE Zugriff SET OhnePasswort = -1 WHERE Benutzername = 'MEIER'");
        m.Requery();
        skript.Neu();
        EXPECT_EQ(m.setData(flag, f.getippt), f.angenommen);
        EXPECT_TRUE(m.Commit());
        EXPECT_EQ(gespeichert(), f.gespeichert);
        EXPECT_EQ(skript.meldungen().size(), f.angenommen ? 0u : 1u);
    }
}

TEST_F(ZugangsrechteTest, SupervisorStays8191) {
    t.DB().Execute("UPDATE Zugriff SET Rechte = 5 WHERE Benutzername = 'SUPERVISOR'");
    auto d = Dialog("SUPERVISOR", AlleRechte);
    const int r = Zeile(*d, "SUPERVISOR");
    d->Grid().SetCurrentRow(r);
    EXPECT_FALSE(d->findChild<QWidget*>("Frame1")->isEnabled());
    EXPECT_EQ(Box(*d, 0)->checkState(), Qt::PartiallyChecked); // bit set, greyed
    EXPECT_EQ(Box(*d, 1)->checkState(), Qt::Checked);          // bit clear, grau 1
    auto& m = d->Model();
    EXPECT_FALSE(m.flags(m.index(r, m.ColumnOf("Benutzername"))) & Qt::ItemIsEditable);
    EXPECT_FALSE(m.DeleteRow(r));
    d->SetRechte(r);
    EXPECT_EQ(t.Rechte("SUPERVISOR"), AlleRechte);
    EXPECT_EQ(t.Anzahl(), 1);
}

TEST_F(ZugangsrechteTest, RightsGoToTheRowThatWasEdited) {
    t.Benutzer("ANNA", 0);
    t.Benutzer("BERT", 0);
    auto d = Dialog("SUPERVISOR", AlleRechte);
    const int anna = Zeile(*d, "ANNA"), bert = Zeile(*d, "BERT");
    d->Grid().SetCurrentRow(anna);
    Box(*d, 2)->click();
    Box(*d, 9)->click();
    EXPECT_TRUE(d->RechteGeaendert());
    d->Grid().SetCurrentRow(bert); // Qt reports this after the fact
    EXPECT_EQ(t.Rechte("ANNA"), 4 + 512);
    EXPECT_EQ(t.Rechte("BERT"), 0);
    EXPECT_FALSE(d->RechteGeaendert());
    EXPECT_EQ(Box(*d, 2)->checkState(), Qt::Unchecked); // BERT's rights shown

    // Ticked without leaving the row: stored on close.
    Box(*d, 11)->click();
    d->close();
    EXPECT_EQ(t.Rechte("BERT"), 2048);
}

TEST_F(ZugangsrechteTest, NewUserWithRightsAndDuplicates) {
    t.Benutzer("Meier", 0);
    auto d = Dialog("SUPERVISOR", AlleRechte);
    auto& m = d->Model();
    const int neu = m.StoredRows();
    ASSERT_TRUE(m.IsNewRowLine(neu));
    d->Grid().SetCurrentRow(neu);
    ASSERT_TRUE(m.setData(m.index(neu, m.ColumnOf("Benutzername")), "Schulz"));
    Box(*d, 3)->click();
    d->ToolClick("OK");
    EXPECT_EQ(t.Rechte("SCHULZ"), 8);
    EXPECT_EQ(
        t.DB().OpenRecordset("SELECT count(*) AS n FROM Zugriff WHERE Benutzername = 'SCHULZ'").GetInt("n"),
        1); // kept in capitals
    EXPECT_EQ(ArtDesPassworts(t.Gespeichert("schulz")), PasswortArt::Keins);
    EXPECT_EQ(t.Gespeichert("Schulz"), KeinPasswortMarke);

    // A name differing only in case is the same user.
    const int neu2 = m.StoredRows();
    ASSERT_TRUE(m.setData(m.index(neu2, m.ColumnOf("Benutzername")), "MEIER"));
    EXPECT_FALSE(m.Commit());
    ASSERT_EQ(skript.meldungen().size(), 1u);
    EXPECT_EQ(skript.meldungen()[0], "Dieser Benutzer ist schon angelegt");
    EXPECT_EQ(skript.box->Shown().back().title, QApplication::applicationDisplayName()); // the default title
    EXPECT_EQ(t.Anzahl(), 3);

    // Added at another workstation after the grid was loaded: the table refuses the duplicate key.
    t.Benutzer("KRAUSE", 0);
    const int neu3 = m.StoredRows();
    ASSERT_TRUE(m.setData(m.index(neu3, m.ColumnOf("Benutzername")), "Krause"));
    EXPECT_FALSE(m.Commit());
    ASSERT_EQ(skript.meldungen().size(), 2u);
    EXPECT_EQ(skript.meldungen()[1],
              "Dieser Benutzer wunde schon erfasst.\nBenutzereintrag nicht gespeichert");
    EXPECT_EQ(skript.box->Shown().back().title, "Zugangsrechte");
    EXPECT_EQ(t.Anzahl(), 4);
}

TEST_F(ZugangsrechteTest, SelfDeletionRefusedOthersDeletedWithoutQuestion) {
    t.Benutzer("Meier", 512);
    t.Benutzer("Schulz", 0);
    auto d = Dialog("MEIER", 512);
    auto& m = d->Model();
    EXPECT_FALSE(m.DeleteRow(Zeile(*d, "meier")));
    ASSERT_EQ(skript.meldungen().size(), 1u);
    EXPECT_EQ(skript.meldungen()[0], "Sie können sich nicht selbst löschen");
    EXPECT_EQ(t.Rechte("MEIER"), 512);

    EXPECT_TRUE(m.DeleteRow(Zeile(*d, "Schulz")));
    EXPECT_TRUE(skript.fragen().empty());
    EXPECT_EQ(t.Rechte("Schulz"), -1);
}

TEST_F(ZugangsrechteTest, VisibilityByUserAndRights) {
    t.Benutzer("MEIER", 0);
    auto d = Dialog("Meier", 0);
    EXPECT_FALSE(d->findChild<QTabWidget*>("SSTab1")->isTabVisible(Zugangsrechte::RechteTab));
    EXPECT_FALSE(d->findChild<QCheckBox*>("Check2")->isVisible());
    auto s = Dialog("supervisor", AlleRechte);
    EXPECT_TRUE(s->findChild<QTabWidget*>("SSTab1")->isTabVisible(Zugangsrechte::RechteTab));
    EXPECT_TRUE(s->findChild<QCheckBox*>("Check2")->isVisible());
}

TEST_F(ZugangsrechteTest, PasswordEntryChecks) {
    struct Fall {
        const char* name;
        QString neu, best;
        std::deque<bool> antworten; // "save?", then "without password?"
        bool gespeichert;
        QString meldung;
    } faelle[] = {
        {"four characters", "abcd", "abcd", {true}, true, ""},
        {"three characters",
         "abc",
         "abc",
         {true},
         false,
         " Das Passwort sollte mindestens 4 Zeichen lang sein"},
        {"not confirmed", "abcd", "", {true}, false, "Es wurde das Passwort nicht bestätigt"},
        {"confirmed wrongly", "abcd", "abce", {true}, false, "Es wurde das Passwort nicht richtig bestätigt"},
        {"empty, answer No",
         "",
         "",
         {true, false},
         false,
         " Das Passwort sollte mindestens 4 Zeichen lang sein"},
        {"empty, answer Yes", "", "", {true, true}, true, ""},
        {"not to be saved", "abcd", "abcd", {false}, false, ""},
    };
    t.Benutzer("MEIER", 0, PasswortZumSpeichern("altes"));
    SetMitPasswort(t.DB(), true);
    for (const auto& f : faelle) {
        SCOPED_TRACE(f.name);
        SetNewPasswort(t.DB(), "MEIER", "altes");
        skript.Neu(f.antworten);
        auto d = Dialog("Meier", 0);
        Tippen(*d, f.neu, f.best);
        d->ToolClick("OK");
        EXPECT_EQ(PruefeLogin(t.DB(), true, true, "MEIER", f.neu).has_value(), f.gespeichert);
        EXPECT_EQ(PruefeLogin(t.DB(), true, true, "MEIER", "altes").has_value(), !f.gespeichert);
        if (f.meldung.isEmpty()) {
            EXPECT_TRUE(skript.meldungen().empty());
            EXPECT_FALSE(d->isVisible());
        } else {
            ASSERT_EQ(skript.meldungen().size(), 1u);
            EXPECT_EQ(skript.meldungen()[0], f.meldung);
            EXPECT_TRUE(d->isVisible()); // invalid entry: the dialog stays, the fields are emptied
            EXPECT_TRUE(d->findChild<QLineEdit*>("XtraText1_0")->text().isEmpty());
            EXPECT_FALSE(d->PasswortGeaendert());
        }
        EXPECT_EQ(IsMitPasswort(t.DB()), -1); // the switch is written on OK, unchanged
    }
}

TEST_F(ZugangsrechteTest, PasswordOfMissingUserOrWhilePasswordsAreOff) {
    SetMitPasswort(t.DB(), true);
    auto d = Dialog("WEG", 0); // renamed or deleted meanwhile
    Tippen(*d, "abcd", "abcd");
    d->ToolClick("OK");
    ASSERT_EQ(skript.meldungen().size(), 1u);
    EXPECT_TRUE(skript.meldungen()[0].contains("WEG"));
    EXPECT_TRUE(skript.meldungen()[0].contains("nicht gespeichert"));

    t.Benutzer("MEIER", 0, PasswortZumSpeichern("altes"));
    SetMitPasswort(t.DB(), false);
    skript.Neu();
    auto e = Dialog("MEIER", 0);
    Tippen(*e, "neues1", "neues1");
    e->ToolClick("OK");
    ASSERT_EQ(skript.meldungen().size(), 1u);
    EXPECT_EQ(skript.meldungen()[0],
              "Der Passwortschutz ist ausgeschaltet. Das neue Passwort wird nicht gespeichert.");
    EXPECT_TRUE(PruefeLogin(t.DB(), true, true, "MEIER", "altes"));
}

TEST_F(ZugangsrechteTest, SupervisorSwitchesPasswordsOnAndOff) {
    auto d = Dialog("SUPERVISOR", AlleRechte);
    auto* box = d->findChild<QCheckBox*>("Check2");
    EXPECT_FALSE(box->isChecked());
    box->click();
    d->ToolClick("OK");
    EXPECT_EQ(IsMitPasswort(t.DB()), -1);
    auto e = Dialog("SUPERVISOR", AlleRechte);
    EXPECT_TRUE(e->findChild<QCheckBox*>("Check2")->isChecked());
    e->findChild<QCheckBox*>("Check2")->click();
    e->close();
    EXPECT_EQ(IsMitPasswort(t.DB()), 0);
}

TEST_F(ZugangsrechteTest, F1OpensItsHelpPage) {
    help::CloseHandbuch();
    auto d = Dialog("SUPERVISOR", AlleRechte);
    d->activateWindow();
    QApplication::setActiveWindow(d.get());
    QApplication::processEvents();
    QKeyEvent vorab(QEvent::ShortcutOverride, Qt::Key_F1, Qt::NoModifier);
    QKeyEvent taste(QEvent::KeyPress, Qt::Key_F1, Qt::NoModifier);
    QApplication::sendEvent(d.get(), &vorab);
    QApplication::sendEvent(d.get(), &taste);
    QApplication::processEvents();
    ASSERT_NE(help::Handbuch(), nullptr);
    EXPECT_EQ(help::Handbuch()->source().fileName(), "Zugangsrechte.html");
    EXPECT_TRUE(d->isVisible());
    help::CloseHandbuch();
}

} // namespace
} // namespace velu

namespace velu {
namespace {

TEST(ZugangsrechteScreenshot, WritesPng) {
    const QString datei = test::BildschirmfotoDatei();
    if (datei.isEmpty()) GTEST_SKIP() << "VELU_SCREENSHOT not set";
    testApp();
    test::BenutzerDB t;
    t.Benutzer("MEIER", 4 + 8 + 2048);
    t.Benutzer("SCHULZ", 0);
    Zugangsrechte d(t.DB(), "SUPERVISOR", AlleRechte);
    d.findChild<QTabWidget*>("SSTab1")->setCurrentIndex(Zugangsrechte::RechteTab);
    d.Grid().SetCurrentRow(0);
    d.move(300, 200);
    d.show();
    for (int i = 0; i < 20; ++i) {
        QApplication::processEvents();
        QThread::msleep(20);
    }
    ASSERT_TRUE(test::Bildschirmfoto({&d}, datei));
}

} // namespace
} // namespace velu
