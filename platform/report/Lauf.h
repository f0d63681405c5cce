#pragma once
// One run of a report: its rows read, joined, selected, sorted and grouped, and its bands made into blocks
// (a band instance with its items, positioned within the block). Used by Report; errors leave as LaufAbbruch.
#include "platform/report/DisplayList.h"
#include "platform/report/Expression.h"
#include "platform/report/Report.h"

#include <QHash>
#include <map>
#include <memory>
#include <vector>

namespace velu::report {

struct LaufAbbruch {
    int code;
    QString text;
};

// The run made more of "was" (items, pages) than one report may have.
LaufAbbruch ZuGross(long grenze, const QString& was);

struct Block {
    double hoehe = 0;
    std::vector<DisplayItem> items;
    std::vector<size_t> seitenzahlen; // items whose text is a page-number pattern
    int zeile = -1;                   // row the page bands of its page are read with
    bool berichtsKopf = false;        // prints above the first page header
};

class Lauf : public AuswertungsKontext {
public:
    Lauf(const Report& r, const Umfeld& u, Verbindungen& vb, Lauf* eltern);
    ~Lauf() override;
    Lauf(const Lauf&) = delete; // wurzel_ and the subreports point back at this run
    Lauf& operator=(const Lauf&) = delete;

    // Reads and joins the tables and checks every name. Throws LaufAbbruch.
    void Laden();
    // Selects (and, for a subreport, keeps only rows whose linked fields equal the values), sorts, groups.
    void Auswaehlen(const std::vector<std::pair<int, RValue>>& gleich = {});
    // Report header, groups, details and report footer as blocks, moved right by x.
    void Bloecke(std::vector<Block>& out, double x = 0);
    // A page band read at the given row (-1: none).
    Block SeitenBand(const Band& b, int zeile);

    int Slot(const QString& alias, const QString& feld) const;
    size_t Zeilen() const { return zeilen_.size(); }

    RValue Feld(const QString& alias, const QString& feld, int position) override;
    RValue Formel(const QString& name, int position) override;
    const Formate& Formats() override { return u_.formate; }
    RValue Summe(int gruppe, const std::function<RValue()>& wert, int position) override;

private:
    void LadeTabelle(db::Database* d, const Tabelle& t, const std::vector<QString>& spalten, int versatz,
                     std::vector<std::vector<RValue>>& zeilen);
    void PruefeNamen(const Expression& e, const QString& wo);
    void Band_(const Band& b, int pos, double x, std::vector<Block>& out);
    // Leaves out the items marked in leer and closes the gaps that only they filled.
    static void Schliessen(Block& blk, const std::vector<bool>& leer);
    void Wachsen(Block& blk, double x) const;
    void PruefeSummen();
    RValue Aggregat(const Element& e, int pos);
    // Sums wert over the positions [ab, bis), with je > 0 only at the last position of each group of level
    // je.
    RValue Summiere(int ab, int bis, int je, const std::function<RValue()>& wert);
    Lauf& UnterLauf(const QString& datei);
    // The rows (in alle_) that this run and its parents read fields from: what a formula's value depends on.
    std::vector<int> FormelStand() const;

    const Report& r_;
    const Umfeld& u_;
    Verbindungen& vb_;
    Lauf* eltern_;
    Lauf* wurzel_; // the outermost run: its report's date and the count of items
    int breite_ = 0;
    QHash<QString, int> slots_;
    std::vector<std::vector<RValue>> alle_;
    std::vector<int> zeilen_;                  // selected rows in print order
    std::vector<std::vector<int>> gruppenAb_;  // per level: first position of the group of each position
    std::vector<std::vector<int>> gruppenBis_; // per level: one past its last position
    int akt_ = -1;                             // position in zeilen_ of the row fields are read from
    int tiefe_ = 0;                            // nesting of subreports
    int formelTiefe_ = 0;                      // formulas calling formulas
    long elemente_ = 0;                        // items made by the run (counted on the outermost one)
    Expression auswahl_;
    std::map<QString, Expression> formeln_;
    // Each formula's value at formelStand_, so a formula that others use many times is evaluated once per
    // row; a template whose formulas each use the next twice would otherwise take 2^n evaluations.
    std::map<QString, RValue> formelWerte_;
    std::vector<int> formelStand_;
    std::map<QString, std::unique_ptr<Lauf>> unter_;
};

} // namespace velu::report
