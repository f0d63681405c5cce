#include "platform/outside/Prodat.h"

#include "platform/archive/OfficeEntry.h"
#include "platform/db/FileLock.h"
#include "platform/forms/Eingabemeldungen.h"

#include <QFile>
#include <QRandomGenerator>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <functional>
#include <sys/stat.h>
#include <unistd.h>

namespace velu::outside {

namespace {
// 0x80 to 0x9F; 0 where the code page leaves the byte undefined (it then stands for the same code point).
constexpr char16_t Cp1252[32] = {0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
                                 0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0,      0x017D, 0,
                                 0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
                                 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178};

// Only a plain file is read, opened without waiting: a FIFO or device in Prodat's place would hang the mask.
QByteArray LeseSatz(const QString& pfad, bool* offen) {
    QByteArray satz(ProdatSatzLaenge, ' ');
    const archive::UniqueFd fd = archive::OpenPlainFile(QFile::encodeName(pfad).toStdString());
    *offen = static_cast<bool>(fd);
    qsizetype gelesen = 0;
    while (*offen && gelesen < ProdatSatzLaenge) {
        const ssize_t n = ::read(fd.Get(), satz.data() + gelesen, size_t(ProdatSatzLaenge - gelesen));
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) break;
        gelesen += n;
    }
    return satz; // a short file reads as if padded with blanks
}

QString SysFehler(const QString& was, const QString& pfad, int err) {
    return was.arg(pfad) + QString::fromLocal8Bit(std::strerror(err));
}

// The whole file as it is now; empty when it does not exist. Never read through a link.
std::optional<QByteArray> LeseDatei(const QByteArray& pfad, QString* fehler) {
    const int fd = archive::OpenPlainFile(pfad.toStdString()).Release();
    if (fd < 0) {
        if (errno == ENOENT) return QByteArray();
        if (fehler)
            *fehler = SysFehler(QStringLiteral("Die Projektdaten %1 konnten nicht gelesen werden: "),
                                QFile::decodeName(pfad), errno);
        return std::nullopt;
    }
    QByteArray datei;
    char puffer[8192];
    for (;;) {
        const ssize_t n = ::read(fd, puffer, sizeof puffer);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) {
            if (fehler)
                *fehler = SysFehler(QStringLiteral("Die Projektdaten %1 konnten nicht gelesen werden: "),
                                    QFile::decodeName(pfad), errno);
            ::close(fd);
            return std::nullopt;
        }
        if (n == 0) break;
        datei.append(puffer, n);
    }
    ::close(fd);
    return datei;
}

// Writes inhalt into a new file beside ziel and renames it over ziel: readers see the old file or the new
// one, a failed write leaves the old one, and the rename replaces a link that stands there, never the file
// it points to. Mode and group of the old file are kept.
bool Ersetze(const QByteArray& ziel, const QByteArray& inhalt, const struct stat* alt, QString* fehler) {
    const QString name = QFile::decodeName(ziel);
    auto scheitert = [&](int err) {
        if (fehler)
            *fehler = SysFehler(QStringLiteral("Die Projektdaten konnten nicht geschrieben werden: %1: "),
                                name, err);
        return false;
    };
    QByteArray neu;
    int fd = -1;
    for (int versuch = 0; fd < 0 && versuch < 100; ++versuch) {
        neu = ziel + '.' + QByteArray::number(QRandomGenerator::global()->generate(), 16) + ".tmp";
        fd = ::open(neu.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOFOLLOW, 0666);
        if (fd < 0 && errno != EEXIST) return scheitert(errno);
    }
    if (fd < 0) return scheitert(EEXIST);
    if (alt) {
        // Not every user may give a file to the old group; it is written all the same.
        (void)!::fchown(fd, uid_t(-1), alt->st_gid);
        ::fchmod(fd, alt->st_mode & 07777);
    }
    qsizetype geschrieben = 0;
    while (geschrieben < inhalt.size()) {
        const ssize_t n = ::write(fd, inhalt.constData() + geschrieben, size_t(inhalt.size() - geschrieben));
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) break;
        geschrieben += n;
    }
    int err = geschrieben == inhalt.size() ? 0 : (errno ? errno : EIO);
    if (!err && ::fsync(fd) != 0) err = errno;
    if (::close(fd) != 0 && !err) err = errno;
    if (!err && ::rename(neu.constData(), ziel.constData()) != 0) err = errno;
    if (err) {
        ::unlink(neu.constData());
        return scheitert(err);
    }
    return true;
}

// Reads the file, lets aendern change it and writes it back, all under the lock its writers share, so that
// two clerks saving different fields at once both keep their change. A link or anything but a plain file in
// place of Prodat is refused: the file is the project's, and a link could lead out of the office.
bool Aendere(const QString& pfad, const std::function<void(QByteArray&)>& aendern, QString* fehler) {
    const QByteArray ziel = QFile::encodeName(pfad);
    int sperre = -1;
    std::string warum;
    switch (db::LockFileWaiting(ziel.toStdString(), true, std::chrono::seconds(5), &sperre, &warum)) {
    case db::LockResult::Held:
        if (fehler)
            *fehler = QStringLiteral("Die Projektdaten werden gerade von einem anderen Benutzer gespeichert. "
                                     "Bitte versuchen Sie es gleich noch einmal.");
        return false;
    case db::LockResult::Failed:
        if (fehler)
            *fehler = QStringLiteral("Die Sperrdatei zu %1 kann nicht angelegt werden: ").arg(pfad) +
                      QString::fromLocal8Bit(warum.c_str());
        return false;
    case db::LockResult::Ok:
        break;
    }
    struct Freigabe {
        int fd;
        ~Freigabe() { ::close(fd); }
    } freigabe{sperre};

    struct stat st {};
    const bool da = ::lstat(ziel.constData(), &st) == 0;
    if (da && S_ISLNK(st.st_mode)) {
        if (fehler)
            *fehler = QStringLiteral("Die Projektdaten wurden nicht gespeichert: %1 ist ein Verweis auf eine "
                                     "andere Datei. Bitte lassen Sie den Verweis entfernen.")
                          .arg(pfad);
        return false;
    }
    if (da && !S_ISREG(st.st_mode)) {
        if (fehler)
            *fehler =
                QStringLiteral("Die Projektdaten wurden nicht gespeichert: %1 ist keine Datei.").arg(pfad);
        return false;
    }
    auto datei = LeseDatei(ziel, fehler);
    if (!datei) return false;
    aendern(*datei);
    return Ersetze(ziel, *datei, da ? &st : nullptr, fehler);
}

void SetzeFeld(QByteArray& satz, int k, const QString& text) {
    const QByteArray feld = NachWindows1252(text).leftJustified(ProdatFeldLaenge, ' ', true);
    satz.replace(k * ProdatFeldLaenge, ProdatFeldLaenge, feld);
}

bool Darstellbar(QChar c) {
    const char16_t u = c.unicode();
    if (u < 0x80 || (u >= 0xA0 && u <= 0xFF)) return true;
    for (int i = 0; i < 32; ++i)
        if (Cp1252[i] == u || (Cp1252[i] == 0 && u == 0x80 + i)) return true;
    return false;
}
} // namespace

QString AusWindows1252(const QByteArray& bytes) {
    QString s;
    s.reserve(bytes.size());
    for (const char c : bytes) {
        const auto b = static_cast<unsigned char>(c);
        if (b == 0)
            s += QLatin1Char(' ');
        else if (b >= 0x80 && b <= 0x9F && Cp1252[b - 0x80])
            s += QChar(Cp1252[b - 0x80]);
        else
            s += QChar(b);
    }
    return s;
}

QByteArray NachWindows1252(const QString& text) {
    QByteArray out;
    out.reserve(text.size());
    for (const QChar c : text) {
        const char16_t u = c.unicode();
        char b = '?';
        if (u < 0x80 || (u >= 0xA0 && u <= 0xFF)) {
            b = char(u);
        } else {
            for (int i = 0; i < 32; ++i)
                if (Cp1252[i] == u || (Cp1252[i] == 0 && u == 0x80 + i)) b = char(0x80 + i);
        }
        out += b;
    }
    return out;
}

std::optional<ProdatSatz> LeseProdat(const QString& pfad) {
    bool offen = false;
    const QByteArray satz = LeseSatz(pfad, &offen);
    if (!offen) return std::nullopt;
    ProdatSatz felder;
    for (int k = 0; k < ProdatFelder; ++k)
        felder[size_t(k)] = AusWindows1252(satz.mid(k * ProdatFeldLaenge, ProdatFeldLaenge));
    return felder;
}

QString LeseProdatFeld(const QString& pfad, int k) {
    if (k < 0 || k >= ProdatFelder) return {};
    const auto satz = LeseProdat(pfad);
    return satz ? (*satz)[size_t(k)].trimmed() : QString();
}

QString ProdatFeldFehler(const QString& text) {
    QString fremd;
    for (const QChar c : text)
        if (!Darstellbar(c) && !fremd.contains(c)) fremd += c;
    if (!fremd.isEmpty())
        return QStringLiteral("Der Text enthält Zeichen, die in den Projektdaten nicht gespeichert werden "
                              "können: ") +
               fremd;
    if (text.size() > ProdatFeldLaenge) return forms::TextZuLangMeldung(int(text.size()), ProdatFeldLaenge);
    return {};
}

bool SchreibeProdat(const QString& pfad, const QString& beschreibung, QString* fehler) {
    return Aendere(
        pfad,
        [&](QByteArray& datei) {
            datei = QByteArray(ProdatSatzLaenge, ' ');
            SetzeFeld(datei, 0, beschreibung.left(ProdatFeldLaenge));
        },
        fehler);
}

bool SchreibeProdatFelder(const QString& pfad, const std::vector<std::pair<int, QString>>& felder,
                          QString* fehler) {
    for (const auto& [k, text] : felder) {
        if (k < 0 || k >= ProdatFelder) continue;
        const QString grund = ProdatFeldFehler(text);
        if (!grund.isEmpty()) {
            if (fehler) *fehler = grund;
            return false;
        }
    }
    // Whatever follows the first record is written back as it was.
    return Aendere(
        pfad,
        [&](QByteArray& datei) {
            if (datei.size() < ProdatSatzLaenge) datei = datei.leftJustified(ProdatSatzLaenge, ' ');
            for (const auto& [k, text] : felder)
                if (k >= 0 && k < ProdatFelder) SetzeFeld(datei, k, text);
        },
        fehler);
}

} // namespace velu::outside
