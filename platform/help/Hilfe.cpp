#include "platform/help/Hilfe.h"

#include <QFile>
#include <QPointer>
#include <QShortcut>
#include <QTextBrowser>
#include <QUrl>

static void InitHelpResources() {
    Q_INIT_RESOURCE(help);
}

namespace velu::help {

namespace {
QPointer<QTextBrowser> g_viewer;

QString PagePath(const QString& topic) {
    return QStringLiteral(":/help/") + topic + QStringLiteral(".html");
}
} // namespace

bool HatThema(const QString& topic) {
    InitHelpResources();
    return !topic.isEmpty() && QFile::exists(PagePath(topic));
}

void ShowHilfe(const QString& topic) {
    InitHelpResources();
    if (g_viewer) {
        g_viewer->show();
        g_viewer->raise();
        g_viewer->activateWindow();
        return;
    }
    auto* viewer = new QTextBrowser;
    viewer->setObjectName("Handbuch");
    viewer->setAttribute(Qt::WA_DeleteOnClose);
    viewer->setWindowTitle(QString::fromUtf8(HandbuchCaption));
    viewer->setOpenLinks(true);
    viewer->resize(720, 560);
    const QString page = HatThema(topic) ? topic : QStringLiteral("index");
    viewer->setSource(QUrl(QStringLiteral("qrc") + PagePath(page)));
    g_viewer = viewer;
    viewer->show();
    viewer->raise();
    viewer->activateWindow();
}

void CloseHandbuch() {
    if (g_viewer) {
        g_viewer->close();
        delete g_viewer.data();
    }
}

QTextBrowser* Handbuch() {
    return g_viewer.data();
}

void InstallHelpKey(QWidget* form, const QString& topic) {
    auto* sc = new QShortcut(QKeySequence(Qt::Key_F1), form);
    sc->setContext(Qt::WindowShortcut);
    QObject::connect(sc, &QShortcut::activated, form, [topic] { ShowHilfe(topic); });
}

} // namespace velu::help
