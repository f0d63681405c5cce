#include "platform/outside/IniUmgebung.h"
#include "platform/settings/SettingsStore.h"

#include <QDir>
#include <QFile>
#include <QSettings>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace velu::outside;
using velu::settings::SettingsStore;

TEST(IniUmgebung, DefaultsBesideTheFileAndStoredValues) {
    QTemporaryDir tmp;
    auto eigene = std::make_shared<SettingsStore>(tmp.path() + "/heim/velunta.ini");
    IniUmgebung u(tmp.path() + "/umgebung.ini", eigene);
    EXPECT_EQ(u.ProjekteOrdner(), tmp.path() + "/Projekte/");
    EXPECT_EQ(u.PfadVonEinstellung("VELUDATEN", "/std/VELUDAT32.MDB"), "/std/VELUDAT32.MDB");
    EXPECT_TRUE(u.AktProjekt().nummer.isEmpty());

    ASSERT_TRUE(u.SetProjekteOrdner("C:\\Buero\\Projekte"));
    ASSERT_TRUE(u.SetPfad("VELUDATEN", "D:\\Daten\\VELUDAT32.MDB"));
    ASSERT_TRUE(u.SetAktProjekt("00000042", "Rathaus Süd"));
    IniUmgebung wieder(tmp.path() + "/umgebung.ini", eigene);
    EXPECT_EQ(wieder.ProjekteOrdner(), "C:/Buero/Projekte/");
    EXPECT_EQ(wieder.ProjektOrdner(), "C:/Buero/Projekte/00000042.PRO");
    EXPECT_EQ(wieder.PfadVonEinstellung("VELUDATEN", "x"), "D:/Daten/VELUDAT32.MDB");
    EXPECT_EQ(wieder.PfadVonEinstellung("VELUREPORTS", "/r"), "/r");
    const ProjektInfo p = wieder.AktProjekt();
    EXPECT_EQ(p.nummer, "00000042");
    EXPECT_EQ(p.name, "Rathaus Süd");
    EXPECT_EQ(p.ordner, "C:/Buero/Projekte/00000042.PRO");
    // The current project is the clerk's own: the office's file does not hold it.
    EXPECT_TRUE(IniUmgebung(tmp.path() + "/umgebung.ini").AktProjekt().nummer.isEmpty());
}

// An office written before paths were stored relative names itself by absolute paths. A copy reads them in
// its own place; paths the office set to places of its own stay as set. (A moved office: tests/core.)
TEST(IniUmgebung, AbsolutePathsOfAnOlderOfficeAreReadWhereTheOfficeNowLies) {
    struct Fall {
        const char* was;
        bool altDa, altMitEinstellungen; // the folder the paths name still exists, with its own umgebung.ini
        const char* projekte;            // below the old folder
        bool gefolgt;
    };
    for (const Fall& f : {Fall{"copied, the original still there", true, true, "/Projekte/", true},
                          Fall{"data in a folder of the office's choice", true, false, "/Projekte/", false},
                          Fall{"projects elsewhere", false, false, "/Ablage/", false}}) {
        SCOPED_TRACE(f.was);
        QTemporaryDir tmp;
        const QString alt = tmp.path() + "/alt", neu = tmp.path() + "/neu";
        if (f.altDa) QDir().mkpath(alt);
        if (f.altMitEinstellungen) QFile(alt + "/umgebung.ini").open(QIODevice::WriteOnly);
        QDir().mkpath(neu);
        {
            QSettings s(neu + "/umgebung.ini", QSettings::IniFormat);
            s.setValue("Umgebung/ProjekteOrdner", alt + f.projekte);
            s.setValue("Pfade/VELUDATEN", alt + "/STD_SYS/VELUDAT32.MDB");
            s.setValue("Pfade/ADRESSMDB", alt + "/STD_SYS/ZADRESS32.MDB");
            s.setValue("Pfade/STDBRIEF", tmp.path() + "/Briefe/SERIENBRIEFE.MDB");
        }
        IniUmgebung u(neu + "/umgebung.ini");
        const QString ort = f.gefolgt ? neu : alt;
        EXPECT_EQ(u.ProjekteOrdner(), ort + f.projekte);
        EXPECT_EQ(u.PfadVonEinstellung("VELUDATEN", "x"), ort + "/STD_SYS/VELUDAT32.MDB");
        EXPECT_EQ(u.PfadVonEinstellung("ADRESSMDB", "x"), ort + "/STD_SYS/ZADRESS32.MDB");
        EXPECT_EQ(u.PfadVonEinstellung("STDBRIEF", "x"), tmp.path() + "/Briefe/SERIENBRIEFE.MDB");
    }
}

TEST(IniUmgebung, OfficeFolderAndProjectFolders) {
    qputenv("VELUNTA_HOME", "/tmp/velu-home/");
    EXPECT_EQ(BueroOrdner(), "/tmp/velu-home");
    qunsetenv("VELUNTA_HOME");
    EXPECT_TRUE(BueroOrdner().endsWith("/.local/share/Velunta32"));
    EXPECT_EQ(ProjektOrdnerVon("/p/", "42"), "/p/00000042.PRO");
    EXPECT_EQ(ProjektOrdnerVon("/p", "12345678"), "/p/12345678.PRO");
}

TEST(IniUmgebung, UnwritableFileIsReported) {
    IniUmgebung u("/proc/velu-gibt-es-nicht/umgebung.ini",
                  std::make_shared<SettingsStore>("/proc/velu-gibt-es-nicht/velunta.ini"));
    EXPECT_FALSE(u.SetPfad("VELUDATEN", "/x"));
    EXPECT_FALSE(u.SetAktProjekt("1", "x"));
    EXPECT_EQ(u.AktProjekt().nummer, "1") << "this program works in it all the same";
}
