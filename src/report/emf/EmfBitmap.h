#pragma once

#include <QByteArrayView>
#include <QImage>
#include <QRgb>
#include <vector>

namespace zel::report::emf {

class EmfRecord;

// A device-independent bitmap as records carry it: a header with its colour table, and the
// pixel bits, both found by offset and size inside the record.
//
// Everything is checked before a pixel is allocated: the header against its size, the colour
// table and the uncompressed rows against the bits given, and the picture's size against a
// limit, so a header that declares a huge picture costs nothing.
class EmfBitmap
{
public:
    // Largest picture drawn, in pixels (a page scanned at 600 dpi is about 35 million); larger
    // ones are left out of the page rather than allocated.
    static constexpr qint64 MaxPixels = 48'000'000;

    // Reads the header at offInfo (cbInfo bytes) and the bits at offBits (cbBits bytes) of
    // record, and checks them. usage is DIB_RGB_COLORS or DIB_PAL_COLORS. Throws EmfError
    // when they do not hold together.
    EmfBitmap(const EmfRecord& record, quint32 offInfo, quint32 cbInfo, quint32 offBits,
              quint32 cbBits, quint32 usage);

    int width() const { return m_width; }
    int height() const { return m_height; } // always positive
    int bitCount() const { return m_bitCount; }
    bool isMonochrome() const { return m_bitCount == 1; }
    // Whether it can be drawn: a size within MaxPixels and a format we decode.
    bool drawable() const { return m_drawable; }

    // The picture, top row first. palette is the palette selected in the device context,
    // used when the colour table holds palette indexes. Pixels that the bits leave out (the
    // gaps of a run-length coded picture) are transparent. 32-bit pixels keep their alpha only
    // with keepAlpha. A null image when it cannot be drawn.
    QImage decode(const std::vector<QRgb>& palette, bool keepAlpha = false) const;

private:
    QImage decodeRgb(bool keepAlpha) const;
    QImage decodeRle() const;
    QImage decodeEmbedded() const;
    std::vector<QRgb> colourTable(const std::vector<QRgb>& palette) const;

    QByteArrayView m_info;
    QByteArrayView m_bits;
    quint32 m_usage = 0;
    quint32 m_headerSize = 0;
    int m_width = 0;
    int m_height = 0;
    bool m_topDown = false;
    int m_bitCount = 0;
    quint32 m_compression = 0;
    quint32 m_masks[4] = {0, 0, 0, 0}; // red, green, blue, alpha
    quint32 m_tableOffset = 0;         // in m_info
    quint32 m_tableEntries = 0;
    bool m_drawable = false;
};

} // namespace zel::report::emf
