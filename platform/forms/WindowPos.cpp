#include "platform/forms/WindowPos.h"

#include "platform/forms/FormTag.h"
#include "platform/settings/SettingsStore.h"

#include <QGuiApplication>
#include <QRect>
#include <QScreen>
#include <QWidget>

#include <cmath>
#include <limits>

namespace velu::forms {

namespace {

int readInt(const settings::SettingsStore& store, const QString& section, const char* key, int current) {
    double v = store.GetNumber(section, QString::fromLatin1(key), current);
    if (v < std::numeric_limits<int>::min() || v > std::numeric_limits<int>::max()) return current;
    return static_cast<int>(std::lround(v));
}

bool stored(const settings::SettingsStore& store, const QString& section, const char* key) {
    return !store.GetSetting(section, QString::fromLatin1(key)).isEmpty();
}

bool onSomeScreen(const QPoint& topLeft) {
    for (const QScreen* screen : QGuiApplication::screens())
        if (screen->availableGeometry().contains(topLeft)) return true;
    return false;
}

} // namespace

QString WindowPosSection(const QWidget& form) {
    QString name = form.objectName();
    if (name.isEmpty()) {
        name = QString::fromLatin1(form.metaObject()->className());
        name = name.mid(name.lastIndexOf(QLatin1Char(':')) + 1);
    }
    return QStringLiteral("WindowPos ") + name + FormTag(form);
}

bool LoadWindowPos(QWidget& form, settings::SettingsStore& store) {
    const QString section = WindowPosSection(form);
    const QPoint pos = form.pos();
    const QSize size = form.size();
    const int left = readInt(store, section, "Left", pos.x());
    const int top = readInt(store, section, "Top", pos.y());
    const int height = readInt(store, section, "Height", size.height());
    const int width = readInt(store, section, "Width", size.width());
    // move() marks the form as placed, which stops a dialog from centring itself over its owner; so a form
    // without a stored position is not moved at all.
    const bool hasPos = stored(store, section, "Left") || stored(store, section, "Top");
    const bool hasSize = stored(store, section, "Height") || stored(store, section, "Width");
    if (!(hasPos || hasSize) || width <= 0 || height <= 0 || !onSomeScreen(QPoint(left, top))) return false;
    if (hasPos) form.move(left, top);
    if (hasSize) form.resize(width, height);
    return true;
}

bool SaveWindowPos(QWidget& form, settings::SettingsStore& store) {
    if (form.windowState() & (Qt::WindowMinimized | Qt::WindowMaximized | Qt::WindowFullScreen)) return false;
    const QPoint pos = form.pos();
    const QSize size = form.size();
    if (pos.x() < 0 || pos.y() < 0) return false;
    const QScreen* screen = form.screen();
    if (!screen) return false;
    const QRect area = screen->geometry();
    if (size.height() > area.height() || size.width() > area.width()) return false;

    const QString section = WindowPosSection(form);
    return store.SaveSetting(section, QStringLiteral("Left"), QString::number(pos.x())) &&
           store.SaveSetting(section, QStringLiteral("Top"), QString::number(pos.y())) &&
           store.SaveSetting(section, QStringLiteral("Height"), QString::number(size.height())) &&
           store.SaveSetting(section, QStringLiteral("Width"), QString::number(size.width()));
}

} // namespace velu::forms
