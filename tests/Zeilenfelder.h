#pragma once
// Pasting a name copied from a letter ("Kita Nord⏎Bauteil B") into every one-line field of a shown form, as
// a clerk does with Ctrl+V: each line edit that takes input and the cell editor of every editable column of
// a grid's first row. A field that kept a control character is named in the result; each field gets its
// text back (a cell editor is left with Escape), so nothing is stored.
#include "GridEnter.h"

#include <QAbstractItemView>
#include <QClipboard>
#include <QGuiApplication>
#include <QLineEdit>
#include <QStringList>

#include <algorithm>

namespace velu::eingabe {

inline const QString ZweiZeilen = QStringLiteral("Kita Nord\r\nBauteil B\tOst");
inline const QString EineZeile = QStringLiteral("Kita Nord Bauteil B Ost");

inline void Einfuegen(QWidget& w, const QString& text) {
    QGuiApplication::clipboard()->setText(text);
    Taste(w, Qt::Key_A, Qt::ControlModifier);
    Taste(w, Qt::Key_V, Qt::ControlModifier);
}

// "Name: text" for a field that holds a control character after the paste, or took the paste otherwise than
// as the one line expected: as far as the field's length takes it, line breaks and tab made blanks. A field
// that refuses such text (a number field) keeps what it held.
inline QString Zeilenfehler(const QLineEdit& e, const QString& name, const QString& vorher) {
    const QString t = e.text();
    QString soll = ZweiZeilen.left(e.maxLength());
    soll.replace("\r\n", " ").replace('\n', ' ').replace('\r', ' ').replace('\t', ' ');
    const bool steuerzeichen =
        std::any_of(t.cbegin(), t.cend(), [](QChar c) { return c.category() == QChar::Other_Control; });
    if (!steuerzeichen && (t == soll || t == vorher)) return {};
    return name + ": " + QString(t).replace('\n', "\\n").replace('\r', "\\r").replace('\t', "\\t");
}

inline QStringList ZeilenfelderPruefen(QWidget& form) {
    QStringList fehler;
    int geprueft = 0;
    for (QLineEdit* e : form.findChildren<QLineEdit*>()) {
        if (!e->isVisible() || !e->isEnabled() || e->isReadOnly()) continue;
        if (qobject_cast<QAbstractItemView*>(e->parentWidget() ? e->parentWidget()->parentWidget() : nullptr))
            continue; // a cell editor, walked with its grid below
        const QString vorher = e->text();
        e->setFocus();
        Einfuegen(*e, ZweiZeilen);
        const QString f = Zeilenfehler(*e, e->objectName(), vorher);
        if (!f.isEmpty()) fehler << f;
        e->setText(vorher);
        ++geprueft;
    }
    for (QAbstractItemView* v : form.findChildren<QAbstractItemView*>()) {
        if (!v->isVisible() || !v->model() || v->model()->rowCount() == 0) continue;
        for (int c = 0; c < v->model()->columnCount(); ++c) {
            const QModelIndex i = v->model()->index(0, c);
            auto* tabelle = qobject_cast<QTableView*>(v);
            if (!(v->model()->flags(i) & Qt::ItemIsEditable) || (tabelle && tabelle->isColumnHidden(c)))
                continue;
            v->setFocus();
            v->setCurrentIndex(i);
            v->edit(i);
            QLineEdit* e = ZellEditor(*v);
            if (!e) continue;
            e->setFocus();
            const QString vorher = e->text();
            Einfuegen(*e, ZweiZeilen);
            const QString f = Zeilenfehler(*e, v->objectName() + "[" + QString::number(c) + "]", vorher);
            if (!f.isEmpty()) fehler << f;
            Taste(*e, Qt::Key_Escape);
            ++geprueft;
        }
    }
    if (geprueft == 0) fehler << "kein Feld";
    return fehler;
}

} // namespace velu::eingabe
