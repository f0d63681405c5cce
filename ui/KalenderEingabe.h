#pragma once
// A date typed into an open calendar. The calendar's own typing aid overwrites the date part by part in the
// system's short date format and takes it over only after a pause, so a date typed whole came out as another
// one, or was lost to an early Enter. Here the keys typed into the calendar gather in a line at its foot, as
// in a date field, and Enter hands the whole text over; the host reads it with AlsDatum.
#include <QDate>
#include <QObject>
#include <QString>

#include <optional>

class QCalendarWidget;
class QLineEdit;

namespace velu {

class KalenderEingabe : public QObject {
    Q_OBJECT
public:
    // Takes the typing over from the calendar's own aid; lives as long as the calendar.
    explicit KalenderEingabe(QCalendarWidget* kalender);

    // The shared reading of a typed date (TT.MM.JJJJ, leading zeros of day and month optional).
    static std::optional<QDate> AlsDatum(const QString& text);

    // The line at the calendar's foot; hidden while nothing is typed.
    QLineEdit* Zeile() const { return zeile_; }
    // Forgets what was typed, for the calendar's next opening.
    void Leeren();
    // Back to the typed text for its correction, all of it selected.
    void Korrigieren();

signals:
    // Enter in the calendar: the typed text, empty when nothing was typed (the calendar's day counts).
    void Enter(const QString& getippt);
    void Escape();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QCalendarWidget* kalender_;
    QLineEdit* zeile_;
};

} // namespace velu
