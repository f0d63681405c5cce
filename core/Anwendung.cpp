#include "core/Anwendung.h"

#include "platform/forms/EinzeiligeFelder.h"
#include "platform/forms/MessageBox.h"

#include <cstdio>
#include <exception>

namespace velu {

namespace {

void Melden(const QString& ursache) {
    // An error while the message itself is shown (its own events pass here too) is not shown again.
    static bool meldet = false;
    const QString text = Anwendung::Fehlertext(ursache);
    if (meldet) {
        std::fprintf(stderr, "Velunta32: %s\n", text.toLocal8Bit().constData());
        return;
    }
    meldet = true;
    try {
        QWidget* owner = QApplication::activeModalWidget();
        if (!owner) owner = QApplication::activeWindow();
        forms::MsgBox(owner, text, forms::MsgButtons::OK, forms::MsgIcon::Critical);
    } catch (...) {
        std::fprintf(stderr, "Velunta32: %s\n", text.toLocal8Bit().constData());
    }
    meldet = false;
}

} // namespace

Anwendung::Anwendung(int& argc, char** argv) : QApplication(argc, argv) {
    forms::EinzeiligeFelderEinrichten();
}

QString Anwendung::Fehlertext(const QString& ursache) {
    return QStringLiteral("Es ist ein Fehler aufgetreten: ") + ursache;
}

bool Anwendung::notify(QObject* receiver, QEvent* event) {
    try {
        return QApplication::notify(receiver, event);
    } catch (const std::exception& e) {
        Melden(QString::fromUtf8(e.what()));
    } catch (...) {
        Melden(QStringLiteral("unbekannte Ursache"));
    }
    return false;
}

} // namespace velu
