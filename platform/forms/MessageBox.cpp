#include "platform/forms/MessageBox.h"

#include <QApplication>
#include <QMdiSubWindow>
#include <QMessageBox>
#include <QPushButton>
#include <QWidget>

namespace velu::forms {

namespace {
MessageBoxScript* g_script = nullptr;

MsgResult DefaultResult(MsgButtons buttons, int defaultButton) {
    auto results = ButtonResults(buttons);
    if (defaultButton < 0 || defaultButton >= static_cast<int>(results.size())) defaultButton = 0;
    return results[defaultButton];
}

// The caption of the form the owner sits in: a work window in the MDI area counts as a form of its own,
// although Qt's window() is the main window then.
QString FormCaption(QWidget* owner) {
    for (QWidget* w = owner; w; w = w->parentWidget()) {
        if (auto* sub = qobject_cast<QMdiSubWindow*>(w)) return sub->windowTitle();
        if (w->isWindow()) return w->windowTitle();
    }
    return {};
}

QMessageBox::Icon ToQt(MsgIcon icon) {
    switch (icon) {
    case MsgIcon::Critical:
        return QMessageBox::Critical;
    case MsgIcon::Question:
        return QMessageBox::Question;
    case MsgIcon::Exclamation:
        return QMessageBox::Warning;
    case MsgIcon::Information:
        return QMessageBox::Information;
    case MsgIcon::None:
        break;
    }
    return QMessageBox::NoIcon;
}

QMessageBox::ButtonRole Role(MsgResult r) {
    switch (r) {
    case MsgResult::OK:
    case MsgResult::Yes:
        return QMessageBox::AcceptRole;
    case MsgResult::No:
        return QMessageBox::NoRole;
    case MsgResult::Cancel:
    case MsgResult::Abort:
        return QMessageBox::RejectRole;
    case MsgResult::Retry:
    case MsgResult::Ignore:
        return QMessageBox::ActionRole;
    }
    return QMessageBox::ActionRole;
}
} // namespace

std::vector<MsgResult> ButtonResults(MsgButtons buttons) {
    switch (buttons) {
    case MsgButtons::OK:
        return {MsgResult::OK};
    case MsgButtons::OKCancel:
        return {MsgResult::OK, MsgResult::Cancel};
    case MsgButtons::YesNo:
        return {MsgResult::Yes, MsgResult::No};
    case MsgButtons::YesNoCancel:
        return {MsgResult::Yes, MsgResult::No, MsgResult::Cancel};
    case MsgButtons::RetryCancel:
        return {MsgResult::Retry, MsgResult::Cancel};
    case MsgButtons::AbortRetryIgnore:
        return {MsgResult::Abort, MsgResult::Retry, MsgResult::Ignore};
    }
    return {MsgResult::OK};
}

QString ButtonText(MsgResult r) {
    switch (r) {
    case MsgResult::OK:
        return QStringLiteral("OK");
    case MsgResult::Cancel:
        return QStringLiteral("Abbrechen");
    case MsgResult::Yes:
        return QStringLiteral("Ja");
    case MsgResult::No:
        return QStringLiteral("Nein");
    case MsgResult::Retry:
        return QStringLiteral("Wiederholen");
    case MsgResult::Ignore:
        return QStringLiteral("Ignorieren");
    case MsgResult::Abort:
        return QStringLiteral("Abbrechen");
    }
    return {};
}

MessageBoxScript::MessageBoxScript(std::initializer_list<MsgResult> answers) : answers_(answers) {
    g_script = this;
}

MessageBoxScript::~MessageBoxScript() {
    if (g_script == this) g_script = nullptr;
}

MsgResult MsgBox(QWidget* owner, const QString& text, MsgButtons buttons, MsgIcon icon, const QString& title,
                 int defaultButton) {
    QString caption = title;
    if (caption.isEmpty()) caption = FormCaption(owner);
    if (caption.isEmpty()) caption = QApplication::applicationDisplayName();

    if (g_script) {
        g_script->shown_.push_back({caption, text, buttons, icon, defaultButton});
        if (g_script->answers_.empty()) return DefaultResult(buttons, defaultButton);
        MsgResult r = g_script->answers_.front();
        g_script->answers_.pop_front();
        return r;
    }

    QMessageBox box(ToQt(icon), caption, text, QMessageBox::NoButton, owner);
    auto results = ButtonResults(buttons);
    std::vector<QPushButton*> pushed;
    for (MsgResult r : results)
        pushed.push_back(box.addButton(ButtonText(r), Role(r)));
    if (defaultButton < 0 || defaultButton >= static_cast<int>(pushed.size())) defaultButton = 0;
    box.setDefaultButton(pushed[defaultButton]);
    // Esc and the close box choose Cancel where there is one, else the only button.
    for (size_t i = 0; i < results.size(); ++i)
        if (results[i] == MsgResult::Cancel || results.size() == 1) box.setEscapeButton(pushed[i]);
    box.exec();
    for (size_t i = 0; i < pushed.size(); ++i)
        if (box.clickedButton() == pushed[i]) return results[i];
    return results.size() == 1 ? results[0] : MsgResult::Cancel;
}

} // namespace velu::forms
