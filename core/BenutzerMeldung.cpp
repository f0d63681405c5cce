#include "core/BenutzerMeldung.h"

#include <QApplication>
#include <QPushButton>

namespace velu {

QString StandardTitel() {
    return QCoreApplication::applicationName();
}

BenutzerMeldung BenutzerMeldung::Standard() {
    BenutzerMeldung m;
    m.melden = [](QWidget* parent, QMessageBox::Icon icon, const QString& titel, const QString& text) {
        QMessageBox box(icon, titel, text, QMessageBox::NoButton, parent);
        box.addButton(QStringLiteral("OK"), QMessageBox::AcceptRole);
        box.exec();
    };
    m.fragen = [](QWidget* parent, const QString& titel, const QString& text, bool neinVorgabe) {
        QMessageBox box(QMessageBox::Question, titel, text, QMessageBox::NoButton, parent);
        QPushButton* ja = box.addButton(QStringLiteral("&Ja"), QMessageBox::YesRole);
        QPushButton* nein = box.addButton(QStringLiteral("&Nein"), QMessageBox::NoRole);
        box.setDefaultButton(neinVorgabe ? nein : ja);
        box.setEscapeButton(nein);
        box.exec();
        return box.clickedButton() == ja;
    };
    m.piepen = [] { QApplication::beep(); };
    return m;
}

} // namespace velu
