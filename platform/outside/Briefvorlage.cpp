#include "platform/outside/Briefvorlage.h"

namespace velu::outside::brief {

namespace {

std::string Klein(const std::string& inner) {
    return "<font size=\"8\">" + inner + "</font>";
}

// An empty line as high as a line of this font size: the template format has no spacing of its own, so the
// window's distance from the top is kept by one such line (DejaVu Sans, the documents' font, is 1.164 em
// high).
std::string Abstand(int punkte) {
    return Absatz("<font size=\"" + std::to_string(punkte) + "\"> </font>");
}

// Font sizes of the two spacing lines above the window and above the sender line.
constexpr int VorDemFenster = 41, VorDemAbsender = 22;

const std::string Mitte = " align=\"center\"";
const std::string Anschrift = "Musterstraße 1 · 12345 Musterstadt";
// The sender line above the address: short enough for the window's one line.
const std::string Absender = "Ingenieurbüro Muster · Musterstraße 1 · 12345 Musterstadt";

} // namespace

const std::string Buero = "Architektur- und Ingenieurbüro Muster";

std::string Feld(int n, const std::string& platzhalter) {
    return "<field n=\"" + std::to_string(n) + "\">" + platzhalter + "</field>";
}

std::string Absatz(const std::string& inner, const std::string& attrs) {
    return "<p" + attrs + ">" + inner + "</p>";
}

std::string Dokument(const std::string& body) {
    return "<velu-doc version=\"1\">" + body + "</velu-doc>";
}

std::string Kopf() {
    return Dokument(Absatz("<font size=\"14\"><b>" + Buero + "</b></font>") +
                    Absatz(Klein(Anschrift + " · Telefon 01234 567890 · info@buero-muster.de")));
}

std::string Fuss(bool seiten) {
    return Dokument(Absatz(Klein(Buero + " · Steuernummer 000/000/00000 · USt-IdNr. DE000000000"), Mitte) +
                    Absatz(Klein("Musterbank · IBAN DE00 0000 0000 0000 0000 00 · BIC MUSTDEXXXXX"), Mitte) +
                    (seiten ? Absatz(Klein("Seite " + Feld(91) + " von " + Feld(93)), Mitte) : ""));
}

std::string Fenster(const std::string& anschrift, const std::string& angaben) {
    auto zelle = [](const std::string& inner) { return "<td>" + inner + "</td>"; };
    // Below the head (20 mm margin, two lines, 4 mm gap: 33 mm) the window's data start at 50 mm; the
    // sender line ends where the address zone of the window starts (62.7 mm), so the address fills it
    // from the top.
    const std::string fenster =
        Abstand(VorDemAbsender) + Absatz("<font size=\"7\"><u>" + Absender + "</u></font>") + anschrift;
    return Abstand(VorDemFenster) + "<table widths=\"90,75\"><tr>" + zelle(fenster) + zelle(angaben) +
           "</tr></table>";
}

} // namespace velu::outside::brief
