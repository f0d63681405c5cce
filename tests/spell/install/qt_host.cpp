// A Qt host built with pkg-config alone (wortex32-qt): the library's dialogs are Qt dialogs of the installed
// back-end. It opens the installed German dictionary by its path, checks a sentence in an EDIT window and
// answers the suggestions dialog with "Ignorieren", as a user clicks it.
// Usage: qt_host LIBRARY DICTIONARY; prints what it found on one line.
#include "StartWortex.h"
#include "platform/win32/EditControl.h"
#include "platform/win32/UiServices.h"
#include "platform/win32/Window.h"
#include "platform/win32/qt/QtUi.h"

#include <QAbstractButton>
#include <QApplication>
#include <QLineEdit>
#include <QTimer>

#include <cstdio>
#include <string>

using namespace win32;

int main(int argc, char** argv) {
    if (argc != 3) return 2;
    QApplication app(argc, argv);
    qt::QtUi ui;
    SetUiServices(&ui);
    void* library = nullptr;
    HWND api = StartWortex(argv[1], library);
    if (!api) return 1;
    LRESULT dictionary = SendMessage(api, WX_MSG_OPEN_DICTIONARY, 0, reinterpret_cast<LPARAM>(argv[2]));

    // The user: every suggestions dialog shown gets "Ignorieren"; the words it showed are noted.
    std::string reported;
    QTimer user;
    QObject::connect(&user, &QTimer::timeout, [&] {
        QWidget* dialog = QApplication::activeModalWidget();
        if (!dialog || dialog->objectName() != "1101") return;
        auto* word = dialog->findChild<QLineEdit*>("1114");
        auto* ignore = dialog->findChild<QAbstractButton*>("1112");
        if (!word || !ignore) return;
        reported += (reported.empty() ? "" : ",") + qt::ToAnsi(word->text());
        ignore->click();
    });
    user.start(10);

    const std::string text = "Der Bauherr zahlt die Rechnnung f\xfcr die Entw\xfcrfe und die Bauleitung.";
    HWND edit = CreateWindowEx(0, kEditClass, text.c_str(), ES_MULTILINE, 0, 0, 0, 0, 0, 0, 0, nullptr);
    WX_AttachRecord attach{edit, 0, WX_EDIT_ADAPTER};
    LRESULT attached = SendMessage(api, WX_MSG_ATTACH, WX_ATTACH, reinterpret_cast<LPARAM>(&attach));
    WX_CheckRange range{edit, 0, 0, 0, 0x7FFFFFFF};
    LRESULT checked = SendMessage(api, WX_MSG_CHECK_TEXT, 1, reinterpret_cast<LPARAM>(&range));
    std::printf("%s|%ld|%ld|%s|%s\n", dictionary ? "dictionary" : "no dictionary",
                static_cast<long>(attached), static_cast<long>(checked), reported.c_str(),
                WindowText(edit) == text ? "unchanged" : "changed");

    SendMessage(api, WX_MSG_ATTACH, WX_DETACH, reinterpret_cast<LPARAM>(&attach));
    DestroyWindow(edit);
    SendMessage(api, WX_MSG_EXIT, 0, 0);
    SetUiServices(nullptr);
    dlclose(library);
    return 0;
}
