#include "platform/outside/IniUmgebung.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace velu::outside;

TEST(IniUmgebung, DefaultsBesideTheFileAndStoredValues) {
    QTemporaryDir tmp;
    IniUmgebung u(tmp.path() + "/umgebung.ini");
    EXPECT_EQ(u.ProjekteOrdner(), tmp.path() + "/Projekte/");
    EXPECT_EQ(u.PfadVonEinstellung("VELUDATEN", "/std/VELUDAT32.MDB"), "/std/VELUDAT32.MDB");
    EXPECT_TRUE(u.AktProjekt().nummer.isEmpty());

    ASSERT_TRUE(u.SetProjekteOrdner("C:\\Buero\\Projekte"));
    ASSERT_TRUE(u.SetPfad("VELUDATEN", "D:\\Daten\\VELUDAT32.MDB"));
    ASSERT_TRUE(u.SetAktProjekt("00000042", "Rathaus Süd"));
    IniUmgebung wieder(tmp.path() + "/umgebung.ini");
    EXPECT_EQ(wieder.ProjekteOrdner(), "C:/Buero/Projekte/");
    EXPECT_EQ(wieder.ProjektOrdner(), "C:/Buero/Projekte/00000042.PRO");
    EXPECT_EQ(wieder.PfadVonEinstellung("VELUDATEN", "x"), "D:/Daten/VELUDAT32.MDB");
    EXPECT_EQ(wieder.PfadVonEinstellung("VELUREPORTS", "/r"), "/r");
    const ProjektInfo p = wieder.AktProjekt();
    EXPECT_EQ(p.nummer, "00000042");
    EXPECT_EQ(p.name, "Rathaus Süd");
    EXPECT_EQ(p.ordner, "C:/Buero/Projekte/00000042.PRO");
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
    IniUmgebung u("/proc/velu-gibt-es-nicht/umgebung.ini");
    EXPECT_FALSE(u.SetAktProjekt("1", "x"));
}
