#include "register/BerAuswahl.h"

#include "core/MoneyFormat.h"
#include "platform/db/Database.h"
#include "platform/db/DbError.h"
#include "platform/db/QueryDef.h"
#include "platform/forms/MessageBox.h"
#include "platform/forms/ToolBand.h"
#include "register/BeReListKette.h"
#include "ui/avbSplitter.h"

#include <QDateEdit>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QTabWidget>
#include <QTreeWidget>
#include <QVBoxLayout>

#include <utility>

namespace velu {

namespace {

constexpr int KeyRole = Qt::UserRole;

const char* const OptionCaptions[] = {"Angebot",           "Rechnung",           "Stundenlohnrechnung",
                                      "Vergleichsangebot", "Vergleichsrechnung", "örtliche Bauüberwachung"};

// Rows of the "Details" tab: caption, percent control index (-1 none), amount control index (-1 none).
struct DetailZeile {
    const char* caption;
    int prozent;
    int betrag;
};
const DetailZeile DetailZeilen[] = {
    {"bereinigtes Grundhonorar", -1, 0},
    {"Zuschläge zum ber. Grundhonorar", 11, 1},
    {"Netto Honorar", -1, 13},
    {"MwSt.", 8, 2},
    {"Bruttohonorar", -1, 3},
    {"Zuschläge Bruttohonorar", 12, 4},
    {"Abschlagszahlungen", -1, 9},
    {"skontierbarer Betrag", -1, 5},
    {"Skonto", 10, 6},
    {"Endbetrag", -1, 7},
};

std::optional<Currency> Betrag(const db::Recordset& rs, const std::string& feld) {
    if (rs.IsNull(feld)) return std::nullopt;
    return GetCY(rs, feld);
}

std::optional<Currency> Prozent(const db::Recordset& rs, const char* feld) {
    if (rs.IsNull(feld)) return std::nullopt;
    return LeseProzent(rs, feld);
}

} // namespace

BerAuswahl::BerAuswahl(std::shared_ptr<db::Database> projektDB, QString projektText, QWidget* parent)
    : QWidget(parent), db_(std::move(projektDB)), projektText_(std::move(projektText)) {
    setObjectName("BerAuswahl");
    setWindowTitle("HOAI Berechnungen");

    bar_ = new forms::ToolBand(this);
    bar_->AddBand("Band1", forms::ToolBand::BandKind::ToolBar);
    bar_->AddBand("POPUPLINKS", forms::ToolBand::BandKind::Popup);
    for (const char* key : {"EDIT", "DEL", "COPY", "PRINT"})
        bar_->AddTool({"Band1", key, key});
    bar_->AddTool({"POPUPLINKS", "MARK", "MARK"});
    bar_->AddTool({"POPUPLINKS", "UNMARK", "UNMARK"});

    auto* container = new QWidget(this);
    container->setObjectName("picSplitterHContainer");
    auto* splitBar = new QWidget(container);
    splitBar->setObjectName("picSplitterHBar");

    tree_ = new QTreeWidget(container);
    tree_->setObjectName("TreeView1");
    tree_->setHeaderHidden(true);
    connect(tree_, &QTreeWidget::itemClicked, this, [this](QTreeWidgetItem* node) { NodeClick(node); });
    connect(tree_, &QTreeWidget::itemChanged, this, [this](QTreeWidgetItem* node, int) {
        if (!fuellen_) AfterLabelEdit(node);
    });
    // The root does not stay collapsed.
    connect(tree_, &QTreeWidget::itemCollapsed, this, [this](QTreeWidgetItem* node) {
        if (node == Node(1)) node->setExpanded(true);
    });

    auto* rechts = new QWidget(container);
    auto* rechtsLayout = new QVBoxLayout(rechts);
    label7_ = new QLabel(rechts);
    label7_->setObjectName("Label7");
    rechtsLayout->addWidget(label7_);
    tab_ = new QTabWidget(rechts);
    tab_->setObjectName("SSTab1");
    rechtsLayout->addWidget(tab_, 1);

    auto* details = new QWidget(tab_);
    auto* grid = new QGridLayout(details);
    int zeile = 0;
    label5_ = new QLabel("Berechnungswährung DM", details);
    label5_->setObjectName("Label5");
    grid->addWidget(label5_, zeile++, 0, 1, 3);
    grid->addWidget(new QLabel("Rechnungsnummer", details), zeile, 0);
    xtraText1_ = new QLineEdit(details);
    xtraText1_->setObjectName("XtraText1");
    xtraText1_->setMaxLength(15);
    grid->addWidget(xtraText1_, zeile++, 2);
    grid->addWidget(new QLabel("Rechnungsdatum", details), zeile, 0);
    dtPicker1_ = new QDateEdit(details);
    dtPicker1_->setObjectName("DTPicker1");
    dtPicker1_->setDisplayFormat("dd.MM.yyyy");
    grid->addWidget(dtPicker1_, zeile++, 2);
    xtraText2_.resize(14);
    for (int i = 0; i < 14; ++i) {
        xtraText2_[i] = new QLineEdit(details);
        xtraText2_[i]->setObjectName(QStringLiteral("XtraText2_%1").arg(i));
        xtraText2_[i]->setAlignment(Qt::AlignRight);
        xtraText2_[i]->setReadOnly(true);
    }
    for (const auto& z : DetailZeilen) {
        grid->addWidget(new QLabel(QString::fromUtf8(z.caption), details), zeile, 0);
        if (z.prozent >= 0) grid->addWidget(xtraText2_[z.prozent], zeile, 1);
        grid->addWidget(xtraText2_[z.betrag], zeile++, 2);
    }
    frame1_ = new QGroupBox("Berechnungsart", details);
    frame1_->setObjectName("Frame1");
    auto* optionen = new QVBoxLayout(frame1_);
    for (int i = 0; i < 6; ++i) {
        auto* o = new QRadioButton(QString::fromUtf8(OptionCaptions[i]), frame1_);
        o->setObjectName(QStringLiteral("Option1_%1").arg(i));
        optionen->addWidget(o);
        option1_.push_back(o);
    }
    grid->addWidget(frame1_, 0, 3, zeile, 1, Qt::AlignTop);
    grid->setRowStretch(zeile, 1);
    tab_->addTab(details, "Details");
    tab_->addTab(new QWidget(tab_), "Zahlungen");

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(container, 1);

    splitter_ = new avbSplitterH(this);
    splitter_->Create(this, "SplitterH", container, splitBar, tree_, rechts, 272, 100, 100);
    splitter_->SkipEnabledRight(true);
    splitter_->SkipEnabledLeft(true);
    splitter_->ShowColor(0xFF0000);

    RefreshConection();
}

BerAuswahl::~BerAuswahl() = default;

QTreeWidgetItem* BerAuswahl::Node(int index) const {
    if (index < 1 || index > static_cast<int>(nodes_.size())) return nullptr;
    return nodes_[static_cast<size_t>(index) - 1];
}

QString BerAuswahl::NodeKey(const QTreeWidgetItem* node) {
    return node ? node->data(0, KeyRole).toString() : QString();
}

QTreeWidgetItem* BerAuswahl::AddNode(QTreeWidgetItem* parent, const QString& key, const QString& text) {
    const bool vorher = std::exchange(fuellen_, true);
    auto* node = parent ? new QTreeWidgetItem(parent) : new QTreeWidgetItem(tree_);
    node->setText(0, text);
    node->setData(0, KeyRole, key);
    // Group names are stored by the regrouping commands; only calculation names are edited here.
    if (key.startsWith('@')) node->setFlags(node->flags() | Qt::ItemIsEditable);
    fuellen_ = vorher;
    nodes_.push_back(node);
    return node;
}

void BerAuswahl::RefreshConection() {
    int first = -1;
    FillTreeView(first);
    uebersicht_ = db::Recordset();
    try {
        if (auto q = db_->GetQueryDef("Rechnungsübersicht")) uebersicht_ = q->OpenRecordset();
    } catch (const db::DbError& e) {
        forms::MsgCritical(this, QString::fromStdString(e.what()), windowTitle());
    }
    if (first < 1) first = 1;
    if (QTreeWidgetItem* node = Node(first)) {
        tree_->setCurrentItem(node);
        tree_->scrollToItem(node);
        NodeClick(node);
    }
    bar_->SetEnabled("POPUPLINKS", "UNMARK", false);
}

void BerAuswahl::FillTreeView(int& first) {
    tree_->clear();
    nodes_.clear();
    first = -1;
    QTreeWidgetItem* root = AddNode(nullptr, "+", "Projekt " + projektText_);
    root->setExpanded(true);
    for (;;) {
        try {
            auto q = db_->GetQueryDef("Rechnungsübersicht");
            if (!q) throw db::DbError("Die Abfrage Rechnungsübersicht fehlt in der Projektdatenbank.");
            db::Recordset rs = q->OpenRecordset();
            int64_t gruppe = -1;
            QTreeWidgetItem* gruppenNode = nullptr;
            for (rs.MoveFirst(); !rs.EOF_(); rs.MoveNext()) {
                const int64_t ursprung = rs.GetInt("Ursprung");
                if (ursprung != gruppe || !gruppenNode) {
                    gruppenNode = AddNode(root, "*" + QString::number(ursprung),
                                          QString::fromStdString(rs.GetText("Gruppenbezeichnung")));
                    gruppenNode->setExpanded(true);
                    gruppe = ursprung;
                }
                AddNode(gruppenNode, "@" + QString::number(rs.GetInt("LfNr")),
                        QString::fromStdString(rs.GetText("ReBezeichnung")));
                if (first < 0) first = static_cast<int>(nodes_.size());
            }
            return;
        } catch (const db::DbError& e) {
            const auto antwort =
                forms::MsgBox(this, QString::fromStdString(e.what()) + " # " + QString::number(e.code()),
                              forms::MsgButtons::AbortRetryIgnore, forms::MsgIcon::Critical, windowTitle());
            if (antwort != forms::MsgResult::Retry) return; // the tree keeps what was filled
            // Retry reads again from the start, so nothing is added twice.
            first = -1;
            while (root->childCount() > 0)
                delete root->takeChild(0);
            nodes_.resize(1);
        }
    }
}

void BerAuswahl::AfterLabelEdit(QTreeWidgetItem* node) {
    const QString key = NodeKey(node);
    if (!key.startsWith('@')) return;
    const QString name = node->text(0).left(30);
    try {
        db::Params p;
        p.Set("nr", key.mid(1).toLongLong());
        db::Recordset rs = db_->OpenRecordset("SELECT LfNr, ReBezeichnung FROM BeReList WHERE LfNr = :nr", p);
        if (!rs.Empty()) {
            rs.MoveFirst();
            rs.Edit();
            rs.Set("ReBezeichnung", name.toStdString());
            rs.Update();
        }
        if (uebersicht_.RecordCount() > 0) uebersicht_.Requery(); // never opened when the query failed
    } catch (const db::DbError& e) {
        forms::MsgCritical(this,
                           "Der Name konnte nicht gespeichert werden:\n" + QString::fromStdString(e.what()),
                           windowTitle());
        QString gespeichert = name;
        try {
            if (uebersicht_.FindFirst("Lfnr = " + key.mid(1).toStdString()))
                gespeichert = QString::fromStdString(uebersicht_.GetText("ReBezeichnung"));
        } catch (const db::DbError&) {
        }
        const bool vorher = std::exchange(fuellen_, true);
        node->setText(0, gespeichert);
        fuellen_ = vorher;
        return;
    }
    const bool vorher = std::exchange(fuellen_, true);
    node->setText(0, name);
    fuellen_ = vorher;
}

void BerAuswahl::SetCalculationTools(bool on) {
    for (const char* key : {"EDIT", "DEL", "COPY", "PRINT"})
        bar_->SetEnabled("Band1", key, on);
    bar_->SetEnabled("POPUPLINKS", "MARK", on);
}

void BerAuswahl::NodeClick(QTreeWidgetItem* node) {
    const QString key = NodeKey(node);
    if (key.isEmpty()) return;
    tab_->setCurrentIndex(0);
    if (key.front() == '@') {
        tab_->setVisible(true);
        SetCalculationTools(true);
        FindBerechnung(key.mid(1));
        return;
    }
    tab_->setVisible(false);
    if (key.front() == '*')
        label7_->setText("Gruppe " + node->text(0));
    else
        label7_->setText("Projet " + projektText_ + "  ");
    SetCalculationTools(false);
}

void BerAuswahl::FindBerechnung(const QString& lfnr) {
    if (uebersicht_.RecordCount() >= 1) {
        try {
            // lfnr comes from a node key, always digits.
            uebersicht_.FindFirst("Lfnr = " + lfnr.toStdString());
            inputType_ = static_cast<int>(uebersicht_.GetInt("INPUTType"));
            displayType_ = static_cast<int>(uebersicht_.GetInt("DisplayType"));
            typ_ = QString::fromStdString(uebersicht_.GetText("REType"));
        } catch (const db::DbError& e) {
            forms::MsgCritical(this, QString::fromStdString(e.what()), windowTitle());
            return;
        }
        SelectTypeOption();
        DisplayFields();
    }
    label5_->setText(inputType_ != 0 ? "Berechnungswährung €" : "Berechnungswährung DM");
}

void BerAuswahl::SelectTypeOption() {
    const int i = typ_.size() == 1 ? QString(Typen).indexOf(typ_) : -1;
    for (int k = 0; k < 6; ++k) {
        option1_[k]->setAutoExclusive(false);
        option1_[k]->setChecked(k == i);
        option1_[k]->setAutoExclusive(true);
    }
}

QString BerAuswahl::ReStatus() const {
    for (int i = 0; i < 6; ++i)
        if (option1_[i]->isChecked()) return QString(QChar(Typen[i]));
    return "A";
}

void BerAuswahl::ZeigeBetrag(int index, const std::optional<Currency>& wert) {
    xtraText2_[index]->setText(
        wert ? QString::fromStdString(FormatBetrag(*wert, static_cast<WaehrungCode>(displayType_)))
             : QString());
}

void BerAuswahl::ZeigeProzent(int index, const std::optional<Currency>& wert) {
    if (!wert) {
        xtraText2_[index]->clear();
        return;
    }
    xtraText2_[index]->setText(QString::fromStdString(StrZahl(*wert)).trimmed().replace('.', ','));
}

void BerAuswahl::DisplayFields() {
    if (uebersicht_.Empty() || uebersicht_.EOF_() || uebersicht_.BOF()) return;
    const std::string prefix = inputType_ == displayType_ ? "" : "AlDisp";
    auto f = [&](const char* name) { return prefix + name; };
    try {
        const db::Recordset& rs = uebersicht_;
        xtraText1_->setText(QString::fromStdString(rs.GetText("ReNummer")));
        const auto datum = FormatDatum(rs.GetText("Redatum"));
        dtPicker1_->setDate(datum ? QDate::fromString(QString::fromStdString(*datum), "dd.MM.yyyy")
                                  : QDate::currentDate());
        ZeigeBetrag(0, Betrag(rs, f("BerNetto")));
        ZeigeBetrag(13, Betrag(rs, f("ZwSumm")));
        ZeigeProzent(8, Prozent(rs, "MwstPro"));
        ZeigeBetrag(2, Betrag(rs, f("MwstDM")));
        ZeigeBetrag(3, Betrag(rs, f("Brutto")));
        ZeigeBetrag(9, Betrag(rs, f("SummAz")));
        ZeigeBetrag(5, Betrag(rs, f("Skontofaehig")));
        ZeigeProzent(10, Prozent(rs, "SkontoPro"));
        ZeigeBetrag(6, Betrag(rs, f("SkontoDM")));
        ZeigeBetrag(7, Betrag(rs, f("Endbetrag")));
        if (IstStdReTyp(typ_.toStdString())) {
            ZeigeBetrag(1, Betrag(rs, f("StdReNetZuAbDM")));
            ZeigeBetrag(4, Betrag(rs, f("StdReBrZuAbDM")));
            ZeigeProzent(11, Prozent(rs, "StdReNetZuAbPro"));
            ZeigeProzent(12, Prozent(rs, "StdReBrZuAbPro"));
        } else {
            ZeigeBetrag(1, Betrag(rs, f("ZuAbBrNetto")));
            ZeigeBetrag(4, Betrag(rs, f("ZuAbBrutto")));
            xtraText2_[11]->setText("0");
            xtraText2_[12]->setText("0");
        }
    } catch (const db::DbError& e) {
        forms::MsgCritical(this, QString::fromStdString(e.what()), windowTitle());
        return;
    }
    std::optional<Currency> satz;
    const KettenStatus s = RepariereMwstPro(uebersicht_, satz);
    if (!s.Ok())
        forms::MsgCritical(this, QString::fromStdString(s.fehler), windowTitle());
    else if (satz)
        ZeigeProzent(8, satz);
}

} // namespace velu
