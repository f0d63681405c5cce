#include "platform/forms/EinzeiligeFelder.h"

#include <QApplication>
#include <QEvent>
#include <QLineEdit>
#include <QValidator>

#include <algorithm>

namespace velu::forms {

namespace {

bool Steuerzeichen(QChar c) {
    return c.category() == QChar::Other_Control;
}

// pos, the cursor, moves with the text before it.
QString Bereinigt(const QString& text, int* pos) {
    QString s;
    s.reserve(text.size());
    int neuePos = pos ? *pos : 0;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        const bool vorCursor = pos && i < *pos;
        if (!Steuerzeichen(c)) {
            s += c;
            continue;
        }
        const bool crlf = c == u'\r' && i + 1 < text.size() && text.at(i + 1) == u'\n';
        if (c == u'\n' || c == u'\t' || (c == u'\r' && !crlf)) {
            s += u' ';
        } else if (vorCursor) {
            --neuePos;
        }
    }
    if (pos) *pos = int(std::min<qsizetype>(neuePos, s.size()));
    return s;
}

class EinzeiligValidator : public QValidator {
public:
    explicit EinzeiligValidator(QLineEdit* edit) : QValidator(edit), edit_(edit) {}
    State validate(QString& input, int& pos) const override {
        // Only what the user put in: text the program sets (a stored name) is shown as it is, so showing
        // it changes nothing and a form comparing it with what it loaded finds no edit.
        if (edit_->isModified() && std::any_of(input.cbegin(), input.cend(), Steuerzeichen))
            input = Bereinigt(input, &pos);
        return Acceptable;
    }

private:
    QLineEdit* edit_;
};

class Einrichter : public QObject {
public:
    using QObject::QObject;
    bool eventFilter(QObject* o, QEvent* e) override {
        if (e->type() == QEvent::Polish) {
            if (auto* edit = qobject_cast<QLineEdit*>(o);
                edit && !edit->validator() && edit->inputMask().isEmpty())
                edit->setValidator(new EinzeiligValidator(edit));
        }
        return false;
    }
};

} // namespace

void EinzeiligeFelderEinrichten() {
    auto* app = qApp;
    if (!app || app->findChild<QObject*>(QStringLiteral("EinzeiligeFelder"), Qt::FindDirectChildrenOnly))
        return;
    auto* e = new Einrichter(app);
    e->setObjectName(QStringLiteral("EinzeiligeFelder"));
    app->installEventFilter(e);
}

} // namespace velu::forms
