#pragma once
// The print dialog of offers and invoices: template of the document kind, invoice date, copies and the
// currency of the printout; each print or preview is one run of the document window.
#include "documents/RechnungsDruck.h"
#include "ui/DatumsFeld.h"

#include <QDialog>
#include <optional>

class QSpinBox;
class QTableWidget;

namespace velu::forms {
class ToolBand;
}

namespace velu::documents {

class PrintRechnung;

class DruckAufrufRechnung : public QDialog {
public:
    explicit DruckAufrufRechnung(CRModul& cr, QWidget* parent = nullptr);
    ~DruckAufrufRechnung() override;

    void Makeconection(int art, const QString& datum, int eingabe, int anzeige, int64_t lfnr);
    // Summary mode for every run of this dialog.
    void ZusammTrans(const std::vector<int64_t>& liste) { liste_ = liste; }
    // 1 preview, else print; false when the run failed (its message was shown).
    bool StarteDruck(int modus);

    // Caption of the template list and stored query of the master database for a document kind.
    static QString Ueberschrift(int art);
    static const char* Abfrage(int art);

    // Prints every copy into this one PDF file instead of the printer (empty: printer).
    void SetDruckDatei(const QString& pdf) { druckDatei_ = pdf; }
    // Called with the document window while it is shown for a preview (tests, screenshots).
    void SetVorschauHook(std::function<void(PrintRechnung&)> f) { vorschauHook_ = std::move(f); }

    DatumsFeld* DTPicker1() const { return dtPicker1_; }
    QSpinBox* XtraText1() const { return xtraText1_; }
    QTableWidget* SSDBGrid1() const { return grid_; }
    forms::ToolBand& ActiveBar1() { return *bar_; }

    static inline const QString Hilfethema = QStringLiteral("DruckAufrufRechnung");

protected:
    void keyPressEvent(QKeyEvent* e) override;

private:
    void Befehl(const QString& key);
    const db::Recordset* Vorlage();

    CRModul& cr_;
    forms::ToolBand* bar_;
    DatumsFeld* dtPicker1_;
    QSpinBox* xtraText1_;
    QTableWidget* grid_;
    std::optional<db::Recordset> data1_;
    Druckauftrag auftrag_;
    std::vector<int64_t> liste_;
    QString druckDatei_;
    std::function<void(PrintRechnung&)> vorschauHook_;
};

} // namespace velu::documents
