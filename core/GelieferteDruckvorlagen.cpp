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

std::string Total(const std::string& label, int field) {
    return P(label + "<tab/>" + F(field), Amount);
}

std::string Letter(const std::string& title) {
    return P("<font size=\"14\"><b>Architektur- und Ingenieurbüro</b></font>") +
           P(Small("Musterstraße 1 · 12345 Musterstadt · Telefon 01234 567890")) + P("") + P(F(1004)) +
           P(F(1005)) + P(F(1006)) + P("") + P("Datum: " + F(90), Right) + P("") +
           P("<font size=\"12\"><b>" + title + " Nr. " + F(3001) + "</b></font>") +
           P("<b>Betreff: " + F(3002) + "</b>") + P("Projekt:<tab/>" + F(101) + " " + F(100), Label) + P("");
}

std::string Fee() {
    return P("Leistungsbild:<tab/>" + F(3003), Label) + P("Honorartafel:<tab/>" + F(3013), Label) +
           P("Honorarzone:<tab/>" + F(3004), Label) + P("") + P(F(3000)) + P("");
}

std::string Totals(bool invoice) {
    std::string s = Total("Honorar netto", 3304) + Total("Zwischensumme", 3306) +
                    Total("zuzüglich " + F(3307) + " Mehrwertsteuer", 3308) + Total("Bruttobetrag", 3309);
    if (invoice) s += Total("abzüglich Abschlagszahlungen", 3311);
    s += P("<b>Endbetrag<tab/>" + F(3315) + "</b>", Amount) + P("");
    if (invoice)
        s += P("Bei Zahlung innerhalb von 14 Tagen gewähren wir " + F(3312) + " Skonto auf " + F(3313) +
               ": " + F(3314) + ".") +
             P("");
    return s + P("Mit freundlichen Grüßen");
}

std::string Summary() {
    auto cell = [](const std::string& inner, const std::string& attrs = {}) {
        return "<td>" + P(inner, attrs) + "</td>";
    };
    return "<table widths=\"25,48,22,42,28\" border=\"0.5\"><tr>" + cell("<b>Nr.</b>") +
           cell("<b>Bezeichnung</b>") + cell("<b>Datum</b>") + cell("<b>Art</b>") +
           cell("<b>Betrag</b>", Right) + "</tr><tr>" + cell(F(3052)) + cell(F(3053)) + cell(F(3054)) +
           cell(F(3057)) + cell(F(3055), Right) + "</tr></table>" + P("") +
           P("<b>Summe<tab/>" + F(3056) + "</b>", Amount) + Total("darin enthaltene Mehrwertsteuer", 3058) +
           P("") + P("Mit freundlichen Grüßen");
}

} // namespace

const std::vector<GelieferteDruckvorlage>& GelieferteDruckvorlagen() {
    static const std::vector<GelieferteDruckvorlage> vorlagen = [] {
        const std::string kopf = Doc(P(Small("Projekt " + F(101) + " · " + F(100)), Right));
        const std::string fuss = Doc(P(Small("Seite " + F(91)), " align=\"center\""));
        const std::string bauueberwachung = P("Örtliche Bauüberwachung nach § 57 HOAI") +
                                            P("Anrechenbare Kosten:<tab/>" + F(3317), Label) +
                                            P("Honorarsatz:<tab/>" + F(3318), Label) +
                                            P("Erbrachte Leistungen:<tab/>" + F(3319), Label) + P("");
        std::vector<GelieferteDruckvorlage> v = {
            {1, "Angebot", kopf, Doc(Letter("Honorarangebot") + Fee() + Totals(false)), fuss},
            {2, "Rechnung", kopf, Doc(Letter("Honorarrechnung") + Fee() + Totals(true)), fuss},
            {3, "Rechnung örtliche Bauüberwachung", kopf,
             Doc(Letter("Rechnung örtliche Bauüberwachung") + bauueberwachung + Totals(true)), fuss},
            {4, "Zusammenstellung", kopf, Doc(Letter("Zusammenstellung der Rechnungen") + Summary()), fuss},
            {5, "Stundenlohnrechnung", kopf,
             Doc(Letter("Stundenlohnrechnung") + P(F(3000)) + P("") + Totals(true)), fuss},
            {6, "Vergleichsangebot", kopf, Doc(Letter("Vergleichsangebot") + Fee() + Totals(false)), fuss},
            {7, "Vergleichsrechnung", kopf, Doc(Letter("Vergleichsrechnung") + Fee() + Totals(true)), fuss},
        };
        return v;
    }();
    return vorlagen;
}

} // namespace velu
