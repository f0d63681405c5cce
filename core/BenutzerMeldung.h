#pragma once
// How the users, rights and login dialogs ask, tell and beep. Tests replace the functions to script the
// answers; the standard ones use QMessageBox with German buttons.
#include <QMessageBox>
#include <QString>

#include <functional>

class QWidget;

namespace velu {

struct BenutzerMeldung {
    // A message with one OK button.
    std::function<void(QWidget* parent, QMessageBox::Icon icon, const QString& titel, const QString& text)>
        melden;
    // A Yes/No question with the question icon; neinVorgabe makes No the default. True for Yes.
    std::function<bool(QWidget* parent, const QString& titel, const QString& text, bool neinVorgabe)> fragen;
    std::function<void()> piepen;

    static BenutzerMeldung Standard();
};

// The title of a message box that names no title of its own: the program's name.
QString StandardTitel();

} // namespace velu
