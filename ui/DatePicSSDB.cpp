#include "ui/DatePicSSDB.h"

#include "platform/forms/Eingabemeldungen.h"
#include "platform/forms/MessageBox.h"
#include "ui/KalenderEingabe.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QCalendarWidget>
#include <algorithm>

namespace velu {

namespace {
// Built-in limits of the picker, day.month.year.
const char* const DefaultMinDate = "01.01.1753";
const char* const DefaultMaxDate = "31.12.9999";
} // namespace

DatePicSSDB::DatePicSSDB(QWidget* parent)
    : QWidget(parent), calendar_(new QCalendarWidget(this)), eingabe_(new KalenderEingabe(calendar_)) {
    setObjectName("DatePicSSDB");
    calendar_->setObjectName("MonthView1");
    calendar_->setDateRange(parseDatum(DefaultMinDate), parseDatum(DefaultMaxDate));
    calendar_->setSelectedDate(QDate::currentDate());
    calendar_->move(0, 0);
    calendar_->resize(calendar_->sizeHint());
    resize(calendar_->size());
    setFocusProxy(calendar_);
    hide();

    connect(calendar_, &QCalendarWidget::clicked, this, [this](QDate d) { raiseAction(d, ActionClicked); });
    // Enter is taken by the typing, so activated comes only from a double click.
    connect(calendar_, &QCalendarWidget::activated, this,
            [this](QDate d) { raiseAction(d, ActionDoubleClicked); });
    connect(eingabe_, &KalenderEingabe::Enter, this, &DatePicSSDB::enter);
    connect(eingabe_, &KalenderEingabe::Escape, this, [this] { raiseAction(Value(), ActionEscape); });
    connect(qApp, &QApplication::focusChanged, this, &DatePicSSDB::onFocusChanged);
}

QDate DatePicSSDB::parseDatum(const QString& text) {
    const QString t = text.trimmed();
    for (const char* format : {"dd.MM.yyyy", "d.M.yyyy"}) {
        const QDate d = QDate::fromString(t, format);
        if (d.isValid()) return d;
    }
    return {};
}

QString DatePicSSDB::datumText(const QDate& date) {
    return date.toString("dd.MM.yyyy");
}

QDate DatePicSSDB::MinDate() const {
    return calendar_->minimumDate();
}
void DatePicSSDB::MinDate(const QDate& date) {
    calendar_->setMinimumDate(date);
}
QDate DatePicSSDB::MaxDate() const {
    return calendar_->maximumDate();
}
void DatePicSSDB::MaxDate(const QDate& date) {
    calendar_->setMaximumDate(date);
}
QDate DatePicSSDB::Value() const {
    return calendar_->selectedDate();
}

void DatePicSSDB::Value(const QDate& date) {
    if (!date.isValid()) return;
    // The calendar would silently keep its old date for one outside its range.
    calendar_->setSelectedDate(std::clamp(date, MinDate(), MaxDate()));
}

void DatePicSSDB::SetStart(QWidget* anchor, int dx, int dy, QString& text) {
    if (!anchor) return;
    SetStart(anchor->rect(), anchor, dx, dy, text);
}

void DatePicSSDB::SetStart(const QRect& cell, QWidget* cellParent, int dx, int dy, QString& text) {
    QWidget* host = parentWidget();
    QRect anchor = cell;
    if (cellParent) anchor.moveTopLeft(cellParent->mapToGlobal(cell.topLeft()));
    if (host) anchor.moveTopLeft(host->mapFromGlobal(anchor.topLeft()));
    const int hostWidth = host ? host->width() : anchor.right() + width();
    const int hostHeight = host ? host->height() : anchor.bottom() + height();

    int left = anchor.left() - dx;
    int top = anchor.top() - dy;
    if (top + height() > hostHeight) top -= height();
    if (left + width() > hostWidth) left = anchor.right() + 1 - width(); // right edges aligned
    left = std::max(0, std::min(left, hostWidth - width()));
    top = std::max(0, top);
    move(left, top);
    raise();

    eingabe_->Leeren();
    QDate date = parseDatum(text);
    if (!date.isValid()) {
        date = QDate::currentDate();
        text = datumText(date);
    }
    Value(date);
}

void DatePicSSDB::raiseAction(const QDate& date, int action) {
    eingabe_->Leeren();
    emit DateAction(datumText(date), action);
}

void DatePicSSDB::enter(const QString& getippt) {
    if (getippt.trimmed().isEmpty()) {
        raiseAction(Value(), ActionEnter);
        return;
    }
    // Taken as typed, not as the nearest day the calendar can show: the cell itself would take it so too.
    if (const auto d = KalenderEingabe::AlsDatum(getippt)) {
        raiseAction(*d, ActionEnter);
        return;
    }
    meldet_ = true;
    forms::MsgBox(window(), forms::KeinDatumMeldung(getippt.trimmed()), forms::MsgButtons::OK,
                  forms::MsgIcon::Exclamation);
    meldet_ = false;
    window()->activateWindow();
    eingabe_->Korrigieren();
}

void DatePicSSDB::onFocusChanged(QWidget* old, QWidget* now) {
    // A picker the host has already hidden has nothing more to report.
    if (meldet_ || !isVisible() || !old || !isAncestorOf(old)) return;
    if (now && (now == this || isAncestorOf(now))) return;
    raiseAction(Value(), ActionLostFocus);
}

bool DatePicSSDB::OeffnenInSpalte(QAbstractItemView& grid, int spalte) {
    QAbstractItemModel* model = grid.model();
    if (!model) return false;
    QModelIndex i = grid.currentIndex();
    if (!i.isValid() || i.column() != spalte) {
        const int row = i.isValid() ? i.row() : model->rowCount() - 1;
        i = model->index(row, spalte);
        grid.setCurrentIndex(i);
    }
    if (!i.isValid()) return false;
    QString text = model->data(i).toString();
    const QRect zelle = grid.visualRect(i);
    SetStart(zelle, grid.viewport(), 0, -zelle.height(), text);
    show();
    raise();
    setFocus();
    return true;
}

void DatePicSSDB::Uebernehmen(QAbstractItemView& grid, int spalte, const QString& datum, int aktion) {
    if (aktion > 1 && grid.model()) {
        const QModelIndex i = grid.currentIndex();
        if (i.isValid() && i.column() == spalte) grid.model()->setData(i, datum);
    }
    hide();
    grid.setFocus();
}

} // namespace velu
