#include "platform/outside/ProjektDatenMaske.h"

#include "platform/forms/Eingabemeldungen.h"
#include "platform/forms/MessageBox.h"
#include "platform/help/Hilfe.h"
#include "platform/outside/DatumsWahl.h"
#include "platform/outside/MaskenTeile.h"
#include "platform/outside/Prodat.h"
#include "platform/outside/ProjektUmgebung.h"

#include <QDate>
#include <QDialogButtonBox>
#include <QFontMetrics>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLineEdit>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

#include <optional>

namespace velu::outside {

using forms::MsgBox;
using forms::MsgButtons;
using forms::MsgIcon;

namespace {

const std::pair<int, const char*> Zeilenfelder[] = {
    {0, "Bauvorhaben, Zeile 1"}, {1, "Bauvorhaben, Zeile 2"}, {2, "Bauvorhaben, Zeile 3"},
    {4, "Bauherr, Zeile 1"},     {5, "Bauherr, Zeile 2"},     {6, "Bauherr, Zeile 3"},
    {160, "Auftragsform"}};

const char* const TerminNamen[] = {"Planungsbeginn", "Baugesuch",      "BV-Nr.",         "Baugenehmigung",
                                   "Baubeginn",      "Rohbauabnahme",  "Schlussabnahme", "Bezugsfertig"};

// Wide enough for a whole field of ordinary text, not the line edit's default of 17 characters.
void FeldBreite(QLineEdit* e) {
    const QFontMetrics fm = e->fontMetrics();
    e->setMinimumWidth(e->sizeHint().width() - fm.horizontalAdvance(QString(17, QLatin1Char('x'))) +
                       fm.horizontalAdvance(QString(ProdatFeldLaenge, QLatin1Char('x'))));
}

// d.M.yyyy as dd.MM.yyyy; empty stays empty; nullopt for anything else.
std::optional<QString> AlsDatum(const QString& text) {
    const QString t = text.trimmed();
    if (t.isEmpty()) return QString();
    const QDate d = QDate::fromString(t, "d.M.yyyy");
    if (!d.isValid()) return std::nullopt;
    return d.toString("dd.MM.yyyy");
}

} // namespace

ProjektDatenMaske::ProjektDatenMaske(const QString& prodatPfad, const ProjektInfo& p, QWidget* parent)
    : QDialog(parent), pfad_(prodatPfad) {
    setObjectName("Prodat");
    setWindowTitle("Projektdaten " + p.nummer + " " + p.name);
    const auto satz = LeseProdat(pfad_);
    auto gelesen = [&](int k) { return satz ? (*satz)[size_t(k)].trimmed() : QString(); };

    auto* vorhaben = new QFormLayout;
    auto* bauherr = new QFormLayout;
    auto* auftrag = new QFormLayout;
    for (const auto& [k, label] : Zeilenfelder) {
        auto* e = new QLineEdit(gelesen(k), this);
        e->setObjectName(QStringLiteral("Feld%1").arg(k));
        FeldBreite(e);
        (k < 4 ? vorhaben : k < 160 ? bauherr : auftrag)->addRow(QString::fromUtf8(label), e);
        edits_.push_back({k, e, e->text()});
    }
    auto* gVorhaben = new QGroupBox("Bauvorhaben", this);
    gVorhaben->setLayout(vorhaben);
    auto* gBauherr = new QGroupBox("Bauherr", this);
    gBauherr->setLayout(bauherr);

    termine_ = new QTableWidget(int(std::size(TerminFelder)), 2, this);
    termine_->setObjectName("Termine");
    termine_->setHorizontalHeaderLabels({"Termin", "Datum"});
    termine_->verticalHeader()->hide();
    termine_->horizontalHeader()->setStretchLastSection(true);
    termine_->setEditTriggers(QAbstractItemView::EditKeyPressed | QAbstractItemView::AnyKeyPressed |
                              QAbstractItemView::SelectedClicked);
    for (int z = 0; z < int(std::size(TerminFelder)); ++z) {
        const int k = TerminFelder[z];
        zeilen_.push_back({k, QString::fromUtf8(TerminNamen[z]), gelesen(k)});
        auto* name = new QTableWidgetItem(zeilen_.back().bezeichnung);
        name->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable);
        termine_->setItem(z, 0, name);
        termine_->setItem(z, 1, new QTableWidgetItem(zeilen_.back().geladen));
    }
    termine_->resizeColumnToContents(0);
    termine_->setColumnWidth(0, termine_->columnWidth(0) + 24);
    termine_->setMinimumHeight(termine_->verticalHeader()->length() + termine_->horizontalHeader()->height() +
                               2 * termine_->frameWidth());
    kalender_ = NeueDatumsWahl(this);
    connect(termine_, &QTableWidget::cellDoubleClicked, this, [this](int z, int spalte) {
        if (spalte == 1 && !KalenderOeffnen(z)) termine_->editItem(termine_->item(z, 1));
    });
    auto* kalender = new QPushButton("Kalender …", this);
    kalender->setObjectName("Kalender");
    kalender->setAutoDefault(false);
    kalender->setEnabled(kalender_ != nullptr);
    connect(kalender, &QPushButton::clicked, this, [this] { KalenderOeffnen(termine_->currentRow()); });
    auto* gTermine = new QGroupBox("Terminplanung", this);
    auto* lt = new QVBoxLayout(gTermine);
    lt->addWidget(termine_);
    auto* lk = new QHBoxLayout;
    lk->addStretch();
    lk->addWidget(kalender);
    lt->addLayout(lk);

    auto* knoepfe = new QDialogButtonBox(this);
    knoepfe->addButton("OK", QDialogButtonBox::AcceptRole);
    knoepfe->addButton("Abbrechen", QDialogButtonBox::RejectRole);
    connect(knoepfe, &QDialogButtonBox::accepted, this, [this] {
        if (Speichern()) accept();
    });
    connect(knoepfe, &QDialogButtonBox::rejected, this, [this] { QDialog::reject(); });

    auto* links = new QVBoxLayout;
    links->addWidget(gVorhaben);
    links->addWidget(gBauherr);
    links->addLayout(auftrag);
    links->addStretch();
    auto* spalten = new QHBoxLayout;
    spalten->addLayout(links);
    spalten->addWidget(gTermine);
    auto* lay = new QVBoxLayout(this);
    lay->addLayout(spalten);
    lay->addWidget(knoepfe);
    help::InstallHelpKey(this, "Projektdaten");
}

ProjektDatenMaske::~ProjektDatenMaske() = default;

QLineEdit* ProjektDatenMaske::Feld(int k) const {
    for (const Eingabe& e : edits_)
        if (e.feld == k) return e.edit;
    return nullptr;
}

QString ProjektDatenMaske::Wert(int zeile) const {
    const QTableWidgetItem* i = termine_->item(zeile, 1);
    return i ? i->text() : QString();
}

bool ProjektDatenMaske::KalenderOeffnen(int zeile) {
    if (!kalender_ || zeile < 0 || zeile >= int(zeilen_.size()) || zeilen_[size_t(zeile)].feld == BvNrFeld)
        return false;
    termine_->setCurrentCell(zeile, 1);
    return kalender_->Oeffnen(*termine_, 1);
}

bool ProjektDatenMaske::Geaendert() const {
    for (const Eingabe& e : edits_)
        if (e.edit->text().trimmed() != e.geladen) return true;
    for (int z = 0; z < int(zeilen_.size()); ++z)
        if (Wert(z).trimmed() != zeilen_[size_t(z)].geladen) return true;
    return false;
}

void ProjektDatenMaske::reject() {
    // A cell still being edited hands its text to the grid first, so its edit counts.
    if (termine_->currentColumn() == 1) termine_->setCurrentCell(termine_->currentRow(), 0);
    if (Geaendert() && !AenderungenKlaeren(this, ProjektdatenGeaendert, [this] { return Speichern(); }))
        return;
    QDialog::reject();
}

bool ProjektDatenMaske::Speichern() {
    // A cell still being edited hands its text to the grid when the current cell moves.
    if (termine_->currentColumn() == 1) termine_->setCurrentCell(termine_->currentRow(), 0);
    auto ablehnen = [this](const QString& bezeichnung, const QString& grund, QWidget* ziel, int zeile) {
        MsgBox(this, bezeichnung + ":\n" + grund, MsgButtons::OK, MsgIcon::Exclamation);
        if (zeile >= 0) termine_->setCurrentCell(zeile, 1);
        ziel->setFocus();
        return false;
    };
    // Only what was changed here is written: another clerk may have saved other fields of the same project
    // since this mask read the file, and those stay.
    std::vector<std::pair<int, QString>> werte;
    for (size_t i = 0; i < edits_.size(); ++i) {
        const Eingabe& e = edits_[i];
        const QString t = e.edit->text().trimmed();
        const QString grund = ProdatFeldFehler(t);
        if (!grund.isEmpty()) return ablehnen(QString::fromUtf8(Zeilenfelder[i].second), grund, e.edit, -1);
        if (t != e.geladen) werte.push_back({e.feld, t});
    }
    std::vector<QString> termine;
    for (int z = 0; z < int(zeilen_.size()); ++z) {
        const Zeile& zeile = zeilen_[size_t(z)];
        QString t = Wert(z).trimmed();
        // A date typed by hand is stored as dd.MM.yyyy; what the file held before is kept as it was.
        if (zeile.feld != BvNrFeld && t != zeile.geladen) {
            const auto datum = AlsDatum(t);
            if (!datum) return ablehnen(zeile.bezeichnung, forms::KeinDatumMeldung(t), termine_, z);
            t = *datum;
        }
        const QString grund = ProdatFeldFehler(t);
        if (!grund.isEmpty()) return ablehnen(zeile.bezeichnung, grund, termine_, z);
        if (t != zeile.geladen) werte.push_back({zeile.feld, t});
        termine.push_back(t);
    }
    QString fehler;
    if (!werte.empty() && !SchreibeProdatFelder(pfad_, werte, &fehler)) {
        MsgBox(this, fehler, MsgButtons::OK, MsgIcon::Critical);
        return false;
    }
    for (Eingabe& e : edits_)
        e.geladen = e.edit->text().trimmed();
    for (int z = 0; z < int(zeilen_.size()); ++z) {
        zeilen_[size_t(z)].geladen = termine[size_t(z)];
        termine_->item(z, 1)->setText(termine[size_t(z)]);
    }
    return true;
}

} // namespace velu::outside
