// The outside programs' masks take a name pasted from a letter as one line, in every field, and store it so:
// the project list, the address book and Prodat never get a line break from a field.
#include "Zeilenfelder.h"
#include "TestApp.h"
#include "TestDir.h"
#include "platform/forms/EinzeiligeFelder.h"
#include "platform/forms/MessageBox.h"
#include "platform/outside/AdressMaske.h"
#include "platform/outside/Adressbuch.h"
#include "platform/outside/Prodat.h"
#include "platform/outside/ProjektAuswahl.h"
#include "platform/outside/ProjektDatenMaske.h"
#include "platform/outside/ProjektListe.h"
#include "platform/outside/ProjektUmgebung.h"

#include <QPushButton>

#include <gtest/gtest.h>

using namespace velu::outside;
using velu::eingabe::EineZeile;
using velu::eingabe::Einfuegen;
using velu::eingabe::ZeilenfelderPruefen;
using velu::eingabe::ZweiZeilen;
using velu::forms::MessageBoxScript;

namespace {

QString Pfad(const TestDir& d, const char* name) {
    return QString::fromStdString((d / name).string());
}

struct ZeilenfelderFixture : ::testing::Test {
    TestDir dir;
    void SetUp() override {
        testApp();
        velu::forms::EinzeiligeFelderEinrichten();
    }
};

TEST_F(ZeilenfelderFixture, EveryFieldOfTheMasksTakesAPastedNameAsOneLine) {
    ASSERT_TRUE(ProjektListe(Pfad(dir, "P") + "/").Anlegen());
    auto buch = Adressbuch::Oeffnen(Pfad(dir, "ZADRESS32.MDB"));
    ASSERT_TRUE(buch);
    Adresse a;
    a.name = "Stadt Neustadt";
    ASSERT_TRUE(buch->Speichern(a));
    const QString prodat = Pfad(dir, "Prodat");
    ASSERT_TRUE(SchreibeProdat(prodat, "Kita"));
    const ProjektInfo projekt{"00000001", "", "Kita", "", ""};

    ProjektAuswahl auswahl(Pfad(dir, "P") + "/", "");
    AdressMaske adressen(*buch, AdressMaske::Projekt{projekt, prodat});
    ProjektDatenMaske daten(prodat, projekt);
    for (QWidget* form : std::initializer_list<QWidget*>{&auswahl, &adressen, &daten}) {
        SCOPED_TRACE(form->objectName().toStdString());
        MessageBoxScript boxen({velu::forms::MsgResult::No});
        form->show();
        EXPECT_EQ(ZeilenfelderPruefen(*form).join("\n").toStdString(), "");
        form->hide();
    }
}

// The three fields a clerk pastes a project's name into: what is stored is the one line shown.
TEST_F(ZeilenfelderFixture, APastedNameIsStoredAsTheOneLineShown) {
    const QString projekte = Pfad(dir, "P") + "/";
    ASSERT_TRUE(ProjektListe(projekte).Anlegen());
    {
        ProjektAuswahl d(projekte, "");
        d.show();
        auto* nummer = d.findChild<QLineEdit*>("Nummer");
        auto* name = d.findChild<QLineEdit*>("Bezeichnung");
        nummer->setFocus();
        velu::eingabe::Tasten(*nummer, "4711");
        name->setFocus();
        Einfuegen(*name, ZweiZeilen);
        MessageBoxScript boxen;
        d.findChild<QPushButton*>("Anlegen")->click();
        EXPECT_TRUE(boxen.Shown().empty()) << boxen.LastText().toStdString();
        const auto liste = ProjektListe(projekte).Liste();
        ASSERT_TRUE(liste);
        ASSERT_EQ(liste->size(), 1u);
        EXPECT_EQ((*liste)[0].name, EineZeile);
    }
    const QString prodat = Pfad(dir, "Prodat");
    ASSERT_TRUE(SchreibeProdat(prodat, "Kita"));
    {
        ProjektDatenMaske m(prodat, ProjektInfo{"00004711", "", "Kita", "", ""});
        m.show();
        m.Feld(2)->setFocus();
        Einfuegen(*m.Feld(2), QStringLiteral("Bauteil B\nHaus 2"));
        MessageBoxScript boxen;
        ASSERT_TRUE(m.Speichern()) << boxen.LastText().toStdString();
        EXPECT_EQ(LeseProdatFeld(prodat, 2), "Bauteil B Haus 2");
    }
    {
        auto buch = Adressbuch::Oeffnen(Pfad(dir, "ZADRESS32.MDB"));
        ASSERT_TRUE(buch);
        AdressMaske m(*buch, std::nullopt);
        m.show();
        m.Neu();
        m.Feld("Name")->setFocus();
        Einfuegen(*m.Feld("Name"), ZweiZeilen);
        MessageBoxScript boxen;
        ASSERT_TRUE(m.Speichern()) << boxen.LastText().toStdString();
        const auto gefunden = buch->Suche("");
        ASSERT_EQ(gefunden.size(), 1u);
        EXPECT_EQ(gefunden[0].name, EineZeile);
    }
}

} // namespace
