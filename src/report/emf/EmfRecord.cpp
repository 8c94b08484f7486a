#include "report/emf/EmfRecord.h"

#include "report/emf/EmfError.h"
#include "report/emf/EmfFormat.h"

#include <QtEndian>
#include <cstring>

namespace zel::report::emf {

EmfRecord::EmfRecord(QByteArrayView image, qsizetype offset)
    : m_data(image.data() + offset), m_offset(offset), m_type(qFromLittleEndian<quint32>(m_data)),
      m_size(qFromLittleEndian<quint32>(m_data + 4))
{
}

void EmfRecord::fail(const QString& what) const
{
    throw EmfError(QStringLiteral("%1 (record type %2) at offset %3: %4")
                       .arg(recordName(m_type))
                       .arg(m_type)
                       .arg(m_offset)
                       .arg(what));
}

void EmfRecord::require(quint64 minimum) const
{
    if (m_size < minimum)
        fail(QStringLiteral("the record is %1 bytes, shorter than %2").arg(m_size).arg(minimum));
}

void EmfRecord::requireArray(quint64 offset, quint64 count, quint64 itemSize,
                             const char* what) const
{
    if (count == 0)
        return;
    if (offset > m_size || count > (m_size - offset) / itemSize)
        fail(QStringLiteral("the %1 of the record runs past its end").arg(QLatin1String(what)));
}

quint8 EmfRecord::u8(quint64 at) const
{
    require(at + 1);
    return quint8(m_data[at]);
}

quint16 EmfRecord::u16(quint64 at) const
{
    require(at + 2);
    return qFromLittleEndian<quint16>(m_data + at);
}

quint32 EmfRecord::u32(quint64 at) const
{
    require(at + 4);
    return qFromLittleEndian<quint32>(m_data + at);
}

float EmfRecord::f32(quint64 at) const
{
    const quint32 bits = u32(at);
    float f;
    std::memcpy(&f, &bits, 4);
    return f;
}

QRectF EmfRecord::box(quint64 at) const
{
    const double l = i32(at), t = i32(at + 4), r = i32(at + 8), b = i32(at + 12);
    return QRectF(QPointF(l, t), QPointF(r, b)).normalized();
}

QTransform EmfRecord::xform(quint64 at) const
{
    require(at + 24);
    return QTransform(f32(at), f32(at + 4), f32(at + 8), f32(at + 12), f32(at + 16), f32(at + 20));
}

std::vector<QPointF> EmfRecord::points(quint64 at, quint64 count, bool sixteen) const
{
    const quint64 size = sixteen ? 4 : 8;
    requireArray(at, count, size, "point array");
    std::vector<QPointF> out;
    out.reserve(std::size_t(count));
    for (quint64 i = 0; i < count; ++i) {
        const char* p = m_data + at + size * i;
        if (sixteen)
            out.emplace_back(qFromLittleEndian<qint16>(p), qFromLittleEndian<qint16>(p + 2));
        else
            out.emplace_back(qFromLittleEndian<qint32>(p), qFromLittleEndian<qint32>(p + 4));
    }
    return out;
}

QString EmfRecord::utf16(quint64 at, quint64 count) const
{
    requireArray(at, count, 2, "text");
    QString s(qsizetype(count), Qt::Uninitialized);
    for (quint64 i = 0; i < count; ++i)
        s[qsizetype(i)] = QChar(qFromLittleEndian<quint16>(m_data + at + 2 * i));
    return s;
}

QString EmfRecord::faceName(quint64 at, quint64 maxChars) const
{
    QString s = utf16(at, maxChars);
    const qsizetype end = s.indexOf(QChar(0));
    if (end >= 0)
        s.truncate(end);
    return s;
}

QByteArrayView EmfRecord::bytes(quint64 at, quint64 length, const char* what) const
{
    requireArray(at, length, 1, what);
    return QByteArrayView(m_data + (length == 0 ? 0 : at), qsizetype(length));
}

} // namespace zel::report::emf
