#pragma once
// Typing into a grid cell as a clerk does: the cell's own editor, the text, then Enter delivered to the
// editor and passed on to the grid. Messages come up as real message boxes with their own event loop (as on
// the screen, where a scripted answer would hide faults of re-entry) and are confirmed with their default
// button.
#include <QAbstractItemView>
#include <QApplication>
#include <QEventLoop>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMessageBox>
#include <QMouseEvent>
#include <QPushButton>
#include <QTableView>
#include <QTimer>

#include <vector>

namespace velu::eingabe {

// Confirms every message box that comes up while it lives and records its text.
class MeldungenBestaetigen {
public:
    MeldungenBestaetigen() {
        timer_.setInterval(5);
        QObject::connect(&timer_, &QTimer::timeout, [this] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            if (!box || !box->isVisible()) return;
            texte_.push_back(box->text());
            if (QPushButton* b = box->defaultButton())
                b->click();
            else
                box->close();
        });
        timer_.start();
    }
    const std::vector<QString>& Texte() const { return texte_; }

private:
    QTimer timer_;
    std::vector<QString> texte_;
};

// Lets queued events and timers run for a moment.
inline void Warten(int ms = 60) {
    QEventLoop loop;
    QTimer::singleShot(ms, &loop, &QEventLoop::quit);
    loop.exec();
}

// The open cell editor of a grid, if any.
inline QLineEdit* ZellEditor(QAbstractItemView& view) {
    for (QLineEdit* e : view.viewport()->findChildren<QLineEdit*>())
        if (e->isVisible()) return e;
    return nullptr;
}

// Opens the cell's editor, types text and presses Enter; returns the messages shown meanwhile. The grid's
// window must be shown.
inline std::vector<QString> MitEnterEingeben(QAbstractItemView& view, const QModelIndex& index,
                                             const QString& text) {
    MeldungenBestaetigen meldungen;
    view.setFocus();
    view.setCurrentIndex(index);
    view.edit(index);
    QLineEdit* editor = ZellEditor(view);
    if (!editor) return {QStringLiteral("kein Zelleditor")};
    editor->setFocus();
    editor->selectAll();
    editor->insert(text);
    QKeyEvent druecken(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier);
    QCoreApplication::sendEvent(editor, &druecken);
    Warten();
    return meldungen.Texte();
}

// The widget that takes the keys of w's window: the focus widget of that window (it need not be active).
inline QWidget* Fokus(QWidget& w) {
    QWidget* f = w.window()->focusWidget();
    return f ? f : &w;
}

// One key pressed and released where the focus of w's window is, as the keyboard delivers it.
inline void Taste(QWidget& w, int key, Qt::KeyboardModifiers mod = Qt::NoModifier, const QString& text = {}) {
    QKeyEvent druecken(QEvent::KeyPress, key, mod, text);
    QCoreApplication::sendEvent(Fokus(w), &druecken);
    QKeyEvent loslassen(QEvent::KeyRelease, key, mod, text);
    QCoreApplication::sendEvent(Fokus(w), &loslassen);
    // What the view queues on a key (Enter commits its editor that way) runs before the next key.
    QCoreApplication::processEvents();
}

// Text typed key by key where the focus of w's window is.
inline void Tasten(QWidget& w, const QString& text) {
    for (const QChar c : text)
        Taste(w, c.toUpper().unicode(), Qt::NoModifier, QString(c));
}

// A left click into the middle of a widget: the focus it gives (the application gives it only for a click
// of the window system) and the press and release.
inline void Klicken(QWidget& w) {
    w.setFocus(Qt::MouseFocusReason);
    const QPoint p(w.width() / 2, w.height() / 2);
    for (QEvent::Type t : {QEvent::MouseButtonPress, QEvent::MouseButtonRelease}) {
        QMouseEvent e(t, p, w.mapToGlobal(p), Qt::LeftButton,
                      t == QEvent::MouseButtonPress ? Qt::LeftButton : Qt::NoButton, Qt::NoModifier);
        QCoreApplication::sendEvent(&w, &e);
    }
    QCoreApplication::processEvents();
}

// A left click on row zeile's header of a table.
inline void ZeilenkopfKlicken(QTableView& view, int zeile) {
    QHeaderView* kopf = view.verticalHeader();
    const QPoint p(kopf->width() / 2, kopf->sectionViewportPosition(zeile) + kopf->sectionSize(zeile) / 2);
    for (QEvent::Type t : {QEvent::MouseButtonPress, QEvent::MouseButtonRelease}) {
        QMouseEvent e(t, p, kopf->viewport()->mapToGlobal(p), Qt::LeftButton,
                      t == QEvent::MouseButtonPress ? Qt::LeftButton : Qt::NoButton, Qt::NoModifier);
        QCoreApplication::sendEvent(kopf->viewport(), &e);
    }
}

} // namespace velu::eingabe
