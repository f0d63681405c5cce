#pragma once
// The document window "Druckausgabe": the invoice document in the document control for one print run,
// its tool bar, keys and page numbering. It is shown (modally) only for a preview.
#include "documents/RechnungsDruck.h"

#include <QDialog>
#include <memory>

namespace velu::forms {
class ToolBand;
}
namespace velu::richtext {
class ScribantView;
}

namespace velu::documents {

class PrintRechnung : public QDialog {
public:
    PrintRechnung(db::Database& projekt, CRModul& cr, outside::ProjektUmgebung& umgebung,
                  const QString& reportOrdner, QWidget* parent = nullptr);
    ~PrintRechnung() override;

    RechnungsDokument& Dokument() { return *dokument_; }
    richtext::ScribantView& Scribant1() { return *view_; }
    forms::ToolBand& ActiveBar1() { return *bar_; }
    void ZusammTrans(const std::vector<int64_t>& liste) { dokument_->Text().ZusammTrans(liste); }
    void SetSeiteAufNull() { dokument_->Text().SetSeiteAufNull(); }

    static inline const QString Hilfethema = QStringLiteral("PrintRechnung");

protected:
    void keyPressEvent(QKeyEvent* e) override;

private:
    void Befehl(const QString& key);
    void SeitenansichtGeschaltet(bool an);

    richtext::ScribantView* view_;
    forms::ToolBand* bar_;
    std::unique_ptr<RechnungsDokument> dokument_;
};

} // namespace velu::documents
