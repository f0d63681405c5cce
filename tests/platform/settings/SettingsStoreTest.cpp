#include "platform/settings/SettingsStore.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QTemporaryDir>

using velu::settings::SettingsStore;

namespace {

QString Q(const char* s) {
    return QString::fromUtf8(s);
}

class SettingsStoreTest : public ::testing::Test {
protected:
    QTemporaryDir dir;
    QString ini() const { return dir.filePath(Q("settings.ini")); }

    void writeRaw(const QByteArray& text) {
        QFile f(ini());
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(text);
    }
};

} // namespace

TEST(SettingsStoreName, ZarnikAndExecutableWithoutExtension) {
    EXPECT_EQ(SettingsStore::ApplicationName(Q("/opt/velunta/Velunta32")), Q("Zarnik Velunta32"));
    EXPECT_EQ(SettingsStore::ApplicationName(Q("Velunta32.exe")), Q("Zarnik Velunta32"));
}

TEST_F(SettingsStoreTest, TextValuesSurviveAnotherInstance) {
    {
        SettingsStore s(ini());
        EXPECT_TRUE(s.SaveSetting(Q("MwSt"), Q("value"), Q("16,5")));
        EXPECT_TRUE(s.SaveSetting(Q("WindowPos Grunddat"), Q("Left"), Q("120")));
        EXPECT_TRUE(s.SaveSetting(Q("Aufwand"), Q("LKDISP"), Q("@ä, €")));
    }
    SettingsStore s(ini());
    EXPECT_EQ(s.GetSetting(Q("MwSt"), Q("value"), Q("16")), Q("16,5"));
    EXPECT_EQ(s.GetSetting(Q("WindowPos Grunddat"), Q("Left")), Q("120"));
    EXPECT_EQ(s.GetSetting(Q("Aufwand"), Q("LKDISP")), Q("@ä, €"));
    EXPECT_EQ(s.GetSetting(Q("MwSt"), Q("fehlt"), Q("16")), Q("16"));
}

TEST_F(SettingsStoreTest, DeleteKeyOrSection) {
    SettingsStore s(ini());
    s.SaveSetting(Q("Aufwand"), Q("AUFWANZ"), Q("1"));
    s.SaveSetting(Q("Aufwand"), Q("LKDISP"), Q("2"));
    s.SaveSetting(Q("STDRECHNUNG"), Q("AUFWANZ"), Q("3"));

    EXPECT_TRUE(s.DeleteSetting(Q("Aufwand"), Q("AUFWANZ")));
    EXPECT_EQ(s.GetSetting(Q("Aufwand"), Q("AUFWANZ"), Q("-")), Q("-"));
    EXPECT_EQ(s.GetSetting(Q("Aufwand"), Q("LKDISP")), Q("2"));

    EXPECT_TRUE(s.DeleteSetting(Q("Aufwand")));
    EXPECT_EQ(s.GetSetting(Q("Aufwand"), Q("LKDISP"), Q("-")), Q("-"));
    EXPECT_TRUE(s.DeleteSetting(Q("Aufwand"))); // already gone: no error

    // An empty section must not wipe the store.
    EXPECT_FALSE(s.DeleteSetting(QString()));
    EXPECT_EQ(s.GetSetting(Q("STDRECHNUNG"), Q("AUFWANZ")), Q("3"));
}

TEST_F(SettingsStoreTest, NumbersReadTolerantly) {
    // Written by hand: unquoted values, one with a comma that the INI reader would split into a list.
    writeRaw("[MwSt]\nvalue=16,5\n[Zahlen]\npunkt=16.5\ngruppiert=\"1.234,5\"\nganz= 7 \nleer=\ntext=16a\n"
             "zwei=1,2,3\nunendlich=inf\n");
    SettingsStore s(ini());
    struct Case {
        const char* section;
        const char* key;
        double expected;
    } cases[] = {
        {"MwSt", "value", 16.5}, {"Zahlen", "punkt", 16.5},   {"Zahlen", "gruppiert", 1234.5},
        {"Zahlen", "ganz", 7},   {"Zahlen", "leer", -1},      {"Zahlen", "text", -1},
        {"Zahlen", "zwei", -1},  {"Zahlen", "unendlich", -1}, {"Zahlen", "fehlt", -1},
        {"Fehlt", "value", -1},
    };
    for (const auto& c : cases)
        EXPECT_DOUBLE_EQ(s.GetNumber(Q(c.section), Q(c.key), -1), c.expected) << c.section << "/" << c.key;
    EXPECT_EQ(s.GetSetting(Q("MwSt"), Q("value")), Q("16,5"));
}

TEST_F(SettingsStoreTest, FailedWriteReported) {
    // A store whose folder is a file cannot be written.
    writeRaw("x");
    SettingsStore s(ini() + Q("/sub.ini"));
    EXPECT_FALSE(s.SaveSetting(Q("MwSt"), Q("value"), Q("16")));
}

TEST(SettingsStoreDefault, UserFileNamedAfterProgram) {
    QTemporaryDir home;
    qputenv("XDG_CONFIG_HOME", home.path().toUtf8());
    SettingsStore s;
    EXPECT_EQ(s.FileName(), home.filePath(Q("Zarnik test_platform_settings.ini")));
    EXPECT_TRUE(s.SaveSetting(Q("MwSt"), Q("value"), Q("16")));
    EXPECT_TRUE(QFile::exists(s.FileName()));
}
