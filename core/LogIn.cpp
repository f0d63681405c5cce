#include "core/LogIn.h"

#include "core/Benutzer.h"
#include "core/Zugangsrechte.h"
#include "platform/db/DbError.h"
#include "platform/forms/MessageBox.h"
#include "platform/forms/ToolBand.h"
#include "platform/forms/WindowPos.h"

#include <QApplication>
#include <QGridLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QToolBar>
#include <QVBoxLayout>

namespace velu {

std::optional<LoginResult> PruefeLogin(db::Database& stammDB, bool mitBenutzer, bool mitPasswort,
                                       const QString& name, const QString& passwort) {
    const QString benutzer = mitBenutzer ? name : SupervisorName;
    if (benutzer.isEmpty()) return std::nullopt;
    int32_t rechte = 0;
    std::string gespeichert;
    if (!GetAkPasswort(stammDB, benutzer, rechte, gespeichert)) return std::nullopt;
    bool alt = false;
    if (mitPasswort) {
        if (!PasswortPasst(gespeichert, passwort)) return std::nullopt;
        alt = ArtDesPassworts(gespeichert) == PasswortArt::Alt;
    }
    return LoginResult{benutzer, rechte, alt};
}

LogIn::LogIn(db::Database& stammDB, settings::SettingsStore* fensterPos, QWidget* parent)
    : QDialog(parent), stammDB_(stammDB), fensterPos_(fensterPos), piepen_([] { QApplication::beep(); }),
      passwortAendern_([this](const LoginResult& r) {
          // Not logged in yet: the dialog offers the user's own password only, not the users and rights.
          Zugangsrechte dialog(stammDB_, r.benutzer, 0, this);
          dialog.exec();
      }) {
    setObjectName("LogIn");
    setWindowTitle("Benutzer Login Velunta 4.0");

    toolband_ = new forms::ToolBand(this);
    toolband_->AddBand("Band1", forms::ToolBand::BandKind::ToolBar);
    toolband_->AddTools({{"Band1", "OK", "OK"}, {"Band1", "EXIT", "&Programm verlassen"}});
    toolband_->SetHandler([this](const QString& key) { ToolClick(key); });

    auto* felder = new QGridLayout;
    const char* texte[2] = {"Benutzer", "Passwort"};
    for (int i = 0; i < 2; ++i) {
        label_[size_t(i)] = new QLabel(texte[i], this);
        label_[size_t(i)]->setObjectName(QString("Label1_%1").arg(i));
        feld_[size_t(i)] = new QLineEdit(this);
        feld_[size_t(i)]->setObjectName(QString("XtraText1_%1").arg(i));
        feld_[size_t(i)]->installEventFilter(this);
        felder->addWidget(label_[size_t(i)], i, 0);
        felder->addWidget(feld_[size_t(i)], i, 1);
    }
    feld_[0]->setMaxLength(30);
    feld_[1]->setEchoMode(QLineEdit::Password);
    setTabOrder(feld_[0], feld_[1]);

    auto* haupt = new QVBoxLayout(this);
    haupt->setMenuBar(toolband_->ToolBar("Band1"));
    haupt->addLayout(felder);
    // The title bar is drawn in about the application's font; room for the title, the window icon and the
    // frame's buttons, so the caption is never cut however small the fields leave the dialog.
    setMinimumWidth(fontMetrics().horizontalAdvance(windowTitle()) + 160);
    if (fensterPos_) forms::LoadWindowPos(*this, *fensterPos_);
}

void LogIn::done(int result) {
    if (fensterPos_) forms::SaveWindowPos(*this, *fensterPos_);
    QDialog::done(result);
}

void LogIn::MakeConections(bool mitBenutzer, bool mitPasswort) {
    mitBenutzer_ = mitBenutzer;
    mitPasswort_ = mitPasswort;
    label_[1]->setVisible(mitPasswort);
    feld_[1]->setVisible(mitPasswort);
    if (!mitBenutzer) feld_[0]->setText(SupervisorName);
    feld_[0]->setFocusPolicy(mitBenutzer ? Qt::StrongFocus : Qt::ClickFocus);
    (mitBenutzer || !mitPasswort ? feld_[0] : feld_[1])->setFocus();
}

void LogIn::IsOK(bool& ok) {
    ergebnis_ = PruefeLogin(stammDB_, mitBenutzer_, mitPasswort_, feld_[0]->text(), feld_[1]->text());
    ok = ergebnis_.has_value();
}

void LogIn::ToolClick(const QString& key) {
    if (key == "OK") {
        bool ok = false;
        bool unbekannt = false;
        try {
            IsOK(ok);
            if (ok && ergebnis_->altesPasswort) {
                ok = NeuesPasswortGesetzt(*ergebnis_);
                if (!ok) {
                    ergebnis_.reset();
                    forms::MsgBox(this, MeldungNeuesPasswort, forms::MsgButtons::OK,
                                  forms::MsgIcon::Exclamation, windowTitle());
                    return;
                }
                ergebnis_->altesPasswort = false;
            }
            unbekannt = !ok && UnbekannterBenutzer();
        } catch (const db::DbError& e) {
            ergebnis_.reset();
            forms::MsgBox(this, MeldungBenutzerUnlesbar + "\n" + QString::fromUtf8(e.what()),
                          forms::MsgButtons::OK, forms::MsgIcon::Critical, windowTitle());
            return;
        }
        if (!ok) {
            if (unbekannt) {
                forms::MsgBox(this, MeldungUnbekannt, forms::MsgButtons::OK, forms::MsgIcon::Exclamation,
                              windowTitle());
                feld_[0]->setFocus();
                feld_[0]->selectAll();
            } else {
                piepen_();
            }
            return;
        }
        toolband_->SetTag("X");
        accept();
    } else if (key == "EXIT") {
        ergebnis_.reset();
        toolband_->SetTag(QString());
        reject();
    }
}

bool LogIn::NeuesPasswortGesetzt(const LoginResult& r) {
    passwortAendern_(r);
    int32_t rechte = 0;
    std::string gespeichert;
    return GetAkPasswort(stammDB_, r.benutzer, rechte, gespeichert) &&
           ArtDesPassworts(gespeichert) != PasswortArt::Alt;
}

bool LogIn::UnbekannterBenutzer() {
    const QString name = feld_[0]->text();
    if (!mitBenutzer_ || name.isEmpty()) return false;
    int32_t rechte = 0;
    std::string gespeichert;
    return !GetAkPasswort(stammDB_, name, rechte, gespeichert);
}

void LogIn::EnterIn(int feld) {
    const int anderes = 1 - feld;
    const bool weiter =
        feld == 0 ? feld_[1]->text().isEmpty() && mitPasswort_ : feld_[0]->text().isEmpty() && mitBenutzer_;
    if (weiter)
        feld_[size_t(anderes)]->setFocus();
    else
        ToolClick("OK");
}

bool LogIn::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            for (int i = 0; i < 2; ++i)
                if (watched == feld_[size_t(i)]) {
                    EnterIn(i);
                    return true;
                }
        }
    }
    return QDialog::eventFilter(watched, event);
}

std::optional<LoginResult> RunLogin(db::Database& stammDB, QWidget* parent, bool mitBenutzer,
                                    bool mitPasswort, settings::SettingsStore* fensterPos) {
    LogIn dialog(stammDB, fensterPos, parent);
    dialog.MakeConections(mitBenutzer, mitPasswort);
    if (dialog.exec() != QDialog::Accepted) return std::nullopt;
    return dialog.Ergebnis();
}

} // namespace velu
