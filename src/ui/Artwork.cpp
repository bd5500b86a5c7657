#include "ui/Artwork.h"

#include <QGuiApplication>
#include <QPainter>
#include <QSvgRenderer>

static void InitArtworkResources() { Q_INIT_RESOURCE(artwork); }

namespace tv {

namespace {

qreal DevicePixelRatio() {
    const auto* app = qobject_cast<QGuiApplication*>(QCoreApplication::instance());
    return app != nullptr ? app->devicePixelRatio() : 1.0;
}

QPixmap Render(const QString& name, QSize size, qreal ratio) {
    static const bool initialised = (InitArtworkResources(), true);
    (void)initialised;
    QSvgRenderer renderer(QStringLiteral(":/tallyvault/") + name);
    QPixmap pixmap(size * ratio);
    pixmap.fill(Qt::transparent);
    if (renderer.isValid()) {
        QPainter painter(&pixmap);
        painter.setRenderHint(QPainter::Antialiasing);
        renderer.render(&painter);
    }
    pixmap.setDevicePixelRatio(ratio);
    return pixmap;
}

QIcon IconOf(const QString& name, std::initializer_list<int> sizes) {
    QIcon icon;
    for (int size : sizes) {
        icon.addPixmap(Render(name, QSize(size, size), 1.0));
    }
    return icon;
}

}  // namespace

QIcon ApplicationIcon() {
    return IconOf(QStringLiteral("app-icon.svg"), {16, 24, 32, 48, 64, 128, 256});
}

QPixmap LogoPixmap(int height, bool onDarkBackground) {
    const QString name = onDarkBackground ? QStringLiteral("logo-light.svg") : QStringLiteral("logo.svg");
    // The logo's drawing is 240 by 64 units.
    const int width = (height * 240 + 32) / 64;
    return Render(name, QSize(width, height), DevicePixelRatio());
}

QIcon SettingsIcon() { return IconOf(QStringLiteral("settings.svg"), {16, 20, 24, 32, 48}); }
QIcon HelpIcon() { return IconOf(QStringLiteral("help.svg"), {16, 20, 24, 32, 48}); }
QPixmap ResultPixmap(bool success, int size) {
    return Render(success ? QStringLiteral("result-success.svg") : QStringLiteral("result-failure.svg"),
                  QSize(size, size), DevicePixelRatio());
}

QIcon FolderIcon() { return IconOf(QStringLiteral("folder.svg"), {16, 20, 24, 32}); }

}  // namespace tv
