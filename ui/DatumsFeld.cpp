#include "ui/DatumsFeld.h"

#include "platform/forms/Eingabemeldungen.h"
#include "platform/forms/MessageBox.h"
#include "ui/KalenderEingabe.h"

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
    return KalenderEingabe::AlsDatum(text());
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
        eingabe_ = new KalenderEingabe(kalender_);
        connect(kalender_, &QCalendarWidget::clicked, this,
                [this](QDate d) { ausKalender(d.toString(QStringLiteral("dd.MM.yyyy"))); });
        // A typed text is read whole, or refused, when the form takes the field over, as one typed there.
        connect(eingabe_, &KalenderEingabe::Enter, this, [this](const QString& getippt) {
            const QString t = getippt.trimmed();
            ausKalender(t.isEmpty() ? kalender_->selectedDate().toString(QStringLiteral("dd.MM.yyyy")) : t);
        });
        connect(eingabe_, &KalenderEingabe::Escape, this, [this] {
            kalender_->hide();
            setFocus();
        });
    }
    return kalender_;
}

void DatumsFeld::ausKalender(const QString& text) {
    kalender_->hide();
    setText(text);
    // Counts as typed: the form takes it over like a date typed into the field.
    emit textEdited(text);
    setFocus();
}

void DatumsFeld::kalenderOeffnen() {
    QCalendarWidget* k = Kalender();
    eingabe_->Leeren();
    const auto d = Gelesen();
    k->setSelectedDate(d ? *d : (datum_.isValid() ? datum_ : QDate::currentDate()));
    k->adjustSize();
    k->move(mapToGlobal(QPoint(0, height())));
    k->show();
    k->setFocus();
}

} // namespace velu
