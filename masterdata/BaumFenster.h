#pragma once
// The layout the fee-table and profile editors share: their tool band on top, the tree "TreeView1" on the
// left and the pane "Picture1" on the right, divided by the splitter over "picSplitterHContainer" and
// "picSplitterHBar" (split at 215 pixels, 100 at least on each side). Tree nodes carry the key "@" & number.
#include <QString>

#include <cstdint>
#include <functional>
#include <string>
#include <utility>
#include <vector>

class QDialog;
class QTreeWidget;
class QTreeWidgetItem;
class QWidget;

namespace velu {
class avbSplitterH;
namespace forms {
class ToolBand;
}
} // namespace velu

namespace velu::masterdata {

struct BaumFenster {
    QTreeWidget* tree = nullptr;
    QWidget* picture1 = nullptr;
    avbSplitterH* splitter = nullptr;
};

// Builds the layout on form below the band "Band1" of bar; onKnoten runs with the number of every node the
// user selects (never while the tree is filled or a node is selected by WaehleKnoten).
BaumFenster BaueBaumFenster(QDialog& form, forms::ToolBand& bar,
                            std::function<void(const QString&)> onKnoten);

using Knoten = std::vector<std::pair<int64_t, std::string>>;
// Refills the tree from lesen; a database error offers Abort, Retry and Ignore (Retry reads again).
void FuelleBaum(QTreeWidget& tree, QWidget* owner, const std::function<Knoten()>& lesen);
// Selects the node of that number, or the first node for 0 or a number not in the tree, and shows it; its
// number as text, empty when the tree is empty.
QString WaehleKnoten(QTreeWidget& tree, int64_t nummer);
// The number of a node, 0 for none.
int64_t KnotenNummer(const QTreeWidgetItem* node);
// Sets the text of the node of that number.
void KnotenText(QTreeWidget& tree, int64_t nummer, const QString& text);

} // namespace velu::masterdata
