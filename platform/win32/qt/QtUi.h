#pragma once
// The Qt back-end of the Win32 stand-in's user interface: dialog templates drawn as QDialogs (widgets named
// by control id, light grey background), German message boxes, Qt file dialogs and the wait cursor. A Qt
// host installs it with win32::SetUiServices before WX_Init.
#include "platform/win32/UiServices.h"

#include <QDialog>
#include <QPointer>
#include <QString>

#include <map>

class QWidget;

namespace win32::qt {

// Library text is Windows-1252.
QString FromAnsi(const std::string& text);
std::string ToAnsi(const QString& text);

// A dialog model shown as widgets; every user action goes to the model, every change of the model to the
// widgets.
class DialogView : public QDialog {
public:
    explicit DialogView(DialogModel& model, QWidget* parent = nullptr);
    ~DialogView() override;
    QWidget* widget(int id) const;
    void sync();

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    template <class F> void act(F&& f);
    DialogModel& model_;
    std::map<int, QWidget*> widgets_;
    bool syncing_ = false;
    bool acting_ = false;
};

class QtUi : public UiServices {
public:
    int messageBox(HWND owner, const std::string& text, const std::string& caption, UINT style) override;
    void messageBeep(UINT type) override;
    short keyState(int virtualKey) override;
    LRESULT runDialog(DialogModel& dialog) override;
    bool fileDialog(FileDialogRequest& request) override;
    void cursorSet(UINT cursor) override;
    RECT desktop() override;
    int textWidth(const std::string& text) override;
    int listPageSize(DialogModel& dialog, int id) override;
    // The library's help: its help file is the index page of its German help pages, and the page of a
    // topic (HELP_CONTEXT) lies beside it as "thema-<topic>.html". The pages show in one help window
    // ("WortexHilfe"), brought to the front on each call; HELP_QUIT closes it.
    bool winHelp(HWND window, const std::string& file, UINT command, std::uintptr_t topic) override;
    QWidget* helpWindow() const;

private:
    bool waitCursor_ = false;
    QPointer<QDialog> help_;
};

} // namespace win32::qt
