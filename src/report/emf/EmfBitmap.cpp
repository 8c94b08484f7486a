#include "report/emf/EmfBitmap.h"

#include "report/emf/EmfFormat.h"
#include "report/emf/EmfRecord.h"

#include <QBuffer>
#include <QImageReader>
#include <QtEndian>
#include <bit>
#include <cstring>
#include <limits>

namespace zel::report::emf {

namespace {

constexpr quint32 CoreHeaderSize = 12;
constexpr quint32 InfoHeaderSize = 40;
constexpr quint32 V4HeaderSize = 108;

quint32 u32(QByteArrayView v, qsizetype at)
{
    return qFromLittleEndian<quint32>(v.data() + at);
}

quint16 u16(QByteArrayView v, qsizetype at)
{
    return qFromLittleEndian<quint16>(v.data() + at);
}

// A channel of a 16- or 32-bit pixel by its mask, scaled to 0..255.
struct Channel
{
    int shift = 0;
    int bits = 0;

    explicit Channel(quint32 mask)
    {
        if (mask == 0)
            return;
        shift = std::countr_zero(mask);
        bits = std::popcount(mask >> shift);
        if (bits > 8) { // keep the top 8 bits
            shift += bits - 8;
            bits = 8;
        }
    }
    int value(quint32 pixel) const
    {
        if (bits == 0)
            return 0;
        const quint32 v = (pixel >> shift) & ((1u << bits) - 1);
        return int(v * 255 / ((1u << bits) - 1));
    }
};

qint64 rowBytes(qint64 width, int bitCount)
{
    return (width * bitCount + 31) / 32 * 4;
}

} // namespace

EmfBitmap::EmfBitmap(const EmfRecord& record, quint32 offInfo, quint32 cbInfo, quint32 offBits,
                     quint32 cbBits, quint32 usage)
    : m_usage(usage)
{
    m_info = record.bytes(offInfo, cbInfo, "bitmap header");
    m_bits = record.bytes(offBits, cbBits, "bitmap bits");
    if (m_info.size() < 4)
        record.fail(QStringLiteral("the bitmap header is %1 bytes long").arg(m_info.size()));
    m_headerSize = u32(m_info, 0);
    if (m_headerSize == CoreHeaderSize) {
        if (m_info.size() < CoreHeaderSize)
            record.fail(QStringLiteral("the bitmap header is cut short"));
        m_width = u16(m_info, 4);
        m_height = u16(m_info, 6);
        m_bitCount = u16(m_info, 10);
        m_compression = BI_RGB;
    } else {
        if (m_headerSize < InfoHeaderSize || m_headerSize > quint32(m_info.size()))
            record.fail(QStringLiteral("the bitmap header claims %1 bytes of the %2 there are")
                            .arg(m_headerSize)
                            .arg(m_info.size()));
        const qint32 w = qint32(u32(m_info, 4));
        const qint32 h = qint32(u32(m_info, 8));
        if (w < 0 || h == std::numeric_limits<qint32>::min())
            record.fail(QStringLiteral("the bitmap has a size of %1 x %2").arg(w).arg(h));
        m_width = w;
        m_height = h < 0 ? -h : h;
        m_topDown = h < 0;
        m_bitCount = u16(m_info, 14);
        m_compression = u32(m_info, 16);
    }

    quint32 tableAt = m_headerSize;
    if (m_compression == BI_BITFIELDS) {
        if (m_headerSize >= V4HeaderSize) {
            for (int i = 0; i < 4; ++i)
                m_masks[i] = u32(m_info, 40 + 4 * i);
        } else {
            if (quint64(m_headerSize) + 12 > quint64(m_info.size()))
                record.fail(QStringLiteral("the bitmap's colour masks are missing"));
            for (int i = 0; i < 3; ++i)
                m_masks[i] = u32(m_info, m_headerSize + 4 * i);
            tableAt += 12;
        }
    }
    const quint32 used = m_headerSize >= InfoHeaderSize ? u32(m_info, 32) : 0;
    if (m_bitCount >= 1 && m_bitCount <= 8)
        m_tableEntries = used == 0 || used > (1u << m_bitCount) ? 1u << m_bitCount : used;
    m_tableOffset = tableAt;
    const quint32 entrySize = usage == DIB_PAL_COLORS ? 2 : m_headerSize == CoreHeaderSize ? 3 : 4;
    // Writers often give fewer entries than the bit count allows; the pixels that would use
    // the missing ones are then drawn black.
    const quint64 room = quint64(m_info.size()) - tableAt;
    if (quint64(m_tableEntries) * entrySize > room)
        m_tableEntries = quint32(room / entrySize);

    if (m_width == 0 || m_height == 0)
        return; // nothing to draw
    const qint64 pixels = qint64(m_width) * m_height;
    switch (m_compression) {
    case BI_RGB:
    case BI_BITFIELDS: {
        const bool known = m_bitCount == 1 || m_bitCount == 4 || m_bitCount == 8 ||
                           m_bitCount == 16 || m_bitCount == 24 || m_bitCount == 32;
        if (!known || (m_compression == BI_BITFIELDS && m_bitCount != 16 && m_bitCount != 32))
            record.fail(QStringLiteral("the bitmap has %1 bits a pixel").arg(m_bitCount));
        const qint64 needed = rowBytes(m_width, m_bitCount) * m_height;
        if (needed > qint64(m_bits.size()))
            record.fail(QStringLiteral("the bitmap of %1 x %2 pixels needs %3 bytes, but has %4")
                            .arg(m_width)
                            .arg(m_height)
                            .arg(needed)
                            .arg(m_bits.size()));
        m_drawable = pixels <= MaxPixels;
        break;
    }
    case BI_RLE8:
    case BI_RLE4:
        if (m_bitCount != (m_compression == BI_RLE8 ? 8 : 4))
            record.fail(
                QStringLiteral("a run-length coded bitmap has %1 bits a pixel").arg(m_bitCount));
        m_drawable = pixels <= MaxPixels && !m_topDown;
        break;
    case BI_JPEG:
    case BI_PNG:
        m_drawable = pixels <= MaxPixels;
        break;
    default:
        break; // a coding we do not know: left out
    }
}

std::vector<QRgb> EmfBitmap::colourTable(const std::vector<QRgb>& palette) const
{
    std::vector<QRgb> table(std::size_t(1) << std::min(m_bitCount, 8), qRgb(0, 0, 0));
    for (quint32 i = 0; i < m_tableEntries && i < table.size(); ++i) {
        if (m_usage == DIB_PAL_COLORS) {
            const quint16 index = u16(m_info, m_tableOffset + 2 * i);
            if (index < palette.size())
                table[i] = palette[index];
        } else {
            const qsizetype at = m_tableOffset + i * (m_headerSize == CoreHeaderSize ? 3 : 4);
            const auto* p = reinterpret_cast<const uchar*>(m_info.data() + at);
            table[i] = qRgb(p[2], p[1], p[0]);
        }
    }
    return table;
}

QImage EmfBitmap::decode(const std::vector<QRgb>& palette, bool keepAlpha) const
{
    if (!m_drawable)
        return {};
    switch (m_compression) {
    case BI_RGB:
    case BI_BITFIELDS: {
        QImage image = decodeRgb(keepAlpha);
        if (m_bitCount <= 8) {
            const std::vector<QRgb> table = colourTable(palette);
            image.setColorTable(QList<QRgb>(table.begin(), table.end()));
        }
        return image;
    }
    case BI_RLE8:
    case BI_RLE4: {
        const std::vector<QRgb> table = colourTable(palette);
        QImage indexes = decodeRle();
        if (indexes.isNull())
            return {};
        // Pixels the runs leave out are transparent: the gaps show what is beneath.
        QImage out(m_width, m_height, QImage::Format_ARGB32);
        for (int y = 0; y < indexes.height(); ++y) {
            const uchar* in = indexes.constScanLine(y);
            const uchar* set = in + m_width;
            auto* o = reinterpret_cast<QRgb*>(out.scanLine(y));
            for (int x = 0; x < m_width; ++x)
                o[x] = set[x] ? table[in[x] % table.size()] : qRgba(0, 0, 0, 0);
        }
        return out;
    }
    case BI_JPEG:
    case BI_PNG:
        return decodeEmbedded();
    default:
        return {};
    }
}

QImage EmfBitmap::decodeRgb(bool keepAlpha) const
{
    const qint64 stride = rowBytes(m_width, m_bitCount);
    QImage::Format format = QImage::Format_RGB32;
    if (m_bitCount == 1)
        format = QImage::Format_Mono;
    else if (m_bitCount <= 8)
        format = QImage::Format_Indexed8;
    else if (keepAlpha && m_bitCount == 32)
        format = QImage::Format_ARGB32;
    QImage image(m_width, m_height, format);
    if (image.isNull())
        return {};

    quint32 masks[4] = {m_masks[0], m_masks[1], m_masks[2], m_masks[3]};
    if (m_compression == BI_RGB && m_bitCount == 16) {
        masks[0] = 0x7C00;
        masks[1] = 0x03E0;
        masks[2] = 0x001F;
    } else if (m_compression == BI_RGB && m_bitCount == 32) {
        masks[0] = 0x00FF0000;
        masks[1] = 0x0000FF00;
        masks[2] = 0x000000FF;
        masks[3] = 0xFF000000;
    }
    const Channel red(masks[0]), green(masks[1]), blue(masks[2]), alpha(masks[3]);

    for (int y = 0; y < m_height; ++y) {
        const int row = m_topDown ? y : m_height - 1 - y;
        const auto* in = reinterpret_cast<const uchar*>(m_bits.data()) + stride * row;
        uchar* out = image.scanLine(y);
        switch (m_bitCount) {
        case 1:
            std::memcpy(out, in, std::size_t((m_width + 7) / 8));
            break;
        case 4:
            for (int x = 0; x < m_width; ++x)
                out[x] = (x % 2 == 0) ? in[x / 2] >> 4 : in[x / 2] & 0x0F;
            break;
        case 8:
            std::memcpy(out, in, std::size_t(m_width));
            break;
        case 24: {
            auto* o = reinterpret_cast<QRgb*>(out);
            for (int x = 0; x < m_width; ++x)
                o[x] = qRgb(in[3 * x + 2], in[3 * x + 1], in[3 * x]);
            break;
        }
        case 16:
        case 32: {
            auto* o = reinterpret_cast<QRgb*>(out);
            const int bytes = m_bitCount / 8;
            for (int x = 0; x < m_width; ++x) {
                const quint32 p = bytes == 2 ? qFromLittleEndian<quint16>(in + 2 * x)
                                             : qFromLittleEndian<quint32>(in + 4 * x);
                const int a = format == QImage::Format_ARGB32 ? alpha.value(p) : 255;
                o[x] = qRgba(red.value(p), green.value(p), blue.value(p), a);
            }
            break;
        }
        default:
            break;
        }
    }
    return image;
}

// Decodes run-length coded rows into an image twice as wide as the picture: the left half holds
// colour indexes, the right half marks the pixels the bits set.
QImage EmfBitmap::decodeRle() const
{
    QImage image(m_width * 2, m_height, QImage::Format_Grayscale8);
    if (image.isNull())
        return {};
    image.fill(0);
    const bool four = m_compression == BI_RLE4;
    const auto* p = reinterpret_cast<const uchar*>(m_bits.data());
    const qsizetype n = m_bits.size();
    qsizetype i = 0;
    qint64 x = 0, y = 0; // y counts from the bottom row
    const auto put = [&](int index) {
        if (x < m_width && y < m_height) {
            uchar* line = image.scanLine(int(m_height - 1 - y));
            line[x] = uchar(index);
            line[m_width + x] = 1;
        }
        ++x;
    };
    while (i + 1 < n && y < m_height) {
        const int count = p[i];
        const int value = p[i + 1];
        i += 2;
        if (count > 0) {
            // A run; the part past the row's end changes nothing.
            const int limit = int(std::min<qint64>(count, std::max<qint64>(0, m_width - x)));
            for (int k = 0; k < limit; ++k)
                put(four ? (k % 2 == 0 ? value >> 4 : value & 0x0F) : value);
            x += count - limit;
            continue;
        }
        if (value == 0) { // end of line
            x = 0;
            ++y;
        } else if (value == 1) { // end of bitmap
            break;
        } else if (value == 2) { // delta
            if (i + 1 >= n)
                break;
            x += p[i];
            y += p[i + 1];
            i += 2;
        } else { // absolute: value pixels follow, padded to a whole word
            const qsizetype bytes = four ? (value + 1) / 2 : value;
            if (i + bytes > n)
                break;
            for (int k = 0; k < value; ++k)
                put(four ? (k % 2 == 0 ? p[i + k / 2] >> 4 : p[i + k / 2] & 0x0F) : p[i + k]);
            i += bytes + (bytes % 2);
        }
    }
    return image;
}

QImage EmfBitmap::decodeEmbedded() const
{
    QByteArray data(m_bits.data(), m_bits.size());
    QBuffer buffer(&data);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer, m_compression == BI_PNG ? "png" : "jpeg");
    const QSize size = reader.size();
    if (!size.isValid() || qint64(size.width()) * size.height() > MaxPixels)
        return {};
    QImage image;
    if (!reader.read(&image))
        return {};
    return image;
}

} // namespace zel::report::emf
