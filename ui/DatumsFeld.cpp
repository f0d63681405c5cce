#include "ui/DatumsFeld.h"

#include "core/MoneyFormat.h"
#include "platform/forms/Eingabemeldungen.h"
#include "platform/forms/MessageBox.h"

#include <QAction>
#include <QCalendarWidget>
#include <QStyle>

namespace velu {

DatumsFeld::DatumsFeld(QWidget* parent) : QLineEdit(parent) {
    // No length limit: a date typed in front of the old one must reach the check and be refused there,
    // not be cut off silently while the old date stays.
    setPlaceholderText(QStringLiteral("TT.MM.JJJJ"));
    QAction* knopf = addAction(style()->standardIcon(QStyle::SP_ArrowDown), QLineEdit::TrailingPosition);
    knopf->setObjectName(QStringLiteral("Kalender"));
    knopf->setToolTip(QStringLiteral("Kalender"));
    connect(knopf, &QAction::triggered, this, &DatumsFeld::kalenderOeffnen);
}

void DatumsFeld::setDate(const QDate& d) {
    datum_ = d;
    setText(d.isValid() ? d.toString(QStringLiteral("dd.MM.yyyy")) : QString());
}

std::optional<QDate> DatumsFeld::Gelesen() const {
    const auto iso = ParseDatum(text().toStdString());
    if (!iso) return std::nullopt;
    return QDate::fromString(QString::fromStdString(*iso), Qt::ISODate);
}

bool DatumsFeld::Uebernehmen(QWidget* form, const QString& bezeichnung) {
    if (const auto d = Gelesen()) {
        setDate(*d);
        return true;
    }
    forms::MsgBox(form, bezeichnung + QStringLiteral(":\n") + forms::KeinDatumMeldung(text().trimmed()),
                  forms::MsgButtons::OK, forms::MsgIcon::Exclamation);
    // Back to the form for the correction, also where no window manager reactivates it after the message.
    window()->activateWindow();
    setFocus();
    return false;
}

QCalendarWidget* DatumsFeld::Kalender() {
    if (!kalender_) {
        kalender_ = new QCalendarWidget(this);
        kalender_->setObjectName(QStringLiteral("DatumsFeldKalender"));
        kalender_->setWindowFlags(Qt::Popup);
        kalender_->setGridVisible(true);
        kalender_->setLocale(QLocale(QLocale::German, QLocale::Germany));
        connect(kalender_, &QCalendarWidget::clicked, this, [this](QDate d) {
            kalender_->hide();
            setText(d.toString(QStringLiteral("dd.MM.yyyy")));
            // A chosen date counts as typed: the form takes it over like one.
            emit textEdited(text());
            setFocus();
        });
    }
    return kalender_;
}

void DatumsFeld::kalenderOeffnen() {
    QCalendarWidget* k = Kalender();
    const auto d = Gelesen();
    k->setSelectedDate(d ? *d : (datum_.isValid() ? datum_ : QDate::currentDate()));
    k->adjustSize();
    k->move(mapToGlobal(QPoint(0, height())));
    k->show();
    k->setFocus();
}

} // namespace velu
