#include "fee/Grunddat.h"

#include "core/Money.h"
#include "core/MoneyFormat.h"
#include "platform/db/Database.h"
#include "platform/db/DbError.h"
#include "platform/db/QueryDef.h"
#include "platform/forms/BoundGridView.h"
#include "platform/forms/GridFocus.h"
#include "platform/forms/MessageBox.h"
#include "platform/forms/MoveDownOnEnter.h"
#include "platform/forms/ToolBand.h"
#include "platform/help/Hilfe.h"

#include <QAction>
#include <QApplication>
#include <QButtonGroup>
#include <QCloseEvent>
#include <QCursor>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMouseEvent>
#include <QRadioButton>
#include <QSignalBlocker>
#include <QSpinBox>
#include <QTabWidget>
#include <QTableWidget>
#include <QVBoxLayout>

namespace velu::fee {

// The engine's boxes in the program's message box; the engine passes an empty title where the form's
// caption belongs.
class Grunddat::Meldungen : public MessageSink {
public:
    explicit Meldungen(QWidget* owner) : owner_(owner) {}
    void Show(const std::string& text, const std::string& caption, MessageIcon icon) override {
        forms::MsgBox(owner_, QString::fromStdString(text), forms::MsgButtons::OK,
                      icon == MessageIcon::Error ? forms::MsgIcon::Critical : forms::MsgIcon::Exclamation,
                      QString::fromStdString(caption));
    }

private:
    QWidget* owner_;
};

namespace {

const char* const Titel = "HOAI - Berechnung";

QLineEdit* betragFeld(const QString& name) {
    auto* e = new QLineEdit;
    e->setObjectName(name);
    e->setReadOnly(true);
    e->setAlignment(Qt::AlignRight);
    return e;
}

} // namespace

Grunddat::Grunddat(db::Database& projektDB, db::Database& stammDB, QWidget* parent)
    : QDialog(parent), projektDB_(projektDB), stammDB_(stammDB),
      meldungen_(std::make_unique<Meldungen>(this)),
      calc_(std::make_unique<FeeCalculation>(projektDB, stammDB, *meldungen_)) {
    setObjectName("Grunddat");
    setWindowTitle(Titel);
    aufbauen();
    help::InstallHelpKey(this, "Grunddat");
}

Grunddat::~Grunddat() = default;

void Grunddat::aufbauen() {
    auto* haupt = new QVBoxLayout(this);
    bar_ = new forms::ToolBand(this);
    aufbauenToolBand();

    tab_ = new QTabWidget;
    tab_->setObjectName("SSTab1");
    const char* titel[] = {"Grunddaten", "Kosten Lp", "Kosten Lp", "Kosten Lp", "Leistungsphasen"};
    for (int i = 0; i < 5; ++i) {
        seiten_[i] = new QWidget;
        seiten_[i]->setObjectName(QString("SSTab1_%1").arg(i));
        tab_->addTab(seiten_[i], titel[i]);
        if (i > 0) new QVBoxLayout(seiten_[i]);
    }
    aufbauenEingaben(seiten_[0]);

    // One cost grid for the three cost sections; it moves to the tab in front.
    kostenPanel_ = new QWidget;
    auto* kl = new QVBoxLayout(kostenPanel_);
    kl->setContentsMargins(0, 0, 0, 0);
    kostenTitel_ = new QLabel("Berechnungswährung DM");
    kostenTitel_->setObjectName("SSDBGrid1Caption");
    kostenGrid_ = new forms::BoundGridView;
    kostenGrid_->setObjectName("SSDBGrid1");
    kostenGrid_->setSelectionBehavior(QAbstractItemView::SelectRows);
    // "DEL" deletes every marked line.
    kostenGrid_->setSelectionMode(QAbstractItemView::ExtendedSelection);
    kostenGrid_->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(kostenGrid_, &QWidget::customContextMenuRequested, this, &Grunddat::kostenKontextmenue);
    kl->addWidget(kostenTitel_);
    kl->addWidget(kostenGrid_);
    seiten_[1]->layout()->addWidget(kostenPanel_);

    phasenTitel_ = new QLabel("Berechnungswährung DM");
    phasenTitel_->setObjectName("SSDBGrid2Caption");
    phasenGrid_ = new QTableWidget(0, 5);
    phasenGrid_->setObjectName("SSDBGrid2");
    phasenGrid_->setHorizontalHeaderLabels(
        {"Leistungsphase", "Honoraranteil %", "Zuschlag %", "Teilleistung %", "Teilleistung"});
    phasenGrid_->horizontalHeaderItem(2)->setToolTip(ZuschlagHinweis);
    phasenGrid_->horizontalHeader()->setSectionResizeMode(0, QHeaderView::Stretch);
    // A caption in bold for the current column would no longer fit its column.
    phasenGrid_->horizontalHeader()->setHighlightSections(false);
    phasenGrid_->setMinimumWidth(560);
    forms::MoveDownOnEnter(*phasenGrid_);
    forms::KeepFocusAfterEditor(*phasenGrid_);
    connect(phasenGrid_, &QTableWidget::cellChanged, this, &Grunddat::phaseGeaendert);
    seiten_[4]->layout()->addWidget(phasenTitel_);
    seiten_[4]->layout()->addWidget(phasenGrid_);

    connect(tab_, &QTabWidget::currentChanged, this, &Grunddat::tabGewechselt);
    haupt->addWidget(tab_, 1);

    // The fees stay in view on every tab.
    auto* honorar = new QGroupBox;
    honorar->setObjectName("FrameHonorar");
    auto* hl = new QGridLayout(honorar);
    hl->addWidget(new QLabel("Grundhonorar"), 0, 1);
    hl->addWidget(new QLabel("Honorar"), 0, 2);
    for (int k = 1; k <= 3; ++k) {
        honorarLabel_[k] = new QLabel(QString("Honorar Leistungsphase"));
        honorarLabel_[k]->setObjectName(QString("LabelHonorar_%1").arg(k));
        grund_[k] = betragFeld(QString("GrundHonorar_%1").arg(k));
        netto_[k] = betragFeld(QString("NettoHonorar_%1").arg(k));
        hl->addWidget(honorarLabel_[k], k, 0);
        hl->addWidget(grund_[k], k, 1);
        hl->addWidget(netto_[k], k, 2);
    }
    netto_[4] = betragFeld("NettoHonorar_4");
    hl->addWidget(new QLabel("Honorar Netto"), 4, 0);
    hl->addWidget(netto_[4], 4, 2);
    haupt->addWidget(honorar);
    resize(900, 640);
}

void Grunddat::aufbauenEingaben(QWidget* seite) {
    auto* g = new QGridLayout(seite);
    auto feld = [this](int i) {
        auto* e = new QLineEdit;
        e->setObjectName(QString("Text1_%1").arg(i));
        text1_[i] = e;
        connect(e, &QLineEdit::textChanged, this, [this] {
            if (!fuellen_) calc_->SetInputsChanged();
        });
        return e;
    };
    g->addWidget(new QLabel("Leistungsbild"), 0, 0);
    g->addWidget(feld(0), 0, 1, 1, 2);
    text1_[0]->setReadOnly(true);
    text1_[0]->installEventFilter(this);

    g->addWidget(new QLabel("Honorarzone"), 1, 0);
    g->addWidget(feld(1), 1, 1);
    text1_[1]->installEventFilter(this);
    upDown_ = new QSpinBox;
    upDown_->setObjectName("UpDown1");
    upDown_->setRange(1, 1);
    upDown_->setButtonSymbols(QAbstractSpinBox::UpDownArrows);
    upDown_->setMaximumWidth(40);
    connect(upDown_, &QSpinBox::valueChanged, this, [this](int v) {
        if (!fuellen_ && !zoneAusPunkten_) text1_[1]->setText(QString::number(v));
    });
    g->addWidget(upDown_, 1, 2);
    // The arrows follow a zone typed into the field.
    connect(text1_[1], &QLineEdit::textChanged, this, [this](const QString& t) {
        bool ok = false;
        const int z = t.trimmed().toInt(&ok);
        if (ok && z >= upDown_->minimum() && z <= upDown_->maximum()) {
            const QSignalBlocker block(upDown_);
            upDown_->setValue(z);
        }
    });

    for (int k = 1; k <= 3; ++k) {
        satzLabel_[k] = new QLabel("Satz über Minimum LP  1 - 4");
        satzLabel_[k]->setObjectName(QString("LabelSatz_%1").arg(k));
        g->addWidget(satzLabel_[k], 1 + k, 0);
        g->addWidget(feld(1 + k), 1 + k, 1);
        prozentLabel_[k] = new QLabel("%");
        g->addWidget(prozentLabel_[k], 1 + k, 2);
    }

    frame_ = new QGroupBox("Anlage nach  § 68");
    frame_->setObjectName("Frame1");
    auto* fl = new QGridLayout(frame_);
    optionen_ = new QButtonGroup(this);
    for (int i = 0; i < 8; ++i) {
        auto* o = new QRadioButton(QString("Berechnung &%1").arg(i + 1));
        o->setObjectName(QString("Option1_%1").arg(i));
        optionen_->addButton(o, i);
        fl->addWidget(o, i / 4, i % 4);
    }
    connect(optionen_, &QButtonGroup::idClicked, this, &Grunddat::anlageGruppeGewaehlt);
    bezLabel_ = new QLabel("Bezeichnung");
    bezLabel_->setObjectName("LabelBezeichnung");
    fl->addWidget(bezLabel_, 2, 0);
    fl->addWidget(feld(5), 2, 1, 1, 3);
    g->addWidget(frame_, 5, 0, 1, 3);

    alt1991_ = new QLabel("HOAI von 1991");
    alt1991_->setObjectName("LabelHOAIALT");
    alt1991_->setVisible(false);
    g->addWidget(alt1991_, 6, 0);
    g->setRowStretch(7, 1);
    g->setColumnStretch(1, 1);
}

void Grunddat::aufbauenToolBand() {
    using forms::ToolBand;
    using forms::ToolDef;
    bar_->AddBand("Band1", ToolBand::BandKind::ToolBar);
    bar_->AddBand("Leistungsphasen", ToolBand::BandKind::Popup, "Leistungsbilder");
    bar_->AddBand("Leistungsphasen1991", ToolBand::BandKind::Popup, "HOAI Tafeln von 1991");
    bar_->AddBand("Kontenpläne", ToolBand::BandKind::Popup);
    bar_->AddBand("KONTENPLANTOOLS", ToolBand::BandKind::Popup);
    bar_->AddTools({
        {"Band1", "OK", "OK", "Eingaben übernehmen und schließen"},
        {"Band1", "LPHBTN", "Leistungsbild", "Leistungsbild wählen", "Leistungsphasen"},
        {"Band1", "KTNP", "Kontenplan", "Kontenplan übernehmen", "Kontenpläne"},
        {"Band1", "PUNKTEKAT", "Punkte", "Honorarzone aus dem Punktekatalog"},
        {"Band1", "PSCH", "Pauschal", "Pauschalhonorare"},
        {"Band1", "ZUSCH", "Zuschläge", "Zuschläge und Nachlässe"},
        {"KONTENPLANTOOLS", "DEL", "Zeilen löschen", "Markierte Kostenzeilen löschen"},
        {"KONTENPLANTOOLS", "DEL0", "Leere Zeilen löschen", "Kostenzeilen ohne Beträge löschen"},
    });
    for (const char* key : {"DM", "EUR"}) {
        ToolDef d{"Band1", key, key, QString("Beträge in %1 anzeigen").arg(key)};
        d.checkable = true;
        d.exclusiveGroup = "Waehrung";
        bar_->AddTool(d);
    }
    bar_->SetEnabled("Band1", "KTNP", false);
    bar_->SetHandler([this](const QString& key) { ToolClick(key); });
}

// ---- opening
// -----------------------------------------------------------------------------------------------

bool Grunddat::MakeconectionGRDAT(int32_t lfnr, int16_t displayType, int16_t inputType,
                                  int16_t rechnungsart) {
    try {
        berListNr_ = lfnr;
        anlageGruppe_ = 1;
        calc_->BereListNr(lfnr);
        calc_->SetCaption(windowTitle().toStdString());
        WährungsInput(inputType);
        WährungsDisplay(displayType);
        SetRechnungsart(rechnungsart);
        CreateLPTools();
        CreateKPTools();
        return MakeConektion(false);
    } catch (const std::exception& e) {
        fehlerZeigen(e);
        return false;
    }
}

void Grunddat::SetRechnungsart(int16_t art) {
    rechnungsart_ = art;
    calc_->SetRechnungsart(art);
}

bool Grunddat::MakeConektion(bool keepProfile) {
    const db::Recordset& p = calc_->Leistungsbild();
    int32_t vorlage = 0;
    if (!p.Empty() && !p.EOF_() && !p.BOF()) vorlage = static_cast<int32_t>(p.GetInt("LeistungsbildLFNR"));

    calc_->SetAnlageGruppe(anlageGruppe_);
    bool neu = false;
    if (!calc_->OpenGrunddaten()) {
        // The new row and its profile are one step: a template that cannot be applied leaves no row behind.
        db::Transaction tx(projektDB_);
        AddGrDatenRecord();
        if (!SetLeistungsbild(keepProfile && vorlage != 0 ? vorlage : standardProfil_)) return false;
        tx.Commit();
        neu = true;
    }
    const auto lb = static_cast<int32_t>(calc_->Grunddaten().GetInt("ZuordnungLBTabelle"));
    if (!neu && (lb <= 0 || !calc_->ConectLeistungsbild(lb))) {
        // A row without its profile gets the standard one, so that the form has a profile to show.
        db::Transaction tx(projektDB_);
        if (!SetLeistungsbild(standardProfil_)) return false;
        tx.Commit();
        neu = true;
    }
    if (!neu) {
        FillGrDatenControls({});
        SetPhasenTexte();
        fillHonorarFelder();
    }
    return true;
}

void Grunddat::AddGrDatenRecord() {
    db::Recordset& g = calc_->Grunddaten();
    g.AddNew();
    g.Set("LfNrBeReList", int64_t{berListNr_});
    g.Set("ReType", int64_t{rechnungsart_});
    g.Set("AnlageGruppe", int64_t{anlageGruppe_});
    g.Update();
}

void Grunddat::FillGrDatenControls(const QString& standardText) {
    const db::Recordset& p = calc_->Leistungsbild();
    const db::Recordset& g = calc_->Grunddaten();
    const bool hatP = !p.Empty() && !p.EOF_() && !p.BOF();
    auto pInt = [&](const char* f, int64_t def) { return hatP ? p.GetInt(f, def) : def; };
    fuellen_ = true;
    text1_[0]->setText(
        hatP ? QString::fromStdString(p.GetText("LeistungsbildPara", standardText.toStdString()))
             : standardText);
    einheit_ = static_cast<int16_t>(pInt("Einheit", 0));
    fremdZaehlt_ = pInt("Integrationspl", 0) != 0;
    text1_[1]->setText(QString::number(g.GetInt("Honorarzone", 1)));
    upDown_->setMaximum(static_cast<int>(std::max<int64_t>(1, pInt("TafelMaxZone", 1))));
    upDown_->setValue(static_cast<int>(g.GetInt("Honorarzone", 1)));
    for (int k = 1; k <= 3; ++k) {
        const Currency satz = GetCY(g, "SatzUemin" + std::to_string(k));
        text1_[1 + k]->setText(QString::fromStdString(FormatBetrag(satz, DM)).chopped(3));
    }
    mitAnlageGruppen_ = pInt("MitAnLageGrp", 0) != 0;
    alt1991_->setVisible(pInt("HOAIALT", 0) != 0);
    // Plant groups may work under different templates: only the one in force here stays checked.
    for (const char* band : {"Leistungsphasen", "Leistungsphasen1991"})
        if (QMenu* m = bar_->Popup(band))
            for (QAction* a : m->actions())
                if (a->isCheckable()) a->setChecked(false);
    LBToolCheckedOnOff(static_cast<int32_t>(pInt("LeistungsbildLFNR", 0)),
                       static_cast<int16_t>(pInt("HOAIALT", 0)), 1);
    frame_->setVisible(mitAnlageGruppen_);
    if (mitAnlageGruppen_) {
        anlageGruppe_ = static_cast<int16_t>(std::clamp<int64_t>(g.GetInt("AnlageGruppe", 1), 1, 8));
        optionen_->button(anlageGruppe_ - 1)->setChecked(true);
        text1_[5]->setText(QString::fromStdString(g.GetText("AnlageGrBez")));
    } else {
        anlageGruppe_ = 1;
    }
    calc_->SetAnlageGruppe(anlageGruppe_);
    bar_->SetEnabled("Band1", "LPHBTN", anlageGruppe_ == 1);
    bar_->SetEnabled("Band1", "PUNKTEKAT", anlageGruppe_ == 1);
    text1_[0]->setEnabled(anlageGruppe_ == 1);
    SetZoneAusPunktekat(g.GetInt("PunktekatUsed", 0) != 0);
    fuellen_ = false;
    if (pInt("TafelMaxZone", 0) > 0) CheckHonorarzone(static_cast<int16_t>(pInt("TafelMaxZone", 0)));
    calc_->ClearChanged();
}

void Grunddat::SetZoneAusPunktekat(bool an) {
    zoneAusPunkten_ = an;
    text1_[1]->setReadOnly(an);
    upDown_->setEnabled(!an);
}

// ---- check
// -------------------------------------------------------------------------------------------------

std::optional<GrunddatenEingabe> Grunddat::Eingabe(bool melden) {
    GrunddatenEingabe e;
    e.leistungsbild = text1_[0]->text().toStdString();
    e.honorarzone = text1_[1]->text().toStdString();
    e.punktekatUsed = zoneAusPunkten_;
    e.anlageGrBez = text1_[5]->text().toStdString();
    // Without a profile the check stops before any other field is examined.
    if (calc_->InputsChanged() && !e.leistungsbild.empty()) {
        for (int k = 1; k <= 3; ++k) {
            QString t = text1_[1 + k]->text().trimmed();
            if (t.endsWith('%')) t.chop(1);
            const std::optional<Currency> satz = ParseBetrag(t.toStdString());
            if (!satz) {
                if (!melden) return std::nullopt;
                // Never read as 0: nothing is stored until the field holds a number.
                forms::MsgBox(this, forms::BoundGridModel::NumerischMeldung, forms::MsgButtons::OK,
                              forms::MsgIcon::Critical);
                text1_[1 + k]->setProperty("fehler", true);
                return std::nullopt;
            }
            e.satzUemin[k] = *satz;
        }
    } else {
        for (int k = 1; k <= 3; ++k)
            e.satzUemin[k] = GetCY(calc_->Grunddaten(), "SatzUemin" + std::to_string(k));
    }
    return e;
}

int16_t Grunddat::CheckCalcGrDaten() {
    const std::optional<GrunddatenEingabe> eingabe = Eingabe(true);
    if (!eingabe) return SatzNichtNumerisch;
    const GrunddatenEingabe& e = *eingabe;
    calc_->SetAnlageGruppe(anlageGruppe_);
    calc_->SetEingabe(e);
    const int16_t code = calc_->CheckCalcGrDaten();
    anlageGruppe_ = calc_->AnlageGruppe();
    if (code <= 0) fillHonorarFelder();
    return code;
}

void Grunddat::HonorarStummRechnen() {
    const std::optional<GrunddatenEingabe> e = Eingabe(false);
    if (!e) return;
    calc_->SetAnlageGruppe(anlageGruppe_);
    calc_->SetEingabe(*e);
    const int16_t code = calc_->CheckCalcGrDatenStill();
    anlageGruppe_ = calc_->AnlageGruppe();
    if (code <= 0) fillHonorarFelder();
}

void Grunddat::DisplayErrMsgGrDaten(int16_t code) {
    calc_->DisplayErrMsgGrDaten(code);
}

void Grunddat::fokusNachFehler(int16_t code) {
    // The stored values of another plant group stopped the recomputation (the fields shown passed, so the
    // flag is cleared): that group is shown, so that the field in error is the one in front of the user.
    const int16_t fehlerGruppe = calc_->FehlerAnlageGruppe();
    if (code > 0 && !calc_->InputsChanged() && mitAnlageGruppen_ && fehlerGruppe >= 1 && fehlerGruppe <= 8 &&
        fehlerGruppe != anlageGruppe_) {
        const int16_t alt = anlageGruppe_;
        anlageGruppe_ = fehlerGruppe;
        if (MakeConektion(true)) {
            calc_->SetInputsChanged();
            const int t = tab_->currentIndex();
            if (t >= 1 && t <= 3) LoadAnrechenbareKosten();
            if (t == 4) fillLeistungsbildGrid();
        } else {
            anlageGruppe_ = alt;
            MakeConektion(true);
        }
        optionen_->button(anlageGruppe_ - 1)->setChecked(true);
    }
    switch (code) {
    case ZoneZuGross:
    case ZoneNichtPositiv:
        text1_[1]->setFocus();
        break;
    case SatzNegativ:
    case SatzUeber100:
        text1_[2]->setFocus();
        break;
    case SatzNichtNumerisch:
        for (int k = 1; k <= 3; ++k)
            if (text1_[1 + k]->property("fehler").toBool()) {
                text1_[1 + k]->setProperty("fehler", false);
                text1_[1 + k]->setFocus();
                text1_[1 + k]->selectAll();
                break;
            }
        break;
    default:
        break;
    }
}

void Grunddat::gitterSchreiben() {
    const int t = tab_->currentIndex();
    if (t >= 1 && t <= 3 && kostenGrid_->BoundModel()) kostenGrid_->Commit();
    if (t == 4 && phasenGrid_->isAncestorOf(QApplication::focusWidget()))
        forms::ToolBand::CommitFocusedEdit();
}

bool Grunddat::pruefenUndSchliessen(bool erzwingen) {
    // OK validates and recomputes whatever changed; the close box only what did.
    if (erzwingen) calc_->SetInputsChanged();
    const int16_t code = CheckCalcGrDaten();
    // An input error was shown once; the form stays open on the field in error instead of closing on it.
    if (istEingabeFehler(code)) {
        // Negative costs are corrected on the cost tab where they were typed.
        if (tab_->currentIndex() != 0 && code != KostenNegativ) {
            tabWaechter_ = true;
            tab_->setCurrentIndex(0);
            aktTab_ = 0;
            abschnitt_.clear();
        }
        fokusNachFehler(code);
        return false;
    }
    return true;
}

// ---- plant groups
// ------------------------------------------------------------------------------------------

void Grunddat::anlageGruppeGewaehlt(int index) {
    const auto g = static_cast<int16_t>(index + 1);
    if (g == anlageGruppe_) return;
    QApplication::setOverrideCursor(Qt::WaitCursor);
    try {
        gitterSchreiben();
        const int16_t e = CheckCalcGrDaten();
        if (e != 0) {
            fokusNachFehler(e);
            optionen_->button(anlageGruppe_ - 1)->setChecked(true);
        } else {
            const int16_t alt = anlageGruppe_;
            anlageGruppe_ = g;
            if (!MakeConektion(true)) {
                // The new group could not get a profile: back to the group shown so far.
                anlageGruppe_ = alt;
                MakeConektion(true);
                optionen_->button(anlageGruppe_ - 1)->setChecked(true);
            } else {
                calc_->SetInputsChanged();
                const int t = tab_->currentIndex();
                if (t >= 1 && t <= 3) LoadAnrechenbareKosten();
                if (t == 4) fillLeistungsbildGrid();
            }
        }
    } catch (const std::exception& ex) {
        fehlerZeigen(ex);
    }
    QApplication::restoreOverrideCursor();
}

// ---- window events
// -----------------------------------------------------------------------------------------

void Grunddat::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Escape) {
        bar_->Click("Band1", "OK");
        event->accept();
        return;
    }
    if ((event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) &&
        qobject_cast<QLineEdit*>(QApplication::focusWidget())) {
        focusNextChild();
        event->accept();
        return;
    }
    QDialog::keyPressEvent(event);
}

void Grunddat::closeEvent(QCloseEvent* event) {
    // The close box stores and recomputes as OK does; the form only hides, its opener releases it.
    event->ignore();
    try {
        forms::ToolBand::CommitFocusedEdit();
        gitterSchreiben();
        if (pruefenUndSchliessen(false)) accept();
    } catch (const std::exception& e) {
        fehlerZeigen(e);
        // Data held by another user: the form stays with what was typed, to be stored on the next try.
        const auto* dbe = dynamic_cast<const db::DbError*>(&e);
        if (!dbe || !dbe->Belegt()) accept();
    }
}

void Grunddat::changeEvent(QEvent* event) {
    if (event->type() == QEvent::WindowTitleChange && calc_) calc_->SetCaption(windowTitle().toStdString());
    QDialog::changeEvent(event);
}

bool Grunddat::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::MouseButtonRelease) {
        if (watched == text1_[0] && anlageGruppe_ == 1) {
            if (QMenu* m = bar_->Popup("Leistungsphasen")) m->popup(QCursor::pos());
        } else if (watched == text1_[1] && zoneAusPunkten_) {
            punktekataufruf();
        }
    }
    return QDialog::eventFilter(watched, event);
}

void Grunddat::fehlerZeigen(const std::exception& e) {
    forms::MsgBox(this, QString::fromUtf8(e.what()), forms::MsgButtons::OK, forms::MsgIcon::Critical);
}

QString Grunddat::betragText(Currency c) const {
    return QString::fromStdString(FormatBetrag(c, anzeige_ == 1 ? EUR : DM));
}

} // namespace velu::fee
