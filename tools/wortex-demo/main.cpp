// Wortex demo: a text editor whose menu sends the spell-checking library its messages. The editor's text is
// copied into a stand-in edit window for each request and back afterwards; messages the library does not
// serve yet simply do nothing.
#include "platform/win32/EditControl.h"
#include "platform/win32/UiServices.h"
#include "platform/win32/Window.h"
#include "platform/win32/qt/QtUi.h"

#include <QApplication>
#include <QMainWindow>
#include <QMenuBar>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QStatusBar>

#include <cstdint>
#include <dlfcn.h>

using namespace win32;

namespace {

struct AttachRecord {
    HWND editWindow;
    HWND statusWindow;
    std::uintptr_t adapter;
};

struct WordRecord {
    HWND editWindow;
    std::int32_t startColumn, startLine, endColumn, endLine;
    char word[64];
};

QString fromEdit(const std::string& text) {
    QString t = qt::FromAnsi(text);
    t.replace("\r\n", "\n");
    return t;
}

std::string toEdit(const QString& text) {
    QString t = text;
    t.replace("\n", "\r\n");
    return qt::ToAnsi(t);
}

class DemoWindow : public QMainWindow {
public:
    DemoWindow(HWND api) : api_(api) {
        setWindowTitle("Wortex Demo");
        editor_ = new QPlainTextEdit(this);
        editor_->setPlainText(QString::fromUtf8("Dies ist ein kleiner Text mit einem Fehlr.\n"));
        setCentralWidget(editor_);
        QMenu* menu = menuBar()->addMenu("&Wortex");
        menu->addAction("&Einstellungen...", [this] { send(1127, 0); });
        menu->addAction(QString::fromUtf8("&Wörterbuchbearbeitung..."), [this] { send(1125, 0); });
        menu->addAction(QString::fromUtf8("Text &prüfen"), [this] { check(); });
        menu->addSeparator();
        menu->addAction("&Hilfe", [this] { send(1128, 0); });
        edit_ = CreateWindowEx(0, kEditClass, "", ES_MULTILINE, 0, 0, 0, 0, 0, 0, 0, nullptr);
        resize(700, 450);
    }
    ~DemoWindow() override {
        if (attached_) {
            AttachRecord r{edit_, 0, 0};
            SendMessage(api_, 1194, 1, reinterpret_cast<LPARAM>(&r));
        }
        DestroyWindow(edit_);
    }

private:
    LRESULT send(UINT message, LPARAM lParam) {
        SetWindowText(edit_, toEdit(editor_->toPlainText()).c_str());
        LRESULT r = SendMessage(api_, message, 0, lParam);
        QString back = fromEdit(WindowText(edit_));
        if (back != editor_->toPlainText()) editor_->setPlainText(back);
        statusBar()->showMessage(QString("Nachricht %1: %2").arg(message).arg(r), 4000);
        return r;
    }
    void check() {
        if (!attached_) {
            AttachRecord r{edit_, 0, 0};
            attached_ = SendMessage(api_, 1194, 0, reinterpret_cast<LPARAM>(&r)) == 1;
        }
        WordRecord w{edit_, 0, 0, 0, 0, {}};
        send(1201, reinterpret_cast<LPARAM>(&w));
    }

    HWND api_;
    HWND edit_ = 0;
    bool attached_ = false;
    QPlainTextEdit* editor_ = nullptr;
};

} // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    qt::QtUi ui;
    SetUiServices(&ui);
    const char* path = argc > 1 ? argv[1] : WORTEX32_PATH;
    void* lib = dlopen(path, RTLD_NOW | RTLD_LOCAL);
    if (!lib) {
        QMessageBox::critical(nullptr, "Wortex",
                              QString("Die Bibliothek konnte nicht geladen werden:\n%1").arg(dlerror()));
        return 1;
    }
    auto init = reinterpret_cast<HWND (*)()>(dlsym(lib, "WX_Init"));
    HWND api = init ? init() : 0;
    if (!api) {
        QMessageBox::critical(nullptr, "Wortex", "WX_Init fehlt.");
        return 1;
    }
    int result = 0;
    {
        DemoWindow window(api);
        window.show();
        result = app.exec();
    }
    SendMessage(api, 1164, 0, 0);
    SetUiServices(nullptr);
    dlclose(lib);
    return result;
}
