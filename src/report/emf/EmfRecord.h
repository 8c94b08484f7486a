#pragma once

#include <QByteArrayView>
#include <QColor>
#include <QPointF>
#include <QRectF>
#include <QString>
#include <QTransform>
#include <vector>

namespace zel::report::emf {

// One record of a page image, with reads that cannot leave it: every read checks its offset
// against the record's size and throws EmfError, naming the record, when the record is too
// short. The record itself has already been found to lie inside the image.
class EmfRecord
{
public:
    EmfRecord(QByteArrayView image, qsizetype offset);

    quint32 type() const { return m_type; }
    quint32 size() const { return m_size; }
    qsizetype offset() const { return m_offset; }

    // Throws unless the record holds at least minimum bytes.
    void require(quint64 minimum) const;
    // Throws unless count items of itemSize bytes fit from offset on; what names them in the
    // message. An empty array may point anywhere.
    void requireArray(quint64 offset, quint64 count, quint64 itemSize, const char* what) const;
    // Throws with a message about this record.
    [[noreturn]] void fail(const QString& what) const;

    quint8 u8(quint64 at) const;
    quint16 u16(quint64 at) const;
    qint16 i16(quint64 at) const { return qint16(u16(at)); }
    quint32 u32(quint64 at) const;
    qint32 i32(quint64 at) const { return qint32(u32(at)); }
    float f32(quint64 at) const;

    QPointF point(quint64 at) const { return QPointF(i32(at), i32(at + 4)); }
    QPointF point16(quint64 at) const { return QPointF(i16(at), i16(at + 2)); }
    QSizeF sizeAt(quint64 at) const { return QSizeF(i32(at), i32(at + 4)); }
    // A box as rectangle and ellipse records store it: the figure spans from the first corner
    // up to the second.
    QRectF box(quint64 at) const;
    // COLORREF: 0x00bbggrr.
    QColor colour(quint64 at) const { return colourFrom(u32(at)); }
    // XFORM: eM11, eM12, eM21, eM22, eDx, eDy as floats.
    QTransform xform(quint64 at) const;

    // count points of 32 bits a coordinate, or of 16 with sixteen, from at on.
    std::vector<QPointF> points(quint64 at, quint64 count, bool sixteen) const;

    QString utf16(quint64 at, quint64 count) const;
    // A face name of at most maxChars UTF-16 units, ending at the first zero.
    QString faceName(quint64 at, quint64 maxChars) const;
    // length bytes from at on, checked to lie inside the record.
    QByteArrayView bytes(quint64 at, quint64 length, const char* what) const;

    static QColor colourFrom(quint32 ref)
    {
        return QColor(int(ref & 0xFF), int((ref >> 8) & 0xFF), int((ref >> 16) & 0xFF));
    }

private:
    const char* m_data;
    qsizetype m_offset;
    quint32 m_type;
    quint32 m_size;
};

} // namespace zel::report::emf
