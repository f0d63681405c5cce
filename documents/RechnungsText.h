#pragma once
// The numbered fields of an offer or invoice document: the formatters that fill one field each from the
// current record, the three tables of one calculation, the project's data and the summary of several
// invoices. Widget-free: the fields are set through FeldZiel.
#include "core/Currency.h"
#include "platform/db/Recordset.h"

#include <QString>
#include <cstdint>
#include <vector>

namespace velu::db {
class Database;
}
namespace velu::outside {
class ProjektUmgebung;
}
namespace velu::richtext {
class ScribantPro;
}

namespace velu::documents {

// Where the fields are written (control call 40).
class FeldZiel {
public:
    virtual ~FeldZiel() = default;
    virtual void SetzeFeld(int nummer, const QString& text) = 0;
    // The template's own text of a field, before the run sets it; empty when it has none.
    virtual QString Feldtext(int) const { return {}; }
};

class ScribantFelder : public FeldZiel {
public:
    explicit ScribantFelder(richtext::ScribantPro& control) : control_(control) {}
    void SetzeFeld(int nummer, const QString& text) override;
    QString Feldtext(int nummer) const override;

private:
    richtext::ScribantPro& control_;
};

// The amount rounded to cents in the program's amount format, followed by the sign (" DM", " €"); the blank
// before the sign does not break, so that a line never ends between amount and sign.
QString Betragstext(Currency betrag, const QString& zeichen);

// The document's totals block: the invoice chain as stored, one line per step, each following from the
// lines above. Lines "label TAB percent TAB amount"; a line of kind Abzug is subtracted, Hinweis lines
// (in parentheses, no amount column) explain and are not added.
constexpr int SummenFeld = 3050;
// The number of pages of the document; field 91 is the page.
constexpr int SeitenzahlFeld = 93;
// The condition of the cash discount in the office's words ("bei Zahlung innerhalb von 14 Tagen"): the run
// reads it from the template, leads the discount's line with it and empties the field where it stands.
constexpr int SkontobedingungFeld = 3063;
// The line below an invoice's subject: "Leistungszeitraum: <von> bis <bis>" when the service has a known
// start, else "Leistungsdatum: <bis>", never a period without its start. A fee invoice runs from the
// planning start of the project data to the invoice date, an hourly-rate invoice over its positions' dates.
constexpr int LeistungszeitFeld = 3064;
// The payment term in the office's words ("Zahlbar innerhalb von 30 Tagen ohne Abzug."). With a cash
// discount the run names the amount due under it and the final amount due under the discount's condition.
constexpr int ZahlungsbedingungFeld = 3065;
QString Leistungszeittext(const QString& von, const QString& bis);
struct Summenzeile {
    enum Art { Start, Zuschlag, Zwischensumme, Abzug, Ende, Hinweis };
    Art art;
    QString text;
    QString prozent;
    Currency betrag;
};

// The amounts of surcharge rows (percentage of basis plus fixed amount each, rounded to cents) that add up
// to gesamt, the amount the chain charged for them: each row's percentage is rounded on its own while the
// chain rounds their sum once, so the cent the two may differ by stays with the last row.
struct Zuschlagsreihe {
    Currency prozent, betrag;
};
std::vector<Currency> Zuschlagsanteile(const std::vector<Zuschlagsreihe>& reihen, Currency basis, Currency gesamt);

class RechnungsText {
public:
    RechnungsText(db::Database& projekt, FeldZiel& felder, outside::ProjektUmgebung& umgebung);

    // Calculation, currency sign (" DM" or " €") and document kind of the run.
    void Setze(int64_t lfnr, const QString& zeichen, int art);
    // Summary mode over these calculations, in this order.
    void ZusammTrans(const std::vector<int64_t>& liste);
    bool Summenmodus() const { return summenmodus_; }
    db::Database& Projekt() { return projekt_; }

    // Every field of the document; datum is the invoice date the print dialog shows. False when the
    // calculation has no row in the print copy of BeReList.
    bool BaueRechnungsText(const QString& datum);

    // Formatters on the current record (Null reads as 0 or "").
    void ChangeFunctionStr(const char* feld, int nummer);
    void ChangeFunctionCUR(const char* feld, int nummer);
    void ChangeFunctionCURNegativ(const char* feld, int nummer);
    void ChangeFunctionNumZusatz(const char* feld, int nummer, const QString& zusatz);
    // Nine lines from the fields prefix1 .. prefix9: empty for 0, else the number with " %" or the sign.
    void ChangeFunctionArrayVal(const char* praefix, int nummer, bool prozent);
    void ChangeFunctionArrayLiTX();
    void SBFunctionNothing();
    void SetProjektDaten();
    void SetSeiteAufNull();
    // Page event: fields 91 and 92 of the page being drawn (from 1).
    void NeueSeite(int seite, int seiten = 0);
    // The totals lines of the current print row (BeReListPrint) and its print tables.
    std::vector<Summenzeile> Summenzeilen();
    int Seitenzaehler() const { return seitenzaehler_; }

    void BaueZusammenstellung();
    // Calculations of the summary list that no longer exist (left out by the last summary).
    const std::vector<int64_t>& Fehlend() const { return fehlend_; }
    QString GetLeistungsbildText(int64_t lfnr);

    // Replaces the current record by the first row of a stored query with one parameter; false when empty.
    bool Oeffne(const char* abfrage, const char* parameter, int64_t wert);

private:
    Currency Wert(const char* feld) const;
    void TabelleA();
    void TabelleB();
    void TabelleC();
    QString Positionszeitraum(const QString& datum);
    void Zahlungsbedingung();
    // The payments on account az split into net and VAT: per rate of the invoices they paid.
    struct Abschlagsanteil {
        Currency satz, netto, mwst;
    };
    std::vector<Abschlagsanteil> Abschlagsanteile(Currency az, Currency mwstPro);
    std::vector<Summenzeile> Zuschlagszeilen(const char* tabelle, const char* text, Currency basis,
                                             Currency prozent, Currency gesamt);

    db::Database& projekt_;
    FeldZiel& felder_;
    outside::ProjektUmgebung& umgebung_;
    db::Recordset satz_;
    int64_t lfnr_ = 0;
    QString zeichen_ = QStringLiteral(" €");
    int art_ = 0;
    int seitenzaehler_ = 0;
    bool summenmodus_ = false;
    QString skontobedingung_;
    QString zahlungsbedingung_;
    QString planungsbeginn_;
    std::vector<int64_t> liste_;
    std::vector<int64_t> fehlend_;
};

} // namespace velu::documents
