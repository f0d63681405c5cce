#include "platform/outside/SerienbriefFenster.h"

#include "platform/forms/MessageBox.h"
#include "platform/forms/ToolBand.h"
#include "platform/help/Hilfe.h"
#include "platform/outside/DruckVorlagenEditor.h"
#include "platform/outside/MaskenTeile.h"
#include "platform/richtext/ScribantView.h"

#include <QDate>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QToolBar>
#include <QVBoxLayout>

namespace velu::outside {

using forms::MsgBox;
using forms::MsgButtons;
using forms::MsgIcon;
using forms::MsgResult;

SerienbriefDokument::SerienbriefDokument(QWidget* parent) : QDialog(parent) {
    setObjectName("SerienbriefDokument");
    setWindowTitle("Serienbrief");
    bar_ = new forms::ToolBand(this);
    bar_->AddBand("Band1", forms::ToolBand::BandKind::ToolBar);
    bar_->AddTools({{"Band1", "PRINT", "Drucken", "Alle Briefe drucken"},
                    {"Band1", "PDF", "Als PDF speichern", "Alle Briefe als PDF-Datei speichern"},
                    {"Band1", "EXIT", "Schließen", "Serienbrief schließen"}});
    view_ = new richtext::ScribantView(this);
    bar_->SetHandler([this](const QString& key) {
        if (key == "PRINT")
            view_->PrintDialog();
        else if (key == "PDF")
            view_->SaveAsDialog();
        else if (key == "EXIT")
            close();
    });
    auto* lay = new QVBoxLayout(this);
    lay->setMenuBar(bar_->ToolBar("Band1"));
    lay->addWidget(view_, 1);
    resize(900, 900);
    help::InstallHelpKey(this, "Serienbriefe");
}

SerienbriefFenster::SerienbriefFenster(std::unique_ptr<Serienbriefe> briefe, std::unique_ptr<Adressbuch> adressen,
                                       QWidget* parent)
    : QWidget(parent, Qt::Window), briefe_(std::move(briefe)), adressen_(std::move(adressen)) {
    setObjectName("Serienbriefe");
    setWindowTitle("Serienbriefe");
    briefListe_ = new QListWidget(this);
    briefListe_->setObjectName("Briefe");
    auto* neu = Knopf(this, "Neu", "Neu");
    auto* bearbeiten = Knopf(this, "Bearbeiten", "Bearbeiten …");
    auto* loeschen = Knopf(this, "Loeschen", "Löschen");
    auto* gBriefe = new QGroupBox("Brief", this);
    auto* lb = new QVBoxLayout(gBriefe);
    lb->addWidget(briefListe_);
    auto* kb = new QHBoxLayout;
    kb->addWidget(neu);
    kb->addWidget(bearbeiten);
    kb->addWidget(loeschen);
    lb->addLayout(kb);

    suche_ = new QLineEdit(this);
    suche_->setObjectName("Suche");
    suche_->setPlaceholderText("Name oder Teil des Namens");
    suche_->setClearButtonEnabled(true);
    empfaenger_ = new QListWidget(this);
    empfaenger_->setObjectName("Empfaenger");
    auto* alle = Knopf(this, "Alle", "Alle");
    auto* keine = Knopf(this, "Keine", "Keine");
    auto* gAn = new QGroupBox("Empfänger aus dem Adressbuch", this);
    auto* la = new QVBoxLayout(gAn);
    auto* sz = new QHBoxLayout;
    sz->addWidget(new QLabel("Suchen:", this));
    sz->addWidget(suche_);
    la->addLayout(sz);
    la->addWidget(empfaenger_);
    auto* ka = new QHBoxLayout;
    ka->addWidget(alle);
    ka->addWidget(keine);
    ka->addStretch();
    la->addLayout(ka);

    auto* erstellen = Knopf(this, "Erstellen", "Serienbrief erstellen");
    erstellen->setDefault(true);
    auto* schliessen = Knopf(this, "Schliessen", "Schließen");
    auto* spalten = new QHBoxLayout;
    spalten->addWidget(gBriefe, 1);
    spalten->addWidget(gAn, 1);
    auto* unten = new QHBoxLayout;
    unten->addStretch();
    unten->addWidget(erstellen);
    unten->addWidget(schliessen);
    auto* lay = new QVBoxLayout(this);
    lay->addLayout(spalten, 1);
    lay->addLayout(unten);
    resize(820, 520);

    connect(neu, &QPushButton::clicked, this, [this] { NeuerBrief(); });
    connect(bearbeiten, &QPushButton::clicked, this, [this] { Bearbeiten(); });
    connect(briefListe_, &QListWidget::itemDoubleClicked, this, [this] { Bearbeiten(); });
    connect(loeschen, &QPushButton::clicked, this, [this] { Loeschen(); });
    connect(suche_, &QLineEdit::textChanged, this, [this] { FuelleEmpfaenger(); });
    connect(empfaenger_, &QListWidget::itemChanged, this, [this] { Merke(); });
    auto alleSetzen = [this](bool an) {
        for (int i = 0; i < empfaenger_->count(); ++i)
            empfaenger_->item(i)->setCheckState(an ? Qt::Checked : Qt::Unchecked);
    };
    connect(alle, &QPushButton::clicked, this, [alleSetzen] { alleSetzen(true); });
    connect(keine, &QPushButton::clicked, this, [alleSetzen] { alleSetzen(false); });
    connect(erstellen, &QPushButton::clicked, this, [this] { Erstellen(); });
    connect(schliessen, &QPushButton::clicked, this, &QWidget::close);
    help::InstallHelpKey(this, "Serienbriefe");
    FuelleBriefe();
    FuelleEmpfaenger();
}

SerienbriefFenster::~SerienbriefFenster() = default;

std::function<void(DruckVorlagenEditor&)>& SerienbriefFenster::EditorHook() {
    static std::function<void(DruckVorlagenEditor&)> h;
    return h;
}

std::function<void(SerienbriefDokument&)>& SerienbriefFenster::DokumentHook() {
    static std::function<void(SerienbriefDokument&)> h;
    return h;
}

void SerienbriefFenster::FuelleBriefe(int64_t waehle) {
    const int64_t vorher = waehle ? waehle : AktBrief();
    briefListe_->clear();
    for (const Brief& b : briefe_->Briefe()) {
        auto* i = new QListWidgetItem(b.name, briefListe_);
        i->setData(Qt::UserRole, QVariant::fromValue<qlonglong>(b.lfnr));
        if (b.lfnr == vorher) briefListe_->setCurrentItem(i);
    }
    if (!briefListe_->currentItem() && briefListe_->count() > 0) briefListe_->setCurrentRow(0);
}

void SerienbriefFenster::FuelleEmpfaenger() {
    QSignalBlocker sperre(empfaenger_);
    empfaenger_->clear();
    for (const Adresse& a : adressen_->Suche(suche_->text())) {
        const QString ort = a.PlzOrt();
        auto* i = new QListWidgetItem(ort.isEmpty() ? a.name : a.name + ", " + ort, empfaenger_);
        i->setData(Qt::UserRole, QVariant::fromValue<qlonglong>(a.nr));
        i->setFlags(i->flags() | Qt::ItemIsUserCheckable);
        i->setCheckState(gewaehlt_.contains(a.nr) ? Qt::Checked : Qt::Unchecked);
    }
}

void SerienbriefFenster::Merke() {
    for (int i = 0; i < empfaenger_->count(); ++i) {
        const QListWidgetItem* it = empfaenger_->item(i);
        const qlonglong nr = it->data(Qt::UserRole).toLongLong();
        const bool an = it->checkState() == Qt::Checked;
        if (an && !gewaehlt_.contains(nr)) gewaehlt_ << nr;
        if (!an) gewaehlt_.removeAll(nr);
    }
}

int64_t SerienbriefFenster::AktBrief() const {
    const QListWidgetItem* i = briefListe_->currentItem();
    return i ? i->data(Qt::UserRole).toLongLong() : 0;
}

void SerienbriefFenster::NeuerBrief() {
    QString fehler;
    const int64_t lfnr = briefe_->Neu("Neuer Brief vom " + QDate::currentDate().toString("dd.MM.yyyy"), &fehler);
    if (!lfnr) {
        MsgBox(this, fehler, MsgButtons::OK, MsgIcon::Critical);
        return;
    }
    FuelleBriefe(lfnr);
    Bearbeiten();
}

void SerienbriefFenster::Bearbeiten() {
    const int64_t lfnr = AktBrief();
    if (!lfnr) {
        MsgBox(this, KeinBriefGewaehlt, MsgButtons::OK, MsgIcon::Exclamation);
        return;
    }
    DruckVorlagenEditor editor(briefe_->Datenbank(), this);
    editor.setWindowTitle("Serienbrief bearbeiten");
    editor.NurArt(Serienbriefe::Art, "Serienbriefe");
    editor.Waehle(Serienbriefe::Art, lfnr);
    if (EditorHook())
        EditorHook()(editor);
    else
        editor.exec();
    FuelleBriefe(lfnr);
}

void SerienbriefFenster::Loeschen() {
    const int64_t lfnr = AktBrief();
    if (!lfnr) return;
    if (MsgBox(this, SerienbriefLoeschen, MsgButtons::YesNo, MsgIcon::Question, {}, 1) != MsgResult::Yes) return;
    QString fehler;
    if (!briefe_->Loeschen(lfnr, &fehler)) MsgBox(this, fehler, MsgButtons::OK, MsgIcon::Critical);
    FuelleBriefe();
}

bool SerienbriefFenster::Erstellen() {
    const int64_t lfnr = AktBrief();
    if (!lfnr) {
        MsgBox(this, KeinBriefGewaehlt, MsgButtons::OK, MsgIcon::Exclamation);
        return false;
    }
    // In the order of the address book, whatever order they were ticked in.
    std::vector<Adresse> an;
    for (const Adresse& a : adressen_->Suche({}))
        if (gewaehlt_.contains(a.nr)) an.push_back(a);
    SerienbriefDokument dok(this);
    QString fehler;
    if (!briefe_->Erstelle(lfnr, an, QDate::currentDate().toString("dd.MM.yyyy"), dok.Ansicht().Control(),
                           &fehler)) {
        MsgBox(this, fehler, MsgButtons::OK, MsgIcon::Exclamation);
        return false;
    }
    dok.Ansicht().ShowContext(richtext::ScribantPro::Body);
    dok.Ansicht().Control().SetPageView(true);
    dok.setWindowTitle(QStringLiteral("Serienbrief – %1 Empfänger").arg(an.size()));
    // Saved as PDF, the letters are proposed under the letter's name.
    if (QListWidgetItem* brief = briefListe_->currentItem())
        richtext::ScribantView::SetPdfName(&dok.Ansicht(), brief->text());
    if (DokumentHook())
        DokumentHook()(dok);
    else
        dok.exec();
    return true;
}

} // namespace velu::outside
