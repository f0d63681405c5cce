// Wortex demo: a text editor lent to the spell-checking library, which it loads with dlopen and reaches only
// through WX_Init and messages. Usage: wortex-demo [dictionary.wxd [libWortex32.so]]; without a dictionary
// the wngerman dictionary of the build folder is opened when a test run has built it.
#include "Wortex32.h"
#include "platform/win32/UiServices.h"
#include "platform/win32/Window.h"
#include "platform/win32/qt/QtUi.h"
#include "tools/wortex-demo/DemoWindow.h"

#include <QApplication>
#include <QFile>
#include <QLibraryInfo>
#include <QLocale>
#include <QMessageBox>
#include <QTranslator>

#include <dlfcn.h>

using namespace win32;

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    // Qt's own texts (file dialogs, message buttons) in German, as on an office's desktop.
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    QTranslator qtGerman;
    if (qtGerman.load(QLocale(), "qtbase", "_", QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        app.installTranslator(&qtGerman);
    qt::QtUi ui;
    SetUiServices(&ui);
    const char* path = argc > 2 ? argv[2] : WORTEX32_PATH;
    void* lib = dlopen(path, RTLD_NOW | RTLD_LOCAL);
    if (!lib) {
        QMessageBox::critical(nullptr, "Wortex",
                              QString("Die Bibliothek konnte nicht geladen werden:\n%1").arg(dlerror()));
        return 1;
    }
    auto init = reinterpret_cast<WX_InitFn>(dlsym(lib, WX_INIT_NAME));
    HWND api = init ? init() : 0;
    if (!api) {
        QMessageBox::critical(nullptr, "Wortex", "WX_Init fehlt.");
        return 1;
    }
    const char* dictionary = argc > 1 ? argv[1] : WNGERMAN_DICTIONARY;
    if (QFile::exists(dictionary))
        SendMessage(api, WX_MSG_OPEN_DICTIONARY, 1, reinterpret_cast<LPARAM>(dictionary));
    // As the sample WORTEX.INI has it: every correction is shown and made only when the user accepts it.
    LRESULT options = SendMessage(api, WX_MSG_OPTIONS, 0, 0);
    SendMessage(api, WX_MSG_OPTIONS, 2, options | WX_OPTION_CONFIRM_CORR);
    int result = 0;
    {
        wortex::demo::DemoWindow window(api);
        window.show();
        result = app.exec();
    }
    SendMessage(api, WX_MSG_EXIT, 0, 0);
    SetUiServices(nullptr);
    dlclose(lib);
    return result;
}
