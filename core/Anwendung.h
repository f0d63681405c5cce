#pragma once
// The program's application object: one barrier for exceptions that escape an event handler. Such an error
// is shown as "Es ist ein Fehler aufgetreten: <cause>" and the event loop goes on, instead of the exception
// reaching std::terminate. It also keeps line breaks out of every line edit
// (platform/forms/EinzeiligeFelder.h).
#include <QApplication>

namespace velu {

class Anwendung : public QApplication {
    Q_OBJECT
public:
    Anwendung(int& argc, char** argv);

    bool notify(QObject* receiver, QEvent* event) override;

    // The text the barrier shows for an error with this cause.
    static QString Fehlertext(const QString& ursache);
};

} // namespace velu
