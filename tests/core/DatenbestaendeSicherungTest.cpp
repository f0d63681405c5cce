// The data sets "Serienbriefe" and "Adressen": the files the serial-letter and address programs create are
// backed up through the backup dialog and come back through the restore dialog byte for byte (every page of
// the database; see Bytes), at the paths the settings name.
#include "DaSiFixture.h"

#include "core/DaSiOut.h"
#include "core/DaSiin.h"
#include "platform/archive/ZipArchive.h"
#include "platform/forms/MessageBox.h"
#include "platform/forms/ToolBand.h"
#include "platform/outside/Adressbuch.h"
#include "platform/outside/Serienbriefe.h"

#include <QFile>
#include <QRadioButton>

using namespace dasi_test;
using velu::forms::MessageBoxScript;
using velu::forms::MsgResult;
namespace outside = velu::outside;

namespace {

// The file's bytes, but for the counters in the SQLite header that count writes to the file itself (the file
// change counter at 24, the schema cookie at 40, the version at 92): the backup takes its snapshot through
// SQLite, which counts that write in the copy. Every other byte, every page, must match.
QByteArray Bytes(const fs::path& p) {
    QFile f(QString::fromStdString(p.string()));
    QByteArray b = f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    if (b.size() >= 100)
        for (int zaehler : {24, 40, 92})
            b.replace(zaehler, 4, QByteArray(4, '\0'));
    return b;
}

class DatenbestandTest : public DaSiTest {};

TEST_F(DatenbestandTest, LettersAndAddressesComeBackByteForByteThroughTheDialogs) {
    const fs::path briefDatei = root / "briefe/SERIENBRIEFE.MDB";
    const fs::path adressDatei = root / "adressen/ZADRESS32.MDB";
    u.pfade["STDBRIEF"] = QString::fromStdString(briefDatei.string());
    u.pfade["ADRESSMDB"] = QString::fromStdString(adressDatei.string());
    struct Fall {
        int nummer;
        fs::path datei;
        std::string deskriptor;
        std::function<void()> schreiben; // one more letter or address each time
        std::function<int()> anzahl;
        const char* gesagt; // the message after the backup, up to the archive's path
    };
    const Fall faelle[] = {
        {4, briefDatei, "SERIENBRIEFE",
         [&] {
             auto b = outside::Serienbriefe::Oeffnen(QString::fromStdString(briefDatei.string()));
             ASSERT_TRUE(b);
             ASSERT_GT(b->Neu("Einladung"), 0);
         },
         [&] {
             return int(outside::Serienbriefe::Oeffnen(QString::fromStdString(briefDatei.string()))
                            ->Briefe()
                            .size());
         },
         "Die Serienbriefe wurden in "},
        {5, adressDatei, "ADRESSEN",
         [&] {
             auto b = outside::Adressbuch::Oeffnen(QString::fromStdString(adressDatei.string()));
             ASSERT_TRUE(b);
             outside::Adresse a;
             a.name = QString::fromUtf8("Gemeinde Müllheim");
             ASSERT_TRUE(b->Speichern(a));
         },
         [&] {
             return int(outside::Adressbuch::Oeffnen(QString::fromStdString(adressDatei.string()))
                            ->Suche({})
                            .size());
         },
         "Die Adressen wurden in "},
    };
    for (const Fall& f : faelle) {
        SCOPED_TRACE(f.deskriptor);
        f.schreiben();
        const QByteArray gesichert = Bytes(f.datei);
        ASSERT_FALSE(gesichert.isEmpty());
        {
            velu::DaSiOut aus(u, Sys());
            aus.SetDateiDialog([](QWidget*, int) -> QString { return {}; });
            aus.findChild<QRadioButton*>(QString("Option1_%1").arg(f.nummer - 1))->setChecked(true);
            MessageBoxScript script;
            aus.Band().Click("OK");
            ASSERT_TRUE(fs::exists(Vorgabe())) << script.LastText().toStdString();
            EXPECT_EQ(velu::archive::ReadInfo(Vorgabe().string())->descriptor, f.deskriptor);
            EXPECT_EQ(script.LastText(),
                      f.gesagt + QString::fromStdString(Vorgabe().string()) + " gesichert.");
        }
        f.schreiben();
        ASSERT_EQ(f.anzahl(), 2);
        ASSERT_NE(Bytes(f.datei), gesichert);

        velu::DaSiin ein(u, Sys());
        ein.SetDateiDialog([](QWidget*, int) -> QString { return {}; });
        MessageBoxScript script({MsgResult::OK, MsgResult::OK});
        ein.Band().Click("OK");
        ASSERT_FALSE(script.Shown().empty());
        EXPECT_TRUE(script.Shown()[0].text.startsWith("Sie wollen die ")) << script.Shown()[0].text.toStdString();
        EXPECT_EQ(Bytes(f.datei), gesichert) << script.LastText().toStdString();
        EXPECT_EQ(f.anzahl(), 1);
        fs::remove(Vorgabe());
    }
}

// Archives of the addresses and of the serial letters whose file is another kind of database, restored
// through the dialog as a user would: each is refused with the usual message and leaves both files as they
// were, byte for byte; the program's own files of the right kind come back, whatever the case of the entry's
// name.
TEST_F(DatenbestandTest, LettersAndAddressesOfAnotherKindAreRefusedThroughTheDialog) {
    const fs::path daten = root / "daten";
    const fs::path briefDatei = daten / "SERIENBRIEFE.MDB";
    const fs::path adressDatei = daten / "ZADRESS32.MDB";
    u.pfade["STDBRIEF"] = QString::fromStdString(briefDatei.string());
    u.pfade["ADRESSMDB"] = QString::fromStdString(adressDatei.string());
    ASSERT_TRUE(outside::Serienbriefe::Oeffnen(QString::fromStdString(briefDatei.string())));
    ASSERT_TRUE(outside::Adressbuch::Oeffnen(QString::fromStdString(adressDatei.string())));

    // The files an archive may bring instead.
    const fs::path quelle = root / "quelle";
    fs::create_directories(quelle);
    {
        auto b = outside::Serienbriefe::Oeffnen(QString::fromStdString((quelle / "briefe.mdb").string()));
        ASSERT_TRUE(b);
        ASSERT_GT(b->Neu("Einladung"), 0);
        auto a = outside::Adressbuch::Oeffnen(QString::fromStdString((quelle / "adressen.mdb").string()));
        ASSERT_TRUE(a);
        outside::Adresse x;
        x.name = "Gemeinde Müllheim";
        ASSERT_TRUE(a->Speichern(x));
    }
    MakeDb(quelle / "projekt.mdb", "Projekt", 2);
    MakeDb(quelle / "stamm.mdb", "Stamm", 2);
    auto roh = [&](const char* datei, const char* sql) {
        auto db = velu::db::Database::Create(quelle / datei);
        ASSERT_TRUE(db);
        db->Execute(sql);
    };
    // Tables of the same names but no _Meta row, and a _Meta row without the tables.
    roh("fremdeAdressen.mdb", "CREATE TABLE Adressen (AdrNr INTEGER PRIMARY KEY, Name TEXT)");
    roh("fremdeBriefe.mdb", "CREATE TABLE DruckVorlagen (LFNR INTEGER PRIMARY KEY, Dokumentart INTEGER)");
    roh("nurMetaAdressen.mdb", "CREATE TABLE _Meta (Key TEXT PRIMARY KEY, Value TEXT); "
                               "INSERT INTO _Meta VALUES ('Kind', 'Adressen'), ('SchemaVersion', '1')");
    roh("nurMetaBriefe.mdb", "CREATE TABLE _Meta (Key TEXT PRIMARY KEY, Value TEXT); "
                             "INSERT INTO _Meta VALUES ('Kind', 'Serienbriefe'), ('SchemaVersion', '1')");
    roh("sonstiges.mdb", "CREATE TABLE Sonstiges (Text TEXT)");

    struct Fall {
        const char* name;
        std::string deskriptor, eintrag, datei;
        bool angenommen;
    };
    const Fall faelle[] = {
        {"addresses: serial letters", "ADRESSEN", "ZADRESS32.MDB", "briefe.mdb", false},
        {"addresses: a project database", "ADRESSEN", "ZADRESS32.MDB", "projekt.mdb", false},
        {"addresses: a table Adressen without _Meta", "ADRESSEN", "ZADRESS32.MDB", "fremdeAdressen.mdb",
         false},
        {"addresses: _Meta without the table", "ADRESSEN", "ZADRESS32.MDB", "nurMetaAdressen.mdb", false},
        {"addresses: another database, name in small letters", "ADRESSEN", "zadress32.mdb", "sonstiges.mdb",
         false},
        {"letters: an address book", "SERIENBRIEFE", "SERIENBRIEFE.MDB", "adressen.mdb", false},
        {"letters: the master database", "SERIENBRIEFE", "SERIENBRIEFE.MDB", "stamm.mdb", false},
        {"letters: a table DruckVorlagen without _Meta", "SERIENBRIEFE", "Serienbriefe.MDB",
         "fremdeBriefe.mdb", false},
        {"letters: _Meta without the table", "SERIENBRIEFE", "SERIENBRIEFE.MDB", "nurMetaBriefe.mdb", false},
        {"addresses: an address book", "ADRESSEN", "zadress32.mdb", "adressen.mdb", true},
        {"letters: serial letters", "SERIENBRIEFE", "Serienbriefe.MDB", "briefe.mdb", true},
    };
    for (const Fall& f : faelle) {
        SCOPED_TRACE(f.name);
        fs::remove(archiv.toStdString());
        ASSERT_EQ(velu::archive::WriteArchive(archiv.toStdString(), {f.deskriptor, "01.01.2026 00:00:00"},
                                              {{f.eintrag, quelle / f.datei}}),
                  "");
        const std::string vorher = dasi_test::Bytes(daten);
        velu::DaSiin ein(u, Sys());
        ein.SetDateiDialog([&](QWidget*, int) { return archiv; });
        MessageBoxScript script({MsgResult::OK, MsgResult::OK});
        ein.Band().Click("LW");
        ein.Band().Click("OK");
        ASSERT_EQ(script.Shown().size(), 2u) << script.LastText().toStdString();
        if (f.angenommen) {
            EXPECT_EQ(script.LastText(), "Die Datensicherung wurde erfolgreich zurückgelesen.");
            const fs::path ziel = f.deskriptor == "ADRESSEN" ? adressDatei : briefDatei;
            EXPECT_EQ(Dump(ziel), Dump(quelle / f.datei));
            continue;
        }
        EXPECT_TRUE(script.LastText().contains("ist keine Datenbank dieses Programms."))
            << script.LastText().toStdString();
        EXPECT_TRUE(script.LastText().endsWith("Die bisherigen Daten sind unverändert."))
            << script.LastText().toStdString();
        EXPECT_EQ(dasi_test::Bytes(daten), vorher);
    }
}

} // namespace
