#include "core/GelieferteDruckvorlagen.h"

#include "platform/outside/Briefvorlage.h"

namespace velu {

namespace {

using outside::brief::Absatz;
using outside::brief::Buero;

std::string F(int n) {
    return outside::brief::Feld(n);
}
std::string P(const std::string& inner, const std::string& attrs = {}) {
    return Absatz(inner, attrs);
}

const std::string Right = " align=\"right\"";
// Amounts stand right-aligned at the right edge of the text (210 mm paper less 25 + 20 mm margins).
const std::string Amount = " tabs=\"165r\"";
const std::string Label = " tabs=\"45\"";

// The letter up to the fee: window with the client's lines (project data 4 to 6) and the letter's data,
// title, subject and project; an invoice names its service period or date below the subject (field 3064,
// which the print run words).
std::string Letter(const std::string& title, const std::string& nummer, bool invoice = false) {
    // A summary has no number and subject of its own.
    const bool einzeln = !nummer.empty();
    const std::string angaben = P("Datum: " + F(90), Right) +
                                (einzeln ? P(nummer + " " + F(3001), Right) : "") +
                                P("Projekt-Nr.: " + F(101), Right);
    return outside::brief::Fenster(P(F(1004)) + P(F(1005)) + P(F(1006)), angaben) + P("") + P("") +
           P("<font size=\"12\"><b>" + title + (einzeln ? " Nr. " + F(3001) : "") + "</b></font>") +
           (einzeln ? P("<b>Betreff: " + F(3002) + "</b>") : "") + (invoice ? P(F(3064)) : "") +
           P("Projekt:<tab/>" + F(101) + " " + F(100), Label) + P("");
}

std::string Fee() {
    return P("Leistungsbild:<tab/>" + F(3003), Label) + P("Honorartafel:<tab/>" + F(3013), Label) +
           P("Honorarzone:<tab/>" + F(3004), Label) + P("") + P(F(3000)) + P("");
}

// The totals block: one field, one line per step of the invoice chain, the amounts at the right edge. An
// invoice states its payment term below (field 3065, which the print run completes with the amounts due
// when there is a cash discount); the condition of a cash discount (field 3063) is the office's wording,
// which the print run puts on the discount's line of the totals and takes out of this place.
std::string Totals(bool invoice, bool faellig = true) {
    std::string s = P(F(3050), Amount);
    // A comparison invoice shows what another way of billing would come to; it is not due and asks for no
    // payment.
    if (invoice && !faellig)
        s += P(outside::brief::Feld(3063, "bei Zahlung innerhalb von 14 Tagen")) + P("");
    else if (invoice)
        s += P(outside::brief::Feld(3063, "bei Zahlung innerhalb von 14 Tagen")) +
             P(outside::brief::Feld(3065, "Zahlbar innerhalb von 30 Tagen ohne Abzug.")) +
             P("Bitte überweisen Sie den Betrag unter Angabe der Rechnungsnummer auf das unten genannte "
               "Konto.") +
             P("");
    else
        s += P("") + P("Wir freuen uns auf Ihren Auftrag.") + P("");
    return s + P("Mit freundlichen Grüßen") + P("") + P("") + P(Buero);
}

std::string Summary() {
    auto cell = [](const std::string& inner, const std::string& attrs = {}) {
        return "<td>" + P(inner, attrs) + "</td>";
    };
    return "<table widths=\"25,48,22,42,28\" border=\"0.5\"><tr>" + cell("<b>Nr.</b>") +
           cell("<b>Bezeichnung</b>") + cell("<b>Datum</b>") + cell("<b>Art</b>") +
           cell("<b>Betrag</b>", Right) + "</tr><tr>" + cell(F(3052)) + cell(F(3053)) + cell(F(3054)) +
           cell(F(3057)) + cell(F(3055), Right) + "</tr></table>" + P("") +
           P("<b>Summe<tab/>" + F(3056) + "</b>", Amount) +
           P("darin enthaltene Mehrwertsteuer<tab/>" + F(3058), Amount) + P("") +
           P("Mit freundlichen Grüßen");
}

} // namespace

const std::vector<GelieferteDruckvorlage>& GelieferteDruckvorlagen() {
    static const std::vector<GelieferteDruckvorlage> vorlagen = [] {
        const std::string kopf = outside::brief::Kopf();
        const std::string fuss = outside::brief::Fuss(true);
        const std::string bauueberwachung = P("Örtliche Bauüberwachung nach § 57 HOAI") +
                                            P("Anrechenbare Kosten:<tab/>" + F(3317), Label) +
                                            P("Honorarsatz:<tab/>" + F(3318), Label) +
                                            P("Erbrachte Leistungen:<tab/>" + F(3319), Label) + P("");
        auto doc = outside::brief::Dokument;
        std::vector<GelieferteDruckvorlage> v = {
            {1, "Angebot", kopf, doc(Letter("Honorarangebot", "Angebot-Nr.:") + Fee() + Totals(false)), fuss},
            {2, "Rechnung", kopf,
             doc(Letter("Honorarrechnung", "Rechnungs-Nr.:", true) + Fee() + Totals(true)), fuss},
            {3, "Rechnung örtliche Bauüberwachung", kopf,
             doc(Letter("Rechnung örtliche Bauüberwachung", "Rechnungs-Nr.:", true) + bauueberwachung +
                 Totals(true)),
             fuss},
            {4, "Zusammenstellung", kopf, doc(Letter("Zusammenstellung der Rechnungen", "") + Summary()),
             fuss},
            {5, "Stundenlohnrechnung", kopf,
             doc(Letter("Stundenlohnrechnung", "Rechnungs-Nr.:", true) + P(F(3000)) + P("") + Totals(true)),
             fuss},
            {6, "Vergleichsangebot", kopf,
             doc(Letter("Vergleichsangebot", "Angebot-Nr.:") + Fee() + Totals(false)), fuss},
            {7, "Vergleichsrechnung", kopf,
             doc(Letter("Vergleichsrechnung", "Rechnungs-Nr.:", true) + Fee() + Totals(true, false)), fuss},
        };
        return v;
    }();
    return vorlagen;
}

} // namespace velu
