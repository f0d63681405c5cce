#pragma once
// The work tables of the project reports: the planning schedule (Vorplanung) and the open invoices
// (Offeneposten) of all listed projects in the master database, and the invoiced fee per service phase of the
// current project as report formulas with one hidden expense row per phase. Widget-free.
// moc cannot parse <compare>, which the currency type needs.
#ifndef Q_MOC_RUN
#include "core/Currency.h"
#endif

#include <QString>
#include <QStringList>
#include <array>
#include <cstdint>

namespace velu::db {
class Database;
}
namespace velu::outside {
class ProjektUmgebung;
}

namespace velu {

class CRModul;

// Index 0 site supervision ("B"), 1 to 9 the service phases of invoices ("R"), 10 hourly-rate invoices ("S").
using PhasenSummen = std::array<Currency, 12>;

class BerichtsTabellen {
public:
    BerichtsTabellen(db::Database& stamm, outside::ProjektUmgebung& umgebung, db::Database* projekt = nullptr)
        : stamm_(stamm), umgebung_(umgebung), projekt_(projekt) {}

    // Outcome of a rebuild: whether it was stored (a failed one leaves the former rows), and the listed
    // projects whose database exists but could not be read.
    struct Ergebnis {
        bool ok = true;
        QString fehler;
        QStringList uebersprungen;
    };
    Ergebnis baggernVorplanung();
    Ergebnis OffenepostenBagger();

    // Payments of calculation lfnr in its entry currency; andere gets them in the other currency.
    static Currency GeTZahlungenOffenePo(db::Database& projekt, int64_t lfnr, Currency& andere);
    // Endbetrag of calculation lfnr (a Null counts as 0) with its number, name, date text, twin and entry
    // currency.
    static Currency GeTEndbetragOffenePo(db::Database& projekt, int64_t lfnr, QString& nummer,
                                         QString& bezeichnung, QString& datum, Currency& aldisp,
                                         int& inputtype);
    // Adds the invoiced fees of the current project: every invoice, hourly-rate and site-supervision invoice
    // once, except those a later invoice of their group took over.
    void BelegeProjAufwand(PhasenSummen& dm, PhasenSummen& euro, Currency& dmGesamt, Currency& euroGesamt);
    // Sets "SummLp0" to "SummLp10" and "GesSummLp" on the open report (DM or euro sums) and adds one hidden
    // expense row per phase 0 to 10, after removing any left over.
    void ProjektaufwandInFORMEL(CRModul& cr, bool dm);
    // Removes the hidden expense rows (stored query DELHIDEProAUFWAND).
    void EntferneHilfszeilen();

    // The folder of project nummer below the projects folder, found without regard to case; empty when the
    // number is empty or could leave the projects folder.
    static QString ProjektOrdner(const QString& projekteOrdner, const QString& nummer);
    // The sum as the formula text of the report: plain decimal, point, no grouping ("12.5", "0").
    static QString FormelZahl(Currency betrag);

private:
    db::Database& stamm_;
    outside::ProjektUmgebung& umgebung_;
    db::Database* projekt_;
};

} // namespace velu
