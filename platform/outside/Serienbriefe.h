#pragma once
// Serial letters in SERIENBRIEFE.MDB: each letter is a print template (table DruckVorlagen, as in the master
// database, so the template editor edits it) with address fields. Merged with addresses they give one
// document with a letter per recipient, each starting on a new page.
#include "platform/db/Database.h"
#include "platform/outside/Adressbuch.h"

#include <QString>
#include <memory>
#include <vector>

namespace velu::richtext {
class ScribantPro;
}

namespace velu::outside {

class ProjektUmgebung;

// Field numbers of a letter.
namespace BriefFeld {
inline constexpr int Name = 1, Zusatz = 2, Strasse = 3, Plz = 4, Ort = 5, Telefon = 6, EMail = 7;
// Name, addition (when there is one), street, post code and city: the address block, one line each.
inline constexpr int Anschrift = 8;
// The salutation: to the person the address names, else "Sehr geehrte Damen und Herren,".
inline constexpr int Anrede = 9;
inline constexpr int Datum = 90;
} // namespace BriefFeld

struct Brief {
    int64_t lfnr = 0;
    QString name;
};

class Serienbriefe {
public:
    // Document kind of the letters in DruckVorlagen.
    static constexpr int Art = 8;

    // The file at the setting "STDBRIEF" (default SERIENBRIEFE.MDB beside the master database).
    static QString Pfad(ProjektUmgebung& umgebung);
    // Opens the letters, creating the file when it is missing; nullptr with a German reason otherwise.
    static std::unique_ptr<Serienbriefe> Oeffnen(const QString& pfad, QString* fehler = nullptr);
    // True when db holds serial letters as Oeffnen makes them: its _Meta row and the table of letters. Reads
    // only.
    static bool IstSerienbriefe(db::Database& db);

    std::vector<Brief> Briefe();
    // A new letter in the delivered letter layout (head, footer, address window with the date beside it, a
    // salutation and a closing); its key, 0 on failure.
    int64_t Neu(const QString& name, QString* fehler = nullptr);
    bool Loeschen(int64_t lfnr, QString* fehler = nullptr);
    // Fills ziel with the letter once per address, each on its own pages, the fields set to that address and
    // datum (dd.MM.yyyy). False with a German reason (and ziel unchanged) when the letter is missing or cannot
    // be read, or there is no address.
    bool Erstelle(int64_t lfnr, const std::vector<Adresse>& an, const QString& datum, richtext::ScribantPro& ziel,
                  QString* fehler = nullptr);

    db::Database& Datenbank() { return *db_; }

private:
    explicit Serienbriefe(std::unique_ptr<db::Database> db) : db_(std::move(db)) {}
    std::unique_ptr<db::Database> db_;
};

// "Sehr geehrter Herr Dr. Meier," for an address whose addition (else its name) names a person ("Herrn Dr.
// Klaus Meier", "z. Hd. Frau Schulz"), by titles and surname, "Sehr geehrte Damen und Herren," for any other.
QString Anrede(const Adresse& a);
// The value of each letter field for an address.
std::vector<std::pair<int, QString>> BriefFelder(const Adresse& a, const QString& datum);

} // namespace velu::outside
