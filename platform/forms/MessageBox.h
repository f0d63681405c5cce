#pragma once
// The one message box of the program: German buttons, the owning form's caption as title.
//
// Tests never click: MessageBoxScript switches every MsgBox of the process to scripted answers and records
// what would have been shown, so a form test can assert the German text and drive the user's choice.
//
//     velu::forms::MessageBoxScript script({velu::forms::MsgResult::No});
//     form.DoSomething();
//     EXPECT_EQ(script.Shown().at(0).text, "Soll diese Zeile gelöscht werden");
#include <QString>
#include <deque>
#include <initializer_list>
#include <vector>

class QWidget;

namespace velu::forms {

enum class MsgButtons { OK, OKCancel, YesNo, YesNoCancel, RetryCancel, AbortRetryIgnore };
enum class MsgIcon { None, Critical, Question, Exclamation, Information };
enum class MsgResult { OK, Cancel, Yes, No, Retry, Ignore, Abort };

// Shows text with the given buttons ("OK", "Abbrechen", "Ja", "Nein", "Wiederholen", "Ignorieren").
// defaultButton is the 0-based index of the button preselected (for example 1 = "Nein" with YesNo).
// title empty: the caption of owner's window, else the application's display name.
// Closing the box without a button gives Cancel (or the only button's result for OK).
MsgResult MsgBox(QWidget* owner, const QString& text, MsgButtons buttons = MsgButtons::OK,
                 MsgIcon icon = MsgIcon::None, const QString& title = {}, int defaultButton = 0);

// Shortcut for the frequent critical message with one OK button.
inline void MsgCritical(QWidget* owner, const QString& text, const QString& title = {}) {
    MsgBox(owner, text, MsgButtons::OK, MsgIcon::Critical, title);
}

// While an instance lives, MsgBox shows nothing: it records the call and returns the next scripted answer.
// Without answers left it returns the default button's result. Instances do not nest.
class MessageBoxScript {
public:
    struct Entry {
        QString title;
        QString text;
        MsgButtons buttons;
        MsgIcon icon;
        int defaultButton;
    };

    explicit MessageBoxScript(std::initializer_list<MsgResult> answers = {});
    ~MessageBoxScript();
    MessageBoxScript(const MessageBoxScript&) = delete;
    MessageBoxScript& operator=(const MessageBoxScript&) = delete;

    void Answer(MsgResult r) { answers_.push_back(r); }
    const std::vector<Entry>& Shown() const { return shown_; }
    // Text of the last box shown, empty when none was.
    QString LastText() const { return shown_.empty() ? QString() : shown_.back().text; }

private:
    friend MsgResult MsgBox(QWidget*, const QString&, MsgButtons, MsgIcon, const QString&, int);
    std::deque<MsgResult> answers_;
    std::vector<Entry> shown_;
};

// The results a button set offers, in button order.
std::vector<MsgResult> ButtonResults(MsgButtons buttons);
// The German caption of a result's button.
QString ButtonText(MsgResult r);

} // namespace velu::forms
