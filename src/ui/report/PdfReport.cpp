#include "ui/report/PdfReport.h"

#include <QGuiApplication>
#include <QMarginsF>
#include <QPageLayout>
#include <QPageSize>
#include <QPdfWriter>
#include <QTextDocument>
#include <QtGlobal>

#include <cstdio>
#include <cstdlib>
#include <memory>

#include "app/AppContext.h"
#include "audit/Report.h"
#include "messages/Messages.h"
#include "platform/Platform.h"
#include "platform/Text.h"

namespace tv {
namespace {

// Text layout needs a QGuiApplication: the command line has none, so one is
// made for the call, off screen when there is no display to show one on.
class GuiForTheCall {
public:
    GuiForTheCall() {
        if (QCoreApplication::instance()) return;
        const bool noDisplay = !std::getenv("DISPLAY") && !std::getenv("WAYLAND_DISPLAY");
        if (noDisplay && !std::getenv("QT_QPA_PLATFORM")) {
#ifdef _WIN32
            _putenv_s("QT_QPA_PLATFORM", "offscreen");
#else
            setenv("QT_QPA_PLATFORM", "offscreen", 0);
#endif
        }
        // Qt's own notices (a missing runtime folder and the like) are not
        // for the command line's user.
        previous_ = qInstallMessageHandler(DropNotices);
        app_ = std::make_unique<QGuiApplication>(argc_, argv_);
    }
    ~GuiForTheCall() {
        if (!app_) return;
        app_.reset();
        qInstallMessageHandler(previous_);
    }
    GuiForTheCall(const GuiForTheCall&) = delete;
    GuiForTheCall& operator=(const GuiForTheCall&) = delete;
    bool Usable() const { return qobject_cast<QGuiApplication*>(QCoreApplication::instance()) != nullptr; }

private:
    static void DropNotices(QtMsgType type, const QMessageLogContext&, const QString& text) {
        if (type == QtCriticalMsg || type == QtFatalMsg) std::fprintf(stderr, "%s\n", text.toLocal8Bit().constData());
    }

    QtMessageHandler previous_ = nullptr;
    int argc_ = 1;
    char name_[16] = "tallyvault";
    char* argv_[2] = {name_, nullptr};
    std::unique_ptr<QGuiApplication> app_;
};

QString ToQString(const std::string& narrow) {
    const std::u16string wide = ToUtf16(narrow);
    return QString::fromUtf16(wide.data(), static_cast<qsizetype>(wide.size()));
}

}  // namespace

bool WritePdfReport(const std::string& html, const std::string& path, std::u16string& error) {
    GuiForTheCall gui;
    if (!gui.Usable()) {
        error = GetMessageText(571) + ToUtf16(path);
        return false;
    }
    return PublishReport(
        path,
        [&](const std::string& temp) {
            {
                QPdfWriter writer(ToQString(temp));
                writer.setResolution(300);
                writer.setPageLayout(QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait,
                                                 QMarginsF(15, 15, 15, 15), QPageLayout::Millimeter));
                writer.setTitle(QStringLiteral("Tallyvault"));
                writer.setCreator(QStringLiteral("Tallyvault"));
                QTextDocument document;
                document.setHtml(QString::fromUtf8(html.data(), static_cast<qsizetype>(html.size())));
                // Unpaginated, the document is laid out on the writer's pages with
                // their numbers at the foot.
                document.print(&writer);
            }
            std::unique_ptr<File> written = Sys().OpenFile(temp, OpenMode::Read);
            return written && written->Size() > 0;
        },
        error);
}

}  // namespace tv
