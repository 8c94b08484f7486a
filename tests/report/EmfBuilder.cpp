#include "EmfBuilder.h"

#include "report/emf/EmfFormat.h"
#include "report/emf/EmfPlayer.h"

#include <QPainter>
#include <QtEndian>

namespace zel::test {

using namespace zel::report::emf;

QByteArray words(std::initializer_list<qint32> values)
{
    QByteArray out;
    for (const qint32 v : values) {
        char b[4];
        qToLittleEndian(v, b);
        out.append(b, 4);
    }
    return out;
}

QByteArray utf16(const QString& text)
{
    QByteArray out;
    for (const QChar c : text) {
        char b[2];
        qToLittleEndian<quint16>(c.unicode(), b);
        out.append(b, 2);
    }
    while (out.size() % 4 != 0)
        out.append('\0');
    return out;
}

EmfBuilder::EmfBuilder(QSize pixels, int handles) : m_pixels(pixels), m_handles(handles) {}

EmfBuilder& EmfBuilder::record(quint32 type, std::initializer_list<qint32> values)
{
    return record(type, words(values));
}

EmfBuilder& EmfBuilder::record(quint32 type, const QByteArray& payload)
{
    QByteArray p = payload;
    while (p.size() % 4 != 0)
        p.append('\0');
    m_records += words({qint32(type), qint32(8 + p.size())}) + p;
    ++m_count;
    return *this;
}

QByteArray EmfBuilder::bytes() const
{
    const int w = m_pixels.width(), h = m_pixels.height();
    // Hundredths of a millimetre: 25 a pixel at 4 pixels a millimetre.
    const QByteArray eof = words({EMR_EOF, 20, 0, 16, 20});
    const qint32 total = HEADER_FULL_SIZE + qint32(m_records.size() + eof.size());
    QByteArray header =
        words({EMR_HEADER, HEADER_FULL_SIZE, 0, 0, w - 1, h - 1, 0, 0, w * 25 - 1, h * 25 - 1,
               qint32(ENHMETA_SIGNATURE), qint32(EMF_VERSION), total, m_count + 2});
    header += words({m_handles, 0, 0, 0});            // handles, no description, no palette
    header += words({1000, 1000, 250, 250, 0, 0, 0}); // device, millimetres, no pixel format
    header += words({250000, 250000});                // micrometres
    return header + m_records + eof;
}

EmfImage EmfBuilder::image() const
{
    return EmfImage::fromBytes(bytes());
}

QImage played(const EmfImage& image, QSize size)
{
    QImage out(size.isEmpty() ? image.header().frameInDevicePixels().size().toSize() : size,
               QImage::Format_RGB32);
    out.fill(Qt::white);
    QPainter p(&out);
    EmfPlayer::play(image, p, QRectF(out.rect()));
    p.end();
    return out;
}

int darkPixels(const QImage& image, const QRect& area)
{
    int n = 0;
    const QRect r = area & image.rect();
    for (int y = r.top(); y <= r.bottom(); ++y)
        for (int x = r.left(); x <= r.right(); ++x)
            if (qGray(image.pixel(x, y)) < 128)
                ++n;
    return n;
}

} // namespace zel::test
