#pragma once
// Dialogs of the Win32 stand-in without widgets: a module keeps its dialogs as templates (as it keeps its
// string table); a dialog in use is a DialogModel holding every control's text, state, list items and the
// focus, driven by a dialog procedure through the usual messages. A back-end (scripted for tests, Qt for
// a real host) shows the model and turns the user's actions into the model's action calls.
#include "platform/win32/Window.h"

#include <functional>
#include <string>
#include <vector>

namespace win32 {

constexpr UINT WM_CLOSE = 0x0010;
constexpr UINT WM_VKEYTOITEM = 0x002E;
constexpr UINT WM_INITDIALOG = 0x0110;
constexpr UINT WM_COMMAND = 0x0111;
constexpr UINT WM_VSCROLL = 0x0115;

// Notification codes in the high word of WM_COMMAND's wParam.
constexpr UINT BN_CLICKED = 0;
constexpr UINT LBN_SELCHANGE = 1;
constexpr UINT LBN_DBLCLK = 2;
constexpr UINT EN_SETFOCUS = 0x0100;
constexpr UINT EN_KILLFOCUS = 0x0200;
constexpr UINT EN_CHANGE = 0x0300;

// Scroll codes of WM_VSCROLL's low word; the position is in the high word.
constexpr int SB_LINEUP = 0;
constexpr int SB_LINEDOWN = 1;
constexpr int SB_PAGEUP = 2;
constexpr int SB_PAGEDOWN = 3;
constexpr int SB_THUMBPOSITION = 4;
constexpr int SB_THUMBTRACK = 5;
constexpr int SB_TOP = 6;
constexpr int SB_BOTTOM = 7;
constexpr int SB_ENDSCROLL = 8;

constexpr WPARAM MakeWParam(UINT low, UINT high) {
    return (low & 0xFFFF) | ((high & 0xFFFF) << 16);
}
constexpr UINT LoWord(WPARAM w) {
    return static_cast<UINT>(w & 0xFFFF);
}
constexpr UINT HiWord(WPARAM w) {
    return static_cast<UINT>((w >> 16) & 0xFFFF);
}

enum class ControlKind {
    Button,
    DefaultButton,
    CheckBox,
    Edit,
    ReadOnlyEdit,
    ListBox,
    Static,
    GroupBox,
    ScrollBar
};

// Positions and sizes in pixels.
struct ControlTemplate {
    int id;
    ControlKind kind;
    int x, y, width, height;
    std::string text;
    DWORD style = 0;
};

struct DialogTemplate {
    int number;
    std::string caption;
    int width, height;
    std::vector<ControlTemplate> controls;
};

constexpr DWORD kStyleHidden = 0x1;
constexpr DWORD kStyleDisabled = 0x2;

// An edit field taller than two lines holds a text of several lines (hard line ends CR LF).
bool IsMultiLineEdit(const ControlTemplate& control);

struct FileDialogRequest {
    HWND owner = 0;
    std::string title;
    std::string filter; // "name|pattern|..." as in the string table
    std::string initialDirectory;
    std::string fileName; // in: the initial name; out: the full name chosen
    std::string defaultExtension;
    bool save = false;
    bool overwritePrompt = false;
    bool createPrompt = false;
    bool mustExist = false;
};

constexpr UINT IDC_ARROW = 32512;
constexpr UINT IDC_WAIT = 32514;

void RegisterDialogTemplates(HINSTANCE module, std::vector<DialogTemplate> templates);
const DialogTemplate* FindDialogTemplate(HINSTANCE module, int number);

struct Control {
    ControlTemplate layout;
    std::string text;
    bool checked = false;
    bool enabled = true;
    bool visible = true;
    bool readOnly = false;
    std::vector<std::string> items;
    std::vector<LPARAM> itemData;
    int selection = -1;
    int scrollMin = 0, scrollMax = 0, scrollPos = 0;
    // Edit fields and texts with an id have a window of the EDIT class that holds their text, so that
    // messages (and the spell-checking library, once attached) reach it as on the original; text follows
    // the window.
    HWND window = 0;
};

class DialogModel;
using DialogProc = std::function<LRESULT(DialogModel&, UINT, WPARAM, LPARAM)>;

class DialogModel {
public:
    DialogModel(const DialogTemplate& dialog, DialogProc proc, HWND owner);
    ~DialogModel();
    DialogModel(const DialogModel&) = delete;
    DialogModel& operator=(const DialogModel&) = delete;

    HWND window() const { return window_; }
    HWND owner() const { return owner_; }
    const DialogTemplate& dialogTemplate() const { return template_; }
    std::vector<Control>& controls() { return controls_; }
    Control* control(int id);
    const Control* control(int id) const;

    std::string caption;
    RECT rect; // on the screen

    std::string text(int id) const;
    // Through the control's window when it has one (WM_SETTEXT), without EN_CHANGE.
    void setText(int id, const std::string& text);
    HWND controlWindow(int id) const;
    bool checked(int id) const;
    void setChecked(int id, bool on);
    bool enabled(int id) const;
    void enable(int id, bool on);
    bool visible(int id) const;
    void show(int id, bool on);
    void setReadOnly(int id, bool on);

    int addItem(int id, const std::string& text, LPARAM data = 0);
    int insertItem(int id, int index, const std::string& text, LPARAM data = 0);
    void deleteItem(int id, int index);
    void clearItems(int id);
    int itemCount(int id) const;
    std::string itemText(int id, int index) const;
    LPARAM itemData(int id, int index) const;
    int selection(int id) const;
    void setSelection(int id, int index);
    void setScrollRange(int id, int low, int high);
    void setScrollPos(int id, int pos);
    int scrollPos(int id) const;

    int focus() const { return focus_; }
    // Moves the focus as SetFocus does, with the edit controls' focus notifications.
    void setFocus(int id);

    void end(LRESULT result);
    bool ended() const { return ended_; }
    LRESULT result() const { return result_; }

    LRESULT send(UINT message, WPARAM wParam, LPARAM lParam);
    void command(int id, UINT notify) { send(WM_COMMAND, MakeWParam(id, notify), 0); }

    // What a user does; back-ends and scripts call these.
    void click(int id);
    void type(int id, const std::string& text);
    void select(int id, int index);
    void doubleClick(int id, int index);
    void enter();
    void escape();
    void close();
    void scroll(int id, int code, int position = 0);
    void key(int id, int virtualKey);

    // Told after each change, so that a view can follow.
    std::function<void()> changed;

private:
    void notify() {
        if (changed) changed();
    }
    void writeWindow(Control& c, const std::string& text);
    // Takes the window's text into the control; a change made from outside the model tells the dialog
    // procedure EN_CHANGE, as an edit control tells its parent.
    void pullText(Control& c);
    static LRESULT ControlWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

    const DialogTemplate& template_;
    DialogProc proc_;
    HWND window_;
    HWND owner_;
    std::vector<Control> controls_;
    int focus_ = 0;
    bool writing_ = false;
    bool ended_ = false;
    LRESULT result_ = 0;
};

DialogModel* DialogFromWindow(HWND window);
bool EndDialog(HWND dialog, LRESULT result);

// Shows the module's dialog modally through the installed back-end: WM_INITDIALOG (lParam = param), then
// the back-end's loop until EndDialog. -1 when the template is missing.
LRESULT DialogBoxParam(HINSTANCE module, int number, HWND owner, DialogProc proc, LPARAM param = 0);

bool GetOpenFileName(FileDialogRequest& request);
bool GetSaveFileName(FileDialogRequest& request);
// The display count after the call, as ShowCursor.
int ShowCursor(bool show);
void SetCursor(UINT cursor);
RECT GetDesktopRect();
int GetTextWidth(const std::string& text);

} // namespace win32
