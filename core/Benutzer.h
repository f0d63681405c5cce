#pragma once
// Users, passwords and rights of the master database (table "Zugriff", reached through its stored queries).
//
// A stored password ("Passwort") is one of three kinds:
//   - the marker KeinPasswortMarke (or Null, or an empty text): no password was ever set;
//   - an Argon2id hash made by libsodium's crypto_pwhash_str (starts with "$argon2id$"): the normal case;
//   - the 20-character scramble of PasswortVerschl, written by older databases. It is only recognised and
//     checked, never written again. It cannot tell look-alikes apart ("hdidhl" passes for "geheim"), so a
//     login through it asks for a new password instead of keeping the text typed.
// User names are compared without regard to case; the spelling typed is what the program shows.
#include "platform/db/Database.h"

#include <QString>

#include <cstdint>
#include <string>

namespace velu {

inline constexpr int32_t AlleRechte = 8191; // 13 bits: what "SUPERVISOR" always holds
inline constexpr int RechteBits = 13;
inline const QString SupervisorName = QStringLiteral("SUPERVISOR");

// Stored in "Passwort" for a user whose password was never set or was cleared. It can neither be a hash
// (no "$") nor a scramble (not 20 characters), so no typed password ever matches it.
inline constexpr const char* KeinPasswortMarke = "*KEIN PASSWORT GESETZT*";

enum class PasswortArt { Keins, Hash, Alt };

// Whether two user names are the same user.
bool GleicherBenutzer(const QString& a, const QString& b);
inline bool IstSupervisor(const QString& name) {
    return GleicherBenutzer(name, SupervisorName);
}

// The text the stored queries compare a user name with. Their upper() folds ASCII letters only; names are
// stored in capitals as QString::toUpper makes them, so the name asked for is folded the same way first
// ("Müller" finds "MÜLLER").
std::string Suchname(const QString& name);

// Shown when the users table cannot be read, followed by the cause.
inline const QString MeldungBenutzerUnlesbar =
    QStringLiteral("Die Benutzerverwaltung der Stammdatenbank kann nicht gelesen werden.");

// Runs "GetAkPasswort". True with both outputs set when the user exists (passwort is the stored value, the
// empty text for a password never set); False with the outputs untouched when not.
bool GetAkPasswort(db::Database& stammDB, const QString& name, int32_t& rechte, std::string& passwort);

// Whether users are in use ("MitBenutzer" gives more than 1). When not, the caller works as "SUPERVISOR".
bool IsMitBenutzer(db::Database& stammDB);

// The password switch ("MitPasswort"): -1 on, 0 off.
int16_t IsMitPasswort(db::Database& stammDB);

// Stores the password switch through "SetMitPasswort".
void SetMitPasswort(db::Database& stammDB, bool an);

// The old scramble: pads pw in place to exactly 20 characters (blanks; the rest dropped) and returns 20
// characters, each code below 256 (single-byte code page, Windows-1252). Only for reading old databases.
QString PasswortVerschl(QString& pw);

PasswortArt ArtDesPassworts(const std::string& gespeichert);

// Whether a typed password matches a stored value of any kind. An empty entry matches only "no password";
// "no password" matches only an empty entry.
bool PasswortPasst(const std::string& gespeichert, const QString& eingabe);

// The value to store for a new password: the marker for the empty text, else a fresh salted hash.
std::string PasswortZumSpeichern(const QString& pw);

// Stores a new password for the named user through "SetNewPASSWORT"; returns the number of users changed
// (0 when no such user exists).
int64_t SetNewPasswort(db::Database& stammDB, const QString& benutzer, const QString& pw);

} // namespace velu
