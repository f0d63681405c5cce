#include "platform/outside/Prodat.h"

#include <QFile>
#include <QSaveFile>

namespace velu::outside {

namespace {
// 0x80 to 0x9F; 0 where the code page leaves the byte undefined (it then stands for the same code point).
constexpr char16_t Cp1252[32] = {0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
                                 0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0,      0x017D, 0,
                                 0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
                                 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178};

QByteArray LeseSatz(const QString& pfad, bool* offen) {
    QByteArray satz(ProdatSatzLaenge, ' ');
    QFile f(pfad);
    *offen = f.open(QIODevice::ReadOnly);
    if (*offen) {
        const QByteArray gelesen = f.read(ProdatSatzLaenge);
        satz.replace(0, gelesen.size(), gelesen);
    }
    return satz;
}

bool Schreibe(const QString& pfad, const QByteArray& satz, QString* fehler) {
    QSaveFile f(pfad);
    if (!f.open(QIODevice::WriteOnly) || f.write(satz) != satz.size() || !f.commit()) {
        if (fehler) *fehler = QStringLiteral("Die Projektdaten konnten nicht geschrieben werden: ") + pfad;
        return false;
    }
    return true;
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
    if (text.size() > ProdatFeldLaenge)
        return QStringLiteral("Der Text ist %1 Zeichen lang; höchstens %2 Zeichen sind möglich.")
            .arg(text.size())
            .arg(ProdatFeldLaenge);
    return {};
}

bool SchreibeProdat(const QString& pfad, const QString& beschreibung, QString* fehler) {
    QByteArray satz(ProdatSatzLaenge, ' ');
    SetzeFeld(satz, 0, beschreibung.left(ProdatFeldLaenge));
    return Schreibe(pfad, satz, fehler);
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
    QByteArray datei;
    QFile f(pfad);
    if (f.open(QIODevice::ReadOnly)) datei = f.readAll();
    f.close();
    if (datei.size() < ProdatSatzLaenge) datei = datei.leftJustified(ProdatSatzLaenge, ' ');
    QByteArray satz = datei.left(ProdatSatzLaenge);
    for (const auto& [k, text] : felder)
        if (k >= 0 && k < ProdatFelder) SetzeFeld(satz, k, text);
    datei.replace(0, ProdatSatzLaenge, satz);
    return Schreibe(pfad, datei, fehler);
}

} // namespace velu::outside
