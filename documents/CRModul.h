#pragma once
// The program's access to the report engine: one application object and one open report, and the twelve
// operations the forms that print call, in the order open, setters, one output, release. The program creates
// one instance and hands it to those forms; tests make their own.
#include "platform/report/DisplayList.h"
#include "platform/report/Report.h"

#include <QPointer>
#include <QString>
#include <map>
#include <memory>
#include <utility>
#include <vector>

namespace velu::report {
class VorschauFenster;
}

namespace velu {

// The engine application: the run environment every report it opens is run in.
class CRAnwendung {
public:
    explicit CRAnwendung(report::Umfeld umfeld) : umfeld_(std::move(umfeld)) {}
    // 0 or the error number (53 for a missing template).
    int OpenReport(const QString& pfad, std::unique_ptr<report::Report>& out,
                   QString* fehler = nullptr) const;
    const report::Umfeld& Umfeld() const { return umfeld_; }

private:
    report::Umfeld umfeld_;
};

using NamenUndWerte = std::vector<std::pair<QString, QString>>;

class CRModul {
public:
    // Amount and date formats of the program; tables of its open project and master databases are read
    // through their connections.
    CRModul();
    explicit CRModul(report::Umfeld umfeld);
    ~CRModul();
    CRModul(const CRModul&) = delete;
    CRModul& operator=(const CRModul&) = delete;

    void CRRelease();
    long CROpenReport(QString& pfad);
    int CRPreview(const QString& titel, int offset, int flags, qint64 sechster);
    void CRWindowGeometry(int offset, long& left, long& top, long& width, long& height);
    int CRPrintOut(int flagA, int flagB, int& kopien);
    // Entries 1 to n of the list (all when n < 0): 0, or the error code of the first that failed.
    int CRSetTableLocations(const NamenUndWerte& tabellen, int n = -1);
    int CRSetTableLocation(QString& unterbericht, QString& tabelle, const QString& ort);
    int CRExport(const QString& datei);
    // 0, or the index from 1 of the first formula that could not be set or does not check.
    int CRSetFormula(const NamenUndWerte& formeln, int n = -1);
    void CRSetDatum(const QString& text);
    void CRSetSelection(const QString& formel);
    void CRWindowOptions(int flags);

    // The preview window's place on a screen of that size in pixels: 85 % of it, centred, moved up and
    // left by the offset.
    static void FensterGeometrie(int bildBreite, int bildHoehe, int offset, long& left, long& top,
                                 long& width, long& height);

    // Printing goes into this PDF file instead of a printer (empty: printer).
    void SetDruckDatei(const QString& pdf) { druckDatei_ = pdf; }
    // Window options by dispatch id, as CRWindowOptions set them.
    bool Fensteroption(int id) const;
    const std::map<int, bool>& Fensteroptionen() const { return optionen_; }
    report::Report* Report() const { return CRReport.get(); }
    report::VorschauFenster* Vorschau() const;
    // Error code of the last job (0 = succeeded) and its reason.
    int Fehlercode() const { return fehler_; }
    const QString& Fehlertext() const { return fehlerText_; }

private:
    int Lauf(report::DisplayList& dl);
    void SchliesseVorschau();

    std::unique_ptr<CRAnwendung> CRApplication;
    std::unique_ptr<report::Report> CRReport;
    report::Umfeld umfeld_;
    QPointer<report::VorschauFenster> vorschau_;
    std::map<int, bool> optionen_;
    bool jobFlag_ = false;
    QString druckDatei_;
    int fehler_ = 0;
    QString fehlerText_;
};

// The formats and connections CRModul() uses.
report::Umfeld ProgrammUmfeld();

} // namespace velu
