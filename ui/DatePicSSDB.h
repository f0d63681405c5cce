#pragma once
// Month calendar that pops up over a grid for a date cell. The host keeps one hidden instance as a child
// of its form, calls SetStart with the cell, shows it and gives it the focus; the picker answers with
// DateAction and the host writes the date into the cell for any code above 1, hides the picker and gives
// the focus back to the grid. Dates travel as text dd.MM.yyyy. A date typed into the calendar is taken
// whole with Enter, or refused with the shared message and left typed for correction.
#include <QDate>
#include <QRect>
#include <QString>
#include <QWidget>

class QAbstractItemView;
class QCalendarWidget;

namespace velu {

class KalenderEingabe;

class DatePicSSDB : public QWidget {
    Q_OBJECT
public:
    // Action codes of DateAction.
    static constexpr int ActionLostFocus = 1;
    static constexpr int ActionClicked = 2;
    static constexpr int ActionEnter = 3;
    static constexpr int ActionDoubleClicked = 5;
    static constexpr int ActionEscape = -1;

    explicit DatePicSSDB(QWidget* parent = nullptr);

    // Reads d.M.yyyy whatever the system locale; an invalid date for anything else.
    static QDate parseDatum(const QString& text);
    static QString datumText(const QDate& date);

    QDate MinDate() const;
    void MinDate(const QDate& date);
    QDate MaxDate() const;
    void MaxDate(const QDate& date);
    QDate Value() const;
    // A date outside MinDate..MaxDate is taken as the nearer end of the range.
    void Value(const QDate& date);
    bool CausesValidation() const { return causesValidation_; }
    void CausesValidation(bool on) { causesValidation_ = on; }
    QCalendarWidget* calendar() const { return calendar_; }
    KalenderEingabe& eingabe() const { return *eingabe_; }

    // Places the picker at the anchor widget's top-left corner, shifted by (-dx, -dy), kept inside the
    // picker's parent, and opens it on the date text; a text that is no date becomes today's date.
    void SetStart(QWidget* anchor, int dx, int dy, QString& text);
    // As above for a cell rectangle given in the coordinates of cellParent (a grid's viewport).
    void SetStart(const QRect& cell, QWidget* cellParent, int dx, int dy, QString& text);

    // The host's side for a grid's date column: opens over the column's cell in the current row (the last
    // row when none is current), which becomes the current cell; false when there is no such cell.
    bool OeffnenInSpalte(QAbstractItemView& grid, int spalte);
    // Writes a date answered with a code above 1 into the current cell when it is in column spalte, hides
    // the picker and gives the grid the focus back.
    void Uebernehmen(QAbstractItemView& grid, int spalte, const QString& datum, int aktion);

signals:
    void DateAction(const QString& datum, int aktion);

private:
    void raiseAction(const QDate& date, int action);
    void enter(const QString& getippt);
    void onFocusChanged(QWidget* old, QWidget* now);

    QCalendarWidget* calendar_;
    KalenderEingabe* eingabe_;
    bool causesValidation_ = false;
    // While the refusal of a typed text is shown, the focus is away without the calendar being left.
    bool meldet_ = false;
};

} // namespace velu
