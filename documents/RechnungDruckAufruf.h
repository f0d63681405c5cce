#pragma once
// The register's print calls of an offer or invoice and of the summary of marked invoices: the print
// dialog set up for the calculation and shown modally. The program's DruckAufruf passes its Rechnung and
// Zusammenstellung here with its one CRModul.
#include <QString>
#include <cstdint>
#include <functional>
#include <vector>

class QWidget;

namespace velu {
class CRModul;
}

namespace velu::documents {

class DruckAufrufRechnung;

void CallREPRINT(CRModul& cr, int art, const QString& datum, int eingabe, int anzeige, int64_t lfnr,
                 QWidget* owner = nullptr);
void CallReZusammenstellung(CRModul& cr, const std::vector<int64_t>& liste, const QString& datum, int eingabe,
                            int anzeige, int64_t lfnr, QWidget* owner = nullptr);

// Called with the dialog once it is set up, before it is shown (tests drive it from here).
std::function<void(DruckAufrufRechnung&)>& DruckAufrufHook();

} // namespace velu::documents
