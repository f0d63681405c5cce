#pragma once
// The login at start: user name and password checked against the users of the master database.
//
// Start-up calls RunLogin when IsMitBenutzer or IsMitPasswort says so; nullopt (the user chose
// "&Programm verlassen" or closed the dialog) ends the program.
//
// Controls (objectName): dialog "LogIn", fields "XtraText1_0" (user) and "XtraText1_1" (password), labels
// "Label1_0" and "Label1_1", tool band "ActiveBar1" (band "Band1") with the tools "OK" and "EXIT".
#include "platform/db/Database.h"

#include <QDialog>

#include <array>
#include <functional>
#include <optional>

namespace velu::forms {
class ToolBand;
}
namespace velu::settings {
class SettingsStore;
}

class QLabel;
class QLineEdit;

namespace velu {

// Shown when the typed user name is not in the users table; a wrong password only beeps.
inline const QString MeldungUnbekannt = QStringLiteral("Der Benutzer ist nicht bekannt.");

// Shown when a login through an old scrambled password ends without a new password.
inline const QString MeldungNeuesPasswort =
    QStringLiteral("Das Passwort ist noch in der alten Form gespeichert und muss durch ein neues ersetzt "
                   "werden.\nOhne neues Passwort ist keine Anmeldung möglich.");

struct LoginResult {
    QString benutzer; // as typed, not as the users table spells it
    int32_t rechte = 0;
    // The password matched only the old scramble, which look-alikes match too: a new one must be set
    // before the login counts. Nothing was stored.
    bool altesPasswort = false;
};

// The check of the login: the user (name compared without regard to case; "SUPERVISOR" when users are off)
// must exist, and with passwords on the password must match. Stores nothing. nullopt when the login fails.
// Throws db::DbError when the users table cannot be read.
std::optional<LoginResult> PruefeLogin(db::Database& stammDB, bool mitBenutzer, bool mitPasswort,
                                       const QString& name, const QString& passwort);

class LogIn : public QDialog {
    Q_OBJECT
public:
    // With a settings store the dialog restores its window position when built and saves it when it ends.
    explicit LogIn(db::Database& stammDB, settings::SettingsStore* fensterPos = nullptr,
                   QWidget* parent = nullptr);

    void MakeConections(bool mitBenutzer, bool mitPasswort);
    // Checks the entry; on success Ergebnis() holds user and rights.
    void IsOK(bool& ok);
    void ToolClick(const QString& key);
    const std::optional<LoginResult>& Ergebnis() const { return ergebnis_; }
    // What a failed check does (a beep); tests count it.
    void SetPiepen(std::function<void()> piepen) { piepen_ = std::move(piepen); }
    // Asks the user who logged in through an old scrambled password for a new one: by default the dialog
    // "Zugangsrechte" on its tab "Passwort ändern"; tests replace it.
    using PasswortAendern = std::function<void(const LoginResult&)>;
    void SetPasswortAendern(PasswortAendern aendern) { passwortAendern_ = std::move(aendern); }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void done(int result) override;

private:
    void EnterIn(int feld);
    // After a login through the old scramble: true once a new password is stored.
    bool NeuesPasswortGesetzt(const LoginResult& r);
    // Whether the typed user name names no user (with users in use).
    bool UnbekannterBenutzer();

    db::Database& stammDB_;
    settings::SettingsStore* fensterPos_;
    std::function<void()> piepen_;
    PasswortAendern passwortAendern_;
    std::array<QLineEdit*, 2> feld_{};
    std::array<QLabel*, 2> label_{};
    forms::ToolBand* toolband_ = nullptr; // its tag is the acceptance marker: "X" after a login
    bool mitBenutzer_ = true;
    bool mitPasswort_ = true;
    std::optional<LoginResult> ergebnis_;
};

// Shows the login modally; user and rights on success, nullopt when the user left without logging in.
std::optional<LoginResult> RunLogin(db::Database& stammDB, QWidget* parent, bool mitBenutzer,
                                    bool mitPasswort, settings::SettingsStore* fensterPos = nullptr);

} // namespace velu
