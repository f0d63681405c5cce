#pragma once
// The register of the project's calculations: the tree by group, the "Details" tab with the stored invoice
// totals of the current calculation and its type options. The arithmetic lives in BeReListKette.
#ifndef Q_MOC_RUN
#include "core/Currency.h"
#include "platform/db/Recordset.h"
#endif

#include <QString>
#include <QWidget>
#include <memory>
#include <optional>
#include <vector>

class QDateEdit;
class QGroupBox;
class QLabel;
class QLineEdit;
class QRadioButton;
class QTabWidget;
class QTreeWidget;
class QTreeWidgetItem;

namespace velu {
namespace db {
class Database;
}
namespace forms {
class ToolBand;
}
class avbSplitterH;

class BerAuswahl : public QWidget {
    Q_OBJECT
public:
    // The type letters of the option buttons Option1 0 to 5.
    static constexpr const char* Typen = "ARSEVB";

    BerAuswahl(std::shared_ptr<db::Database> projektDB, QString projektText, QWidget* parent = nullptr);
    ~BerAuswahl() override;

    forms::ToolBand& ActiveBar() { return *bar_; }

    // Rebuilds the tree from "Rechnungsübersicht", reopens the overview recordset and selects the first
    // calculation (or the root when there is none).
    void RefreshConection();
    // Clears and fills the tree; first gets the 1-based index of the first calculation node, -1 for none.
    void FillTreeView(int& first);
    // What a click on a node shows (by the first character of its key).
    void NodeClick(QTreeWidgetItem* node);
    // Makes the calculation with that LfNr current and shows it.
    void FindBerechnung(const QString& lfnr);
    // Fills the "Details" tab from the current row.
    void DisplayFields();
    // A calculation node's label was edited: the name is cut to 30 characters and stored as ReBezeichnung of
    // that calculation (found by the node's key, not by the current row). A failed write is shown and the
    // node shows the stored name again.
    void AfterLabelEdit(QTreeWidgetItem* node);
    // Type letter of the checked option button; "A" when none is checked.
    QString ReStatus() const;

    // Node by its 1-based index in the order added (root = 1); nullptr outside.
    QTreeWidgetItem* Node(int index) const;
    static QString NodeKey(const QTreeWidgetItem* node);
    int InputType() const { return inputType_; }
    int DisplayType() const { return displayType_; }
    QString TypLetter() const { return typ_; }
    db::Recordset& Uebersicht() { return uebersicht_; }

private:
    QTreeWidgetItem* AddNode(QTreeWidgetItem* parent, const QString& key, const QString& text);
    void SetCalculationTools(bool on);
    void SelectTypeOption();
    void ZeigeBetrag(int index, const std::optional<Currency>& wert);
    void ZeigeProzent(int index, const std::optional<Currency>& wert);

    std::shared_ptr<db::Database> db_;
    QString projektText_;
    db::Recordset uebersicht_;
    int inputType_ = 0;
    int displayType_ = 0;
    QString typ_;

    forms::ToolBand* bar_;
    avbSplitterH* splitter_;
    QTreeWidget* tree_;
    QTabWidget* tab_;
    QLabel* label7_;
    QLabel* label5_;
    QLineEdit* xtraText1_;
    QDateEdit* dtPicker1_;
    std::vector<QLineEdit*> xtraText2_;
    QGroupBox* frame1_;
    std::vector<QRadioButton*> option1_;
    std::vector<QTreeWidgetItem*> nodes_;
    bool fuellen_ = false; // node texts set by the program, not typed
};

} // namespace velu
