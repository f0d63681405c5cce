#pragma once
// A date field of a form: the date stands as text dd.MM.yyyy and what is typed is read whole when the form
// takes it over, or refused with the shared message and left typed for correction. A spin-box date editor
// instead overwrites the part its cursor stands in and keeps the rest, so a date typed over a selection or
// after Home came out as a mixture of old and new parts. The button at the right edge opens a calendar; a
// day clicked there, or a date typed into it and Enter, stands in the field as if typed into it.
#include <QDate>
#include <QLineEdit>

#include <optional>

class QCalendarWidget;

namespace velu {

class KalenderEingabe;

class DatumsFeld : public QLineEdit {
public:
    explicit DatumsFeld(QWidget* parent = nullptr);

    // Shows d; an invalid date leaves the field empty.
    void setDate(const QDate& d);
    // The date last shown or taken over; invalid while the field was never given one.
    QDate date() const { return datum_; }
    // The typed text as a date, without a message.
    std::optional<QDate> Gelesen() const;
    // Takes the typed text over: true with date() set when it is a date; otherwise shows
    // "<bezeichnung>:\n„…“ ist kein Datum …" under the form's caption, keeps the text, puts the focus back
    // and says false.
    bool Uebernehmen(QWidget* form, const QString& bezeichnung);
    // The calendar that the button opens (created on first use).
    QCalendarWidget* Kalender();

private:
    void kalenderOeffnen();
    void ausKalender(const QString& text);

    QDate datum_;
    QCalendarWidget* kalender_ = nullptr;
    KalenderEingabe* eingabe_ = nullptr;
};

} // namespace velu
