// The address book: created on first use where the setting points, refusing files of another kind; search by
// name as users type it; the client lines it writes into a project; the mask's project mode.
#include "platform/outside/Adressbuch.h"
#include "TestApp.h"
#include "TestDir.h"
#include "platform/archive/OfficeEntry.h"
#include "platform/db/Recordset.h"
#include "platform/forms/MessageBox.h"
#include "platform/outside/Ablage.h"
#include "platform/outside/AdressMaske.h"
#include "platform/outside/IniUmgebung.h"
#include "platform/outside/Prodat.h"
#include "platform/outside/StandInProgramme.h"

#include <QApplication>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QTableWidget>
#include <QTimer>
#include <gtest/gtest.h>

#include <filesystem>

using namespace velu::outside;
using velu::forms::MessageBoxScript;
using velu::forms::MsgResult;

namespace {

QString Pfad(const TestDir& d, const std::string& name) {
    return QString::fromStdString((d / name).string());
}

QByteArray Inhalt(const QString& pfad) {
    QFile f(pfad);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<fehlt>");
}

Adresse A(const char* name, const char* strasse = "", const char* plz = "", const char* ort = "") {
    Adresse a;
    a.name = QString::fromUtf8(name);
    a.strasse = QString::fromUtf8(strasse);
    a.plz = plz;
    a.ort = QString::fromUtf8(ort);
    return a;
}

QStringList Namen(const std::vector<Adresse>& v) {
    QStringList out;
    for (const Adresse& a : v)
        out << a.name;
    return out;
}

TEST(Adressbuch, CreatedOnFirstUseAndOnlyOpensItsOwnKindOfFile) {
    TestDir dir;
    const QString neu = Pfad(dir, "unter/ordner/ZADRESS32.MDB");
    QString fehler;
    {
        auto b = Adressbuch::Oeffnen(neu, &fehler);
        ASSERT_TRUE(b) << fehler.toStdString();
        Adresse a = A("Erste");
        ASSERT_TRUE(b->Speichern(a));
    }
    auto wieder = Adressbuch::Oeffnen(neu, &fehler);
    ASSERT_TRUE(wieder) << fehler.toStdString();
    EXPECT_EQ(Namen(wieder->Suche("")), QStringList{"Erste"}) << "opening again keeps the addresses";

    // Another program's database and a file that is no database: refused, left as they were.
    const QString fremd = Pfad(dir, "fremd.mdb");
    ASSERT_TRUE(OeffneAblage(
        fremd, "Serienbriefe", [](velu::db::Database&) {}, &fehler));
    const QString kaputt = Pfad(dir, "kaputt.mdb");
    {
        QFile f(kaputt);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("kein SQLite");
    }
    for (const QString& p : {fremd, kaputt}) {
        const QByteArray vorher = Inhalt(p);
        fehler.clear();
        EXPECT_FALSE(Adressbuch::Oeffnen(p, &fehler)) << p.toStdString();
        EXPECT_FALSE(fehler.isEmpty());
        EXPECT_EQ(Inhalt(p), vorher);
    }
}

// A co-worker's link where the address book or its folder is made: refused with the message naming it,
// nothing is made outside the office and the file a link points to keeps its bytes.
TEST(Adressbuch, ALinkWhereTheDatabaseOrItsFolderIsMadeIsRefused) {
    namespace fs = std::filesystem;
    TestDir dir;
    const fs::path aussen = dir / "aussen", sys = dir / "STD_SYS", datei = sys / "ZADRESS32.MDB";
    fs::create_directories(aussen);
    {
        auto fremd = OeffneAblage(
            QString::fromStdString((aussen / "eigen.mdb").string()), "Adressbuch", [](velu::db::Database&) {},
            nullptr);
        ASSERT_TRUE(fremd);
    }
    const QByteArray eigen = Inhalt(QString::fromStdString((aussen / "eigen.mdb").string()));
    struct Case {
        const char* name;
        std::function<void()> pflanze;
        fs::path verweis; // what the message names
    };
    const Case cases[] = {
        {"folder is a link", [&] { fs::create_directory_symlink(aussen, sys); }, sys},
        {"folder is a dangling link", [&] { fs::create_directory_symlink(aussen / "neu", sys); }, sys},
        {"database is a dangling link",
         [&] {
             fs::create_directories(sys);
             fs::create_symlink(aussen / "ZADRESS32.MDB", datei);
         },
         datei},
        {"database is a link to a database outside",
         [&] {
             fs::create_directories(sys);
             fs::create_symlink(aussen / "eigen.mdb", datei);
         },
         datei},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        c.pflanze();
        QString fehler;
        EXPECT_FALSE(Adressbuch::Oeffnen(QString::fromStdString(datei.string()), &fehler));
        EXPECT_EQ(fehler, QString::fromStdString(velu::archive::LinkText(c.verweis)));
        EXPECT_FALSE(fs::exists(aussen / "ZADRESS32.MDB"));
        EXPECT_FALSE(fs::exists(aussen / "neu"));
        EXPECT_EQ(Inhalt(QString::fromStdString((aussen / "eigen.mdb").string())), eigen);
        fs::remove(fs::is_symlink(sys) ? sys : datei);
        fs::remove(sys);
    }

    // Made directly, the database itself refuses a link in its place.
    fs::create_symlink(aussen / "direkt.mdb", dir / "direkt.mdb");
    std::string warum;
    EXPECT_FALSE(velu::db::Database::Create(dir / "direkt.mdb", &warum));
    EXPECT_EQ(warum, velu::archive::LinkText(dir / "direkt.mdb"));
    EXPECT_FALSE(fs::exists(aussen / "direkt.mdb"));
}

TEST(Adressbuch, PathFromTheSettingElseBesideTheMasterDatabase) {
    TestDir dir;
    IniUmgebung u(Pfad(dir, "umgebung.ini"));
    ASSERT_TRUE(u.SetPfad("VELUDATEN", Pfad(dir, "STD_SYS") + "\\VELUDAT32.MDB"));
    EXPECT_EQ(Adressbuch::Pfad(u), Pfad(dir, "STD_SYS/ZADRESS32.MDB"));
    ASSERT_TRUE(u.SetPfad("ADRESSMDB", Pfad(dir, "woanders/adressen.mdb")));
    EXPECT_EQ(Adressbuch::Pfad(u), Pfad(dir, "woanders/adressen.mdb"));
}

TEST(Adressbuch, SearchFindsTypedNamesAndTakesWildcardsAndQuotesLiterally) {
    TestDir dir;
    auto b = Adressbuch::Oeffnen(Pfad(dir, "ZADRESS32.MDB"));
    ASSERT_TRUE(b);
    for (const char* n : {"Müller Bau GmbH", "Ärztehaus Nord", "Zimmerei Maier", "100% Bau", "Bau_Plan AG",
                          "O'Brien & Söhne", "müllerbau"}) {
        Adresse a = A(n);
        ASSERT_TRUE(b->Speichern(a)) << n;
        EXPECT_GT(a.nr, 0);
    }
    struct Fall {
        const char* suche;
        QStringList erwartet;
    };
    const Fall faelle[] = {
        {"",
         {"100% Bau", "Ärztehaus Nord", "Bau_Plan AG", "Müller Bau GmbH", "müllerbau", "O'Brien & Söhne",
          "Zimmerei Maier"}},
        {"MÜLLER", {"Müller Bau GmbH", "müllerbau"}},
        {"  maier ", {"Zimmerei Maier"}},
        {"%", {"100% Bau"}},
        {"_", {"Bau_Plan AG"}},
        {"o'b", {"O'Brien & Söhne"}},
        {"x'; DROP TABLE Adressen; --", {}},
    };
    for (const Fall& f : faelle) {
        QStringList erwartet;
        for (const QString& n : f.erwartet)
            erwartet << n;
        EXPECT_EQ(Namen(b->Suche(QString::fromUtf8(f.suche))), erwartet) << f.suche;
    }
    EXPECT_EQ(b->Suche("").size(), 7u) << "the table survives typed SQL";
}

TEST(Adressbuch, RefusedWritesChangeNothing) {
    TestDir dir;
    auto b = Adressbuch::Oeffnen(Pfad(dir, "ZADRESS32.MDB"));
    ASSERT_TRUE(b);
    Adresse a = A("  Stadt Neustadt  ", "Markt 1", "12345", "Neustadt");
    ASSERT_TRUE(b->Speichern(a));
    EXPECT_EQ(a.name, "Stadt Neustadt") << "stored trimmed";
    QString fehler;
    Adresse leer = a;
    leer.name = "   ";
    EXPECT_FALSE(b->Speichern(leer, &fehler));
    EXPECT_EQ(fehler, AdresseOhneName);
    Adresse weg = A("Gelöscht");
    ASSERT_TRUE(b->Speichern(weg));
    ASSERT_TRUE(b->Loeschen(weg.nr));
    weg.name = "wieder da?";
    EXPECT_FALSE(b->Speichern(weg, &fehler));
    EXPECT_EQ(Namen(b->Suche("")), QStringList{"Stadt Neustadt"});
    EXPECT_EQ(b->Lese(a.nr)->ort, "Neustadt");
}

TEST(Adressbuch, ClientLinesOfTheProjectData) {
    TestDir dir;
    const QString prodat = Pfad(dir, "Prodat");
    ASSERT_TRUE(SchreibeProdatFelder(prodat, {{0, "Neubau Kita"}, {7, "bleibt"}}));
    struct Fall {
        Adresse a;
        std::array<QString, 3> zeilen;
    };
    const Fall faelle[] = {
        {A("Gemeinde Musterhausen", "Rathausplatz 1", "12345", "Musterhausen"),
         {"Gemeinde Musterhausen", "Rathausplatz 1", "12345 Musterhausen"}},
        {A("Ohne PLZ", "Weg 2", "", "Dorf"), {"Ohne PLZ", "Weg 2", "Dorf"}},
        {A("Nur Name"), {"Nur Name", "", ""}},
    };
    for (const Fall& f : faelle) {
        EXPECT_EQ(BauherrZeilen(f.a), f.zeilen);
        ASSERT_TRUE(SchreibeBauherr(prodat, f.a));
        for (int i = 0; i < 3; ++i)
            EXPECT_EQ(LeseProdatFeld(prodat, 4 + i), f.zeilen[size_t(i)]);
    }
    // A street that does not fit is refused; the file keeps every byte.
    const QByteArray vorher = Inhalt(prodat);
    QString fehler;
    EXPECT_FALSE(
        SchreibeBauherr(prodat, A("Lang", "Sehr lange Straße mit einem sehr langen Namen 12"), &fehler));
    EXPECT_TRUE(fehler.contains("Straße")) << fehler.toStdString();
    EXPECT_EQ(Inhalt(prodat), vorher);
    EXPECT_EQ(LeseProdatFeld(prodat, 0), "Neubau Kita");
    EXPECT_EQ(LeseProdatFeld(prodat, 7), "bleibt");
}

struct AdressMaskeFixture : ::testing::Test {
    TestDir dir;
    QString prodat = Pfad(dir, "Prodat");
    std::unique_ptr<Adressbuch> buch;
    void SetUp() override {
        testApp();
        buch = Adressbuch::Oeffnen(Pfad(dir, "ZADRESS32.MDB"));
        ASSERT_TRUE(buch);
        for (Adresse a : {A("Gemeinde Musterhausen", "Rathausplatz 1", "12345", "Musterhausen"),
                          A("Stadt Neustadt", "Markt 1", "54321", "Neustadt")})
            ASSERT_TRUE(buch->Speichern(a));
        ASSERT_TRUE(SchreibeProdatFelder(prodat, {{4, "Alter Bauherr"}}));
    }
    AdressMaske::Projekt Projekt() { return {ProjektInfo{"00000001", "", "Kita", "", ""}, prodat}; }
};

TEST_F(AdressMaskeFixture, APickedAddressBecomesTheClient) {
    AdressMaske m(*buch, Projekt());
    m.findChild<QLineEdit*>("Suche")->setText("neu");
    ASSERT_EQ(m.Liste()->rowCount(), 1);
    m.Liste()->setCurrentCell(0, 0);
    EXPECT_EQ(m.Feld("Strasse")->text(), "Markt 1");
    MessageBoxScript boxen;
    ASSERT_TRUE(m.AlsBauherr());
    EXPECT_TRUE(boxen.Shown().empty());
    EXPECT_EQ(m.findChild<QLabel*>("Hinweis")->text(), BauherrUebernommen);
    EXPECT_EQ(LeseProdatFeld(prodat, 4), "Stadt Neustadt");
    EXPECT_EQ(LeseProdatFeld(prodat, 5), "Markt 1");
    EXPECT_EQ(LeseProdatFeld(prodat, 6), "54321 Neustadt");
    EXPECT_TRUE(m.findChild<QLabel*>("BauherrAktuell")->text().contains("54321 Neustadt"));
}

TEST_F(AdressMaskeFixture, AnEnteredClientIsStoredInTheBookToo) {
    AdressMaske m(*buch, Projekt());
    m.Neu();
    m.Feld("Name")->setText("Bauherrengemeinschaft Süd");
    m.Feld("Strasse")->setText("Südring 4");
    m.Feld("PLZ")->setText("80000");
    m.Feld("Ort")->setText("München");
    MessageBoxScript boxen;
    ASSERT_TRUE(m.AlsBauherr());
    EXPECT_EQ(LeseProdatFeld(prodat, 6), "80000 München");
    ASSERT_EQ(buch->Suche("Süd").size(), 1u);
    EXPECT_EQ(buch->Suche("Süd")[0].strasse, "Südring 4");
}

TEST_F(AdressMaskeFixture, ARefusedClientLeavesBookAndProjectAsTheyWere) {
    AdressMaske m(*buch, Projekt());
    const QByteArray vorher = Inhalt(prodat);
    struct Fall {
        const char *name, *ort, *meldung;
    };
    const Fall faelle[] = {
        {"", "Neustadt", "Namen"},
        {"Kurz", "Ortschaft mit einem Namen weit über vierzig", "höchstens 40"},
        {"Łukasz Bau", "Ort", "Ł"},
    };
    for (const Fall& f : faelle) {
        // The previous case's refused text is discarded ("No" to saving it).
        MessageBoxScript boxen({MsgResult::No});
        m.Neu();
        m.Feld("Name")->setText(QString::fromUtf8(f.name));
        m.Feld("PLZ")->setText("12345");
        m.Feld("Ort")->setText(QString::fromUtf8(f.ort));
        EXPECT_FALSE(m.AlsBauherr()) << f.name;
        EXPECT_TRUE(boxen.LastText().contains(QString::fromUtf8(f.meldung)))
            << boxen.LastText().toStdString();
        EXPECT_EQ(Inhalt(prodat), vorher) << f.name;
        EXPECT_EQ(buch->Suche("").size(), 2u) << f.name;
    }
}

TEST_F(AdressMaskeFixture, UnsavedChangesAreAskedForBeforeAnotherAddressIsShown) {
    AdressMaske m(*buch, std::nullopt);
    EXPECT_EQ(m.findChild<QLabel*>("BauherrAktuell"), nullptr) << "without a project there is no client";
    m.Liste()->setCurrentCell(0, 0);
    m.Feld("Telefon")->setText("0123 4567");
    {
        MessageBoxScript boxen({MsgResult::Cancel});
        m.Liste()->setCurrentCell(1, 0);
        EXPECT_EQ(boxen.LastText(), AdresseGeaendert);
        EXPECT_EQ(m.Liste()->currentRow(), 0) << "cancel stays on the changed address";
        EXPECT_EQ(m.Feld("Telefon")->text(), "0123 4567");
    }
    {
        MessageBoxScript boxen({MsgResult::Yes});
        m.Liste()->setCurrentCell(1, 0);
        EXPECT_EQ(m.Feld("Name")->text(), "Stadt Neustadt");
    }
    EXPECT_EQ(buch->Suche("Gemeinde")[0].telefon, "0123 4567");
    {
        MessageBoxScript boxen({MsgResult::No});
        m.Loeschen();
        EXPECT_EQ(boxen.LastText(), AdresseLoeschen);
        EXPECT_EQ(boxen.Shown()[0].defaultButton, 1) << "No is the default";
        EXPECT_EQ(buch->Suche("").size(), 2u);
    }
}

TEST(AdressProgramm, OpensTheBookWhereTheSettingPointsOnTheCurrentProject) {
    testApp();
    TestDir dir;
    IniUmgebung u(Pfad(dir, "umgebung.ini"));
    ASSERT_TRUE(u.SetProjekteOrdner(Pfad(dir, "Projekte") + "/"));
    ASSERT_TRUE(u.SetAktProjekt("00000003", "Schule"));
    ASSERT_TRUE(u.SetPfad("ADRESSMDB", Pfad(dir, "Adressen/ZADRESS32.MDB")));
    StandInProgramme p(u);
    QString titel, gruppe;
    QTimer::singleShot(0, [&] {
        auto* w = qobject_cast<AdressMaske*>(QApplication::activeModalWidget());
        ASSERT_NE(w, nullptr);
        titel = w->windowTitle();
        ASSERT_NE(w->findChild<QLabel*>("BauherrAktuell"), nullptr);
        w->reject();
    });
    QStringList feld{QString()};
    int h = 0;
    auto prog = p.CreateAdressProgramm();
    prog->SetPxEntry(51);
    prog->ShowAdressMask("PROJEKTADRESS", 0, feld, h);
    EXPECT_EQ(titel, "Adressverwaltung");
    EXPECT_TRUE(QFile::exists(Pfad(dir, "Adressen/ZADRESS32.MDB")));
}

} // namespace

// scripts/screenshot adressen
TEST(AdressenScreenshot, Maske) {
    testApp();
    TestDir dir;
    auto buch = Adressbuch::Oeffnen(Pfad(dir, "ZADRESS32.MDB"));
    ASSERT_TRUE(buch);
    for (Adresse a : {A("Gemeinde Musterhausen", "Rathausplatz 1", "12345", "Musterhausen"),
                      A("Stadt Neustadt", "Markt 1", "54321", "Neustadt"),
                      A("Wohnbau Süd GmbH", "Südring 4", "80331", "München"),
                      A("Kirchengemeinde St. Georg", "Kirchplatz 2", "79098", "Freiburg")}) {
        a.telefon = "0761 123456";
        ASSERT_TRUE(buch->Speichern(a));
    }
    const QString prodat = Pfad(dir, "Prodat");
    ASSERT_TRUE(SchreibeProdatFelder(prodat, {{4, "Stadt Neustadt"}, {5, "Markt 1"}, {6, "54321 Neustadt"}}));
    AdressMaske m(*buch, AdressMaske::Projekt{ProjektInfo{"00000001", "", "Kita Sonnenhof", "", ""}, prodat});
    m.resize(m.sizeHint());
    m.show();
    m.Liste()->setCurrentCell(0, 0);
    QApplication::processEvents();
    EXPECT_EQ(m.Feld("Name")->text(), "Gemeinde Musterhausen");
    const QString datei = qEnvironmentVariable("VELU_SCREENSHOT");
    if (!datei.isEmpty()) EXPECT_TRUE(m.grab().save(datei));
}
