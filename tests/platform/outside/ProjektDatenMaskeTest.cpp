// The project-data mask: what it writes byte for byte, and every value it must refuse without touching the
// file.
#include "TestApp.h"
#include "TestDir.h"
#include "platform/forms/MessageBox.h"
#include "platform/outside/Prodat.h"
#include "platform/outside/ProjektDatenMaske.h"
#include "platform/outside/ProjektUmgebung.h"

#include <QApplication>
#include <QFile>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPushButton>
#include <QTableWidget>
#include <gtest/gtest.h>

using namespace velu::outside;
using velu::forms::MessageBoxScript;

namespace {

QByteArray Inhalt(const QString& pfad) {
    QFile f(pfad);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<fehlt>");
}

struct MaskeFixture : ::testing::Test {
    TestDir dir;
    QString pfad = QString::fromStdString((dir / "Prodat").string());
    ProjektInfo projekt{"00000007", "", "Kita Sonnenhof", "", ""};
    void SetUp() override { testApp(); }
    // A file whose other fields hold text, so that a write shows whether it kept them.
    void Vorbelegen() {
        QByteArray satz(8000, 'x');
        for (int k : {0, 1, 2, 4, 5, 6, 160, 163, 164, 165, 166, 167, 168, 169, 170})
            satz.replace(40 * k, 40, QByteArray("alt").leftJustified(40, ' '));
        satz += QByteArray("zweiter Satz");
        QFile f(pfad);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(satz);
    }
    static void SetzeTermin(ProjektDatenMaske& m, int feld, const QString& text) {
        for (int z = 0; z < m.Termine()->rowCount(); ++z)
            if (ProjektDatenMaske::TerminFelder[z] == feld) m.Termine()->item(z, 1)->setText(text);
    }
};

TEST_F(MaskeFixture, EveryFieldLandsAtItsOffsetInTheCodePageAndTheRestStays) {
    Vorbelegen();
    const QByteArray vorher = Inhalt(pfad);
    struct Fall {
        int feld;
        QString eingabe;
        QByteArray bytes; // as stored, before the padding
    };
    const Fall faelle[] = {
        {0, "Neubau Kita Sonnenhof", "Neubau Kita Sonnenhof"},
        {1, QString::fromUtf8("Straße 5 – Baufeld Süd"), "Stra\xDF" "e 5 \x96 Baufeld S\xFC" "d"},
        {2, "", ""},
        {4, QString::fromUtf8("Gemeinde Müllheim"), "Gemeinde M\xFC" "llheim"},
        {5, "  Rathausplatz 1  ", "Rathausplatz 1"},
        {6, QString(40, QLatin1Char('6')), QByteArray(40, '6')},
        {160, QString::fromUtf8("Vertrag über 12.000 €"), "Vertrag \xFC" "ber 12.000 \x80"},
        {163, "01.02.2026", "01.02.2026"},
        {164, "3.3.2026", "03.03.2026"},
        {165, "BV 2026/0815", "BV 2026/0815"},
        {166, "30.04.2026", "30.04.2026"},
        {167, "02.05.2026", "02.05.2026"},
        {168, "31.08.2026", "31.08.2026"},
        {169, "15.12.2026", "15.12.2026"},
        {170, "", ""},
    };
    ProjektDatenMaske m(pfad, projekt);
    for (const Fall& f : faelle) {
        if (QLineEdit* e = m.Feld(f.feld))
            e->setText(f.eingabe);
        else
            SetzeTermin(m, f.feld, f.eingabe);
    }
    MessageBoxScript boxen;
    ASSERT_TRUE(m.Speichern()) << boxen.LastText().toStdString();
    EXPECT_TRUE(boxen.Shown().empty());
    const QByteArray nachher = Inhalt(pfad);
    ASSERT_EQ(nachher.size(), vorher.size()) << "the second record stays";
    QByteArray erwartet = vorher;
    for (const Fall& f : faelle) {
        const QByteArray feld = f.bytes.leftJustified(40, ' ');
        erwartet.replace(40 * f.feld, 40, feld);
        EXPECT_EQ(nachher.mid(40 * f.feld, 40), feld) << "field " << f.feld;
    }
    EXPECT_EQ(nachher, erwartet) << "no byte outside the listed fields changes";
    // The mask shows what was stored.
    EXPECT_EQ(m.Termine()->item(1, 1)->text(), "03.03.2026");
}

TEST_F(MaskeFixture, AValueThatDoesNotFitIsRefusedWithAMessageAndNothingIsWritten) {
    struct Fall {
        const char* name;
        int feld;
        QString eingabe;
        const char* meldung;
    };
    const Fall faelle[] = {
        {"41 characters", 0, QString(41, QLatin1Char('a')), "41 Zeichen"},
        {"41 characters of the client", 6, QString(40, QLatin1Char('b')) + "c", "41 Zeichen"},
        {"41 characters of the order form", 160, QString(41, QLatin1Char('d')), "41 Zeichen"},
        {"41 characters in the schedule", 165, QString(41, QLatin1Char('e')), "41 Zeichen"},
        {"character outside the code page", 4, QString::fromUtf8("Łódź GmbH"), "Ł"},
        {"no date", 163, "demnächst", "kein Datum"},
        {"impossible date", 167, "31.02.2026", "kein Datum"},
    };
    for (const Fall& f : faelle) {
        Vorbelegen();
        const QByteArray vorher = Inhalt(pfad);
        ProjektDatenMaske m(pfad, projekt);
        m.show();
        m.Feld(1)->setText("geändert");
        QLineEdit* e = m.Feld(f.feld);
        if (e)
            e->setText(f.eingabe);
        else
            SetzeTermin(m, f.feld, f.eingabe);
        MessageBoxScript boxen;
        EXPECT_FALSE(m.Speichern()) << f.name;
        ASSERT_EQ(boxen.Shown().size(), 1u) << f.name;
        EXPECT_TRUE(boxen.LastText().contains(QString::fromUtf8(f.meldung))) << f.name << ": "
                                                                            << boxen.LastText().toStdString();
        EXPECT_EQ(Inhalt(pfad), vorher) << f.name;
        if (e) {
            EXPECT_EQ(e->text(), f.eingabe) << f.name << ": the typed text stays for correction";
            // Enter after the refusal: refused again, the mask stays open, the file untouched.
            QKeyEvent enter(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier);
            QApplication::sendEvent(e, &enter);
            EXPECT_EQ(boxen.Shown().size(), 2u) << f.name;
            EXPECT_TRUE(m.isVisible()) << f.name;
            EXPECT_EQ(Inhalt(pfad), vorher) << f.name;
        }
    }
}

TEST_F(MaskeFixture, OldNonDateTextInTheScheduleIsKeptUntilItIsChanged) {
    ASSERT_TRUE(SchreibeProdatFelder(pfad, {{164, "eingereicht"}}));
    ProjektDatenMaske m(pfad, projekt);
    EXPECT_EQ(m.Termine()->item(1, 1)->text(), "eingereicht");
    SetzeTermin(m, 163, "1.2.2026");
    MessageBoxScript boxen;
    ASSERT_TRUE(m.Speichern()) << boxen.LastText().toStdString();
    EXPECT_EQ(LeseProdatFeld(pfad, 164), "eingereicht");
    EXPECT_EQ(LeseProdatFeld(pfad, 163), "01.02.2026");
}

TEST_F(MaskeFixture, AMissingFileStartsBlankAndWithoutAPickerTheCalendarIsOff) {
    ProjektDatenMaske m(pfad, projekt);
    EXPECT_EQ(m.windowTitle(), "Projektdaten 00000007 Kita Sonnenhof");
    EXPECT_TRUE(m.Feld(0)->text().isEmpty());
    EXPECT_FALSE(m.KalenderOeffnen(0));
    m.Feld(4)->setText("Stadt Neustadt");
    ASSERT_TRUE(m.Speichern());
    const QByteArray b = Inhalt(pfad);
    ASSERT_EQ(b.size(), 8000);
    EXPECT_EQ(b.mid(160, 40), QByteArray("Stadt Neustadt").leftJustified(40, ' '));
    EXPECT_EQ(b.count(' '), 8000 - QByteArray("StadtNeustadt").size());
}

TEST_F(MaskeFixture, TwoClerksWithTheMaskOpenBothKeepTheirChange) {
    Vorbelegen();
    ProjektDatenMaske erste(pfad, projekt), zweite(pfad, projekt);
    erste.Feld(0)->setText("Neubau Kita");
    SetzeTermin(erste, 163, "1.2.2026");
    zweite.Feld(4)->setText("Gemeinde Sonnenhof");
    SetzeTermin(zweite, 165, "BV 7");
    MessageBoxScript boxen;
    ASSERT_TRUE(erste.Speichern()) << boxen.LastText().toStdString();
    ASSERT_TRUE(zweite.Speichern()) << boxen.LastText().toStdString();
    EXPECT_EQ(LeseProdatFeld(pfad, 0), "Neubau Kita") << "the first clerk's change stays";
    EXPECT_EQ(LeseProdatFeld(pfad, 163), "01.02.2026");
    EXPECT_EQ(LeseProdatFeld(pfad, 4), "Gemeinde Sonnenhof");
    EXPECT_EQ(LeseProdatFeld(pfad, 165), "BV 7");
    EXPECT_EQ(LeseProdatFeld(pfad, 1), "alt");
}

TEST_F(MaskeFixture, ALinkInPlaceOfTheFileIsRefusedWithAMessage) {
    TestDir draussen;
    const std::filesystem::path fremd = draussen / "fremd.txt";
    {
        QFile f(QString::fromStdString(fremd.string()));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("gehoert nicht zum Buero");
    }
    std::filesystem::create_symlink(fremd, dir / "Prodat");
    ProjektDatenMaske m(pfad, projekt);
    m.Feld(0)->setText("Neubau");
    MessageBoxScript boxen;
    EXPECT_FALSE(m.Speichern());
    EXPECT_EQ(boxen.LastText(),
              "Die Projektdaten wurden nicht gespeichert: " + pfad +
                  " ist ein Verweis auf eine andere Datei. Bitte lassen Sie den Verweis entfernen.");
    EXPECT_EQ(Inhalt(QString::fromStdString(fremd.string())), "gehoert nicht zum Buero");
}

TEST(ProdatSchreiben, RefusesWhatDoesNotFitInsteadOfCuttingIt) {
    TestDir dir;
    const QString pfad = QString::fromStdString((dir / "Prodat").string());
    ASSERT_TRUE(SchreibeProdatFelder(pfad, {{0, "Kita"}, {199, QString(40, QLatin1Char('z'))}}));
    const QByteArray vorher = Inhalt(pfad);
    const std::vector<std::pair<int, QString>> abgelehnt[] = {
        {{0, "neu"}, {5, QString(41, QLatin1Char('x'))}},
        {{0, QString::fromUtf8("Bau ✓")}},
        {{0, QString::fromUtf8("Bau 😀")}},
    };
    for (const auto& felder : abgelehnt) {
        QString fehler;
        EXPECT_FALSE(SchreibeProdatFelder(pfad, felder, &fehler));
        EXPECT_FALSE(fehler.isEmpty());
        EXPECT_EQ(Inhalt(pfad), vorher) << fehler.toStdString();
    }
    EXPECT_TRUE(ProdatFeldFehler(QString::fromUtf8("€‚ƒ„…†‡ˆ‰Š‹ŒŽ‘’“”•–—˜™š›œžŸ ÿ")).isEmpty());
}

} // namespace

namespace {

// The close box and Esc ask about a typed edit as the address book does: Yes saves, No drops it, Cancel
// stays; "Abbrechen" drops it without a word, and a mask without an edit closes without one.
TEST_F(MaskeFixture, ClosingWithAnEditAsksWhetherToSaveIt) {
    using velu::forms::MsgButtons;
    using velu::forms::MsgResult;
    enum Weg { Schliessfeld, Esc, Abbrechen };
    struct Fall {
        const char* name;
        Weg weg;
        bool bearbeitet;
        MsgResult antwort;
        bool gefragt, offen;
        const char* danach; // field 2 of the file
    } faelle[] = {
        {"close box, yes", Schliessfeld, true, MsgResult::Yes, true, false, "Bauteil B"},
        {"close box, no", Schliessfeld, true, MsgResult::No, true, false, "alt"},
        {"close box, cancel", Schliessfeld, true, MsgResult::Cancel, true, true, "alt"},
        {"Esc, yes", Esc, true, MsgResult::Yes, true, false, "Bauteil B"},
        {"close box without an edit", Schliessfeld, false, MsgResult::Yes, false, false, "alt"},
        {"Abbrechen", Abbrechen, true, MsgResult::Yes, false, false, "alt"},
    };
    for (const Fall& f : faelle) {
        SCOPED_TRACE(f.name);
        Vorbelegen();
        ProjektDatenMaske m(pfad, projekt);
        m.show();
        if (f.bearbeitet) {
            m.Feld(2)->selectAll();
            m.Feld(2)->insert("Bauteil B");
        }
        MessageBoxScript boxen({f.antwort});
        if (f.weg == Schliessfeld) {
            m.close();
        } else if (f.weg == Esc) {
            QKeyEvent esc(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
            QApplication::sendEvent(m.Feld(2), &esc);
        } else {
            for (QPushButton* b : m.findChildren<QPushButton*>())
                if (b->text() == "Abbrechen") b->click();
        }
        if (f.gefragt) {
            ASSERT_EQ(boxen.Shown().size(), 1u);
            EXPECT_EQ(boxen.LastText(), ProjektdatenGeaendert);
            EXPECT_EQ(boxen.Shown()[0].buttons, MsgButtons::YesNoCancel);
        } else {
            EXPECT_TRUE(boxen.Shown().empty()) << boxen.LastText().toStdString();
        }
        EXPECT_EQ(m.isVisible(), f.offen);
        EXPECT_EQ(LeseProdatFeld(pfad, 2), QString::fromUtf8(f.danach));
    }
}

} // namespace
