#include "core/Zugangsrechte.h"

#include "core/Benutzer.h"
#include "platform/forms/MessageBox.h"
#include "platform/forms/ToolBand.h"
#include "platform/help/Hilfe.h"

#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QSignalBlocker>
#include <QStringList>
#include <QTabWidget>
#include <QToolBar>
#include <QVBoxLayout>

namespace velu {

namespace {

const std::array<const char*, RechteBits> RechteTexte = {
    "Projekte erstellen / ändern / anwählen",
    "Projektdaten erstellen / ändern",
    "Rechnungen erstellen / ändern",
    "Projektaufwand erfassen",
    "Serienbriefschreibung / Adressdatenbank",
    "Textvorlagen erstellen / ändern",
    "Datenbankreorganisation",
    "Leistungsbilder erstellen / ändern",
    "Honorartafeln erstellen / ändern",
    "Benutzerrechte vergeben / ändern",
    "Grundleistungen erfassen",
    "Druckausgaben",
    "Mitarbeiter anlegen",
};

// The rights of a mask by name, as the grid shows them.
QString RechteNamen(int64_t rechte) {
    if ((rechte & AlleRechte) == AlleRechte) return QStringLiteral("alle");
    QStringList namen;
    for (int k = 0; k < RechteBits; ++k)
        if ((rechte >> k) & 1) namen << QString::fromUtf8(RechteTexte[size_t(k)]);
    return namen.isEmpty() ? QStringLiteral("keine") : namen.join(QStringLiteral("; "));
}

// A name typed into the grid that another row already has.
const QString SchonAngelegt = QStringLiteral("Dieser Benutzer ist schon angelegt");
// The table itself refused the name as a duplicate key (a user added elsewhere meanwhile).
const QString DoppelterBenutzer = QStringLiteral("Dieser Benutzer wunde schon erfasst.") + QChar('\n') +
                                  QStringLiteral("Benutzereintrag nicht gespeichert");

bool DoppelterSchluessel(const db::DbError& e) {
    return (e.code() & 0xff) == 19; // SQLITE_CONSTRAINT: only the unique user name can be violated here
}

// The title of a box that names none of its own: the program's name.
QString StandardTitel() {
    return QApplication::applicationDisplayName();
}

// A Yes/No question; neinVorgabe makes No the default.
bool Ja(QWidget* owner, const QString& text, const QString& titel, bool neinVorgabe) {
    return forms::MsgBox(owner, text, forms::MsgButtons::YesNo, forms::MsgIcon::Question, titel,
                         neinVorgabe ? 1 : 0) == forms::MsgResult::Yes;
}

} // namespace

Zugangsrechte::Zugangsrechte(db::Database& stammDB, const QString& aktBenutzer, int32_t aktRechte,
                             QWidget* parent)
    : QDialog(parent), stammDB_(stammDB), aktBenutzer_(aktBenutzer), aktRechte_(aktRechte) {
    setObjectName("Zugangsrechte");
    setWindowTitle("Zugangsrechte");

    const int16_t mp = IsMitPasswort(stammDB_);

    toolband_ = new forms::ToolBand(this);
    toolband_->AddBand("Band1", forms::ToolBand::BandKind::ToolBar);
    toolband_->AddTool({"Band1", "OK", "OK"});
    toolband_->SetHandler([this](const QString& key) { ToolClick(key); });

    tab_ = new QTabWidget(this);
    tab_->setObjectName("SSTab1");

    // Tab "Passwort ändern"
    auto* seite1 = new QWidget(tab_);
    auto* l1 = new QVBoxLayout(seite1);
    benutzerLabel_ = new QLabel(aktBenutzer_, seite1);
    benutzerLabel_->setObjectName("Label1");
    l1->addWidget(benutzerLabel_);
    for (int i = 0; i < 2; ++i) {
        l1->addWidget(new QLabel(i == 0 ? "Neues Passwort" : "Passwort bestätigen", seite1));
        passwort_[size_t(i)] = new QLineEdit(seite1);
        passwort_[size_t(i)]->setObjectName(QString("XtraText1_%1").arg(i));
        passwort_[size_t(i)]->setEchoMode(QLineEdit::Password);
        connect(passwort_[size_t(i)], &QLineEdit::textChanged, this, [this] { passwortGeaendert_ = true; });
        l1->addWidget(passwort_[size_t(i)]);
    }
    mitPasswortschutz_ = new QCheckBox("mit Passwortschutz", seite1);
    mitPasswortschutz_->setObjectName("Check2");
    mitPasswortschutz_->setChecked(mp == -1);
    mitPasswortschutz_->setVisible(IstSupervisor(aktBenutzer_));
    l1->addWidget(mitPasswortschutz_);
    l1->addStretch();
    tab_->addTab(seite1, "Passwort ändern");

    // Tab "Zugangsrechte"
    auto* seite2 = new QWidget(tab_);
    auto* l2 = new QHBoxLayout(seite2);
    grid_ = new forms::BoundGridView(seite2);
    grid_->setObjectName("SSDBGrid1");
    l2->addWidget(grid_, 1);
    frame1_ = new QGroupBox(seite2);
    frame1_->setObjectName("Frame1");
    auto* l3 = new QVBoxLayout(frame1_);
    for (int k = 0; k < RechteBits; ++k) {
        auto* box = new QCheckBox(QString::fromUtf8(RechteTexte[size_t(k)]), frame1_);
        box->setObjectName(QString("Check1_%1").arg(k));
        connect(box, &QCheckBox::clicked, this, [this] { rechteGeaendert_ = true; });
        check1_[size_t(k)] = box;
        l3->addWidget(box);
    }
    l2->addWidget(frame1_);
    tab_->addTab(seite2, "Zugangsrechte");
    tab_->setTabVisible(RechteTab, (aktRechte_ & (1 << 9)) != 0);

    auto* haupt = new QVBoxLayout(this);
    haupt->setMenuBar(toolband_->ToolBar("Band1"));
    haupt->addWidget(tab_);

    std::vector<forms::BoundColumn> spalten(3);
    spalten[0].field = "Benutzername";
    spalten[0].caption = "Benutzername";
    spalten[0].maxLength = 30;
    // User names are kept in capitals.
    spalten[0].lesen = [](const QString& text) -> std::optional<db::Value> {
        return db::Value(text.toUpper().toStdString());
    };
    spalten[1] = forms::FlagSpalte("OhnePasswort", "OhnePasswort");
    spalten[2].field = "Rechte";
    spalten[2].caption = "Rechte";
    spalten[2].art = forms::BoundColumn::Art::Ganzzahl;
    spalten[2].anzeigen = [](const db::Value& v) -> QVariant {
        const auto* i = std::get_if<int64_t>(&v);
        return i ? RechteNamen(*i) : QString();
    };
    spalten[2].readOnly = true;
    model_ = std::make_unique<forms::BoundGridModel>(
        stammDB_.OpenRecordset("SELECT * FROM Zugriff ORDER BY Benutzername COLLATE NOCASE"),
        std::move(spalten));
    model_->SetLoeschfrage(false);

    forms::BoundGridModel::Callbacks cb;
    cb.schluesselFuellen = [](db::Recordset& rs, bool neu) {
        if (!neu) return;
        if (rs.IsNull("Passwort")) rs.Set("Passwort", std::string(KeinPasswortMarke));
        if (rs.IsNull("Rechte")) rs.Set("Rechte", int64_t{0});
        if (rs.IsNull("OhnePasswort")) rs.Set("OhnePasswort", db::False);
    };
    cb.zeilePruefen = [this](int row) -> std::optional<QString> {
        const QString name = Name(row).trimmed();
        if (name.isEmpty())
            return QStringLiteral("Bitte einen Benutzernamen eingeben.") + QChar('\n') +
                   QStringLiteral("Benutzereintrag nicht gespeichert");
        for (int r = 0; r < model_->StoredRows(); ++r)
            if (r != row && GleicherBenutzer(Name(r).trimmed(), name)) return SchonAngelegt;
        return std::nullopt;
    };
    cb.zeileAenderbar = [this](int row) { return !IstSupervisor(Name(row)); };
    cb.vorLoeschen = [this](int row) {
        if (GleicherBenutzer(Name(row), aktBenutzer_)) {
            forms::MsgCritical(this, "Sie können sich nicht selbst löschen");
            return false;
        }
        return true;
    };
    cb.melden = [this](const QString& text) {
        forms::MsgCritical(this, text,
                           text == DoppelterBenutzer ? windowTitle()
                           : text == SchonAngelegt   ? StandardTitel()
                                                     : QString());
    };
    cb.fragen = [this](const QString& text) { return Ja(this, text, {}, true); };
    cb.speicherFehler = [](const db::DbError& e) {
        return DoppelterSchluessel(e) ? DoppelterBenutzer
                                      : QStringLiteral("Der Benutzereintrag wurde nicht gespeichert.") +
                                            QChar('\n') + QString::fromUtf8(e.what());
    };
    cb.nachEingabe = [this](int, int) { zeileGeaendert_ = true; };
    model_->SetCallbacks(std::move(cb));

    grid_->SetBoundModel(model_.get());
    // The named rights are long: one line per user, the column takes the room the others leave.
    grid_->setWordWrap(false);
    grid_->setMinimumWidth(440);
    grid_->horizontalHeader()->setSectionResizeMode(0, QHeaderView::ResizeToContents);
    grid_->horizontalHeader()->setSectionResizeMode(1, QHeaderView::ResizeToContents);
    grid_->horizontalHeader()->setStretchLastSection(true);
    connect(grid_, &forms::BoundGridView::zeileVerlassen, this, [this](int row) {
        if (rechteGeaendert_) SetRechte(row);
    });
    connect(grid_, &forms::BoundGridView::zeileAktuell, this, &Zugangsrechte::ZeileAktuell);
    connect(tab_, &QTabWidget::currentChanged, this, &Zugangsrechte::TabGewechselt);

    grid_->SetCurrentRow(0);
    if (grid_->CurrentRow() < 0) ZeileAktuell(-1);
    help::InstallHelpKey(this, "Zugangsrechte");
}

Zugangsrechte::~Zugangsrechte() = default;

QString Zugangsrechte::Name(int row) const {
    const db::Value v = model_->Value(row, "Benutzername");
    const auto* s = std::get_if<std::string>(&v);
    return s ? QString::fromStdString(*s) : QString();
}

void Zugangsrechte::ZeileAktuell(int row) {
    int16_t grau = 0;
    if (row >= 0 && !model_->IsNewRowLine(row) && IstSupervisor(Name(row))) {
        frame1_->setEnabled(false);
        grid_->SetAllowDelete(false);
        grau = 1;
    } else {
        frame1_->setEnabled(true);
        grid_->SetAllowDelete(true);
    }
    SetOptions(grau);
    zeileGeaendert_ = false;
}

void Zugangsrechte::SetOptions(int16_t& grau) {
    const int row = grid_->CurrentRow();
    int64_t rechte = 0;
    if (row >= 0 && !model_->IsNewRowLine(row)) {
        const db::Value v = model_->Value(row, "Rechte");
        if (const auto* i = std::get_if<int64_t>(&v)) rechte = *i;
    }
    for (int k = 0; k < RechteBits; ++k) {
        QCheckBox* box = check1_[size_t(k)];
        const int wert = ((rechte >> k) & 1) + grau; // 0 clear, 1 ticked, 2 greyed
        box->setTristate(wert == 2);
        box->setCheckState(wert == 0 ? Qt::Unchecked : wert == 1 ? Qt::Checked : Qt::PartiallyChecked);
    }
    rechteGeaendert_ = false;
}

void Zugangsrechte::Getoptions(int row, int32_t& rechte) const {
    if (IstSupervisor(Name(row))) {
        rechte = AlleRechte;
        return;
    }
    rechte = 0;
    for (int k = 0; k < RechteBits; ++k)
        if (check1_[size_t(k)]->checkState() == Qt::Checked) rechte |= int32_t(1) << k;
}

void Zugangsrechte::SetRechte(int row) {
    rechteGeaendert_ = false;
    // Store what is typed in the row first, so that a new row exists and a renamed one keeps its rights.
    if (!model_->Commit() || row < 0 || row >= model_->StoredRows()) return;
    int32_t rechte = 0;
    Getoptions(row, rechte);
    model_->SetValue(row, "Rechte", int64_t(rechte));
    model_->Commit();
}

void Zugangsrechte::TabGewechselt() {
    if (zeileGeaendert_) {
        grid_->Commit();
        zeileGeaendert_ = false;
    }
    if (rechteGeaendert_) SetRechte(grid_->CurrentRow());
}

void Zugangsrechte::PasswortFelderLeeren() {
    for (QLineEdit* f : passwort_) {
        const QSignalBlocker block(f);
        f->clear();
    }
}

void Zugangsrechte::CheckPasswortEingabe(bool& ok) {
    const QString neu = passwort_[0]->text();
    const QString best = passwort_[1]->text();
    if (neu.isEmpty() && best.isEmpty() &&
        Ja(this, "Soll wirklich ohne Passwort gearbeitet werden", {}, true)) {
        ok = true;
        return;
    }
    if (neu.size() < 4) {
        forms::MsgBox(this, " Das Passwort sollte mindestens 4 Zeichen lang sein", forms::MsgButtons::OK,
                      forms::MsgIcon::None, StandardTitel());
        ok = false;
    } else if (best == neu) {
        ok = true;
    } else if (best.isEmpty()) {
        forms::MsgCritical(this, "Es wurde das Passwort nicht bestätigt");
        ok = false;
    } else {
        forms::MsgCritical(this, "Es wurde das Passwort nicht richtig bestätigt");
        ok = false;
    }
}

void Zugangsrechte::PasswortSpeichern(bool fragen, bool& abbruch) {
    abbruch = false;
    if (!passwortGeaendert_) return;
    QString neu = passwort_[0]->text();
    if (!mitPasswortschutz_->isChecked()) {
        if (!neu.isEmpty()) {
            // A typed password is not turned into "none" behind the user's back.
            forms::MsgBox(this,
                          "Der Passwortschutz ist ausgeschaltet. Das neue Passwort wird nicht gespeichert.",
                          forms::MsgButtons::OK, forms::MsgIcon::Information);
            PasswortFelderLeeren();
            passwortGeaendert_ = false;
            return;
        }
    } else {
        if (fragen && !Ja(this, "Soll das neue Passwort gespeichert werden", StandardTitel(), false)) {
            passwortGeaendert_ = false;
            return;
        }
        bool ok = false;
        CheckPasswortEingabe(ok);
        if (!ok) {
            PasswortFelderLeeren();
            passwortGeaendert_ = false;
            abbruch = true;
            return;
        }
    }
    passwortGeaendert_ = false;
    if (SetNewPasswort(stammDB_, aktBenutzer_, neu) == 0)
        forms::MsgCritical(this, "Den Benutzer \"" + aktBenutzer_ +
                                     "\" gibt es nicht (mehr). Das Passwort wurde nicht gespeichert.");
    PasswortFelderLeeren();
}

void Zugangsrechte::MitPasswortSpeichern() {
    SetMitPasswort(stammDB_, mitPasswortschutz_->isChecked());
}

void Zugangsrechte::ToolClick(const QString& key) {
    if (key != "OK") return;
    try {
        Ok();
    } catch (const std::exception& e) {
        forms::MsgCritical(this, QString::fromUtf8(e.what()));
    }
}

void Zugangsrechte::Ok() {
    grid_->Commit();
    bool abbruch = false;
    PasswortSpeichern(true, abbruch);
    if (abbruch) return;
    if (rechteGeaendert_) SetRechte(grid_->CurrentRow());
    MitPasswortSpeichern();
    accept();
}

void Zugangsrechte::closeEvent(QCloseEvent* event) {
    try {
        Schliessen(event);
    } catch (const std::exception& e) {
        forms::MsgCritical(this, QString::fromUtf8(e.what()));
        event->accept();
    }
}

void Zugangsrechte::Schliessen(QCloseEvent* event) {
    grid_->Commit();
    bool abbruch = false;
    PasswortSpeichern(true, abbruch);
    if (abbruch) {
        event->ignore();
        return;
    }
    // Rights ticked in the current row are kept on this path too.
    if (rechteGeaendert_) SetRechte(grid_->CurrentRow());
    MitPasswortSpeichern();
    event->accept();
}

void Zugangsrechte::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Escape) {
        // Esc leaves the dialog the way the close box does.
        close();
        event->accept();
        return;
    }
    QDialog::keyPressEvent(event);
}

} // namespace velu
