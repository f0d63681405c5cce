#include "masterdata/TafelVerwendung.h"

#include "platform/db/DbError.h"
#include "platform/db/Recordset.h"

#include <system_error>

// GCC 12 false positive on moving db::Value temporaries.
#pragma GCC diagnostic ignored "-Wmaybe-uninitialized"

namespace velu::masterdata {

const char* const TafelVerwendung::Meldung =
    "Diese Tafel wird noch verwendet und kann nicht gelöscht werden:";

namespace {

bool GleicheDatei(const std::filesystem::path& a, const std::filesystem::path& b) {
    std::error_code ec;
    const bool gleich = std::filesystem::equivalent(a, b, ec);
    return !ec && gleich;
}

std::string Unlesbar(const std::string& nummer) {
    return "Projekt " + nummer + ": die Projektdatenbank kann nicht gelesen werden";
}

} // namespace

TafelVerwendung::TafelVerwendung(db::Database& stamm, db::Database* aktuell, std::string aktNummer)
    : stamm_(stamm), aktuell_(aktuell), aktNummer_(std::move(aktNummer)) {}

void TafelVerwendung::Berechnungen(db::Database& projekt, const std::string& nummer, int64_t tafel,
                                   std::vector<std::string>& out) {
    db::Recordset rs =
        projekt.OpenRecordset("SELECT DISTINCT BeReList.LfNr, BeReList.ReBezeichnung FROM Leistungsbild "
                              "INNER JOIN BeReList ON BeReList.LfNr = Leistungsbild.LfNrBeReList "
                              "WHERE Leistungsbild.HoaiTafelZuordnung = ? ORDER BY BeReList.LfNr",
                              db::Params().Add(tafel));
    for (; !rs.EOF_(); rs.MoveNext())
        out.push_back("Projekt " + nummer + ": Berechnung " + rs.GetText("ReBezeichnung"));
}

std::vector<std::string> TafelVerwendung::Verwender(int64_t tafel,
                                                    const std::vector<ProjektDatei>& projekte) {
    std::vector<std::string> out;
    db::Recordset lb = stamm_.OpenRecordset(
        "SELECT ParagBezeichnung FROM Leistungsbilder WHERE HoaiTafelZuordnung = ? ORDER BY LfNr",
        db::Params().Add(tafel));
    for (; !lb.EOF_(); lb.MoveNext())
        out.push_back("Leistungsbild " + lb.GetText("ParagBezeichnung"));

    if (aktuell_) {
        try {
            Berechnungen(*aktuell_, aktNummer_, tafel, out);
        } catch (const db::DbError&) {
            out.push_back(Unlesbar(aktNummer_));
        }
    }
    for (const ProjektDatei& p : projekte) {
        if (aktuell_ && GleicheDatei(p.datei, aktuell_->Path())) continue;
        std::error_code ec;
        if (!std::filesystem::exists(p.datei, ec)) continue; // a project never opened has no calculations
        try {
            std::string fehler;
            auto db = db::Database::Open(p.datei, db::OpenMode::Shared, &fehler);
            if (!db) {
                out.push_back(Unlesbar(p.nummer));
                continue;
            }
            Berechnungen(*db, p.nummer, tafel, out);
        } catch (const db::DbError&) {
            out.push_back(Unlesbar(p.nummer));
        }
    }
    return out;
}

} // namespace velu::masterdata
