#pragma once
// One open report: its template with the subreports it names, the table locations, formula texts, record
// selection and date text the caller set. Running it reads the data, selects, sorts and groups the rows and
// lays them out into a display list, or into HTML for a document.
#include "platform/report/DisplayList.h"
#include "platform/report/Formate.h"
#include "platform/report/Verbindungen.h"
#include "platform/report/Vorlage.h"

#include <QString>
#include <map>
#include <memory>
#include <vector>

namespace velu::report {

// What a run needs from outside: the formats and the program's open connections.
struct Umfeld {
    Formate formate = Formate::Standard();
    VerbindungsQuelle verbindungen;
};

class Report {
public:
    // 0 or an error code (*fehler says why). Subreports are looked for in the template's folder.
    static int Oeffne(const QString& pfad, std::unique_ptr<Report>& out, QString* fehler = nullptr);

    // 0, or TabelleUnbekannt when the template has no table of that alias.
    int SetzeTabellenOrt(const QString& alias, const QString& ort);
    // 0, UnterberichtFehlt or TabelleUnbekannt. The subreport is named by its file name.
    int SetzeUnterberichtOrt(const QString& unterbericht, const QString& alias, const QString& ort);
    // Sets the formula's text: 0, FormelUnbekannt (nothing set) or FormelFehler (set, but it does not parse
    // or names an unknown table or formula).
    int SetzeFormel(const QString& name, const QString& text);
    // The formula parses and every name resolves (columns are checked against the database when it runs).
    bool PruefeFormel(const QString& name, QString* fehler = nullptr) const;
    void SetzeAuswahl(const QString& text) { auswahl_ = text; }
    void SetzeDatum(const QString& text) { datum_ = text; }

    const Vorlage& Vorl() const { return *v_; }
    const QString& Datum() const { return datum_; }
    const QString& Auswahl() const { return auswahl_; }
    // Text of a formula (nullptr when the template has none of that name).
    const QString* FormelText(const QString& name) const;
    const std::map<QString, QString>& Formeln() const { return formeln_; }
    Report* Unterbericht(const QString& datei) const;
    const Report* Eltern() const { return eltern_; }
    // Location the table is read from: set, else the first set in this report, else the first set in the
    // report above, else the template's own (relative to the template's folder).
    QString OrtVon(const QString& alias) const;

    // 0 or an error code (*fehler says why).
    int Erzeuge(const Umfeld& u, DisplayList& out, QString* fehler = nullptr) const;
    // Continuous HTML without page bands, for insertion into a document.
    int ErzeugeHtml(const Umfeld& u, QString& html, QString* fehler = nullptr) const;

    // At most this many subreports in one report tree, however they nest.
    static constexpr int MaxUnterberichte = 100;

private:
    struct Baum;
    static int Lade(const QString& pfad, Report* eltern, int tiefe, Baum& baum, std::unique_ptr<Report>& out,
                    QString* fehler);
    QString ErsterOrt() const;

    std::shared_ptr<const Vorlage> v_; // shared by every report of the tree that names the same file
    Report* eltern_ = nullptr;
    std::vector<std::pair<QString, QString>> orte_; // alias (folded), location; in the order set
    std::map<QString, QString> formeln_;            // folded name -> text
    std::map<QString, QString> formelNamen_;        // folded name -> name as the template spells it
    QString auswahl_, datum_;
    std::vector<std::pair<QString, std::unique_ptr<Report>>> unter_; // folded file name -> subreport
};

} // namespace velu::report
