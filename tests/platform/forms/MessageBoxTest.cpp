#include "TestApp.h"
#include "platform/forms/MessageBox.h"

#include <QApplication>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QWidget>
#include <gtest/gtest.h>

using namespace velu::forms;

namespace {
// One application for every test of this program, whichever file creates it first.
void app() {
    testApp();
}
} // namespace

TEST(MessageBox, ButtonsAreGermanInOrder) {
    struct Case {
        MsgButtons buttons;
        std::vector<QString> texts;
    };
    const Case cases[] = {
        {MsgButtons::OK, {"OK"}},
        {MsgButtons::OKCancel, {"OK", "Abbrechen"}},
        {MsgButtons::YesNo, {"Ja", "Nein"}},
        {MsgButtons::YesNoCancel, {"Ja", "Nein", "Abbrechen"}},
        {MsgButtons::RetryCancel, {"Wiederholen", "Abbrechen"}},
        {MsgButtons::AbortRetryIgnore, {"Abbrechen", "Wiederholen", "Ignorieren"}},
    };
    for (const auto& c : cases) {
        std::vector<QString> texts;
        for (MsgResult r : ButtonResults(c.buttons))
            texts.push_back(ButtonText(r));
        EXPECT_EQ(texts, c.texts);
    }
}

TEST(MessageBox, ScriptAnswersInOrderThenDefaultButton) {
    app();
    MessageBoxScript script({MsgResult::Yes, MsgResult::Retry});
    EXPECT_EQ(MsgBox(nullptr, "eins", MsgButtons::YesNo), MsgResult::Yes);
    EXPECT_EQ(MsgBox(nullptr, "zwei", MsgButtons::AbortRetryIgnore), MsgResult::Retry);
    // No answer left: the preselected button, here "Nein" of Ja/Nein.
    EXPECT_EQ(MsgBox(nullptr, "drei", MsgButtons::YesNo, MsgIcon::Question, {}, 1), MsgResult::No);
    // An out-of-range default falls back to the first button.
    EXPECT_EQ(MsgBox(nullptr, "vier", MsgButtons::OKCancel, MsgIcon::None, {}, 7), MsgResult::OK);
    ASSERT_EQ(script.Shown().size(), 4u);
    EXPECT_EQ(script.Shown()[2].text, "drei");
    EXPECT_EQ(script.Shown()[2].icon, MsgIcon::Question);
    EXPECT_EQ(script.Shown()[2].defaultButton, 1);
    EXPECT_EQ(script.LastText(), "vier");
}

TEST(MessageBox, TitleIsTheOwnersCaption) {
    app();
    QApplication::setApplicationDisplayName("Programm");
    QWidget form;
    form.setWindowTitle("Mehrwertsteuer");
    QWidget child(&form);
    MessageBoxScript script;
    MsgBox(&child, "a");
    MsgBox(&child, "b", MsgButtons::OK, MsgIcon::None, "Eigener Titel");
    MsgBox(nullptr, "c");
    ASSERT_EQ(script.Shown().size(), 3u);
    EXPECT_EQ(script.Shown()[0].title, "Mehrwertsteuer");
    EXPECT_EQ(script.Shown()[1].title, "Eigener Titel");
    EXPECT_EQ(script.Shown()[2].title, "Programm");
}

TEST(MessageBox, TitleInsideTheMdiAreaIsTheWorkWindowsCaption) {
    app();
    QWidget main;
    main.setWindowTitle("Velunta 4.0");
    auto* area = new QMdiArea(&main);
    auto* form = new QWidget;
    form->setWindowTitle("HOAI Berechnungen");
    QMdiSubWindow* sub = area->addSubWindow(form);
    auto* child = new QWidget(form);
    MessageBoxScript script;
    MsgBox(child, "a");
    sub->setWindowTitle("Neuer Titel");
    MsgBox(child, "b");
    ASSERT_EQ(script.Shown().size(), 2u);
    EXPECT_EQ(script.Shown()[0].title, "HOAI Berechnungen");
    EXPECT_EQ(script.Shown()[1].title, "Neuer Titel");
}
