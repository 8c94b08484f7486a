// Page images from anywhere: whatever the bytes, EmfImage::fromBytes refuses them with an
// EmfError or they play without a fault.

#include "FuzzSetup.h"
#include "report/emf/EmfError.h"
#include "report/emf/EmfImage.h"
#include "report/emf/EmfPlayer.h"

#include <QImage>
#include <QPainter>
#include <cstdint>

using namespace zel::report::emf;

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv)
{
    zel::fuzz::startGui(argc, argv);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    try {
        const EmfImage image =
            EmfImage::fromBytes(QByteArray(reinterpret_cast<const char*>(data), qsizetype(size)));
        QImage& canvas = zel::fuzz::canvas();
        canvas.fill(Qt::white);
        QPainter painter(&canvas);
        EmfPlayer::play(image, painter, QRectF(canvas.rect()));
    } catch (const EmfError&) {
    }
    return 0;
}
