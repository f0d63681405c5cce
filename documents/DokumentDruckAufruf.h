#pragma once
// The register's print calls as the program makes them: a project report about one calculation opens the
// reports dialog PrintFormKO preset to it; an offer or invoice opens its print dialog, marked invoices their
// summary.
#include "register/DruckAufruf.h"

#include <functional>
#include <memory>

class QDialog;

namespace velu {

class CRModul;

class DokumentDruckAufruf : public reg::DruckAufruf {
public:
    // How the dialog is shown: modally by default; tests put their own.
    using Zeigen = std::function<void(QDialog&)>;
    DokumentDruckAufruf(CRModul& cr, QWidget* owner, Zeigen zeigen = {});
    void Bericht(int berichtIndex, const QString& caption, int64_t lfnr, const QString& nummer,
                 int64_t ursprung) override;
    void Rechnung(int art, const QString& datum, int inputType, int displayType, int64_t lfnr) override;
    void Zusammenstellung(const std::vector<int64_t>& liste, const QString& datum, int inputType,
                          int displayType, int64_t lfnr) override;

    // The register's print calls of the program.
    static reg::DruckAufrufFabrik Fabrik(CRModul& cr);

private:
    CRModul& cr_;
    QWidget* owner_;
    Zeigen zeigen_;
};

} // namespace velu
