#pragma once
// The fee-table editor "HOAITAFEL": the tree of the tables of the current regulation on the left, the header
// fields and the row grid of the selected table on the right. Built-in tables are shown read-only; any table
// can be copied, and a copy that nothing uses can be deleted.
//
// Controls (objectName): "TreeView1", "Picture1" with "XtraText1_0" (name) and "XtraText1_1" (short name)
// and the grid "SSDBGrid2", the splitter panes "picSplitterHContainer" and "picSplitterHBar", and the tool
// band "ActiveBar1" (band "Band1": "COPY", "DEL", "EXIT"). Esc and the close box run "EXIT".
// moc cannot parse <compare>, which the currency type needs.
#ifndef Q_MOC_RUN
#include "masterdata/TafelStore.h"
#endif
#include "platform/forms/BoundGridModel.h"
#include "platform/forms/BoundGridView.h"

#include <QDialog>

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

class QLineEdit;
class QTreeWidget;
class QTreeWidgetItem;

namespace velu {
class FormRegistry;
class avbSplitterH;
namespace forms {
class ToolBand;
}
} // namespace velu

namespace velu::masterdata {

// Registers the four master-data editors with the main window's forms.
void RegistriereStammdaten(FormRegistry& formen);

// The users of a fee table over the process-wide state: templates, and the calculations of the current
// project and of every project of the project list.
std::vector<std::string> AppTafelVerwender(db::Database& stamm, int64_t tafel);

class HOAITAFEL : public QDialog {
    Q_OBJECT
public:
    using Verwender = std::function<std::vector<std::string>(int64_t tafel)>;

    // verwender: who still uses a table (default: AppTafelVerwender).
    explicit HOAITAFEL(db::Database& stamm, QWidget* parent = nullptr, Verwender verwender = {});
    ~HOAITAFEL() override;

    void MakeKonection(int64_t tafel);
    void FillTafelTree();
    void LoadInEdit(const QString& nummer);
    // Writes the pending row and the header of the table shown (never of a built-in one).
    bool SaveStuff();
    void CopyAufr();
    void DELTafel();
    void ToolClick(const QString& key);

    int64_t AktTafel() const { return akt_; }
    forms::ToolBand& ActiveBar1() { return *bar_; }
    forms::BoundGridView& SSDBGrid2() { return *grid_; }
    forms::BoundGridModel* Model() { return model_.get(); }
    QTreeWidget* TreeView1() const { return tree_; }

    static const QString NumerischMeldung;

public slots:
    void reject() override;

private:
    void Binden(int64_t tafel, bool builtIn);
    void ZeigeFehler(const std::string& text);

    TafelStore store_;
    db::Database& stamm_;
    Verwender verwender_;
    int64_t akt_ = 0;
    bool builtIn_ = false;

    forms::ToolBand* bar_ = nullptr;
    QTreeWidget* tree_ = nullptr;
    QWidget* picture1_ = nullptr;
    QLineEdit* text_[2] = {};
    forms::BoundGridView* grid_ = nullptr;
    std::unique_ptr<forms::BoundGridModel> model_;
    avbSplitterH* splitter_ = nullptr;
};

} // namespace velu::masterdata
