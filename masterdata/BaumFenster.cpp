#include "masterdata/BaumFenster.h"

#include "platform/db/DbError.h"
#include "platform/forms/MessageBox.h"
#include "platform/forms/ToolBand.h"
#include "ui/avbSplitter.h"

#include <QDialog>
#include <QSignalBlocker>
#include <QToolBar>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace velu::masterdata {

namespace {
constexpr int KeyRole = Qt::UserRole;
}

BaumFenster BaueBaumFenster(QDialog& form, forms::ToolBand& bar,
                            std::function<void(const QString&)> onKnoten) {
    BaumFenster b;
    auto* haupt = new QVBoxLayout(&form);
    haupt->setContentsMargins(0, 0, 0, 0);
    haupt->setMenuBar(bar.ToolBar("Band1"));
    auto* container = new QWidget(&form);
    container->setObjectName("picSplitterHContainer");
    haupt->addWidget(container, 1);
    auto* splitBar = new QWidget(&form);
    splitBar->setObjectName("picSplitterHBar");

    b.tree = new QTreeWidget(&form);
    b.tree->setObjectName("TreeView1");
    b.tree->setHeaderHidden(true);
    b.tree->setRootIsDecorated(false);
    QObject::connect(b.tree, &QTreeWidget::currentItemChanged, &form,
                     [onKnoten = std::move(onKnoten)](QTreeWidgetItem* n) {
                         if (n) onKnoten(QString::number(KnotenNummer(n)));
                     });
    b.picture1 = new QWidget(&form);
    b.picture1->setObjectName("Picture1");

    // The layout sizes the container only when the form is shown; the split needs room before.
    container->resize(1000, 600);
    b.splitter = new avbSplitterH(&form);
    b.splitter->Create(&form, "SplitterH", container, splitBar, b.tree, b.picture1, 215, 100, 100);
    b.splitter->SkipEnabledRight(true);
    b.splitter->SkipEnabledLeft(true);
    b.splitter->ShowColor(0xFF0000);
    return b;
}

void FuelleBaum(QTreeWidget& tree, QWidget* owner, const std::function<Knoten()>& lesen) {
    const QSignalBlocker still(&tree);
    tree.clear();
    for (;;) {
        try {
            for (const auto& [nummer, text] : lesen()) {
                auto* n = new QTreeWidgetItem(&tree, QStringList{QString::fromStdString(text)});
                n->setData(0, KeyRole, "@" + QString::number(nummer));
            }
            return;
        } catch (const db::DbError& e) {
            const auto r =
                forms::MsgBox(owner, QString::fromUtf8(e.what()) + " # " + QString::number(e.code()),
                              forms::MsgButtons::AbortRetryIgnore, forms::MsgIcon::Critical);
            if (r != forms::MsgResult::Retry) return;
            tree.clear();
        }
    }
}

QString WaehleKnoten(QTreeWidget& tree, int64_t nummer) {
    QTreeWidgetItem* node = nullptr;
    for (int i = 0; i < tree.topLevelItemCount() && !node; ++i)
        if (nummer != 0 && KnotenNummer(tree.topLevelItem(i)) == nummer) node = tree.topLevelItem(i);
    if (!node && tree.topLevelItemCount() > 0) node = tree.topLevelItem(0);
    {
        const QSignalBlocker still(&tree);
        tree.setCurrentItem(node);
    }
    if (!node) return {};
    tree.scrollToItem(node);
    return QString::number(KnotenNummer(node));
}

int64_t KnotenNummer(const QTreeWidgetItem* node) {
    return node ? node->data(0, KeyRole).toString().mid(1).toLongLong() : 0;
}

void KnotenText(QTreeWidget& tree, int64_t nummer, const QString& text) {
    for (int i = 0; i < tree.topLevelItemCount(); ++i)
        if (KnotenNummer(tree.topLevelItem(i)) == nummer) tree.topLevelItem(i)->setText(0, text);
}

} // namespace velu::masterdata
