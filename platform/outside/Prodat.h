#pragma once
// The project data file "Prodat" of a project folder: a record of 8000 bytes, 200 fields of 40 bytes each,
// Windows-1252 text padded with blanks, no separators. Only the first record is read or written.
#include <QByteArray>
#include <QString>
#include <array>
#include <optional>
#include <utility>
#include <vector>

namespace velu::outside {

inline constexpr int ProdatFelder = 200;
inline constexpr int ProdatFeldLaenge = 40;
inline constexpr int ProdatSatzLaenge = 8000;

using ProdatSatz = std::array<QString, ProdatFelder>;

// Windows-1252, both ways; a character the code page lacks is written as "?".
QString AusWindows1252(const QByteArray& bytes);
QByteArray NachWindows1252(const QString& text);

// The fields of the first record as stored (blanks kept). A short file reads as if padded with blanks, NUL
// reads as a blank, nothing past the first record is read. nullopt when the file cannot be opened.
std::optional<ProdatSatz> LeseProdat(const QString& pfad);
// Field k of the first record, trimmed; empty when the file or field is missing.
QString LeseProdatFeld(const QString& pfad, int k);

// Why text cannot be stored in a field of 40 Windows-1252 bytes (too long, or a character the code page
// lacks), in German; empty when it fits.
QString ProdatFeldFehler(const QString& text);

// Both writers read, change and replace the file under the lock "Prodat.lck" that all its writers take, so
// that saves of other fields by another process stay; a link (or anything but a plain file) in place of
// Prodat is refused with a German reason and nothing is written.

// Writes a Prodat file with every field blank but field 0 (the first line of the project description, which
// is taken from the project name and cut to the field's length).
bool SchreibeProdat(const QString& pfad, const QString& beschreibung, QString* fehler = nullptr);
// Writes the given fields of the first record, keeping the others (a missing file starts blank). Field
// numbers outside 0-199 are skipped; a value that does not fit (ProdatFeldFehler) writes nothing: false with
// the reason. What follows the first record stays as it was.
bool SchreibeProdatFelder(const QString& pfad, const std::vector<std::pair<int, QString>>& felder,
                          QString* fehler = nullptr);

} // namespace velu::outside
