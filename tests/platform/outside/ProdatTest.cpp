// The project data file: field offsets, short and long files, NUL bytes, Windows-1252 both ways; writes that
// refuse a planted link and that keep the saves of two processes at once.
#include "platform/outside/Prodat.h"
#include "TestDir.h"
#include "platform/outside/Adressbuch.h"

#include <QFile>
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <fstream>
#include <functional>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

using namespace velu::outside;
namespace fs = std::filesystem;

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

namespace {
QByteArray Roh(const fs::path& p) {
    QFile f(QString::fromStdString(p.string()));
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<fehlt>");
}
} // namespace

TEST(ProdatTest, ALinkPlantedInPlaceOfProdatIsRefusedAndWhatItPointsToStays) {
    TestDir buero, draussen;
    const fs::path ordner = buero / "00000001.PRO";
    fs::create_directories(ordner);
    const fs::path fremd = draussen / "fremd.txt";
    std::ofstream(fremd) << "gehoert nicht zum Buero";
    const QString pfad = QString::fromStdString((ordner / "Prodat").string());
    Adresse a;
    a.name = "Stadt Neustadt";
    a.strasse = "Markt 1";
    a.plz = "54321";
    a.ort = "Neustadt";
    struct Fall {
        const char* name;
        std::function<bool(QString*)> schreibe;
    };
    const Fall faelle[] = {
        {"SchreibeProdatFelder",
         [&](QString* f) {
             return SchreibeProdatFelder(pfad, {{0, "Neubau"}}, f);
         }},
        {"SchreibeBauherr", [&](QString* f) { return SchreibeBauherr(pfad, a, f); }},
        {"SchreibeProdat", [&](QString* f) { return SchreibeProdat(pfad, "Neubau", f); }},
    };
    for (const Fall& fall : faelle) {
        // A link to a file outside, and one to a file not there yet (which a write would create).
        for (const fs::path& ziel : {fremd, draussen / "neu.txt"}) {
            fs::remove(ordner / "Prodat");
            fs::create_symlink(ziel, ordner / "Prodat");
            QString fehler;
            EXPECT_FALSE(fall.schreibe(&fehler)) << fall.name;
            EXPECT_EQ(fehler,
                      "Die Projektdaten wurden nicht gespeichert: " + pfad +
                          " ist ein Verweis auf eine andere Datei. Bitte lassen Sie den Verweis entfernen.")
                << fall.name;
            EXPECT_EQ(Roh(fremd), "gehoert nicht zum Buero") << fall.name;
            EXPECT_FALSE(fs::exists(draussen / "neu.txt")) << fall.name;
            EXPECT_TRUE(fs::is_symlink(ordner / "Prodat")) << fall.name;
        }
    }
    // A link planted in place of the lock file is not followed either.
    fs::remove(ordner / "Prodat");
    fs::remove(ordner / "Prodat.lck");
    fs::create_symlink(draussen / "sperre", ordner / "Prodat.lck");
    QString fehler;
    EXPECT_FALSE(SchreibeProdatFelder(pfad, {{0, "Neubau"}}, &fehler));
    EXPECT_TRUE(fehler.startsWith("Die Sperrdatei zu " + pfad)) << fehler.toStdString();
    EXPECT_FALSE(fs::exists(draussen / "sperre"));
    EXPECT_FALSE(fs::exists(ordner / "Prodat"));
}

TEST(ProdatTest, AWriteKeepsModeAndLeavesNoTemporaryFile) {
    TestDir dir;
    const QString pfad = QString::fromStdString((dir / "Prodat").string());
    ASSERT_TRUE(SchreibeProdat(pfad, "Schule"));
    fs::permissions(dir / "Prodat", fs::perms(0664));
    ASSERT_TRUE(SchreibeProdatFelder(pfad, {{4, "Bauherr"}}));
    EXPECT_EQ(fs::status(dir / "Prodat").permissions(), fs::perms(0664));
    std::vector<std::string> namen;
    for (const auto& e : fs::directory_iterator(dir.Path()))
        namen.push_back(e.path().filename().string());
    std::sort(namen.begin(), namen.end());
    EXPECT_EQ(namen, (std::vector<std::string>{"Prodat", "Prodat.lck"}));
}

// Two clerks save different fields of one project at the same moment, each many times; every process checks
// after each save that all it saved is still there, and in the end every field holds its last value.
TEST(ProdatTest, TwoProcessesSavingDifferentFieldsKeepEverySave) {
    TestDir dir;
    const QString pfad = QString::fromStdString((dir / "Prodat").string());
    ASSERT_TRUE(SchreibeProdat(pfad, ""));
    constexpr int Prozesse = 2, Felder = 100, Runden = 3;
    auto wert = [](int p, int k, int r) { return QStringLiteral("P%1 F%2 R%3").arg(p).arg(k).arg(r); };
    int start[2];
    ASSERT_EQ(pipe(start), 0);
    std::vector<pid_t> kinder;
    for (int p = 0; p < Prozesse; ++p) {
        const pid_t pid = fork();
        ASSERT_GE(pid, 0);
        if (pid == 0) {
            char c;
            (void)!read(start[0], &c, 1);
            int verloren = 0, gescheitert = 0;
            for (int r = 0; r < Runden; ++r)
                for (int i = 0; i < Felder; ++i) {
                    const int k = p * Felder + i;
                    if (!SchreibeProdatFelder(pfad, {{k, wert(p, k, r)}})) ++gescheitert;
                    const auto satz = LeseProdat(pfad);
                    for (int j = 0; j < Felder; ++j) {
                        const int kj = p * Felder + j;
                        const QString soll = r > 0 || j <= i ? wert(p, kj, j <= i ? r : r - 1) : QString();
                        if (!satz || (*satz)[size_t(kj)].trimmed() != soll) ++verloren;
                    }
                }
            _exit(verloren > 0 ? 1 : gescheitert > 0 ? 2 : 0);
        }
        kinder.push_back(pid);
    }
    ASSERT_EQ(write(start[1], "lo", Prozesse), Prozesse);
    for (pid_t pid : kinder) {
        int status = -1;
        ASSERT_EQ(waitpid(pid, &status, 0), pid);
        EXPECT_TRUE(WIFEXITED(status)) << status;
        EXPECT_EQ(WEXITSTATUS(status), 0) << "1: a process saw a field it had saved undone, 2: a save failed";
    }
    close(start[0]);
    close(start[1]);
    const auto satz = LeseProdat(pfad);
    ASSERT_TRUE(satz);
    int falsch = 0;
    for (int p = 0; p < Prozesse; ++p)
        for (int i = 0; i < Felder; ++i) {
            const int k = p * Felder + i;
            falsch += (*satz)[size_t(k)].trimmed() != wert(p, k, Runden - 1);
        }
    EXPECT_EQ(falsch, 0) << "fields whose last save was undone";
}

// A FIFO (or any other non-file) in Prodat's place: reading gives up at once instead of waiting for a writer
// that never comes, and writing refuses it; the FIFO stays as it was.
TEST(ProdatTest, AFifoInPlaceOfProdatNeverHangs) {
    TestDir dir;
    const fs::path fifo = dir / "Prodat";
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0666), 0);
    const QString pfad = QString::fromStdString(fifo.string());
    const auto start = std::chrono::steady_clock::now();
    EXPECT_FALSE(LeseProdat(pfad));
    EXPECT_EQ(LeseProdatFeld(pfad, 0), "");
    QString fehler;
    EXPECT_FALSE(SchreibeProdatFelder(pfad, {{0, "Neubau"}}, &fehler));
    EXPECT_EQ(fehler, "Die Projektdaten wurden nicht gespeichert: " + pfad + " ist keine Datei.");
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(2));
    struct stat st {};
    ASSERT_EQ(::lstat(fifo.c_str(), &st), 0);
    EXPECT_TRUE(S_ISFIFO(st.st_mode));
}
