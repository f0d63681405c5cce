// The project data file: field offsets, short and long files, NUL bytes, Windows-1252 both ways.
#include "platform/outside/Prodat.h"
#include "TestDir.h"

#include <QFile>
#include <gtest/gtest.h>

using namespace velu::outside;

namespace {
QString Schreibe(const TestDir& dir, const QByteArray& inhalt) {
    const QString pfad = QString::fromStdString((dir / "Prodat").string());
    QFile f(pfad);
    EXPECT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(inhalt);
    return pfad;
}
} // namespace

TEST(ProdatTest, FieldsSitAtFortyByteStepsOfTheFirstRecord) {
    TestDir dir;
    QByteArray satz(16000, ' ');
    satz.replace(0, 9, "Vorhaben1");
    satz.replace(6520, 10, "01.02.2003");
    satz.replace(6560, 5, "Bau  ");
    satz.replace(7960, 40, QByteArray(40, 'z'));
    satz.replace(8000, 40, QByteArray("Zweiter Satz").leftJustified(40, ' '));
    const QString pfad = Schreibe(dir, satz);
    const auto p = LeseProdat(pfad);
    ASSERT_TRUE(p);
    EXPECT_EQ((*p)[0], QString("Vorhaben1").leftJustified(40, ' '));
    EXPECT_EQ((*p)[163].trimmed(), "01.02.2003");
    EXPECT_EQ((*p)[164].trimmed(), "Bau");
    EXPECT_EQ((*p)[199], QString(40, 'z')) << "the last field ends at byte 8000, nothing after it is read";
    EXPECT_EQ(LeseProdatFeld(pfad, 163), "01.02.2003");
    EXPECT_EQ(LeseProdatFeld(pfad, 200), "");
    EXPECT_EQ(LeseProdatFeld(pfad, -1), "");
}

TEST(ProdatTest, ShortFilesAndNulBytesReadAsBlanks) {
    TestDir dir;
    struct Fall {
        QByteArray inhalt;
        int feld;
        QString erwartet;
    };
    QByteArray kurz(7999, ' ');
    kurz.replace(7960, 39, QByteArray(39, 'x'));
    QByteArray nul(8000, '\0');
    nul.replace(42, 3, QByteArray("a\0b", 3));
    const Fall faelle[] = {
        {kurz, 199, QString(39, 'x') + ' '},
        {QByteArray("nur"), 0, QString("nur").leftJustified(40, ' ')},
        {QByteArray("nur"), 1, QString(40, ' ')},
        {QByteArray(), 163, QString(40, ' ')},
        {nul, 1, QString("  a b").leftJustified(40, ' ')},
    };
    for (const Fall& f : faelle) {
        const auto p = LeseProdat(Schreibe(dir, f.inhalt));
        ASSERT_TRUE(p);
        EXPECT_EQ((*p)[size_t(f.feld)], f.erwartet) << f.inhalt.size() << " bytes, field " << f.feld;
    }
    EXPECT_FALSE(LeseProdat(QString::fromStdString((dir / "fehlt").string())));
}

TEST(ProdatTest, TextIsWindows1252BothWays) {
    const std::pair<QByteArray, QString> faelle[] = {
        {"\xFC", "ü"},      {"\x80", "€"},      {"M\xFCller's", "Müller's"}, {"\xC4\xD6\xDC\xDF", "ÄÖÜß"},
        {"\x84\x93", "„“"}, {"\x81", "\u0081"},
    };
    for (const auto& [bytes, text] : faelle) {
        EXPECT_EQ(AusWindows1252(bytes), text) << bytes.toHex().toStdString();
        EXPECT_EQ(NachWindows1252(text), bytes) << text.toStdString();
    }
    EXPECT_EQ(NachWindows1252("Ω"), "?");

    // Written and read again: the other fields stay, the text survives.
    TestDir dir;
    const QString pfad = QString::fromStdString((dir / "Prodat").string());
    ASSERT_TRUE(SchreibeProdat(pfad, "Schule Nord"));
    EXPECT_FALSE(
        SchreibeProdatFelder(pfad, {{4, "Bauherr Müller"}, {5, "Kosten in €"}, {6, QString(50, 'y')}}))
        << "a value longer than its field is refused, not cut";
    EXPECT_EQ(LeseProdatFeld(pfad, 4), "");
    ASSERT_TRUE(
        SchreibeProdatFelder(pfad, {{4, "Bauherr Müller"}, {5, "Kosten in €"}, {6, QString(40, 'y')}}));
    QFile f(pfad);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    const QByteArray roh = f.readAll();
    EXPECT_EQ(roh.size(), 8000);
    EXPECT_EQ(roh.mid(160, 14), "Bauherr M\xFCller");
    EXPECT_EQ(roh.mid(210, 1), "\x80");
    EXPECT_EQ(LeseProdatFeld(pfad, 0), "Schule Nord");
    EXPECT_EQ(LeseProdatFeld(pfad, 5), "Kosten in €");
    EXPECT_EQ(LeseProdatFeld(pfad, 6), QString(40, 'y'));
}
