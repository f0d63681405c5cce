#pragma once
// A report template as read from its JSON file (format in docs/report-format.md): tables, selection,
// formulas, sort, groups, page set-up and bands. Expressions of the bands are parsed when the file is read;
// formula texts and the selection are parsed when the report runs, because callers replace them.
#include "platform/report/Expression.h"

#include <QMarginsF>
#include <QSizeF>
#include <QString>
#include <utility>
#include <vector>

namespace velu::report {

struct Element {
    enum class Art { Text, Feld, Formel, Seitenzahl, Druckdatum, Linie, Rahmen, Summe, Anzahl, Unterbericht };
    Art art = Art::Text;
    double x = 0, y = 0, breite = 0, hoehe = 0; // mm within the band
    QString text;                               // Text; pattern of Seitenzahl ("%1" page, "%2" pages)
    QString format;                             // "amount", "number", "date", "text" or empty
    int stellen = 2;
    int ausrichtung = 0x0001;
    double punkt = 9;
    bool fett = false;
    bool kursiv = false;
    double linienBreite = 0.3;
    bool leerWeglassen = false; // "suppressBlank": printing nothing, its height goes to what follows
    Expression wert; // Feld, Formel, Summe, Anzahl
    int gruppe = 0;  // Summe/Anzahl: 0 = whole report, else group level from 1
    int je = 0;      // Summe/Anzahl: 0 = every row, else once per group of this level (at its last row)
    QString datei;   // Unterbericht: template file name
    // Unterbericht: value of the main report (expression) that a subreport field ("Alias.Field") must equal.
    std::vector<std::pair<Expression, QString>> verknuepfung;
};

struct Band {
    double hoehe = 0;
    std::vector<Element> elemente;
    bool Leer() const { return hoehe <= 0 && elemente.empty(); }
};

struct Gruppe {
    Expression wert;
    Band kopf, fuss;
};

struct Tabelle {
    QString alias, tabelle, ort;
    // Links to a table before it: ("Alias.Field" of the earlier table, own column).
    std::vector<std::pair<QString, QString>> links;
};

struct Sortierung {
    Expression wert;
    bool absteigend = false;
};

struct Vorlage {
    QString pfad;
    QSizeF papier{210, 297};
    QMarginsF raender{20, 15, 15, 15}; // left, top, right, bottom in mm
    std::vector<Tabelle> tabellen;
    QString auswahl;
    std::vector<std::pair<QString, QString>> formeln; // name, text, in file order
    std::vector<Sortierung> sortierung;
    std::vector<Gruppe> gruppen;
    Band berichtsKopf, seitenKopf, details, berichtsFuss, seitenFuss;

    // 0, VorlageFehlt or VorlageDefekt (with *fehler saying where).
    static int Lade(const QString& pfad, Vorlage& out, QString* fehler = nullptr);

    // Calls f for every expression of bands, groups and sort (not formulas and selection).
    void JedesElementAusdruck(const std::function<void(const Expression&)>& f) const;
    const Tabelle* FindeTabelle(const QString& alias) const;
    std::vector<QString> Unterberichte() const;
};

} // namespace velu::report
