#include "platform/forms/TextLimitHint.h"

#include "platform/forms/Eingabemeldungen.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QToolTip>

namespace velu::forms {

namespace {

class LimitFilter : public QObject {
public:
    explicit LimitFilter(QLineEdit& edit) : QObject(&edit), edit_(edit) {}

    bool eventFilter(QObject* watched, QEvent* event) override {
        if (watched != &edit_ || event->type() != QEvent::KeyPress) return false;
        const auto* k = static_cast<QKeyEvent*>(event);
        qsizetype neu = 0;
        if (k->matches(QKeySequence::Paste))
            neu = QGuiApplication::clipboard()->text().size();
        else if (!k->text().isEmpty() && k->text().at(0).isPrint())
            neu = k->text().size();
        const int max = edit_.maxLength();
        if (neu > 0 && edit_.text().size() - edit_.selectedText().size() + neu > max)
            QToolTip::showText(edit_.mapToGlobal(QPoint(0, edit_.height())), TextLimitHintText(max), &edit_);
        return false;
    }

private:
    QLineEdit& edit_;
};

} // namespace

QString TextLimitHintText(int maxLength) {
    return QStringLiteral("Hier sind höchstens %1 Zeichen möglich; der Rest wird nicht übernommen.")
        .arg(maxLength);
}

void ShowTextLimitHint(QLineEdit& edit) {
    edit.installEventFilter(new LimitFilter(edit));
}

void ShowLengthLimit(QLineEdit& edit, int hoechstens) {
    QObject::connect(&edit, &QLineEdit::textEdited, &edit, [&edit, hoechstens](const QString& text) {
        if (text.size() > hoechstens)
            QToolTip::showText(edit.mapToGlobal(QPoint(0, edit.height())),
                               TextZuLangMeldung(int(text.size()), hoechstens), &edit);
    });
}

QString LaengeFehler(const QString& feld, const QString& text, int hoechstens) {
    if (text.size() <= hoechstens) return {};
    return feld + ":\n" + TextZuLangMeldung(int(text.size()), hoechstens);
}

} // namespace velu::forms
