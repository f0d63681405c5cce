#include "platform/win32/Dialog.h"

#include "platform/win32/EditControl.h"
#include "platform/win32/Kernel.h"
#include "platform/win32/UiServices.h"
#include "platform/win32/WindowMap.h"

#include <algorithm>
#include <map>

namespace win32 {

namespace {

std::map<HINSTANCE, std::vector<DialogTemplate>>& templates() {
    static std::map<HINSTANCE, std::vector<DialogTemplate>> t;
    return t;
}

class DialogObject : public KernelObject {
public:
    explicit DialogObject(DialogModel* d) : KernelObject(ObjectKind::Dialog), dialog(d) {}
    DialogModel* dialog;
};

int& cursorCount() {
    static int count = 0;
    return count;
}

template <class C> auto* findControl(C& controls, int id) {
    auto it =
        std::find_if(controls.begin(), controls.end(), [id](const Control& c) { return c.layout.id == id; });
    return it == controls.end() ? nullptr : &*it;
}

bool isEdit(const Control* c) {
    return c && (c->layout.kind == ControlKind::Edit || c->layout.kind == ControlKind::ReadOnlyEdit);
}

bool hasWindow(const ControlTemplate& t) {
    return t.id > 0 && (t.kind == ControlKind::Edit || t.kind == ControlKind::ReadOnlyEdit ||
                        t.kind == ControlKind::Static);
}

// The model and the EDIT procedure behind each control window.
struct ControlWindow {
    DialogModel* dialog;
    int id;
    WNDPROC edit;
};

WindowMap<ControlWindow>& controlWindows() {
    static WindowMap<ControlWindow> m;
    return m;
}

// Messages that leave an EDIT window's text as it was.
bool keepsText(UINT m) {
    switch (m) {
    case WM_GETTEXT:
    case WM_GETTEXTLENGTH:
    case WM_SETREDRAW:
    case EM_GETSEL:
    case EM_SETSEL:
    case EM_SCROLLCARET:
    case EM_GETLINECOUNT:
    case EM_LINEINDEX:
    case EM_LINELENGTH:
    case EM_GETLINE:
    case EM_LINEFROMCHAR:
    case WM_DESTROY:
    case WM_NCDESTROY:
        return true;
    default:
        return false;
    }
}

std::string editText(HWND h, WNDPROC edit) {
    std::string s(static_cast<std::size_t>(CallWindowProc(edit, h, WM_GETTEXTLENGTH, 0, 0)) + 1, '\0');
    s.resize(static_cast<std::size_t>(
        CallWindowProc(edit, h, WM_GETTEXT, s.size(), reinterpret_cast<LPARAM>(s.data()))));
    return s;
}

} // namespace

bool IsMultiLineEdit(const ControlTemplate& t) {
    return (t.kind == ControlKind::Edit || t.kind == ControlKind::ReadOnlyEdit) && t.height > 48;
}

void RegisterDialogTemplates(HINSTANCE module, std::vector<DialogTemplate> list) {
    templates()[module] = std::move(list);
}

const DialogTemplate* FindDialogTemplate(HINSTANCE module, int number) {
    auto t = templates().find(module);
    if (t == templates().end()) return nullptr;
    for (const auto& d : t->second)
        if (d.number == number) return &d;
    return nullptr;
}

DialogModel::DialogModel(const DialogTemplate& dialog, DialogProc proc, HWND owner)
    : caption(dialog.caption), template_(dialog), proc_(std::move(proc)), owner_(owner) {
    rect = {0, 0, dialog.width, dialog.height};
    for (const auto& t : dialog.controls) {
        Control c{t};
        c.text = t.text;
        c.visible = !(t.style & kStyleHidden);
        c.enabled = !(t.style & kStyleDisabled);
        c.readOnly = t.kind == ControlKind::ReadOnlyEdit;
        controls_.push_back(std::move(c));
    }
    window_ = Kernel::instance().handles().add(std::make_unique<DialogObject>(this));
    for (Control& c : controls_) {
        const ControlTemplate& t = c.layout;
        if (!hasWindow(t)) continue;
        c.window = CreateWindowEx(0, kEditClass, c.text.c_str(), IsMultiLineEdit(t) ? ES_MULTILINE : 0, t.x,
                                  t.y, t.width, t.height, window_, 0, 0, nullptr);
        if (!c.window) continue;
        controlWindows().fresh(c.window, {this, t.id,
                                          reinterpret_cast<WNDPROC>(GetWindowLongPtr(c.window, GWLP_WNDPROC))});
        SetWindowLongPtr(c.window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&ControlWindowProc));
    }
}

DialogModel::~DialogModel() {
    // The windows go with the dialog (an attached one is detached by its WM_DESTROY); nothing is told.
    proc_ = nullptr;
    changed = nullptr;
    for (Control& c : controls_) {
        if (!c.window) continue;
        if (ControlWindow* cw = controlWindows().find(c.window)) cw->dialog = nullptr;
        DestroyWindow(c.window);
        controlWindows().erase(c.window);
    }
    Kernel::instance().handles().remove(window_, ObjectKind::Dialog);
}

LRESULT DialogModel::ControlWindowProc(HWND h, UINT message, WPARAM wParam, LPARAM lParam) {
    ControlWindow* found = controlWindows().find(h);
    if (!found) return DefWindowProc(h, message, wParam, lParam);
    ControlWindow cw = *found;
    LRESULT result = CallWindowProc(cw.edit, h, message, wParam, lParam);
    if (!keepsText(message) && cw.dialog)
        if (Control* c = cw.dialog->control(cw.id)) cw.dialog->pullText(*c);
    return result;
}

void DialogModel::pullText(Control& c) {
    ControlWindow* cw = controlWindows().find(c.window);
    if (!cw) return;
    std::string now = editText(c.window, cw->edit);
    if (now == c.text) return;
    c.text = std::move(now);
    if (!writing_ && !ended_ && isEdit(&c)) command(c.layout.id, EN_CHANGE);
    notify();
}

void DialogModel::writeWindow(Control& c, const std::string& text) {
    if (!IsWindow(c.window)) {
        c.text = text;
        notify();
        return;
    }
    bool was = writing_;
    writing_ = true;
    SendMessage(c.window, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()));
    pullText(c);
    writing_ = was;
}

HWND DialogModel::controlWindow(int id) const {
    const Control* c = control(id);
    return c ? c->window : 0;
}

Control* DialogModel::control(int id) {
    return findControl(controls_, id);
}
const Control* DialogModel::control(int id) const {
    return findControl(controls_, id);
}

std::string DialogModel::text(int id) const {
    const Control* c = control(id);
    return c ? c->text : std::string();
}

void DialogModel::setText(int id, const std::string& text) {
    Control* c = control(id);
    if (!c) return;
    if (c->window) {
        writeWindow(*c, text);
        return;
    }
    c->text = text;
    notify();
}

bool DialogModel::checked(int id) const {
    const Control* c = control(id);
    return c && c->checked;
}

void DialogModel::setChecked(int id, bool on) {
    if (Control* c = control(id)) {
        c->checked = on;
        notify();
    }
}

bool DialogModel::enabled(int id) const {
    const Control* c = control(id);
    return c && c->enabled;
}

void DialogModel::enable(int id, bool on) {
    if (Control* c = control(id)) {
        c->enabled = on;
        notify();
    }
}

bool DialogModel::visible(int id) const {
    const Control* c = control(id);
    return c && c->visible;
}

void DialogModel::show(int id, bool on) {
    if (Control* c = control(id)) {
        c->visible = on;
        notify();
    }
}

void DialogModel::setReadOnly(int id, bool on) {
    if (Control* c = control(id)) {
        c->readOnly = on;
        notify();
    }
}

int DialogModel::addItem(int id, const std::string& text, LPARAM data) {
    Control* c = control(id);
    return c ? insertItem(id, static_cast<int>(c->items.size()), text, data) : -1;
}

int DialogModel::insertItem(int id, int index, const std::string& text, LPARAM data) {
    Control* c = control(id);
    if (!c || index < 0 || index > static_cast<int>(c->items.size())) return -1;
    c->items.insert(c->items.begin() + index, text);
    c->itemData.insert(c->itemData.begin() + index, data);
    if (c->selection >= index) ++c->selection;
    notify();
    return index;
}

void DialogModel::deleteItem(int id, int index) {
    Control* c = control(id);
    if (!c || index < 0 || index >= static_cast<int>(c->items.size())) return;
    c->items.erase(c->items.begin() + index);
    c->itemData.erase(c->itemData.begin() + index);
    if (c->selection == index)
        c->selection = -1;
    else if (c->selection > index)
        --c->selection;
    notify();
}

void DialogModel::clearItems(int id) {
    if (Control* c = control(id)) {
        c->items.clear();
        c->itemData.clear();
        c->selection = -1;
        notify();
    }
}

int DialogModel::itemCount(int id) const {
    const Control* c = control(id);
    return c ? static_cast<int>(c->items.size()) : 0;
}

std::string DialogModel::itemText(int id, int index) const {
    const Control* c = control(id);
    return c && index >= 0 && index < static_cast<int>(c->items.size()) ? c->items[index] : std::string();
}

LPARAM DialogModel::itemData(int id, int index) const {
    const Control* c = control(id);
    return c && index >= 0 && index < static_cast<int>(c->items.size()) ? c->itemData[index] : 0;
}

int DialogModel::selection(int id) const {
    const Control* c = control(id);
    return c ? c->selection : -1;
}

void DialogModel::setSelection(int id, int index) {
    if (Control* c = control(id)) {
        c->selection = index >= 0 && index < static_cast<int>(c->items.size()) ? index : -1;
        notify();
    }
}

void DialogModel::setScrollRange(int id, int low, int high) {
    if (Control* c = control(id)) {
        c->scrollMin = low;
        c->scrollMax = std::max(low, high);
        c->scrollPos = std::clamp(c->scrollPos, c->scrollMin, c->scrollMax);
        notify();
    }
}

void DialogModel::setScrollPos(int id, int pos) {
    if (Control* c = control(id)) {
        c->scrollPos = std::clamp(pos, c->scrollMin, c->scrollMax);
        notify();
    }
}

int DialogModel::scrollPos(int id) const {
    const Control* c = control(id);
    return c ? c->scrollPos : 0;
}

void DialogModel::setFocus(int id) {
    if (id == focus_ || (id && !control(id))) return;
    int old = focus_;
    focus_ = id;
    if (isEdit(control(old))) command(old, EN_KILLFOCUS);
    if (isEdit(control(id)) && focus_ == id) command(id, EN_SETFOCUS);
    notify();
}

void DialogModel::end(LRESULT result) {
    ended_ = true;
    result_ = result;
    notify();
}

LRESULT DialogModel::send(UINT message, WPARAM wParam, LPARAM lParam) {
    return proc_ ? proc_(*this, message, wParam, lParam) : 0;
}

void DialogModel::click(int id) {
    Control* c = control(id);
    if (!c || !c->enabled || !c->visible || ended_) return;
    if (c->layout.kind == ControlKind::CheckBox) c->checked = !c->checked;
    if (c->layout.kind != ControlKind::Static && c->layout.kind != ControlKind::GroupBox) setFocus(id);
    command(id, BN_CLICKED);
    notify();
}

void DialogModel::type(int id, const std::string& text) {
    Control* c = control(id);
    if (!c || !c->enabled || c->readOnly || ended_) return;
    setFocus(id);
    if (c->window) {
        writeWindow(*c, text);
        // The caret stands behind what was typed.
        SendMessage(c->window, EM_SETSEL, c->text.size(), static_cast<LPARAM>(c->text.size()));
    } else {
        c->text = text;
    }
    command(id, EN_CHANGE);
    notify();
}

void DialogModel::select(int id, int index) {
    Control* c = control(id);
    if (!c || !c->enabled || ended_) return;
    setFocus(id);
    setSelection(id, index);
    command(id, LBN_SELCHANGE);
}

void DialogModel::doubleClick(int id, int index) {
    select(id, index);
    if (!ended_) command(id, LBN_DBLCLK);
}

void DialogModel::enter() {
    if (ended_) return;
    auto def = std::find_if(controls_.begin(), controls_.end(),
                            [](const Control& c) { return c.layout.kind == ControlKind::DefaultButton; });
    command(def == controls_.end() ? IDOK : def->layout.id, BN_CLICKED);
}

void DialogModel::escape() {
    if (!ended_) command(IDCANCEL, BN_CLICKED);
}

void DialogModel::close() {
    if (!ended_ && !send(WM_CLOSE, 0, 0) && !ended_) command(IDCANCEL, BN_CLICKED);
}

void DialogModel::scroll(int id, int code, int position) {
    if (!ended_) send(WM_VSCROLL, MakeWParam(code, position), id);
}

void DialogModel::key(int id, int virtualKey) {
    if (ended_) return;
    setFocus(id);
    send(WM_VKEYTOITEM, MakeWParam(virtualKey, std::max(0, selection(id))), id);
}

DialogModel* DialogFromWindow(HWND window) {
    auto* o = Kernel::instance().handles().get<DialogObject>(window, ObjectKind::Dialog);
    return o ? o->dialog : nullptr;
}

bool EndDialog(HWND dialog, LRESULT result) {
    DialogModel* d = DialogFromWindow(dialog);
    if (!d) return false;
    d->end(result);
    return true;
}

LRESULT DialogBoxParam(HINSTANCE module, int number, HWND owner, DialogProc proc, LPARAM param) {
    const DialogTemplate* t = FindDialogTemplate(module, number);
    if (!t) return -1;
    DialogModel dialog(*t, std::move(proc), owner);
    if (dialog.send(WM_INITDIALOG, 0, param) && !dialog.focus()) {
        auto first = std::find_if(dialog.controls().begin(), dialog.controls().end(), [](const Control& c) {
            return c.enabled && c.visible && c.layout.kind != ControlKind::Static &&
                   c.layout.kind != ControlKind::GroupBox && c.layout.kind != ControlKind::ReadOnlyEdit;
        });
        if (first != dialog.controls().end()) dialog.setFocus(first->layout.id);
    }
    if (dialog.ended()) return dialog.result();
    return Ui().runDialog(dialog);
}

LRESULT UiServices::runDialog(DialogModel& dialog) {
    if (!dialog.ended()) dialog.close();
    if (!dialog.ended()) dialog.end(IDCANCEL);
    return dialog.result();
}

bool UiServices::fileDialog(FileDialogRequest&) {
    return false;
}

LRESULT ScriptedUi::runDialog(DialogModel& dialog) {
    calls.push_back("dialog " + std::to_string(dialog.dialogTemplate().number));
    auto script = dialogScripts.find(dialog.dialogTemplate().number);
    if (script != dialogScripts.end() && script->second) script->second(dialog);
    return UiServices::runDialog(dialog);
}

bool ScriptedUi::fileDialog(FileDialogRequest& request) {
    calls.push_back(std::string(request.save ? "save " : "open ") + request.title);
    fileDialogs.push_back(request);
    std::string answer;
    if (!fileAnswers.empty()) {
        answer = fileAnswers.front();
        fileAnswers.pop_front();
    }
    if (answer.empty()) return false;
    request.fileName = answer;
    return true;
}

void ScriptedUi::cursorShown(bool show) {
    cursorCount += show ? 1 : -1;
    calls.push_back(show ? "ShowCursor 1" : "ShowCursor 0");
}

void ScriptedUi::cursorSet(UINT cursor) {
    calls.push_back("SetCursor " + std::to_string(cursor));
}

bool GetOpenFileName(FileDialogRequest& request) {
    request.save = false;
    return Ui().fileDialog(request);
}

bool GetSaveFileName(FileDialogRequest& request) {
    request.save = true;
    return Ui().fileDialog(request);
}

int ShowCursor(bool show) {
    Ui().cursorShown(show);
    return cursorCount() += show ? 1 : -1;
}

void SetCursor(UINT cursor) {
    Ui().cursorSet(cursor);
}

RECT GetDesktopRect() {
    return Ui().desktop();
}

int GetTextWidth(const std::string& text) {
    return Ui().textWidth(text);
}

} // namespace win32
