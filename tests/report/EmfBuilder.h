#pragma once

#include "report/emf/EmfImage.h"

#include <QByteArray>
#include <QImage>
#include <QSize>
#include <initializer_list>

namespace zel::test {

// Page images made record by record, for tests of the player: a header for a page of the
// given size on a reference device of exactly 4 pixels a millimetre, the records, and the end
// record, with the header's totals filled in.
//
//     EmfBuilder b(QSize(200, 100));
//     b.record(EMR_RECTANGLE, {10, 10, 50, 50});
//     const QImage picture = played(b.image());
class EmfBuilder
{
public:
    static constexpr int PixelsPerMm = 4;

    explicit EmfBuilder(QSize pixels = QSize(200, 100), int handles = 16);

    // A record of 32-bit words after its type and size.
    EmfBuilder& record(quint32 type, std::initializer_list<qint32> words);
    // A record with any payload after its type and size, padded to whole words.
    EmfBuilder& record(quint32 type, const QByteArray& payload);

    QByteArray bytes() const;
    zel::report::emf::EmfImage image() const; // throws EmfError like any image
    QSize pixels() const { return m_pixels; }

private:
    QSize m_pixels;
    int m_handles;
    QByteArray m_records;
    int m_count = 0;
};

// Little-endian words, as records hold them.
QByteArray words(std::initializer_list<qint32> values);
QByteArray utf16(const QString& text); // padded to whole words

// The image drawn on white at its own size (or another), without anti-aliasing, so pixels
// can be checked.
QImage played(const zel::report::emf::EmfImage& image, QSize size = QSize());

// Pixels of area darker than mid-grey.
int darkPixels(const QImage& image, const QRect& area);

} // namespace zel::test
