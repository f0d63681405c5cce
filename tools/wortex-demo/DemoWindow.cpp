#include "tools/wortex-demo/DemoWindow.h"

#include "Wortex32.h"

#include "platform/win32/EditControl.h"
#include "platform/win32/qt/QtUi.h"

#include <QAction>
#include <QKeyEvent>
#include <QMenuBar>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QScrollBar>
#include <QStatusBar>
#include <QTextBlock>

#include <algorithm>
#include <cstdint>
#include <cstring>

using namespace win32;

namespace wortex::demo {
namespace {

// What a host sees of the library comes from its public header.
using AttachRecord = WX_AttachRecord;
using LineRecord = WX_LineRecord;
using ReplaceRecord = WX_ReplaceRecord;
using MarkRecord = WX_MarkRecord;
using CheckRange = WX_CheckRange;

constexpr const char* kEditClassName = "WortexDemoEdit";
DemoWindow* current = nullptr;

int positionOf(QPlainTextEdit* e, int column, int line) {
    QTextBlock b = e->document()->findBlockByNumber(line);
    if (!b.isValid()) return e->document()->characterCount() - 1;
    return b.position() + std::clamp(column, 0, b.length() - 1);
}

std::int32_t caretOf(QPlainTextEdit* e, std::int32_t* line) {
    QTextCursor c = e->textCursor();
    if (line) *line = c.blockNumber();
    return c.positionInBlock();
}

void registerClass() {
    static bool done = [] {
        WNDCLASS wc;
        wc.lpfnWndProc = &DemoWindow::EditProc;
        wc.lpszClassName = kEditClassName;
        return RegisterClass(wc) != 0;
    }();
    (void)done;
}

} // namespace

DemoWindow::DemoWindow(HWND api) : api_(api) {
    current = this;
    setWindowTitle("Wortex Demo");
    editor_ = new QPlainTextEdit(this);
    editor_->setObjectName("editor");
    editor_->installEventFilter(this);
    editor_->viewport()->installEventFilter(this);
    setCentralWidget(editor_);
    statusBar()->showMessage(" ");

    QMenu* check = menuBar()->addMenu(QString::fromUtf8("&Prüfen"));
    check->addAction(QString::fromUtf8("&Prüfen"), [this] { checkText(); });
    immediate_ = check->addAction(QString::fromUtf8("&Sofortprüfung"));
    immediate_->setCheckable(true);
    connect(immediate_, &QAction::toggled, this,
            [this](bool on) { SendMessage(api_, WX_MSG_IMMEDIATE, on ? 2 : 1, static_cast<LPARAM>(edit_)); });
    QMenu* menu = menuBar()->addMenu("&Wortex");
    menu->addAction("&Einstellungen...", [this] { settings(WX_MSG_SETTINGS_DIALOG); });
    menu->addAction(QString::fromUtf8("&Wörterbuchbearbeitung..."), [this] { settings(WX_MSG_DICTIONARY_DIALOG); });
    menu->addSeparator();
    menu->addAction("&Hilfe", [this] { settings(WX_MSG_HELP); });

    registerClass();
    edit_ = CreateWindowEx(0, kEditClassName, "", 0, 0, 0, 0, 0, 0, 0, 0, nullptr);
    status_ = CreateWindowEx(0, kEditClassName, "", 0, 0, 0, 0, 0, 0, 0, 0, nullptr);
    AttachRecord r{edit_, status_, reinterpret_cast<std::uintptr_t>(&DemoWindow::Adapter)};
    attached_ = SendMessage(api_, WX_MSG_ATTACH, WX_ATTACH, reinterpret_cast<LPARAM>(&r)) == 1;
    immediate_->setChecked(SendMessage(api_, WX_MSG_IMMEDIATE, 0, static_cast<LPARAM>(edit_)) != 0);
    resize(760, 420);
}

DemoWindow::~DemoWindow() {
    if (attached_) {
        AttachRecord r{edit_, status_, 0};
        SendMessage(api_, WX_MSG_ATTACH, WX_DETACH, reinterpret_cast<LPARAM>(&r));
    }
    DestroyWindow(edit_);
    DestroyWindow(status_);
    current = nullptr;
}

void DemoWindow::type(const QString& text) {
    for (QChar ch : text) {
        if (ch == '\n') {
            SendMessage(edit_, WM_KEYDOWN, VK_RETURN, 0);
            SendMessage(edit_, WM_CHAR, 13, 0);
            continue;
        }
        std::string ansi = qt::ToAnsi(QString(ch));
        if (!ansi.empty()) SendMessage(edit_, WM_CHAR, static_cast<unsigned char>(ansi[0]), 0);
    }
}

LRESULT DemoWindow::checkText() {
    CheckRange r{edit_, 0, 0, 0, 0x7FFFFFFF};
    LRESULT result = SendMessage(api_, WX_MSG_CHECK_TEXT, 1, reinterpret_cast<LPARAM>(&r));
    // 0: the library gave up before the end (it has said why); the text stands as the check found it.
    statusBar()->showMessage(QString::fromUtf8(result == 1 ? "Prüfung beendet." : "Prüfung nicht beendet."),
                             4000);
    return result;
}

LRESULT DemoWindow::settings(UINT message) {
    return SendMessage(api_, message, 0, 0);
}

void DemoWindow::showMark(int startColumn, int startLine, int endColumn, int endLine) {
    QTextEdit::ExtraSelection mark;
    mark.cursor = QTextCursor(editor_->document());
    mark.cursor.setPosition(positionOf(editor_, startColumn, startLine));
    mark.cursor.setPosition(positionOf(editor_, endColumn, endLine), QTextCursor::KeepAnchor);
    mark.format.setBackground(QColor(255, 205, 205));
    mark.format.setUnderlineStyle(QTextCharFormat::WaveUnderline);
    mark.format.setUnderlineColor(Qt::red);
    editor_->setExtraSelections({mark});
}

bool DemoWindow::eventFilter(QObject* watched, QEvent* event) {
    if (watched == editor_ && event->type() == QEvent::KeyPress) {
        auto* k = static_cast<QKeyEvent*>(event);
        if (k->modifiers() & (Qt::ControlModifier | Qt::MetaModifier)) return false;
        struct Key {
            int qt;
            int vk;
            int character;
        } static const keys[] = {{Qt::Key_Backspace, VK_BACK, 8}, {Qt::Key_Return, VK_RETURN, 13},
                                 {Qt::Key_Enter, VK_RETURN, 13},  {Qt::Key_Delete, VK_DELETE, 0},
                                 {Qt::Key_Left, VK_LEFT, 0},      {Qt::Key_Right, VK_RIGHT, 0},
                                 {Qt::Key_Up, VK_UP, 0},          {Qt::Key_Down, VK_DOWN, 0},
                                 {Qt::Key_Home, VK_HOME, 0},      {Qt::Key_End, VK_END, 0}};
        for (const Key& key : keys)
            if (k->key() == key.qt) {
                SendMessage(edit_, WM_KEYDOWN, static_cast<WPARAM>(key.vk), 0);
                if (key.character) SendMessage(edit_, WM_CHAR, static_cast<WPARAM>(key.character), 0);
                return true;
            }
        if (!k->text().isEmpty() && k->text()[0].isPrint()) {
            type(k->text());
            return true;
        }
        return false;
    }
    if (watched == editor_->viewport() && event->type() == QEvent::MouseButtonPress) {
        auto* m = static_cast<QMouseEvent*>(event);
        if (m->button() != Qt::LeftButton) return false;
        QPoint p = m->position().toPoint();
        SendMessage(edit_, WM_LBUTTONDOWN, 0, static_cast<LPARAM>((p.y() << 16) | (p.x() & 0xFFFF)));
        return true;
    }
    return QMainWindow::eventFilter(watched, event);
}

LRESULT DemoWindow::EditProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (!current || window != current->edit_) return DefWindowProc(window, message, wParam, lParam);
    QPlainTextEdit* e = current->editor_;
    QTextCursor c = e->textCursor();
    switch (message) {
    case WM_CHAR:
        if (wParam == 8)
            c.deletePreviousChar();
        else if (wParam == 13)
            c.insertText("\n");
        else if (wParam >= 32)
            c.insertText(qt::FromAnsi(std::string(1, static_cast<char>(wParam))));
        e->setTextCursor(c);
        return 0;
    case WM_KEYDOWN: {
        struct Move {
            int vk;
            QTextCursor::MoveOperation op;
        } static const moves[] = {{VK_LEFT, QTextCursor::Left},
                                  {VK_RIGHT, QTextCursor::Right},
                                  {VK_UP, QTextCursor::Up},
                                  {VK_DOWN, QTextCursor::Down},
                                  {VK_HOME, QTextCursor::StartOfLine},
                                  {VK_END, QTextCursor::EndOfLine}};
        if (static_cast<int>(wParam) == VK_DELETE) c.deleteChar();
        for (const Move& m : moves)
            if (static_cast<int>(wParam) == m.vk) c.movePosition(m.op);
        e->setTextCursor(c);
        return 0;
    }
    case WM_LBUTTONDOWN:
        e->setTextCursor(e->cursorForPosition(QPoint(static_cast<std::int16_t>(lParam & 0xFFFF),
                                                     static_cast<std::int16_t>((lParam >> 16) & 0xFFFF))));
        return 0;
    default:
        return DefWindowProc(window, message, wParam, lParam);
    }
}

LRESULT DemoWindow::Adapter(HWND window, UINT command, WPARAM wParam, LPARAM lParam) {
    if (!current) return 0;
    DemoWindow& d = *current;
    QPlainTextEdit* e = d.editor_;
    if (window == d.status_) {
        if (command == WX_AD_STATUS_SHOW) {
            const auto* m = reinterpret_cast<const MarkRecord*>(lParam);
            QString text = qt::FromAnsi(m->inText);
            if (m->correction[0]) text += " -> " + qt::FromAnsi(m->correction);
            if (wParam & 1) text += " ?";
            d.statusBar()->showMessage(text);
            return 1;
        }
        if (command == WX_AD_STATUS_CLEAR) {
            d.statusBar()->showMessage(" ");
            return 1;
        }
        return 0;
    }
    switch (command) {
    case WX_AD_FREEZE:
        e->setUpdatesEnabled(wParam != 0);
        return 1;
    case WX_AD_GET_CARET:
        return caretOf(e, reinterpret_cast<std::int32_t*>(lParam));
    case WX_AD_SET_CARET: {
        QTextCursor c = e->textCursor();
        c.setPosition(positionOf(e, static_cast<int>(wParam), static_cast<int>(lParam)));
        e->setTextCursor(c);
        e->ensureCursorVisible();
        return 1;
    }
    case WX_AD_SHOW_MARK: {
        const auto* m = reinterpret_cast<const MarkRecord*>(lParam);
        d.showMark(m->startColumn, m->startLine, m->endColumn, m->endLine);
        return 1;
    }
    case WX_AD_CLEAR_MARK:
        e->setExtraSelections({});
        return 1;
    case WX_AD_LINE_LENGTH: {
        QTextBlock b = e->document()->findBlockByNumber(static_cast<int>(lParam));
        if (lParam < 0 || !b.isValid()) return -1;
        return static_cast<LRESULT>(qt::ToAnsi(b.text()).size());
    }
    case WX_AD_GET_LINE: {
        auto* r = reinterpret_cast<LineRecord*>(lParam);
        QTextBlock b = e->document()->findBlockByNumber(r->line);
        if (!b.isValid() || !r->text || !r->size) return 0;
        std::string text = qt::ToAnsi(b.text());
        std::size_t n = std::min<std::size_t>(text.size(), r->size - 1);
        std::memcpy(r->text, text.data(), n);
        r->text[n] = 0;
        return 1;
    }
    case WX_AD_REPLACE: {
        auto* r = reinterpret_cast<ReplaceRecord*>(lParam);
        QTextCursor c(e->document());
        c.setPosition(positionOf(e, r->startColumn, r->startLine));
        c.setPosition(positionOf(e, r->endColumn, r->endLine), QTextCursor::KeepAnchor);
        c.insertText(qt::FromAnsi(r->text ? r->text : ""));
        e->setTextCursor(c);
        r->outColumn = caretOf(e, &r->outLine);
        return 1;
    }
    case WX_AD_LINE_BREAK: // every line is a paragraph of its own: a word never runs on into the next
        return lParam >= 0 && e->document()->findBlockByNumber(static_cast<int>(lParam)).isValid() ? WX_HARD_BREAK : 0;
    case WX_AD_SAVE_VIEW:
        d.savedScroll_ = e->verticalScrollBar()->value();
        return 1;
    case WX_AD_RESTORE_VIEW:
        e->verticalScrollBar()->setValue(d.savedScroll_);
        return 1;
    default:
        return 0;
    }
}

} // namespace wortex::demo
