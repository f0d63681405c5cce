#pragma once
// The demo host's main window: a text editor lent to the spell-checking library through a host adapter.
// Keys and clicks go as window messages to a stand-in window, so that the library checks while typing; the
// status line shows the reported word and marks show as a highlighted selection.
#include "platform/win32/Window.h"

#include <QMainWindow>

class QPlainTextEdit;
class QAction;

namespace wortex::demo {

class DemoWindow : public QMainWindow {
public:
    explicit DemoWindow(win32::HWND api);
    ~DemoWindow() override;

    QPlainTextEdit* editor() const { return editor_; }
    win32::HWND editWindow() const { return edit_; }
    // Sends the text as the keyboard would: a character message for each character, Return for "\n".
    void type(const QString& text);
    // Checks the whole text (message 1201 from the start).
    win32::LRESULT checkText();

    // The adapter and the stand-in window's procedure.
    static win32::LRESULT Adapter(win32::HWND window, win32::UINT command, win32::WPARAM wParam,
                                  win32::LPARAM lParam);
    static win32::LRESULT EditProc(win32::HWND window, win32::UINT message, win32::WPARAM wParam,
                                   win32::LPARAM lParam);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    win32::LRESULT settings(win32::UINT message);
    void showMark(int startColumn, int startLine, int endColumn, int endLine);

    win32::HWND api_;
    win32::HWND edit_ = 0;
    win32::HWND status_ = 0;
    bool attached_ = false;
    QPlainTextEdit* editor_ = nullptr;
    QAction* immediate_ = nullptr;
    int savedScroll_ = 0;
};

} // namespace wortex::demo
