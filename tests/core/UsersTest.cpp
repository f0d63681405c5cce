#include "BenutzerTestDB.h"
#include "core/Benutzer.h"
#include "core/LogIn.h"

#include <gtest/gtest.h>

namespace velu {
namespace {

QString Alt(const QString& pw) {
    QString kopie = pw;
    return PasswortVerschl(kopie);
}

TEST(PasswortVerschl, ScrambleOfOlderDatabases) {
    struct Fall {
        QString pw;
        int pos;      // 0-based character of the result
        int erwartet; // its code
    } faelle[] = {
        {"A", 0, 32 ^ 8},                    // 65 / 2 = 32.5 -> 32 (half to even)
        {"C", 0, 34 ^ 8},                    // 33.5 -> 34
        {"E", 0, 34 ^ 8},                    // 34.5 -> 34
        {"AB", 1, 33 ^ 15},                  // 66 / 2 = 33; 2 * 23 / 3 = 15.33 -> 15
        {"", 2, 16 ^ 23},                    // padding blank; 3 * 23 / 3 = 23
        {"", 19, 16 ^ 153},                  // 20 * 23 / 3 = 153.33 -> 153
        {QString(QChar(0x20AC)), 0, 64 ^ 8}, // the euro sign is 128 in the single-byte code page
    };
    for (const auto& f : faelle) {
        SCOPED_TRACE(f.pw.toStdString());
        const QString s = Alt(f.pw);
        ASSERT_EQ(s.size(), 20);
        EXPECT_EQ(int(s.at(f.pos).unicode()), f.erwartet);
    }
    // The argument is padded in place; only the first 20 characters count.
    QString pw = "geheim";
    PasswortVerschl(pw);
    EXPECT_EQ(pw, QString("geheim") + QString(14, ' '));
    EXPECT_EQ(Alt("abcdefghijklmnopqrstX"), Alt("abcdefghijklmnopqrstY"));
    EXPECT_NE(Alt("abcd"), Alt("abcf"));
    EXPECT_EQ(Alt("abcd"), Alt("abce")); // halving loses the last bit: 100 and 101 both give 50
}

TEST(Passwort, KindsOfStoredValues) {
    EXPECT_EQ(ArtDesPassworts(""), PasswortArt::Keins);
    EXPECT_EQ(ArtDesPassworts(KeinPasswortMarke), PasswortArt::Keins);
    EXPECT_EQ(ArtDesPassworts(Alt("").toStdString()), PasswortArt::Keins); // an old "no password"
    EXPECT_EQ(ArtDesPassworts(Alt("geheim").toStdString()), PasswortArt::Alt);
    EXPECT_EQ(ArtDesPassworts(PasswortZumSpeichern("geheim")), PasswortArt::Hash);
    EXPECT_EQ(PasswortZumSpeichern(""), KeinPasswortMarke);
    EXPECT_EQ(PasswortZumSpeichern("geheim").rfind("$argon2id$", 0), 0u);
}

class Login : public ::testing::Test {
protected:
    test::BenutzerDB t;
};

TEST_F(Login, FivePasswordPaths) {
    t.Benutzer("OHNE", 3);
    t.Benutzer("MEIER", 5, PasswortZumSpeichern("geheim"));
    auto& db = t.DB();

    // no password set: only an empty entry passes
    EXPECT_TRUE(PruefeLogin(db, true, true, "OHNE", ""));
    EXPECT_FALSE(PruefeLogin(db, true, true, "OHNE", "x"));
    // correct
    auto ok = PruefeLogin(db, true, true, "MEIER", "geheim");
    ASSERT_TRUE(ok);
    EXPECT_EQ(ok->rechte, 5);
    // wrong, empty, unknown user, empty name
    EXPECT_FALSE(PruefeLogin(db, true, true, "MEIER", "Geheim"));
    EXPECT_FALSE(PruefeLogin(db, true, true, "MEIER", ""));
    EXPECT_FALSE(PruefeLogin(db, true, true, "NIEMAND", "geheim"));
    EXPECT_FALSE(PruefeLogin(db, true, true, "", ""));
    // changed
    EXPECT_EQ(SetNewPasswort(db, "MEIER", "neu123"), 1);
    EXPECT_FALSE(PruefeLogin(db, true, true, "MEIER", "geheim"));
    EXPECT_TRUE(PruefeLogin(db, true, true, "MEIER", "neu123"));
    // cleared: does not lock the user out
    EXPECT_EQ(SetNewPasswort(db, "MEIER", ""), 1);
    EXPECT_EQ(t.Gespeichert("MEIER"), KeinPasswortMarke);
    EXPECT_TRUE(PruefeLogin(db, true, true, "MEIER", ""));
    // switched off: any entry, the user must still exist
    EXPECT_EQ(SetNewPasswort(db, "MEIER", "geheim"), 1);
    EXPECT_TRUE(PruefeLogin(db, true, false, "MEIER", "falsch"));
    EXPECT_FALSE(PruefeLogin(db, true, false, "NIEMAND", ""));
}

TEST_F(Login, WithoutUsersTheNameIsSupervisor) {
    t.Benutzer("MEIER", 5);
    SetNewPasswort(t.DB(), "SUPERVISOR", "chef1");
    auto ok = PruefeLogin(t.DB(), false, true, "MEIER", "chef1");
    ASSERT_TRUE(ok);
    EXPECT_EQ(ok->benutzer, "SUPERVISOR");
    EXPECT_EQ(ok->rechte, AlleRechte);
}

TEST_F(Login, OldScrambledValueIsCheckedAndAsksForANewPassword) {
    t.Benutzer("ALT", 7, Alt("geheim").toStdString());
    const std::string alt = t.Gespeichert("ALT");
    EXPECT_FALSE(PruefeLogin(t.DB(), true, true, "ALT", "falsch"));

    // A match through the scramble is marked, and the text typed is never stored: it may be a look-alike.
    auto ok = PruefeLogin(t.DB(), true, true, "ALT", "geheim");
    ASSERT_TRUE(ok);
    EXPECT_TRUE(ok->altesPasswort);
    EXPECT_EQ(t.Gespeichert("ALT"), alt);
    EXPECT_TRUE(PruefeLogin(t.DB(), true, true, "ALT", "geheim"));
    EXPECT_FALSE(PruefeLogin(t.DB(), true, true, "ALT", "falsch"));

    SetNewPasswort(t.DB(), "ALT", "geheim");
    ok = PruefeLogin(t.DB(), true, true, "ALT", "geheim");
    ASSERT_TRUE(ok);
    EXPECT_FALSE(ok->altesPasswort);

    // An old "no password" (the scrambled blanks) lets the user in with an empty entry.
    t.Benutzer("LEER", 1, Alt("").toStdString());
    EXPECT_TRUE(PruefeLogin(t.DB(), true, true, "LEER", ""));
}

TEST_F(Login, SamePasswordHashesDifferentlyPerUser) {
    t.Benutzer("A", 1);
    t.Benutzer("B", 1);
    SetNewPasswort(t.DB(), "A", "gleich");
    SetNewPasswort(t.DB(), "B", "gleich");
    EXPECT_NE(t.Gespeichert("A"), t.Gespeichert("B"));
    EXPECT_EQ(t.Gespeichert("A").find("gleich"), std::string::npos);
    EXPECT_TRUE(PruefeLogin(t.DB(), true, true, "A", "gleich"));
    EXPECT_TRUE(PruefeLogin(t.DB(), true, true, "B", "gleich"));
}

TEST_F(Login, NamesIgnoreCaseAndKeepTheirSpelling) {
    t.Benutzer("Meier", 9, PasswortZumSpeichern("geheim"));
    for (const QString name : {"Meier", "MEIER", "meier"}) {
        auto ok = PruefeLogin(t.DB(), true, true, name, "geheim");
        ASSERT_TRUE(ok) << name.toStdString();
        EXPECT_EQ(ok->benutzer, name);
        EXPECT_EQ(ok->rechte, 9);
    }
    EXPECT_EQ(SetNewPasswort(t.DB(), "mEIER", "anders"), 1);
    EXPECT_TRUE(PruefeLogin(t.DB(), true, true, "Meier", "anders"));
    EXPECT_TRUE(GleicherBenutzer("supervisor", SupervisorName));
}

TEST_F(Login, ModuleProcedures) {
    auto& db = t.DB();
    EXPECT_FALSE(IsMitBenutzer(db)); // SUPERVISOR alone
    t.Benutzer("MEIER", 0);
    EXPECT_TRUE(IsMitBenutzer(db));

    EXPECT_EQ(IsMitPasswort(db), 0);
    SetMitPasswort(db, true);
    EXPECT_EQ(IsMitPasswort(db), -1);
    SetMitPasswort(db, false);
    EXPECT_EQ(IsMitPasswort(db), 0);

    int32_t rechte = 42;
    std::string pw = "unberührt";
    EXPECT_FALSE(GetAkPasswort(db, "NIEMAND", rechte, pw));
    EXPECT_EQ(rechte, 42);
    EXPECT_EQ(pw, "unberührt");
    EXPECT_TRUE(GetAkPasswort(db, "supervisor", rechte, pw));
    EXPECT_EQ(rechte, AlleRechte);
    EXPECT_EQ(pw, ""); // the marker reads as "never set"

    EXPECT_EQ(SetNewPasswort(db, "NIEMAND", "geheim"), 0);
}

} // namespace
} // namespace velu
