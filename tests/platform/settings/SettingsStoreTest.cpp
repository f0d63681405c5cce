#include "platform/settings/SettingsStore.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QTemporaryDir>

using velu::settings::SettingsStore;

namespace {

class SettingsStoreTest : public ::testing::Test {
protected:
    QTemporaryDir dir;
    QString ini() const { return dir.filePath(QStringLiteral("settings.ini")); }

    void writeRaw(const QByteArray& text) {
        QFile f(ini());
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(text);
    }
};

} // namespace

TEST(SettingsStoreName, ZarnikAndExecutableWithoutExtension) {
    EXPECT_EQ(SettingsStore::ApplicationName(QStringLiteral("/opt/velunta/Velunta32")),
              QStringLiteral("Zarnik Velunta32"));
    EXPECT_EQ(SettingsStore::ApplicationName(QStringLiteral("Velunta32.exe")),
              QStringLiteral("Zarnik Velunta32"));
}

TEST_F(SettingsStoreTest, TextValuesSurviveAnotherInstance) {
    {
        SettingsStore s(ini());
        EXPECT_TRUE(s.SaveSetting(QStringLiteral("MwSt"), QStringLiteral("value"), QStringLiteral("16,5")));
        EXPECT_TRUE(s.SaveSetting(QStringLiteral("WindowPos Grunddat"), QStringLiteral("Left"),
                                  QStringLiteral("120")));
        EXPECT_TRUE(
            s.SaveSetting(QStringLiteral("Aufwand"), QStringLiteral("LKDISP"), QStringLiteral("@ä, €")));
    }
    SettingsStore s(ini());
    EXPECT_EQ(s.GetSetting(QStringLiteral("MwSt"), QStringLiteral("value"), QStringLiteral("16")),
              QStringLiteral("16,5"));
    EXPECT_EQ(s.GetSetting(QStringLiteral("WindowPos Grunddat"), QStringLiteral("Left")),
              QStringLiteral("120"));
    EXPECT_EQ(s.GetSetting(QStringLiteral("Aufwand"), QStringLiteral("LKDISP")), QStringLiteral("@ä, €"));
    EXPECT_EQ(s.GetSetting(QStringLiteral("MwSt"), QStringLiteral("fehlt"), QStringLiteral("16")),
              QStringLiteral("16"));
}

TEST_F(SettingsStoreTest, DeleteKeyOrSection) {
    SettingsStore s(ini());
    s.SaveSetting(QStringLiteral("Aufwand"), QStringLiteral("AUFWANZ"), QStringLiteral("1"));
    s.SaveSetting(QStringLiteral("Aufwand"), QStringLiteral("LKDISP"), QStringLiteral("2"));
    s.SaveSetting(QStringLiteral("STDRECHNUNG"), QStringLiteral("AUFWANZ"), QStringLiteral("3"));

    EXPECT_TRUE(s.DeleteSetting(QStringLiteral("Aufwand"), QStringLiteral("AUFWANZ")));
    EXPECT_EQ(s.GetSetting(QStringLiteral("Aufwand"), QStringLiteral("AUFWANZ"), QStringLiteral("-")),
              QStringLiteral("-"));
    EXPECT_EQ(s.GetSetting(QStringLiteral("Aufwand"), QStringLiteral("LKDISP")), QStringLiteral("2"));

    EXPECT_TRUE(s.DeleteSetting(QStringLiteral("Aufwand")));
    EXPECT_EQ(s.GetSetting(QStringLiteral("Aufwand"), QStringLiteral("LKDISP"), QStringLiteral("-")),
              QStringLiteral("-"));
    EXPECT_TRUE(s.DeleteSetting(QStringLiteral("Aufwand"))); // already gone: no error

    // An empty section must not wipe the store.
    EXPECT_FALSE(s.DeleteSetting(QString()));
    EXPECT_EQ(s.GetSetting(QStringLiteral("STDRECHNUNG"), QStringLiteral("AUFWANZ")), QStringLiteral("3"));
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
        EXPECT_DOUBLE_EQ(s.GetNumber(QString::fromLatin1(c.section), QString::fromLatin1(c.key), -1),
                         c.expected)
            << c.section << "/" << c.key;
    EXPECT_EQ(s.GetSetting(QStringLiteral("MwSt"), QStringLiteral("value")), QStringLiteral("16,5"));
}

TEST_F(SettingsStoreTest, FailedWriteReported) {
    // A store whose folder is a file cannot be written.
    writeRaw("x");
    SettingsStore s(ini() + QStringLiteral("/sub.ini"));
    EXPECT_FALSE(s.SaveSetting(QStringLiteral("MwSt"), QStringLiteral("value"), QStringLiteral("16")));
}

TEST(SettingsStoreDefault, UserFileNamedAfterProgram) {
    QTemporaryDir home;
    qputenv("XDG_CONFIG_HOME", home.path().toUtf8());
    SettingsStore s;
    EXPECT_EQ(s.FileName(), home.filePath(QStringLiteral("Zarnik test_platform_settings.ini")));
    EXPECT_TRUE(s.SaveSetting(QStringLiteral("MwSt"), QStringLiteral("value"), QStringLiteral("16")));
    EXPECT_TRUE(QFile::exists(s.FileName()));
}
