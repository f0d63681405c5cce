#include "platform/outside/AdressMaske.h"

#include "platform/forms/MessageBox.h"
#include "platform/help/Hilfe.h"
#include "platform/outside/MaskenTeile.h"
#include "platform/outside/Prodat.h"

#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

namespace velu::outside {

using forms::MsgBox;
using forms::MsgButtons;
using forms::MsgIcon;
using forms::MsgResult;

namespace {
const std::pair<const char*, const char*> Felder[] = {
    {"Name", "Name"}, {"Zusatz", "Zusatz"},   {"Strasse", "Straße"}, {"PLZ", "PLZ"},
    {"Ort", "Ort"},   {"Telefon", "Telefon"}, {"EMail", "E-Mail"}};

QString* Teil(Adresse& a, int i) {
    QString* f[] = {&a.name, &a.zusatz, &a.strasse, &a.plz, &a.ort, &a.telefon, &a.email};
    return f[i];
}

} // namespace

AdressMaske::AdressMaske(Adressbuch& buch, std::optional<Projekt> projekt, QWidget* parent)
    : QDialog(parent), buch_(buch), projekt_(std::move(projekt)) {
    setObjectName("AdressMaske");
    setWindowTitle("Adressverwaltung");
    suche_ = new QLineEdit(this);
    suche_->setObjectName("Suche");
    suche_->setPlaceholderText("Name oder Teil des Namens");
    suche_->setClearButtonEnabled(true);
    liste_ = new QTableWidget(0, 2, this);
    liste_->setObjectName("Adressliste");
    liste_->setHorizontalHeaderLabels({"Name", "Ort"});
    liste_->verticalHeader()->hide();
    liste_->horizontalHeader()->setStretchLastSection(true);
    liste_->setColumnWidth(0, 240);
    liste_->setSelectionBehavior(QAbstractItemView::SelectRows);
    liste_->setSelectionMode(QAbstractItemView::SingleSelection);
    liste_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    liste_->setMinimumWidth(420);

    auto* form = new QFormLayout;
    for (const auto& [name, text] : Felder) {
        auto* e = new QLineEdit(this);
        e->setObjectName(name);
        e->setMinimumWidth(280);
        form->addRow(QString::fromUtf8(text), e);
        felder_.push_back({name, e});
    }
    auto* neu = Knopf(this, "Neu", "Neu");
    auto* speichern = Knopf(this, "Speichern", "Speichern");
    auto* loeschen = Knopf(this, "Loeschen", "Löschen");
    auto* schliessen = Knopf(this, "Schliessen", "Schließen");
    auto* knoepfe = new QHBoxLayout;
    knoepfe->addWidget(neu);
    knoepfe->addWidget(speichern);
    knoepfe->addWidget(loeschen);
    knoepfe->addStretch();
    auto* gAdresse = new QGroupBox("Adresse", this);
    auto* la = new QVBoxLayout(gAdresse);
    la->addLayout(form);
    la->addLayout(knoepfe);

    auto* rechts = new QVBoxLayout;
    rechts->addWidget(gAdresse);
    if (projekt_) {
        auto* gProjekt = new QGroupBox("Bauherr des Projekts " + projekt_->info.nummer + " " +
                                           projekt_->info.name,
                                       this);
        auto* lp = new QVBoxLayout(gProjekt);
        bauherr_ = new QLabel(gProjekt);
        bauherr_->setObjectName("BauherrAktuell");
        bauherr_->setTextInteractionFlags(Qt::TextSelectableByMouse);
        lp->addWidget(bauherr_);
        hinweis_ = new QLabel(gProjekt);
        hinweis_->setObjectName("Hinweis");
        hinweis_->setWordWrap(true);
        lp->addWidget(hinweis_);
        auto* uebernehmen = Knopf(this, "Bauherr", "Als Bauherr übernehmen");
        uebernehmen->setToolTip("Name, Straße sowie PLZ und Ort als Bauherr in die Projektdaten schreiben");
        lp->addWidget(uebernehmen);
        connect(uebernehmen, &QPushButton::clicked, this, [this] { AlsBauherr(); });
        rechts->addWidget(gProjekt);
        ZeigeBauherr();
    }
    rechts->addStretch();
    auto* unten = new QHBoxLayout;
    unten->addStretch();
    unten->addWidget(schliessen);
    rechts->addLayout(unten);

    auto* links = new QVBoxLayout;
    auto* suchzeile = new QHBoxLayout;
    suchzeile->addWidget(new QLabel("Suchen:", this));
    suchzeile->addWidget(suche_);
    links->addLayout(suchzeile);
    links->addWidget(liste_);
    auto* lay = new QHBoxLayout(this);
    lay->addLayout(links, 1);
    lay->addLayout(rechts);

    connect(suche_, &QLineEdit::textChanged, this, [this] { Suchen(); });
    connect(liste_, &QTableWidget::currentCellChanged, this, [this](int zeile, int, int vorher, int) {
        if (laedt_ || zeile == vorher) return;
        if (!Zeige(zeile)) {
            laedt_ = true;
            liste_->setCurrentCell(vorher, 0);
            laedt_ = false;
        }
    });
    connect(neu, &QPushButton::clicked, this, [this] { Neu(); });
    connect(speichern, &QPushButton::clicked, this, [this] { Speichern(); });
    connect(loeschen, &QPushButton::clicked, this, [this] { Loeschen(); });
    connect(schliessen, &QPushButton::clicked, this, &AdressMaske::reject);
    help::InstallHelpKey(this, "Adressen");
    Suchen();
    if (liste_->rowCount() == 0) InMaske({});
}

QLineEdit* AdressMaske::Feld(const char* name) const {
    for (const auto& [n, e] : felder_)
        if (qstrcmp(n, name) == 0) return e;
    return nullptr;
}

Adresse AdressMaske::AusMaske() const {
    Adresse a;
    a.nr = aktuell_.nr;
    for (int i = 0; i < int(felder_.size()); ++i)
        *Teil(a, i) = felder_[size_t(i)].second->text();
    return a;
}

void AdressMaske::InMaske(const Adresse& a) {
    aktuell_ = a;
    for (int i = 0; i < int(felder_.size()); ++i)
        felder_[size_t(i)].second->setText(*Teil(aktuell_, i));
}

bool AdressMaske::Geaendert() const {
    Adresse m = AusMaske();
    Adresse a = aktuell_;
    for (int i = 0; i < 7; ++i)
        if (Teil(m, i)->trimmed() != Teil(a, i)->trimmed()) return true;
    return false;
}

bool AdressMaske::AenderungenKlaeren() {
    if (!Geaendert()) return true;
    return outside::AenderungenKlaeren(this, AdresseGeaendert, [this] { return Speichern(); });
}

void AdressMaske::Suchen() {
    laedt_ = true;
    const int64_t nr = aktuell_.nr;
    liste_->setRowCount(0);
    int gewaehlt = -1;
    for (const Adresse& a : buch_.Suche(suche_->text())) {
        const int z = liste_->rowCount();
        liste_->insertRow(z);
        auto* name = new QTableWidgetItem(a.name);
        name->setData(Qt::UserRole, QVariant::fromValue<qlonglong>(a.nr));
        liste_->setItem(z, 0, name);
        liste_->setItem(z, 1, new QTableWidgetItem(a.ort));
        if (a.nr == nr && nr != 0) gewaehlt = z;
    }
    liste_->setCurrentCell(gewaehlt, 0);
    laedt_ = false;
}

bool AdressMaske::Zeige(int zeile) {
    if (zeile < 0 || zeile >= liste_->rowCount()) return false;
    const int64_t nr = liste_->item(zeile, 0)->data(Qt::UserRole).toLongLong();
    if (nr == aktuell_.nr) return true;
    if (!AenderungenKlaeren()) return false;
    const auto a = buch_.Lese(nr);
    if (!a) return false;
    InMaske(*a);
    laedt_ = true;
    liste_->setCurrentCell(zeile, 0);
    laedt_ = false;
    return true;
}

void AdressMaske::Neu() {
    if (!AenderungenKlaeren()) return;
    InMaske({});
    laedt_ = true;
    liste_->setCurrentCell(-1, 0);
    laedt_ = false;
    Feld("Name")->setFocus();
}

bool AdressMaske::Speichern() {
    Adresse a = AusMaske();
    QString fehler;
    if (!buch_.Speichern(a, &fehler)) {
        MsgBox(this, fehler, MsgButtons::OK, MsgIcon::Exclamation);
        Feld("Name")->setFocus();
        return false;
    }
    InMaske(a);
    Suchen();
    return true;
}

void AdressMaske::Loeschen() {
    if (aktuell_.nr == 0) {
        InMaske({});
        return;
    }
    if (MsgBox(this, AdresseLoeschen, MsgButtons::YesNo, MsgIcon::Question, {}, 1) != MsgResult::Yes) return;
    QString fehler;
    if (!buch_.Loeschen(aktuell_.nr, &fehler)) {
        MsgBox(this, fehler, MsgButtons::OK, MsgIcon::Critical);
        return;
    }
    InMaske({});
    Suchen();
}

bool AdressMaske::AlsBauherr() {
    if (!projekt_) return false;
    Adresse a = AusMaske();
    // Checked before anything is stored, so a refused address leaves book and project as they were.
    for (const QString& zeile : BauherrZeilen(a)) {
        const QString grund = ProdatFeldFehler(zeile);
        if (!grund.isEmpty()) {
            MsgBox(this, "Die Adresse passt nicht in die Projektdaten:\n„" + zeile + "“\n" + grund,
                   MsgButtons::OK, MsgIcon::Exclamation);
            return false;
        }
    }
    if ((a.nr == 0 || Geaendert()) && !Speichern()) return false;
    QString fehler;
    if (!SchreibeBauherr(projekt_->prodatPfad, aktuell_, &fehler)) {
        MsgBox(this, fehler, MsgButtons::OK, MsgIcon::Critical);
        return false;
    }
    ZeigeBauherr();
    hinweis_->setText(BauherrUebernommen);
    return true;
}

void AdressMaske::ZeigeBauherr() {
    if (!bauherr_) return;
    QStringList zeilen;
    for (int k : {4, 5, 6})
        zeilen << LeseProdatFeld(projekt_->prodatPfad, k);
    while (!zeilen.isEmpty() && zeilen.back().isEmpty())
        zeilen.removeLast();
    bauherr_->setText(zeilen.isEmpty() ? QStringLiteral("(noch kein Bauherr eingetragen)") : zeilen.join('\n'));
}

void AdressMaske::reject() {
    // Esc, the close box and "Schließen" all end here.
    if (AenderungenKlaeren()) QDialog::reject();
}

} // namespace velu::outside
