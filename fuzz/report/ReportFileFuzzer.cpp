// Saved report files from anywhere: whatever the bytes, loading refuses them with a
// ReportFileError, or every page can be asked for and either plays or is refused the same way.

#include "FuzzSetup.h"
#include "report/ReportFileError.h"
#include "report/TRpPageList.h"
#include "report/emf/EmfPlayer.h"

#include <QFile>
#include <QImage>
#include <QPainter>
#include <QTemporaryDir>
#include <cstdint>

using namespace zel::report;

namespace {

QString inputPath()
{
    static QTemporaryDir dir;
    return dir.filePath(QStringLiteral("input.frp"));
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv)
{
    zel::fuzz::startGui(argc, argv);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    {
        QFile file(inputPath());
        if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
            return 0;
        file.write(reinterpret_cast<const char*>(data), qint64(size));
    }
    try {
        TRpPageList list;
        list.load(inputPath());
        for (int n = 1; n <= list.pageCount() + 1; ++n) {
            try {
                list.pageRecord(n);
            } catch (const ReportFileError&) {
            }
            try {
                if (const auto page = list.page(n)) {
                    QImage& canvas = zel::fuzz::canvas();
                    canvas.fill(Qt::white);
                    QPainter painter(&canvas);
                    emf::EmfPlayer::play(*page, painter, QRectF(canvas.rect()));
                }
            } catch (const ReportFileError&) {
            }
        }
    } catch (const ReportFileError&) {
    }
    return 0;
}
