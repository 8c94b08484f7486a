#include "FuzzSetup.h"

#include "common/DemoReport.h"
#include "report/emf/EmfPlayer.h"

#include <QGuiApplication>
#include <QImage>
#include <QPainter>

namespace zel::fuzz {

void startGui(int* argc, char*** argv)
{
    // Damaged fonts and sizes make Qt warn on every other input; the run's own report is
    // what matters.
    qInstallMessageHandler([](QtMsgType, const QMessageLogContext&, const QString&) {});
    qputenv("QT_QPA_PLATFORM", "offscreen");
    static QGuiApplication app(*argc, *argv);
    QPainter painter(&canvas());
    report::emf::EmfPlayer::play(report::makeDemoPage(1, 1), painter, QRectF(canvas().rect()));
}

QImage& canvas()
{
    static QImage image(96, 136, QImage::Format_RGB32);
    return image;
}

} // namespace zel::fuzz

// Font names from the input make Qt ask fontconfig for fallback lists, which fontconfig keeps
// in caches the leak checker cannot see into. They are not ours to free.
extern "C" const char* __lsan_default_suppressions()
{
    return "leak:libfontconfig.so\n";
}
