// tallyvault-render-icon SVG PNG SIZE: draws the SVG picture into a square PNG of
// SIZE pixels, on a transparent ground. The build makes the program's bitmap
// icons with it, so that they always match the SVG they come from.
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QSvgRenderer>
#include <cstdio>

int main(int argc, char** argv) {
    // Drawing needs no screen: the build machine may have none, nor a session
    // whose runtime folder the platform would complain about.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    qInstallMessageHandler([](QtMsgType, const QMessageLogContext&, const QString& text) {
        if (!text.startsWith(QLatin1String("QStandardPaths:")))
            std::fprintf(stderr, "%s\n", text.toLocal8Bit().constData());
    });
    QGuiApplication app(argc, argv);
    const QStringList args = QGuiApplication::arguments();
    bool sizeOk = false;
    const int size = args.size() == 4 ? args[3].toInt(&sizeOk) : 0;
    if (!sizeOk || size < 1 || size > 4096) {
        std::fputs("usage: tallyvault-render-icon SVG PNG SIZE (1 to 4096)\n", stderr);
        return 64;
    }
    QSvgRenderer svg(args[1]);
    if (!svg.isValid()) {
        std::fprintf(stderr, "tallyvault-render-icon: %s is not a readable SVG picture\n",
                     args[1].toLocal8Bit().constData());
        return 1;
    }
    QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    {
        QPainter painter(&image);
        painter.setRenderHint(QPainter::Antialiasing);
        svg.render(&painter, QRectF(0, 0, size, size));
    }
    if (!image.save(args[2], "PNG")) {
        std::fprintf(stderr, "tallyvault-render-icon: cannot write %s\n", args[2].toLocal8Bit().constData());
        return 1;
    }
    return 0;
}
