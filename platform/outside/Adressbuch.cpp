#include "platform/outside/Adressbuch.h"

#include "platform/db/DbError.h"
#include "platform/db/Recordset.h"
#include "platform/outside/Ablage.h"
#include "platform/outside/Prodat.h"

#include <QCollator>

#include <algorithm>

namespace velu::outside {

namespace {

const char* const Spalten[] = {"Name", "Zusatz", "Strasse", "PLZ", "Ort", "Telefon", "EMail"};

QString* Feld(Adresse& a, int i) {
    QString* f[] = {&a.name, &a.zusatz, &a.strasse, &a.plz, &a.ort, &a.telefon, &a.email};
    return f[i];
}

Adresse AusZeile(const db::Recordset& rs) {
    Adresse a;
    a.nr = rs.GetInt("AdrNr");
    for (int i = 0; i < 7; ++i)
        *Feld(a, i) = QString::fromStdString(rs.GetText(Spalten[i]));
    return a;
}

} // namespace

QString Adresse::PlzOrt() const {
    return (plz.trimmed() + ' ' + ort.trimmed()).trimmed();
}

QString Adressbuch::Pfad(ProjektUmgebung& umgebung) {
    return AblagePfad(umgebung, "ADRESSMDB", "ZADRESS32.MDB");
}

namespace {
const QString Art = QStringLiteral("Adressen");
}

bool Adressbuch::IstAdressbuch(db::Database& db) {
    return IstAblage(db, Art) && db.HasTable("Adressen");
}

std::unique_ptr<Adressbuch> Adressbuch::Oeffnen(const QString& pfad, QString* fehler) {
    auto d = OeffneAblage(
        pfad, Art,
        [](db::Database& neu) {
            neu.Execute("CREATE TABLE Adressen (AdrNr INTEGER PRIMARY KEY AUTOINCREMENT, Name TEXT NOT NULL, "
                        "Zusatz TEXT, Strasse TEXT, PLZ TEXT, Ort TEXT, Telefon TEXT, EMail TEXT)");
            neu.Execute("CREATE INDEX Adressen_Name ON Adressen (Name)");
        },
        fehler);
    if (!d) return nullptr;
    return std::unique_ptr<Adressbuch>(new Adressbuch(std::move(d)));
}

std::vector<Adresse> Adressbuch::Suche(const QString& text) {
    // Filtered here rather than by LIKE, which folds the case of ASCII letters only ("müller" finds "Müller").
    const QString t = text.trimmed();
    std::vector<Adresse> out;
    auto rs = db_->OpenRecordset("SELECT * FROM Adressen");
    for (; !rs.EOF_(); rs.MoveNext()) {
        Adresse a = AusZeile(rs);
        if (a.name.contains(t, Qt::CaseInsensitive)) out.push_back(std::move(a));
    }
    QCollator c(QLocale(QLocale::German, QLocale::Germany));
    c.setCaseSensitivity(Qt::CaseInsensitive);
    std::stable_sort(out.begin(), out.end(), [&](const Adresse& x, const Adresse& y) {
        const int r = c.compare(x.name, y.name);
        return r != 0 ? r < 0 : x.nr < y.nr;
    });
    return out;
}

std::optional<Adresse> Adressbuch::Lese(int64_t nr) {
    auto rs = db_->OpenRecordset("SELECT * FROM Adressen WHERE AdrNr = :nr", db::Params().Set("nr", nr));
    if (rs.Empty()) return std::nullopt;
    return AusZeile(rs);
}

bool Adressbuch::Speichern(Adresse& a, QString* fehler) {
    Adresse sauber = a;
    for (int i = 0; i < 7; ++i)
        *Feld(sauber, i) = Feld(sauber, i)->trimmed();
    if (sauber.name.isEmpty()) {
        if (fehler) *fehler = AdresseOhneName;
        return false;
    }
    db::Params p;
    for (int i = 0; i < 7; ++i)
        p.Set(Spalten[i], Feld(sauber, i)->toStdString());
    try {
        if (sauber.nr == 0) {
            db_->Execute("INSERT INTO Adressen (Name, Zusatz, Strasse, PLZ, Ort, Telefon, EMail) "
                         "VALUES (:Name, :Zusatz, :Strasse, :PLZ, :Ort, :Telefon, :EMail)",
                         p);
            sauber.nr = db_->LastInsertId();
        } else {
            db_->Execute("UPDATE Adressen SET Name = :Name, Zusatz = :Zusatz, Strasse = :Strasse, PLZ = :PLZ, "
                         "Ort = :Ort, Telefon = :Telefon, EMail = :EMail WHERE AdrNr = :nr",
                         p.Set("nr", sauber.nr));
            if (db_->RecordsAffected() != 1) {
                if (fehler) *fehler = QStringLiteral("Die Adresse ist nicht mehr vorhanden.");
                return false;
            }
        }
    } catch (const db::DbError& e) {
        if (fehler)
            *fehler = QStringLiteral("Die Adresse konnte nicht gespeichert werden:\n") + QString::fromUtf8(e.what());
        return false;
    }
    a = sauber;
    return true;
}

bool Adressbuch::Loeschen(int64_t nr, QString* fehler) {
    try {
        db_->Execute("DELETE FROM Adressen WHERE AdrNr = :nr", db::Params().Set("nr", nr));
    } catch (const db::DbError& e) {
        if (fehler)
            *fehler = QStringLiteral("Die Adresse konnte nicht gelöscht werden:\n") + QString::fromUtf8(e.what());
        return false;
    }
    return true;
}

std::array<QString, 3> BauherrZeilen(const Adresse& a) {
    return {a.name.trimmed(), a.strasse.trimmed(), a.PlzOrt()};
}

bool SchreibeBauherr(const QString& prodatPfad, const Adresse& a, QString* fehler) {
    const auto z = BauherrZeilen(a);
    const char* const namen[] = {"Name", "Straße", "PLZ und Ort"};
    for (int i = 0; i < 3; ++i) {
        const QString grund = ProdatFeldFehler(z[size_t(i)]);
        if (!grund.isEmpty()) {
            if (fehler)
                *fehler = QStringLiteral("Die Adresse passt nicht in die Projektdaten (%1):\n")
                              .arg(QString::fromUtf8(namen[i])) +
                          grund;
            return false;
        }
    }
    return SchreibeProdatFelder(prodatPfad, {{4, z[0]}, {5, z[1]}, {6, z[2]}}, fehler);
}

} // namespace velu::outside
