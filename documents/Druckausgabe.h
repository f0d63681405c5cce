#pragma once
// The project reports without their window: the table of the fifteen reports (template, database, table),
// the choice of the report to print, the common and currency formulas and the eight report routines. The
// dialog PrintFormKO owns one and lends it its state (copies, date, currency, captions) and its waiting for a
// preview.
#include "documents/Projektinfo.h"

#include <QString>
#include <array>
#include <cstdint>
#include <functional>
#include <utility>
#include <vector>

namespace velu::db {
class Database;
}
namespace velu::outside {
class ProjektUmgebung;
}

namespace velu {

class CRModul;

class Druckausgabe {
public:
    static constexpr int AnzahlBerichte = 15;
    // Captions of the options 0 to 10, as the dialog shows them.
    static const std::array<QString, 11> OptionCaptions;

    // What the routines need of the program: databases with their paths, the project environment.
    struct Quellen {
        db::Database* projekt = nullptr;
        QString projektPfad;
        db::Database* stamm = nullptr;
        QString stammPfad;
        outside::ProjektUmgebung* umgebung = nullptr;
    };
    // What the dialog lends.
    struct Dialog {
        std::function<void(const QString&)> melden;
        // Waits until the preview window is gone (the dialog is disabled meanwhile).
        std::function<void()> warten;
        QString kopien;  // text of the copies field
        QString datum;   // the date as text
        bool dm = true;  // tool "DM" checked
        QString caption; // the dialog's caption
        qint64 fenster = 0;
    };

    Druckausgabe(CRModul& cr, Quellen quellen);

    // Report header values, report folder, then the file and database tables.
    void Laden(const QString& reportOrdner);
    void InItPrints();
    void PrintMode2(int index, int64_t lfnr, const QString& nummer, int64_t ursprung);
    // The preset report, else the first chosen option (-1: none), else 0.
    int wasIstZUDrucken(int gewaehlteOption) const;
    int SetCommReportFields();
    void AusgabeWährung();

    // Tools "PRINT" (mode 0) and "PREVIEW" (mode 1).
    void Dispatch(int mode, int gewaehlteOption);

    void CallProjektaufwandnachLP(int mode, int flagA, int flagB, int index);
    void CallProjektOffenePosten(int mode, int flagA, int flagB, int index);
    void CallAufwand_Honorar(int mode, int flagA, int flagB, int index);
    void CallVorplanungsliste(int mode, int flagA, int flagB, int index);
    void CallAnrechenbareKosten(int mode, int flagA, int flagB);
    void CallPrintAZ(int mode, int flagA, int flagB);
    void CallPrintZahlungen(int mode, int flagA, int flagB);
    void CallPrintZULP(int mode, int flagA, int flagB);

    // Selection texts of the preset reports.
    static QString AuswahlEineBerechnung(int64_t lfnr);
    static QString AuswahlAbschlaege(int64_t lfnr, int64_t ursprung);
    // The payment overview's formulas of the project: "Abgeloest" is true for the invoices a later invoice of
    // their group stands for, "Nachtrag" what an invoice's printed final amount less its printed payments
    // leaves beyond what it owes (the payments it stands for, and in the other currency the cent its amount
    // owed converted once differs by), printed in DM or euro.
    static std::vector<std::pair<QString, QString>> Zahlungsformeln(db::Database& projekt, bool dm);
    // Copies from the field's text: its number rounded, 0 or no number gives 1.
    static int Kopien(const QString& text);

    Dialog& Fenster() { return dialog_; }
    const Projektkopf& Kopf() const { return kopf_; }
    const QString& ReportOrdner() const { return reportOrdner_; }
    const QString& Datei(int index) const { return dateien_[size_t(index)]; }
    const QString& Datenbank(int index) const { return pfade_[size_t(index)]; }
    int Preset() const { return preset_; }
    int64_t LfNr() const { return lfnr_; }
    int64_t Ursprung() const { return ursprung_; }
    const QString& Nummer() const { return nummer_; }

private:
    bool Oeffne(int index);
    void Melde(const QString& text);
    // The template's name and the engine's text of the last failed run, or nothing.
    QString Ursache() const;
    // Points the one table of the report at its database; false (with a message) when that fails.
    bool Tabelle(int index, const QString& tabelle);
    // Print or preview; true when it succeeded (a preview of a waiting routine has then been closed).
    bool Ausgabe(int mode, int flagA, int flagB, const QString& titel, qint64 sechster, bool warten);
    bool GemeinsameFelder();
    void Preset(int mode, int flagA, int flagB, const QString& tabelle, const QString& auswahl, bool reNummer,
                const std::vector<std::pair<QString, QString>>& formeln = {});

    CRModul& cr_;
    Quellen q_;
    Dialog dialog_;
    Projektkopf kopf_;
    QString reportOrdner_, offen_;
    std::array<QString, AnzahlBerichte> dateien_, pfade_;
    int preset_ = 0;
    int64_t lfnr_ = 0, ursprung_ = 0;
    QString nummer_;
};

} // namespace velu
