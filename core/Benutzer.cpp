#include "core/Benutzer.h"

#include "platform/db/DbError.h"
#include "platform/db/QueryDef.h"
#include "platform/db/Recordset.h"

#include <sodium.h>

#include <array>
#include <cstring>

namespace velu {

namespace {

db::QueryDef Abfrage(db::Database& stammDB, std::string_view name) {
    return stammDB.StoredQuery(name);
}

void SodiumBereit() {
    static const bool bereit = sodium_init() >= 0;
    if (!bereit) throw std::runtime_error("libsodium kann nicht initialisiert werden");
}

// Windows-1252 code of one character; what the old scramble saw. Unknown characters became '?'.
int Cp1252Code(QChar ch) {
    const char16_t u = ch.unicode();
    if (u < 0x80 || (u >= 0xA0 && u < 0x100)) return u;
    static constexpr std::array<char16_t, 32> hoch = {
        0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
        0x2039, 0x0152, 0,      0x017D, 0,      0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
        0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178};
    for (size_t i = 0; i < hoch.size(); ++i)
        if (hoch[i] != 0 && hoch[i] == u) return int(0x80 + i);
    return '?';
}

// The old scramble of the empty text: what older databases stored for a user without a password.
const QString& AltLeer() {
    static const QString leer = [] {
        QString pw;
        return PasswortVerschl(pw);
    }();
    return leer;
}

bool IstHash(const std::string& s) {
    return s.rfind("$argon2", 0) == 0;
}

} // namespace

bool GleicherBenutzer(const QString& a, const QString& b) {
    return a.compare(b, Qt::CaseInsensitive) == 0;
}

std::string Suchname(const QString& name) {
    return name.toUpper().toStdString();
}

bool GetAkPasswort(db::Database& stammDB, const QString& name, int32_t& rechte, std::string& passwort) {
    auto qd = Abfrage(stammDB, "GetAkPasswort");
    qd.SetParameter("name", Suchname(name));
    auto rs = qd.OpenRecordset();
    if (rs.Empty()) return false;
    rs.MoveFirst();
    passwort = rs.GetText("Passwort");
    if (ArtDesPassworts(passwort) == PasswortArt::Keins) passwort.clear();
    rechte = int32_t(rs.GetInt("Rechte", 0));
    return true;
}

bool IsMitBenutzer(db::Database& stammDB) {
    auto rs = Abfrage(stammDB, "MitBenutzer").OpenRecordset();
    if (rs.Empty()) return false;
    rs.MoveFirst();
    return rs.GetInt(rs.FieldNames().front(), 0) > 1;
}

int16_t IsMitPasswort(db::Database& stammDB) {
    auto rs = Abfrage(stammDB, "MitPasswort").OpenRecordset();
    if (rs.Empty()) return 0;
    rs.MoveFirst();
    return int16_t(rs.GetInt("ohnePasswort", 0));
}

void SetMitPasswort(db::Database& stammDB, bool an) {
    Abfrage(stammDB, "SetMitPasswort").SetParameter("NewVal", int64_t(an ? -1 : 0)).Execute();
}

QString PasswortVerschl(QString& pw) {
    pw = (pw.left(20) + QString(20, QLatin1Char(' '))).left(20);
    QString ergebnis;
    ergebnis.reserve(20);
    for (int i = 1; i <= 20; ++i) {
        const int c = Cp1252Code(pw.at(i - 1));
        // c / 2 to the nearest integer, a half to the even neighbour
        int a = c / 2;
        if (c % 2 != 0 && a % 2 != 0) ++a;
        // (i * 23) / 3 never ends in a half
        const int b = (i * 23 * 2 + 3) / 6;
        ergebnis.append(QChar(char16_t(a ^ b)));
    }
    return ergebnis;
}

PasswortArt ArtDesPassworts(const std::string& gespeichert) {
    if (gespeichert.empty() || gespeichert == KeinPasswortMarke) return PasswortArt::Keins;
    if (IstHash(gespeichert)) return PasswortArt::Hash;
    if (QString::fromStdString(gespeichert) == AltLeer()) return PasswortArt::Keins;
    return PasswortArt::Alt;
}

bool PasswortPasst(const std::string& gespeichert, const QString& eingabe) {
    switch (ArtDesPassworts(gespeichert)) {
    case PasswortArt::Keins:
        return eingabe.isEmpty();
    case PasswortArt::Hash: {
        if (eingabe.isEmpty()) return false;
        SodiumBereit();
        const QByteArray pw = eingabe.toUtf8();
        return crypto_pwhash_str_verify(gespeichert.c_str(), pw.constData(), size_t(pw.size())) == 0;
    }
    case PasswortArt::Alt: {
        if (eingabe.isEmpty()) return false;
        QString kopie = eingabe;
        return QString::fromStdString(gespeichert) == PasswortVerschl(kopie);
    }
    }
    return false;
}

std::string PasswortZumSpeichern(const QString& pw) {
    if (pw.isEmpty()) return KeinPasswortMarke;
    SodiumBereit();
    const QByteArray bytes = pw.toUtf8();
    char hash[crypto_pwhash_STRBYTES];
    if (crypto_pwhash_str(hash, bytes.constData(), size_t(bytes.size()), crypto_pwhash_OPSLIMIT_INTERACTIVE,
                          crypto_pwhash_MEMLIMIT_INTERACTIVE) != 0)
        throw std::runtime_error("Das Passwort kann nicht verschlüsselt werden (zu wenig Speicher)");
    return std::string(hash, strnlen(hash, sizeof hash));
}

int64_t SetNewPasswort(db::Database& stammDB, const QString& benutzer, const QString& pw) {
    return Abfrage(stammDB, "SetNewPASSWORT")
        .SetParameter("Benutzer", Suchname(benutzer))
        .SetParameter("PW", PasswortZumSpeichern(pw))
        .Execute();
}

} // namespace velu
