#include "core/GelieferteDruckvorlagen.h"

namespace velu {

namespace {

// Writers of the canonical velu-doc form: formats nest font, b, i, u, field from the outside in.
std::string F(int n) {
    return "<field n=\"" + std::to_string(n) + "\"> </field>";
}
std::string P(const std::string& inner, const std::string& attrs = {}) {
    return "<p" + attrs + ">" + inner + "</p>";
}
std::string Small(const std::string& inner) {
    return "<font size=\"8\">" + inner + "</font>";
}
std::string Doc(const std::string& body) {
    return "<velu-doc version=\"1\">" + body + "</velu-doc>";
}

const std::string Right = " align=\"right\"";
// Amounts stand right-aligned at the right edge of the text (210 mm paper less 25 + 20 mm margins).
const std::string Amount = " tabs=\"165r\"";
const std::string Label = " tabs=\"45\"";

// Sample letterhead: the office replaces these texts once in the print-template editor.
const std::string Buero = "Architektur- und Ingenieurbüro Muster";
const std::string Anschrift = "Musterstraße 1 · 12345 Musterstadt";
// The sender line above the address window: short enough for its one line.
const std::string Absender = "Ingenieurbüro Muster · Musterstraße 1 · 12345 Musterstadt";

std::string Letter(const std::string& title, const std::string& nummer) {
    auto cell = [](const std::string& inner) { return "<td>" + inner + "</td>"; };
    // The address window: the sender in one small line above the client's lines (project data 4 to 6).
    const std::string fenster = P("<font size=\"7\"><u>" + Absender + "</u></font>") +
                                P(F(1004)) + P(F(1005)) + P(F(1006));
    // A summary has no number and subject of its own.
    const bool einzeln = !nummer.empty();
    const std::string angaben = P("Datum: " + F(90), Right) + (einzeln ? P(nummer + " " + F(3001), Right) : "") +
                                P("Projekt-Nr.: " + F(101), Right);
    return "<table widths=\"90,75\"><tr>" + cell(fenster) + cell(angaben) + "</tr></table>" + P("") + P("") +
           P("<font size=\"12\"><b>" + title + (einzeln ? " Nr. " + F(3001) : "") + "</b></font>") +
           (einzeln ? P("<b>Betreff: " + F(3002) + "</b>") : "") +
           P("Projekt:<tab/>" + F(101) + " " + F(100), Label) + P("");
}

std::string Fee() {
    return P("Leistungsbild:<tab/>" + F(3003), Label) + P("Honorartafel:<tab/>" + F(3013), Label) +
           P("Honorarzone:<tab/>" + F(3004), Label) + P("") + P(F(3000)) + P("");
}

// The totals block: one field, one line per step of the invoice chain, the amounts at the right edge.
std::string Totals(bool invoice) {
    std::string s = P(F(3050), Amount) + P("");
    if (invoice)
        s += P("Bitte überweisen Sie den Endbetrag unter Angabe der Rechnungsnummer auf das unten genannte "
               "Konto.") +
             P("");
    else
        s += P("Wir freuen uns auf Ihren Auftrag.") + P("");
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
           P("darin enthaltene Mehrwertsteuer<tab/>" + F(3058), Amount) +
           P("") + P("Mit freundlichen Grüßen");
}

} // namespace

const std::vector<GelieferteDruckvorlage>& GelieferteDruckvorlagen() {
    static const std::vector<GelieferteDruckvorlage> vorlagen = [] {
        // Sender header and footer with what a German invoice must name: tax number or VAT ID and the bank.
        const std::string kopf = Doc(P("<font size=\"14\"><b>" + Buero + "</b></font>") +
                                     P(Small(Anschrift + " · Telefon 01234 567890 · info@buero-muster.de")));
        const std::string fuss =
            Doc(P(Small(Buero + " · Steuernummer 000/000/00000 · USt-IdNr. DE000000000"), " align=\"center\"") +
                P(Small("Musterbank · IBAN DE00 0000 0000 0000 0000 00 · BIC MUSTDEXXXXX"), " align=\"center\"") +
                P(Small("Seite " + F(91) + " von " + F(93)), " align=\"center\""));
        const std::string bauueberwachung = P("Örtliche Bauüberwachung nach § 57 HOAI") +
                                            P("Anrechenbare Kosten:<tab/>" + F(3317), Label) +
                                            P("Honorarsatz:<tab/>" + F(3318), Label) +
                                            P("Erbrachte Leistungen:<tab/>" + F(3319), Label) + P("");
        std::vector<GelieferteDruckvorlage> v = {
            {1, "Angebot", kopf, Doc(Letter("Honorarangebot", "Angebot-Nr.:") + Fee() + Totals(false)), fuss},
            {2, "Rechnung", kopf, Doc(Letter("Honorarrechnung", "Rechnungs-Nr.:") + Fee() + Totals(true)), fuss},
            {3, "Rechnung örtliche Bauüberwachung", kopf,
             Doc(Letter("Rechnung örtliche Bauüberwachung", "Rechnungs-Nr.:") + bauueberwachung + Totals(true)), fuss},
            {4, "Zusammenstellung", kopf, Doc(Letter("Zusammenstellung der Rechnungen", "") + Summary()), fuss},
            {5, "Stundenlohnrechnung", kopf,
             Doc(Letter("Stundenlohnrechnung", "Rechnungs-Nr.:") + P(F(3000)) + P("") + Totals(true)), fuss},
            {6, "Vergleichsangebot", kopf, Doc(Letter("Vergleichsangebot", "Angebot-Nr.:") + Fee() + Totals(false)), fuss},
            {7, "Vergleichsrechnung", kopf, Doc(Letter("Vergleichsrechnung", "Rechnungs-Nr.:") + Fee() + Totals(true)), fuss},
        };
        return v;
    }();
    return vorlagen;
}

} // namespace velu
