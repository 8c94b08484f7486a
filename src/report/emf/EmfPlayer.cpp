#include "report/emf/EmfPlayer.h"

#include "report/emf/EmfHeader.h"
#include "report/emf/EmfImage.h"
#include "report/emf/EmfPlayback.h"

namespace zel::report::emf {

void EmfPlayer::check(QByteArrayView image, const EmfHeader& header)
{
    EmfPlayback(header, nullptr, QRectF()).run(image);
}

void EmfPlayer::play(const EmfImage& image, QPainter& painter, const QRectF& target)
{
    if (target.isEmpty())
        return;
    EmfPlayback(image.header(), &painter, target).run(QByteArrayView(image.bytes()));
}

} // namespace zel::report::emf
