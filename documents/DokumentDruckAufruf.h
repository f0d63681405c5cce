#pragma once
// The register's print calls as the program makes them: a project report about one calculation opens the
// reports dialog PrintFormKO preset to it; documents and summaries say that printing is not available yet.
#include "register/DruckAufruf.h"

#include <functional>
#include <memory>

class QDialog;

namespace velu {

class CRModul;

class DokumentDruckAufruf : public reg::DruckNochNichtVerfuegbar {
public:
    // How the dialog is shown: modally by default; tests put their own.
    using Zeigen = std::function<void(QDialog&)>;
    DokumentDruckAufruf(CRModul& cr, QWidget* owner, Zeigen zeigen = {});
    void Bericht(int berichtIndex, const QString& caption, int64_t lfnr, const QString& nummer,
                 int64_t ursprung) override;

    // The register's print calls of the program.
    static reg::DruckAufrufFabrik Fabrik(CRModul& cr);

private:
    CRModul& cr_;
    QWidget* owner_;
    Zeigen zeigen_;
};

} // namespace velu
