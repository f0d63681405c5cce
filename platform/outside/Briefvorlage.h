#pragma once
// The letter layout the program delivers, shared by the offer and invoice templates and by new serial
// letters: the office's head and footer (sample texts the office replaces once in the template editor) and
// the address window of a window envelope (DIN 5008 form B: 45-90 mm from the top of the sheet, 20 mm from
// its left edge), as pieces of the velu-doc format written canonically.
#include <string>

namespace velu::outside::brief {

// Margins of the delivered layout in thousandths of a millimetre (top, bottom, left, right).
inline constexpr int Raender[4] = {20000, 20000, 25000, 20000};

std::string Feld(int n, const std::string& platzhalter = " ");
std::string Absatz(const std::string& inner, const std::string& attrs = {});
std::string Dokument(const std::string& body);

// The office's name, the sample the closing of a letter is signed with.
extern const std::string Buero;

// The head on every page: the office's name and address.
std::string Kopf();
// The footer with what an invoice must name of the office (tax number, VAT ID, bank); with seiten the page
// of pages below it.
std::string Fuss(bool seiten);

// The address window with the sender line above the address paragraphs, and beside it the letter's data
// (date, numbers) as right-aligned paragraphs. It stands first in the body: the head's height and the top
// margin are part of its distance from the top of the sheet.
std::string Fenster(const std::string& anschrift, const std::string& angaben);

} // namespace velu::outside::brief
