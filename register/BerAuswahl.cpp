#include "register/BerAuswahl.h"
#include "register/ProgrammEditor.h"

#include "core/AppState.h"
#include "core/FormRegistry.h"
#include "core/MDIVelunta.h"
#include "core/Money.h"
#include "core/MoneyFormat.h"
#include "core/Startup.h"
#include "platform/db/DbError.h"
#include "platform/forms/BoundGridView.h"
#include "platform/forms/FormTag.h"
#include "platform/forms/MessageBox.h"
#include "platform/forms/ToolBand.h"
#include "platform/forms/WindowPos.h"
#include "platform/help/Hilfe.h"
#include "platform/outside/ProjektUmgebung.h"
#include "register/BerAnlage.h"
#include "register/CalculationSet.h"
#include "register/Payments.h"
#include "register/ZahlungenTab.h"
#include "ui/DatumsFeld.h"
#include "ui/avbSplitter.h"

#include <QApplication>
#include <QCloseEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMdiSubWindow>
#include <QMenu>
#include <QRadioButton>
#include <QTabWidget>
#include <QToolBar>
#include <QToolButton>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace velu::reg {

namespace {

constexpr int KeyRole = Qt::UserRole;
// The label as stored: a change of the item that leaves it is a change of its mark.
constexpr int TextRole = Qt::UserRole + 1;

QString Q(const std::string& s) {
    return QString::fromStdString(s);
}

// A percentage as the user reads and types it: German decimal comma, no currency sign.
QString ProzentText(Currency c) {
    return QLocale(QLocale::German, QLocale::Germany).toString(c.ToDouble(), 'f', 2);
}

// Fields of the details tab that take input, with their columns.
struct Eingabe {
    int index;
    bool betrag;
    const char* spalte;
    bool nurStdRe;
};
constexpr Eingabe kEingaben[] = {
    {1, true, "StdReNetZuAbDM", true},    {4, true, "StdReBrZuAbDM", true},
    {8, false, "MwstPro", false},         {9, true, "SummAz", false},
    {10, false, "SkontoPro", false},      {11, false, "StdReNetZuAbPro", false},
    {12, false, "StdReBrZuAbPro", false},
};

const Eingabe* EingabeFuer(int index) {
    for (const auto& e : kEingaben)
        if (e.index == index) return &e;
    return nullptr;
}

} // namespace

AppRegisterHost::AppRegisterHost(QWidget* owner)
    : editor_(std::make_unique<ProgrammEditor>(owner)), owner_(owner) {}
AppRegisterHost::~AppRegisterHost() = default;
db::Database* AppRegisterHost::ProjektDB() {
    return App().ProjektDB();
}
QString AppRegisterHost::ProjektText() {
    return App().Umgebung().AktProjekt().nummer;
}
uint32_t AppRegisterHost::AktRechte() {
    return static_cast<uint32_t>(App().AktRechte());
}
BerechnungEditor& AppRegisterHost::Editor() {
    return *editor_;
}
void AppRegisterHost::CallShowHoai(bool& gewechselt) {
    velu::CallShowHoai(gewechselt);
}
void AppRegisterHost::CallShowProdat() {
    velu::CallShowProdat();
}
void AppRegisterHost::RefreshActiveBar(bool an) {
    velu::RefreshActiveBar(an);
}
void AppRegisterHost::LoadWindowPos(QWidget& form) {
    forms::LoadWindowPos(form, App().Einstellungen());
}
void AppRegisterHost::SaveWindowPos(QWidget& form) {
    forms::SaveWindowPos(form, App().Einstellungen());
}
DruckAufruf& RegisterHost::Drucken() {
    if (!druck_) druck_ = std::make_unique<DruckNochNichtVerfuegbar>();
    return *druck_;
}
Currency RegisterHost::MwStSatz() {
    return App().MwStSatz();
}
void AppRegisterHost::StatusText(const QString& text) {
    for (QWidget* w : QApplication::topLevelWidgets())
        if (auto* m = qobject_cast<MDIVelunta*>(w))
            if (QLabel* p = m->Panel(1)) p->setText(text);
}

void RegisterBerAuswahl(FormRegistry& formen, DruckAufrufFabrik druck) {
    formen.Register("BerAuswahl", [druck](QWidget* owner) -> QWidget* {
        auto* w = new BerAuswahl(owner);
        if (druck) w->Host().SetDrucken(druck(w));
        return w;
    });
}

BerAuswahl::BerAuswahl(QWidget* parent) : BerAuswahl(nullptr, parent) {}

BerAuswahl::BerAuswahl(std::unique_ptr<RegisterHost> host, QWidget* parent)
    : QWidget(parent), host_(host ? std::move(host) : std::make_unique<AppRegisterHost>(this)) {
    setObjectName("BerAuswahl");
    forms::SetFormTag(*this, "BerAuswahl"); // F1's help topic
    setWindowTitle("HOAI Berechnungen");
    bauen();
    RefreshConection();
    SetRechte();
}

BerAuswahl::~BerAuswahl() = default;

void BerAuswahl::bauen() {
    // The band before the layout: placed once, as the layout's first row, not also as its menu bar.
    bar_ = new forms::ToolBand(this);
    bar_->AddBand("Band1", forms::ToolBand::BandKind::ToolBar);
    bar_->AddBand("PopupBand1", forms::ToolBand::BandKind::Popup);
    bar_->AddBand("POPUPLINKS", forms::ToolBand::BandKind::Popup);
    bar_->AddTools({
        {"Band1", "ADD", "Neu", "Neue Berechnung anlegen"},
        {"Band1", "EDIT", "Bearbeiten", "Berechnung bearbeiten"},
        {"Band1", "EDITBEZ", "Umbenennen", "Bezeichnung ändern"},
        {"Band1", "COPY", "Kopieren", "Berechnung kopieren"},
        {"Band1", "DEL", "Löschen", "Berechnung löschen"},
        {"Band1", "PRINT", "Drucken", "Drucken", "PopupBand1", 11},
        {"Band1", "PRODAT", "Projektdaten", "Projektdaten anzeigen", {}, 1},
        {"Band1", "ZENTRIX", "Projekt", "Projekt wechseln", {}, 0},
        {"Band1", "EXIT", "Schließen", "Register schließen"},
        {"PopupBand1", "PRINTRE", "Rechnung drucken", "Rechnung drucken"},
        {"PopupBand1", "PRINTKO", "Kostenübersicht", "Kostenübersicht drucken"},
        {"PopupBand1", "PRINTAZ", "Abschlagszahlungen", "Abschlagszahlungen drucken"},
        {"PopupBand1", "PRINTZAHUEBER", "Zahlungsübersicht", "Zahlungsübersicht drucken"},
        {"PopupBand1", "PRINTZULP", "Zuschläge je Leistungsphase", "Zuschläge je Leistungsphase drucken"},
        {"PopupBand1", "PRINTZUSAMMEN", "Zusammenstellung", "Rechnungszusammenstellung drucken"},
        {"POPUPLINKS", "MARK", "Markieren", "Berechnungen markieren"},
        {"POPUPLINKS", "UNMARK", "Markierung aufheben", "Markierungen aufheben"},
    });
    for (const char* k : {"DM", "EUR"}) {
        forms::ToolDef d("Band1", k, k, QString("Anzeige in ") + (QString(k) == "DM" ? "DM" : "Euro"));
        d.checkable = true;
        bar_->AddTool(d);
    }
    bar_->SetHandler([this](const QString& key) { ToolClick(key); });
    bar_->SetCommitHook([this] { return nimmAlleEingaben(); });
    connect(bar_, &forms::ToolBand::ToolEnter, this,
            [this](const QString&, const QString& d) { host_->StatusText(d); });
    connect(bar_, &forms::ToolBand::ToolLeave, this, [this] { host_->StatusText({}); });
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(bar_->ToolBar("Band1"));

    auto* container = new QWidget(this);
    container->setObjectName("picSplitterHContainer");
    layout->addWidget(container, 1);
    auto* bar = new QWidget(container);
    bar->setObjectName("picSplitterHBar");

    tree_ = new QTreeWidget(container);
    tree_->setObjectName("TreeView1");
    tree_->setHeaderHidden(true);
    tree_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    tree_->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(tree_, &QTreeWidget::itemClicked, this, [this](QTreeWidgetItem* n) { NodeClick(n); });
    connect(tree_, &QTreeWidget::currentItemChanged, this, [this](QTreeWidgetItem* n) {
        if (!fuelltBaum_ && n) NodeClick(n);
    });
    connect(tree_, &QTreeWidget::itemChanged, this, [this](QTreeWidgetItem* n) {
        if (fuelltBaum_ || !n) return;
        if (n->text(0) == n->data(0, TextRole).toString())
            FixMark();
        else
            labelBearbeitet(n);
    });
    connect(tree_, &QTreeWidget::itemCollapsed, this, [this](QTreeWidgetItem* n) {
        if (!n->parent()) n->setExpanded(true); // the root stays open
    });
    connect(tree_, &QTreeWidget::itemDoubleClicked, this, [this](QTreeWidgetItem* n) {
        const QString key = n->data(0, KeyRole).toString();
        if (key.startsWith('+')) {
            // As from the tool band: the pending payment row is written before the project can change.
            if (nimmAlleEingaben()) ToolClick("ZENTRIX");
        } else if (key.startsWith('@')) {
            if (nimmAlleEingaben()) EDITRe();
        }
    });
    connect(tree_, &QTreeWidget::customContextMenuRequested, this,
            [this](const QPoint& p) { bar_->Popup("POPUPLINKS")->popup(tree_->viewport()->mapToGlobal(p)); });

    tab_ = new QTabWidget(container);
    tab_->setObjectName("SSTab1");
    // The splitter clamps its position to the container it sees when created: give it the window's design
    // size until the layout places it.
    container->resize(1000, 600);
    splitter_ = new avbSplitterH(this);
    splitter_->Create(this, "SplitterH", container, bar, tree_, tab_, 272, 100, 100);
    splitter_->SkipEnabledRight(true);
    splitter_->SkipEnabledLeft(true);
    splitter_->ShowColor(0xFF0000);

    auto* details = new QWidget;
    auto* grid = new QGridLayout(details);
    label7_ = new QLabel(details);
    label7_->setObjectName("Label7");
    label5_ = new QLabel("Berechnungswährung DM", details);
    label5_->setObjectName("Label5");
    label5_->setAutoFillBackground(true);
    grid->addWidget(label7_, 0, 0, 1, 3);
    grid->addWidget(label5_, 0, 3);

    xtraText1_ = new QLineEdit(details);
    xtraText1_->setObjectName("XtraText1");
    xtraText1_->setMaxLength(15);
    connect(xtraText1_, &QLineEdit::textEdited, this, [this] { nummerGeaendert_ = true; });
    xtraText1_->installEventFilter(this);
    dtPicker1_ = new DatumsFeld(details);
    dtPicker1_->setObjectName("DTPicker1");
    connect(dtPicker1_, &QLineEdit::textEdited, this, [this] { datumGeaendert_ = true; });
    connect(dtPicker1_, &QLineEdit::returnPressed, this, [this] { focusNextChild(); });
    dtPicker1_->installEventFilter(this);

    for (int i = 0; i < 14; ++i) {
        auto* f = new QLineEdit(details);
        f->setObjectName(QString("XtraText2(%1)").arg(i));
        f->setAlignment(Qt::AlignRight);
        const Eingabe* e = EingabeFuer(i);
        f->setReadOnly(!e || e->nurStdRe);
        f->setMaxLength(i == 9 ? 13 : (e && !e->betrag) ? 5 : 16);
        connect(f, &QLineEdit::textEdited, this, [this, i] { geaendert_[i] = true; });
        connect(f, &QLineEdit::returnPressed, this, [this] { focusNextChild(); });
        f->installEventFilter(this);
        xtraText2_[i] = f;
    }
    struct Zeile {
        const char* text;
        int prozent;
        int betrag;
    } zeilen[] = {
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
    grid->addWidget(new QLabel("Rechnungsnummer", details), 1, 0);
    grid->addWidget(xtraText1_, 1, 2);
    grid->addWidget(new QLabel("Rechnungsdatum", details), 2, 0);
    grid->addWidget(dtPicker1_, 2, 2);
    int r = 3;
    for (const auto& z : zeilen) {
        auto* l = new QLabel(z.text, details);
        grid->addWidget(l, r, 0);
        if (z.prozent == 11 || z.prozent == 12) {
            // The percent field with its unit behind it, not drawn over the field.
            auto* pl = new QLabel("%", details);
            pl->setObjectName(QString("Label2(%1)").arg(z.prozent == 11 ? 2 : 3));
            label2_[z.prozent == 11 ? 2 : 3] = pl;
            auto* zelle = new QHBoxLayout;
            zelle->setContentsMargins(0, 0, 0, 0);
            zelle->addWidget(xtraText2_[z.prozent], 1);
            zelle->addWidget(pl);
            grid->addLayout(zelle, r, 1);
        } else if (z.prozent >= 0) {
            grid->addWidget(xtraText2_[z.prozent], r, 1);
        }
        grid->addWidget(xtraText2_[z.betrag], r, 2);
        if (z.betrag == 9) {
            auto* knopf = new QToolButton(details);
            knopf->setObjectName("Command1");
            knopf->setText("...");
            knopf->setToolTip("Zahlungen früherer Berechnungen der Gruppe übernehmen");
            connect(knopf, &QToolButton::clicked, this, [this] { VorZahlungenUebernehmen(); });
            grid->addWidget(knopf, r, 3, Qt::AlignLeft);
        }
        ++r;
    }
    frame1_ = new QGroupBox("Berechnungsart", details);
    frame1_->setObjectName("Frame1");
    auto* fl = new QVBoxLayout(frame1_);
    const char* captions[] = {"Angebot",           "Rechnung",           "Stundenlohnrechnung",
                              "Vergleichsangebot", "Vergleichsrechnung", "örtliche Bauüberwachung"};
    for (int i = 0; i < 6; ++i) {
        option1_[i] = new QRadioButton(captions[i], frame1_);
        option1_[i]->setObjectName(QString("Option1(%1)").arg(i));
        fl->addWidget(option1_[i]);
        connect(option1_[i], &QRadioButton::clicked, this, [this] {
            if (!frame1_->isEnabled() || !reg_ || !reg_->HasCurrent()) return;
            QString typ;
            ReStatus(typ);
            try {
                reg_->SetReType(typ.at(0).toLatin1());
            } catch (const std::exception& e) {
                zeigeFehler(QString::fromUtf8(e.what()));
                reg_->FindBerechnung(reg_->CurrentLfNr());
            }
            DisplayStatus();
            ConnectZahlungen();
        });
    }
    grid->addWidget(frame1_, 1, 3, 8, 1);
    grid->setRowStretch(r, 1);
    tab_->addTab(details, "Details");
    zahlungen_ = new ZahlungenTab;
    tab_->addTab(zahlungen_, "Zahlungen");
    connect(tab_, &QTabWidget::currentChanged, this, [this](int index) {
        if (index == 1) {
            nimmAlleEingaben();
            SchaltZahhlungen();
            zahlungen_->SSDBGrid1()->setFocus();
        } else {
            zahlungen_->Commit();
        }
    });
}

void BerAuswahl::zeigeFehler(const QString& text) {
    forms::MsgBox(this, text, forms::MsgButtons::OK, forms::MsgIcon::Critical);
}

void BerAuswahl::RefreshConection() {
    db::Database* db = host_->ProjektDB();
    reg_.reset();
    if (db) {
        reg_ = std::make_unique<CalculationRegister>(*db);
        try {
            reg_->Open();
        } catch (const std::exception& e) {
            zeigeFehler(QString::fromUtf8(e.what()));
            reg_.reset();
        }
    }
    projektText_ = host_->ProjektText();
    QApplication::processEvents();
    int erste = -1;
    FillTreeView(erste);
    QApplication::processEvents();
    if (erste < 1) erste = 1;
    if (QTreeWidgetItem* n = knotenMitIndex(erste)) {
        fuelltBaum_ = true;
        tree_->setCurrentItem(n);
        fuelltBaum_ = false;
        tree_->scrollToItem(n);
        NodeClick(n);
    }
    setzeMarken(false);
    bar_->SetEnabled("POPUPLINKS", "UNMARK", false);
}

void BerAuswahl::FillTreeView(int& ersteBerechnung) {
    fuelltBaum_ = true;
    tree_->clear();
    knoten_.clear();
    ersteBerechnung = -1;
    auto* root = new QTreeWidgetItem(tree_, QStringList("Projekt " + projektText_));
    root->setData(0, KeyRole, "+");
    root->setData(0, TextRole, root->text(0));
    knoten_.push_back(root);
    root->setExpanded(true);
    std::vector<TreeRow> rows;
    for (;;) {
        try {
            if (reg_) rows = reg_->TreeRows();
            break;
        } catch (const db::DbError& e) {
            auto antwort =
                forms::MsgBox(this, QString::fromUtf8(e.what()) + " # " + QString::number(e.code()),
                              forms::MsgButtons::AbortRetryIgnore, forms::MsgIcon::Critical);
            if (antwort != forms::MsgResult::Retry) break;
        }
    }
    int64_t gruppe = -1;
    QTreeWidgetItem* gruppenKnoten = nullptr;
    for (const auto& row : rows) {
        if (row.ursprung != gruppe || !gruppenKnoten) {
            gruppenKnoten = new QTreeWidgetItem(root, QStringList(Q(row.gruppenbezeichnung)));
            gruppenKnoten->setData(0, KeyRole, "*" + QString::number(row.ursprung));
            gruppenKnoten->setData(0, TextRole, gruppenKnoten->text(0));
            gruppenKnoten->setFlags(gruppenKnoten->flags() | Qt::ItemIsEditable);
            knoten_.push_back(gruppenKnoten);
            gruppenKnoten->setExpanded(true);
            gruppe = row.ursprung;
        }
        auto* n = new QTreeWidgetItem(gruppenKnoten, QStringList(Q(row.reBezeichnung)));
        n->setData(0, KeyRole, "@" + QString::number(row.lfNr));
        n->setData(0, TextRole, n->text(0));
        n->setFlags(n->flags() | Qt::ItemIsEditable);
        knoten_.push_back(n);
        if (ersteBerechnung < 0) ersteBerechnung = static_cast<int>(knoten_.size());
    }
    // The mark mode outlives a rebuilt tree; the marks do not.
    if (markModus_)
        for (QTreeWidgetItem* k : knoten_)
            k->setCheckState(0, Qt::Unchecked);
    fuelltBaum_ = false;
}

QTreeWidgetItem* BerAuswahl::knotenMitIndex(int index) const {
    return index >= 1 && index <= static_cast<int>(knoten_.size()) ? knoten_[index - 1] : nullptr;
}

void BerAuswahl::SetRechte() {
    const uint32_t r = host_->AktRechte();
    bar_->SetEnabled("Band1", "ZENTRIX", (r & 1u) != 0);
    bar_->SetEnabled("Band1", "PRODAT", (r & 2u) != 0);
    // Printing needs the right and a calculation to print.
    const QTreeWidgetItem* n = tree_->currentItem();
    const bool berechnung = n && n->data(0, KeyRole).toString().startsWith('@');
    bar_->SetEnabled("Band1", "PRINT", (r & 2048u) != 0 && berechnung);
}

void BerAuswahl::ReStatus(QString& typ) {
    typ = "A";
    for (int i = 0; i < 6; ++i)
        if (option1_[i]->isChecked()) {
            typ = QString(QChar(TypBuchstabe(i)));
            return;
        }
}

void BerAuswahl::NodeClick(QTreeWidgetItem* node) {
    if (!node) return;
    const QString key = node->data(0, KeyRole).toString();
    const bool berechnung = key.startsWith('@');
    if (berechnung) {
        tab_->setCurrentIndex(0);
        tab_->setVisible(true);
        // Not left as the previous node had it: a register opened on a calculation would show nothing here.
        label7_->setText("Projet " + projektText_ + "  ");
        FindBerechnung(key.mid(1));
    } else if (key.startsWith('*')) {
        tab_->setVisible(false);
        label7_->setText("Gruppe " + node->text(0));
        tab_->setCurrentIndex(0);
    } else {
        tab_->setCurrentIndex(0);
        tab_->setVisible(false);
        label7_->setText("Projet " + projektText_ + "  ");
    }
    for (const char* k : {"EDIT", "DEL", "COPY"})
        bar_->SetEnabled("Band1", k, berechnung);
    // Printing stays with the users who hold its right.
    bar_->SetEnabled("Band1", "PRINT", berechnung && (host_->AktRechte() & 2048u) != 0);
    bar_->SetEnabled("POPUPLINKS", "MARK", berechnung);
}

void BerAuswahl::labelBearbeitet(QTreeWidgetItem* node) {
    if (fuelltBaum_ || !node || !reg_) return;
    const QString key = node->data(0, KeyRole).toString();
    const QString alt = node->data(0, TextRole).toString();
    const QString getippt = node->text(0);
    const bool gruppe = key.startsWith('*');
    // Group names are stored trimmed; an empty one is refused.
    const std::string text = gruppe ? BereinigterName(node->text(0).toStdString())
                                    : KuerzeBezeichnung(node->text(0).toStdString());
    fuelltBaum_ = true;
    node->setText(0, Q(text));
    fuelltBaum_ = false;
    bool ok = false;
    const int64_t nr = key.mid(1).toLongLong(&ok);
    if (!ok || (gruppe && text.empty())) {
        fuelltBaum_ = true;
        node->setText(0, alt);
        fuelltBaum_ = false;
        if (gruppe) forms::MsgBox(this, BerAnlage::EingabeErwartet("Gruppenbezeichnung"));
        return;
    }
    try {
        if (key.startsWith('@')) {
            if (reg_->CurrentLfNr() != nr && !reg_->FindBerechnung(nr)) return;
            reg_->PutText("ReBezeichnung", text);
            // Stored cut to its field, as before, but not without a word.
            if (Q(text) != getippt) NameGekuerztMelden("Der Name", Q(text));
        } else if (gruppe) {
            reg_->Updategruppe(nr, text);
            label7_->setText("Gruppe " + Q(text));
        }
        node->setData(0, TextRole, Q(text));
    } catch (const std::exception& e) {
        zeigeFehler(QString::fromUtf8(e.what()));
        fuelltBaum_ = true;
        node->setText(0, alt);
        fuelltBaum_ = false;
    }
}

void BerAuswahl::leereFelder() {
    xtraText1_->clear();
    for (auto* f : xtraText2_)
        f->clear();
    for (bool& g : geaendert_)
        g = false;
    nummerGeaendert_ = datumGeaendert_ = false;
}

void BerAuswahl::FindBerechnung(const QString& lfnr) {
    bool ok = false;
    const int64_t nr = lfnr.toLongLong(&ok);
    if (reg_ && ok && reg_->FindBerechnung(nr)) {
        DisplayStatus();
        DisplayFields();
    } else {
        // Nothing found: nothing is shown that could be taken for another calculation, nothing can be edited.
        leereFelder();
        tab_->setVisible(false);
        for (const char* k : {"EDIT", "DEL", "COPY", "PRINT"})
            bar_->SetEnabled("Band1", k, false);
    }
    DisplayWaehrungszeichhen();
    ConnectZahlungen();
}

void BerAuswahl::EDITRe() {
    if (!reg_ || !reg_->HasCurrent()) return;
    QTreeWidgetItem* n = tree_->currentItem();
    const int64_t lfnr = reg_->CurrentLfNr();
    QApplication::setOverrideCursor(Qt::WaitCursor);
    QApplication::processEvents();
    QApplication::restoreOverrideCursor();
    try {
        reg_->EDITRe(host_->Editor(), xtraText1_->text().toStdString(), n ? n->text(0).toStdString() : "");
    } catch (const std::exception& e) {
        zeigeFehler("Die Summen der Berechnung konnten nicht gespeichert werden: " +
                    QString::fromUtf8(e.what()));
    }
    FindBerechnung(QString::number(lfnr));
}

void BerAuswahl::SwitchWährung(int displayType) {
    if (!reg_ || !reg_->HasCurrent()) return;
    try {
        reg_->SetDisplayType(displayType);
    } catch (const std::exception& e) {
        zeigeFehler(QString::fromUtf8(e.what()));
        return;
    }
    DisplayFields();
    DisplayWaehrungszeichhen();
    SchaltZahhlungen();
}

void BerAuswahl::DisplayWaehrungszeichhen() {
    const bool euro = reg_ && reg_->HasCurrent() && reg_->InputType() != 0;
    label5_->setText(euro ? "Berechnungswährung €" : "Berechnungswährung DM");
    QPalette p = palette();
    if (euro) {
        p.setColor(QPalette::WindowText, Qt::yellow);
        p.setColor(QPalette::Window, Qt::blue);
    }
    label5_->setPalette(p);
    QFont f = label5_->font();
    f.setBold(euro);
    label5_->setFont(f);
    zahlungen_->ZeigeWaehrung(euro ? 1 : 0);
    const int d = reg_ && reg_->HasCurrent() ? reg_->DisplayType() : 0;
    bar_->SetChecked("Band1", "DM", d == 0);
    bar_->SetChecked("Band1", "EUR", d != 0);
}

void BerAuswahl::DisplayFields() {
    if (!reg_ || !reg_->HasCurrent()) {
        leereFelder();
        return;
    }
    try {
        const WaehrungCode w = static_cast<WaehrungCode>(reg_->DisplayType());
        const std::string px = reg_->InputType() == reg_->DisplayType() ? "" : "AlDisp";
        const db::Recordset& row = reg_->Row();
        auto betrag = [&](int i, const char* feld) {
            const std::string name = px + feld;
            xtraText2_[i]->setText(row.IsNull(name) ? QString() : Q(FormatBetrag(ReadBetrag(row, name), w)));
        };
        auto prozent = [&](int i, const char* feld) {
            xtraText2_[i]->setText(row.IsNull(feld) ? QString() : ProzentText(ReadProzent(row, feld)));
        };
        xtraText1_->setText(Q(row.GetText("ReNummer")));
        const QDate datum = QDate::fromString(Q(row.GetText("Redatum")), Qt::ISODate);
        dtPicker1_->setDate(datum.isValid() ? datum : QDate::currentDate());
        betrag(0, "BerNetto");
        betrag(13, "ZwSumm");
        prozent(8, "MwstPro");
        betrag(2, "MwstDM");
        betrag(3, "Brutto");
        betrag(9, "SummAz");
        betrag(5, "Skontofaehig");
        prozent(10, "SkontoPro");
        betrag(6, "SkontoDM");
        betrag(7, "Endbetrag");
        if (NutztStdReZuschlaege(reg_->ReType().empty() ? '\0' : reg_->ReType()[0])) {
            betrag(1, "StdReNetZuAbDM");
            betrag(4, "StdReBrZuAbDM");
            prozent(11, "StdReNetZuAbPro");
            prozent(12, "StdReBrZuAbPro");
        } else {
            betrag(1, "ZuAbBrNetto");
            betrag(4, "ZuAbBrutto");
            xtraText2_[11]->setText("0");
            xtraText2_[12]->setText("0");
        }
        if (row.IsNull("MwstPro")) {
            if (auto satz = reg_->RepairMwstPro()) xtraText2_[8]->setText(ProzentText(*satz));
        }
    } catch (const std::exception& e) {
        zeigeFehler(QString::fromUtf8(e.what()));
    }
    for (bool& g : geaendert_)
        g = false;
    nummerGeaendert_ = datumGeaendert_ = false;
}

void BerAuswahl::DisplayStatus() {
    if (!reg_) return;
    const QString typ = Q(reg_->ReType());
    const bool std = typ == "S" || typ == "B";
    if (typ != letzterTyp_) {
        tab_->setTabEnabled(1, !(typ == "A" || typ == "E" || typ == "V"));
        letzterTyp_ = typ;
        const int o = TypOption(reg_->ReType());
        if (o >= 0) option1_[o]->setChecked(true);
        const char* caption = typ == "A"                 ? "Angebot drucken"
                              : typ == "S"               ? "Stundenlohnrechnung drucken"
                              : typ == "E" || typ == "V" ? "Vergleichsberechnung drucken"
                                                         : "Rechnung drucken";
        bar_->SetCaption("PopupBand1", "PRINTRE", caption);
        for (int i : {11, 12})
            xtraText2_[i]->setVisible(std);
        for (int i : {2, 3})
            label2_[i]->setVisible(std);
        for (int i : {1, 4}) {
            xtraText2_[i]->setReadOnly(!std);
            xtraText2_[i]->setFocusPolicy(std ? Qt::StrongFocus : Qt::NoFocus);
        }
    }
    bool modif = false;
    const bool leer = reg_->RecordCount() == 0 || !reg_->HasCurrent();
    if (!leer) {
        try {
            modif = reg_->Modif();
        } catch (const std::exception&) {
        }
    }
    frame1_->setEnabled(leer || !modif);
    for (const char* k : {"PRINTRE", "PRINTKO", "PRINTAZ", "PRINTZAHUEBER", "PRINTZULP", "PRINTZUSAMMEN"})
        bar_->SetEnabled("PopupBand1", k, !leer && modif);
    if (typ == "A") {
        bar_->SetEnabled("PopupBand1", "PRINTAZ", false);
        bar_->SetEnabled("PopupBand1", "PRINTZAHUEBER", false);
    }
}

bool BerAuswahl::Convert2NormWährung(int index) {
    if (index < 0 || index >= 14 || !geaendert_[index]) return true;
    if (!reg_ || !reg_->HasCurrent()) return true;
    const Eingabe* e = EingabeFuer(index);
    const char typ = reg_->ReType().empty() ? '\0' : reg_->ReType()[0];
    std::function<void()> schreiben;
    if (e && !(e->nurStdRe && !NutztStdReZuschlaege(typ))) {
        const std::string text = xtraText2_[index]->text().toStdString();
        std::optional<Currency> wert = ParseBetrag(text);
        if (!wert) {
            forms::MsgBox(this, "Die Eingabe muss nummerisch sein", forms::MsgButtons::OK,
                          forms::MsgIcon::Exclamation);
            DisplayFields();
            return false;
        }
        if (index == 10 && !SkontoProZulaessig(*wert)) {
            forms::MsgBox(this, "Die Eingabe muss zwischen 0 und 100 liegen.", forms::MsgButtons::OK,
                          forms::MsgIcon::Exclamation);
            DisplayFields();
            return false;
        }
        if (index == 8 && !MwstProZulaessig(*wert)) {
            forms::MsgBox(this, "Der Mehrwertsteuersatz muss größer als -100 sein.", forms::MsgButtons::OK,
                          forms::MsgIcon::Exclamation);
            DisplayFields();
            return false;
        }
        schreiben = [this, e, wert = *wert] {
            if (e->betrag) {
                Currency main, other;
                ConvertWertePaar(wert, static_cast<WaehrungCode>(reg_->DisplayType()),
                                 static_cast<WaehrungCode>(reg_->InputType()), main, other);
                reg_->PutWährungsDaten(main, other, e->spalte, std::string("AlDisp") + e->spalte);
            } else {
                reg_->PutProzent(e->spalte, wert);
            }
        };
    }
    try {
        reg_->Uebernehmen(schreiben);
    } catch (const std::exception& ex) {
        // Nothing was stored; the typed text stays in the field and is taken over on the next attempt.
        zeigeFehler(QString::fromUtf8(ex.what()));
        return false;
    }
    DisplayFields();
    geaendert_[index] = false;
    return true;
}

bool BerAuswahl::nimmNummerUndDatum() {
    if (!reg_ || !reg_->HasCurrent()) return true;
    try {
        if (nummerGeaendert_) {
            reg_->PutText("ReNummer", xtraText1_->text().toStdString());
            nummerGeaendert_ = false;
        }
        if (datumGeaendert_) {
            // A refused date stays typed and changed, so the next attempt reads it again.
            if (!dtPicker1_->Uebernehmen(this, "Rechnungsdatum")) return false;
            reg_->PutDatum(dtPicker1_->date().toString(Qt::ISODate).toStdString());
            datumGeaendert_ = false;
        }
    } catch (const std::exception& e) {
        zeigeFehler(QString::fromUtf8(e.what()));
        return false;
    }
    return true;
}

bool BerAuswahl::nimmAlleEingaben() {
    bool ok = nimmNummerUndDatum();
    for (int i = 0; i < 14; ++i)
        ok = Convert2NormWährung(i) && ok;
    return zahlungen_->Commit() && ok;
}

bool BerAuswahl::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::FocusOut) {
        if (watched == xtraText1_ || watched == dtPicker1_) nimmNummerUndDatum();
        for (int i = 0; i < 14; ++i)
            if (watched == xtraText2_[i]) Convert2NormWährung(i);
    }
    return QWidget::eventFilter(watched, event);
}

void BerAuswahl::ToolClick(const QString& key) {
    if (key == "ADD") {
        addNewSatz();
    } else if (key == "DEL") {
        KillBerechnung();
    } else if (key == "COPY") {
        CopyBerechnung();
    } else if (key == "PRINTRE") {
        CallREPRINT(1);
    } else if (key == "PRINTKO" || key == "PRINTAZ" || key == "PRINTZAHUEBER" || key == "PRINTZULP") {
        const int index = key == "PRINTKO" ? 11 : key == "PRINTAZ" ? 12 : key == "PRINTZAHUEBER" ? 13 : 14;
        callKoPrint(index, bar_->Caption("PopupBand1", key));
    } else if (key == "MARK") {
        Mark();
    } else if (key == "UNMARK") {
        UNMARK();
    } else if (key == "PRINTZUSAMMEN") {
        CallReZusammenstellung();
    } else if (key == "DM" || key == "EUR") {
        const int d = key == "DM" ? 0 : 1;
        if (!reg_ || !reg_->HasCurrent() || reg_->DisplayType() == d) {
            DisplayWaehrungszeichhen();
            return;
        }
        SwitchWährung(d);
        if (d == 0) host_->StatusText({});
    } else if (key == "EDITBEZ") {
        if (QTreeWidgetItem* n = tree_->currentItem())
            if (n->parent()) tree_->editItem(n, 0);
    } else if (key == "EDIT") {
        EDITRe();
    } else if (key == "EXIT") {
        bar_->SetBandVisible("Band1", false);
        if (auto* sub = qobject_cast<QMdiSubWindow*>(parentWidget()))
            sub->close();
        else
            close();
    } else if (key == "PRODAT") {
        host_->CallShowProdat();
    } else if (key == "ZENTRIX") {
        if (!bar_->Enabled("Band1", "ZENTRIX")) return;
        bool gewechselt = false;
        host_->CallShowHoai(gewechselt);
        if (gewechselt) RefreshConection();
    }
}

void BerAuswahl::keyPressEvent(QKeyEvent* e) {
    if (e->key() == Qt::Key_F1) {
        help::ShowHilfe(forms::FormTag(*this));
        return;
    }
    if (e->key() == Qt::Key_Escape) {
        // Esc closes the calendar of the payments grid first.
        if (!zahlungen_->PickerOffen()) bar_->Click("Band1", "EXIT");
        return;
    }
    QWidget::keyPressEvent(e);
}

void BerAuswahl::closeEvent(QCloseEvent* e) {
    zahlungen_->Commit();
    host_->RefreshActiveBar(true);
    QWidget::closeEvent(e);
}

void BerAuswahl::nachAenderung(int64_t lfnr) {
    int erste = -1;
    FillTreeView(erste);
    if (reg_) {
        try {
            reg_->Open();
        } catch (const std::exception& e) {
            zeigeFehler(QString::fromUtf8(e.what()));
        }
    }
    QTreeWidgetItem* ziel = nullptr;
    if (lfnr != 0) {
        const QString key = "@" + QString::number(lfnr);
        for (QTreeWidgetItem* k : knoten_)
            if (k->data(0, KeyRole).toString() == key) ziel = k;
    }
    if (!ziel) ziel = knotenMitIndex(erste < 1 ? 1 : erste);
    if (!ziel) return;
    fuelltBaum_ = true;
    tree_->setCurrentItem(ziel);
    fuelltBaum_ = false;
    tree_->scrollToItem(ziel);
    NodeClick(ziel);
    tree_->setFocus();
}

void BerAuswahl::addNewSatz() {
    db::Database* db = host_->ProjektDB();
    if (!db || !reg_) return;
    BerAnlage dialog(*db, host_->MwStSatz(), this);
    host_->LoadWindowPos(dialog);
    dialog.Setdatabasename();
    const bool angelegt = dialog.exec() == QDialog::Accepted && dialog.NeueLfNr() != 0;
    host_->SaveWindowPos(dialog);
    if (angelegt) nachAenderung(dialog.NeueLfNr());
}

void BerAuswahl::CopyBerechnung() {
    QTreeWidgetItem* n = tree_->currentItem();
    if (!n || !reg_ || !n->data(0, KeyRole).toString().startsWith('@')) return;
    bool ok = false;
    const int64_t quelle = n->data(0, KeyRole).toString().mid(1).toLongLong(&ok);
    if (!ok) return;
    QApplication::setOverrideCursor(Qt::WaitCursor);
    KopieErgebnis kopie;
    try {
        kopie = CalculationSet(reg_->Datenbank())
                    .CopyBerechnung(quelle, QDate::currentDate().toString(Qt::ISODate).toStdString());
    } catch (const std::exception& e) {
        QApplication::restoreOverrideCursor();
        zeigeFehler("Die Berechnung konnte nicht kopiert werden: " + QString::fromUtf8(e.what()));
        return;
    }
    QApplication::restoreOverrideCursor();
    nachAenderung(kopie.neu);
    if (kopie.gekuerzt) NameGekuerztMelden("Der Name der Kopie", Q(kopie.name));
}

void BerAuswahl::NameGekuerztMelden(const QString& wer, const QString& name) {
    forms::MsgBox(this,
                  wer + QStringLiteral(" hat mehr als 30 Zeichen und wurde gekürzt auf\n„") + name +
                      QStringLiteral("“.\nMit „Umbenennen“ können Sie ihn ändern."),
                  forms::MsgButtons::OK, forms::MsgIcon::Information, windowTitle());
}

void BerAuswahl::KillBerechnung() {
    QTreeWidgetItem* n = tree_->currentItem();
    if (!n || !reg_ || !n->data(0, KeyRole).toString().startsWith('@')) return;
    bool ok = false;
    const int64_t nr = n->data(0, KeyRole).toString().mid(1).toLongLong(&ok);
    if (!ok) return;
    // Titled with the register's own caption: inside the MDI area window() is the main window.
    if (forms::MsgBox(this, "Soll diese Berechnung wirklich gelöscht werden", forms::MsgButtons::YesNo,
                      forms::MsgIcon::Question, windowTitle(), 1) != forms::MsgResult::Yes)
        return;
    // What was typed into its payments is written before they go.
    zahlungen_->Disconnect();
    try {
        CalculationSet(reg_->Datenbank()).KillBerechnung(nr);
    } catch (const std::exception& e) {
        zeigeFehler("Die Berechnung konnte nicht gelöscht werden: " + QString::fromUtf8(e.what()));
        nachAenderung(nr);
        return;
    }
    nachAenderung(0);
}

void BerAuswahl::ConnectZahlungen() {
    if (!reg_ || !reg_->HasCurrent() || !tab_->isTabEnabled(1)) {
        zahlungen_->Disconnect();
        return;
    }
    try {
        const int64_t ursprung = reg_->Row().GetInt("Ursprung", 0);
        zahlungen_->Connect(reg_->Datenbank(), reg_->CurrentLfNr(), ursprung, reg_->InputType(),
                            reg_->DisplayType());
    } catch (const std::exception& e) {
        zahlungen_->Disconnect();
        zeigeFehler(QString::fromUtf8(e.what()));
    }
}

void BerAuswahl::SchaltZahhlungen() {
    if (reg_ && reg_->HasCurrent()) zahlungen_->SchaltZahhlungen(reg_->DisplayType());
}

void BerAuswahl::GetVorZahlungen(Currency& andere, Currency& summe) {
    andere = summe = Currency{};
    if (!reg_ || !reg_->HasCurrent()) return;
    const int64_t ursprung = reg_->Row().GetInt("Ursprung", 0);
    reg::GetVorZahlungen(reg_->Datenbank(), reg_->CurrentLfNr(), ursprung, reg_->InputType(), andere, summe);
}

void BerAuswahl::VorZahlungenUebernehmen() {
    if (!reg_ || !reg_->HasCurrent()) return;
    const int64_t lfnr = reg_->CurrentLfNr();
    try {
        Currency andere, summe;
        GetVorZahlungen(andere, summe);
        db::Transaction t(reg_->Datenbank());
        reg_->PutWährungsDaten(summe, andere, "SummAz", "AlDispSummAz");
        reg_->CalcRechnung(0);
        reg_->CalcRechnung(1);
        t.Commit();
    } catch (const std::exception& e) {
        zeigeFehler("Die Abschlagszahlungen konnten nicht übernommen werden: " + QString::fromUtf8(e.what()));
        // The recordset holds what the rollback took back.
        try {
            reg_->Open();
            reg_->FindBerechnung(lfnr);
        } catch (const std::exception&) {
        }
    }
    DisplayFields();
}

void BerAuswahl::setzeMarken(bool an) {
    markModus_ = an;
    fuelltBaum_ = true;
    for (QTreeWidgetItem* k : knoten_) {
        if (an)
            k->setCheckState(0, Qt::Unchecked);
        else
            k->setData(0, Qt::CheckStateRole, QVariant());
    }
    fuelltBaum_ = false;
}

void BerAuswahl::Mark() {
    if (!markModus_) {
        setzeMarken(true);
        bar_->SetEnabled("POPUPLINKS", "UNMARK", true);
    }
    QTreeWidgetItem* n = tree_->currentItem();
    if (n && n->data(0, KeyRole).toString().startsWith('@')) {
        fuelltBaum_ = true;
        n->setCheckState(0, Qt::Checked);
        fuelltBaum_ = false;
    }
}

void BerAuswahl::UNMARK() {
    if (markModus_) bar_->SetEnabled("POPUPLINKS", "UNMARK", false);
    setzeMarken(false);
}

void BerAuswahl::FixMark() {
    if (!markModus_) return;
    fuelltBaum_ = true;
    for (QTreeWidgetItem* k : knoten_)
        if (!k->data(0, KeyRole).toString().startsWith('@') && k->checkState(0) != Qt::Unchecked)
            k->setCheckState(0, Qt::Unchecked);
    fuelltBaum_ = false;
}

void BerAuswahl::callKoPrint(int berichtIndex, const QString& caption) {
    if (!reg_ || !reg_->HasCurrent()) return;
    int64_t ursprung = 0;
    try {
        ursprung = reg_->Row().GetInt("Ursprung", 0);
    } catch (const std::exception& e) {
        zeigeFehler(QString::fromUtf8(e.what()));
        return;
    }
    host_->Drucken().Bericht(berichtIndex, caption, reg_->CurrentLfNr(), xtraText1_->text(), ursprung);
}

void BerAuswahl::CallREPRINT(int modus) {
    if (!reg_ || !reg_->HasCurrent()) return;
    const std::optional<int> art = modus == 1 ? DokumentArt(reg_->ReType()) : DokumentZusammenstellung;
    // A type without a document prints nothing.
    if (!art) return;
    host_->Drucken().Rechnung(*art, dtPicker1_->date().toString("dd.MM.yyyy"), reg_->InputType(),
                              reg_->DisplayType(), reg_->CurrentLfNr());
}

void BerAuswahl::CallReZusammenstellung() {
    if (!markModus_) {
        // Marks are switched on from the tree's context menu only, which a clerk may never have opened.
        forms::MsgBox(this, ZusammenstellungOhneMarken, forms::MsgButtons::OK, forms::MsgIcon::Information,
                      windowTitle());
        return;
    }
    std::vector<int64_t> liste;
    for (QTreeWidgetItem* k : knoten_) {
        const QString key = k->data(0, KeyRole).toString();
        if (key.startsWith('@') && k->checkState(0) == Qt::Checked) liste.push_back(key.mid(1).toLongLong());
    }
    if (liste.size() < 2) {
        forms::MsgBox(this, "Es sind nicht genügent Rechnungen angewählt", forms::MsgButtons::OK,
                      forms::MsgIcon::None, windowTitle());
        return;
    }
    const bool aktuell = reg_ && reg_->HasCurrent();
    host_->Drucken().Zusammenstellung(liste, dtPicker1_->date().toString("dd.MM.yyyy"),
                                      aktuell ? reg_->InputType() : 0, aktuell ? reg_->DisplayType() : 0,
                                      aktuell ? reg_->CurrentLfNr() : 0);
}

} // namespace velu::reg
