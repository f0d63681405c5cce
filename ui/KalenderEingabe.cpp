#include "ui/KalenderEingabe.h"

#include "core/MoneyFormat.h"

#include <QCalendarWidget>
#include <QKeyEvent>
#include <QLineEdit>
#include <QTableView>

namespace velu {

KalenderEingabe::KalenderEingabe(QCalendarWidget* kalender)
    : QObject(kalender), kalender_(kalender), zeile_(new QLineEdit(kalender)) {
    kalender_->setDateEditEnabled(false);
    zeile_->setObjectName(QStringLiteral("KalenderEingabe"));
    zeile_->setPlaceholderText(QStringLiteral("TT.MM.JJJJ"));
    zeile_->hide();
    kalender_->installEventFilter(this);
    if (auto* view = kalender_->findChild<QTableView*>()) view->installEventFilter(this);
    zeile_->installEventFilter(this);
}

std::optional<QDate> KalenderEingabe::AlsDatum(const QString& text) {
    const auto iso = ParseDatum(text.trimmed().toStdString());
    if (!iso) return std::nullopt;
    return QDate::fromString(QString::fromStdString(*iso), Qt::ISODate);
}

void KalenderEingabe::Leeren() {
    if (zeile_->hasFocus()) kalender_->setFocus();
    zeile_->clear();
    zeile_->hide();
}

void KalenderEingabe::Korrigieren() {
    zeile_->show();
    zeile_->setFocus();
    zeile_->selectAll();
}

bool KalenderEingabe::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() != QEvent::KeyPress) return QObject::eventFilter(watched, event);
    auto* key = static_cast<QKeyEvent*>(event);
    const bool getippt = zeile_->isVisible();
    if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) {
        emit Enter(getippt ? zeile_->text() : QString());
        return true;
    }
    if (key->key() == Qt::Key_Escape) {
        emit Escape();
        return true;
    }
    if (watched == zeile_ || getippt) return false;
    // The first printable key opens the line; the arrows and page keys still move through the calendar.
    const QString text = key->text();
    if (text.isEmpty() || !text.at(0).isPrint() || text.at(0).isSpace()) return false;
    const int hoehe = zeile_->sizeHint().height();
    zeile_->setGeometry(0, kalender_->height() - hoehe, kalender_->width(), hoehe);
    zeile_->setText(text);
    zeile_->show();
    zeile_->raise();
    zeile_->setFocus();
    return true;
}

} // namespace velu
