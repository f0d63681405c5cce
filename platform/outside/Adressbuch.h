#pragma once
// The address book in ZADRESS32.MDB: one table of addresses, searched by name. Typed text only ever reaches
// SQL as bound parameters.
#include "platform/db/Database.h"

#include <QString>
#include <QStringList>
#include <array>
#include <memory>
#include <optional>
#include <vector>

namespace velu::outside {

class ProjektUmgebung;

struct Adresse {
    int64_t nr = 0; // 0: not stored yet
    QString name, zusatz, strasse, plz, ort, telefon, email;
    // "PLZ Ort", either part may be missing.
    QString PlzOrt() const;
};

class Adressbuch {
public:
    // The book at the setting "ADRESSMDB" (default ZADRESS32.MDB beside the master database).
    static QString Pfad(ProjektUmgebung& umgebung);
    // Opens the book, creating it when the file is missing; nullptr with a German reason otherwise.
    static std::unique_ptr<Adressbuch> Oeffnen(const QString& pfad, QString* fehler = nullptr);
    // True when db is an address book as Oeffnen makes it: its _Meta row and its table of addresses. Reads
    // only.
    static bool IstAdressbuch(db::Database& db);

    // Addresses whose name contains text (case-insensitive; empty: all), by name.
    std::vector<Adresse> Suche(const QString& text);
    std::optional<Adresse> Lese(int64_t nr);
    // Inserts (nr 0, which then receives the new key) or updates the address. False with a German reason when
    // the name is empty or the write fails; nothing is changed then.
    bool Speichern(Adresse& a, QString* fehler = nullptr);
    bool Loeschen(int64_t nr, QString* fehler = nullptr);

    db::Database& Datenbank() { return *db_; }

private:
    explicit Adressbuch(std::unique_ptr<db::Database> db) : db_(std::move(db)) {}
    std::unique_ptr<db::Database> db_;
};

// The client lines of the project data (fields 4 to 6) for an address: name, street, post code and city.
std::array<QString, 3> BauherrZeilen(const Adresse& a);
// Writes them into the Prodat file; false with the German reason (a line longer than its field is refused,
// never cut) and the file unchanged.
bool SchreibeBauherr(const QString& prodatPfad, const Adresse& a, QString* fehler = nullptr);

inline const QString AdresseOhneName = QStringLiteral("Bitte geben Sie einen Namen ein.");

} // namespace velu::outside
