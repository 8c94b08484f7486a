#include "report/emf/EmfImage.h"

#include "report/emf/EmfError.h"
#include "report/emf/EmfFormat.h"
#include "report/emf/EmfPlayer.h"

#include <QtEndian>

namespace zel::report::emf {

EmfImage::EmfImage(QByteArray bytes, const EmfHeader& header)
    : m_bytes(std::move(bytes)), m_header(header)
{
}

EmfImage EmfImage::fromBytes(const QByteArray& data)
{
    const EmfHeader header = EmfHeader::parse(data);
    if (header.bytes > quint64(data.size()))
        throw EmfError(QStringLiteral("page image claims %1 bytes, but only %2 are there")
                           .arg(header.bytes)
                           .arg(data.size()));
    if (header.frameInDevicePixels().isEmpty())
        throw EmfError(QStringLiteral("page image has no size"));

    const QByteArrayView image(data.constData(), header.bytes);
    // Each record must lie inside the image, and the end record must close it exactly, so that
    // the player can step from record to record without ever reading outside.
    qsizetype offset = 0;
    bool ended = false;
    while (offset < image.size()) {
        if (ended)
            throw EmfError(QStringLiteral("page image has records after its end record"));
        if (image.size() - offset < 8)
            throw EmfError(
                QStringLiteral("page image ends inside a record at offset %1").arg(offset));
        const quint32 type = qFromLittleEndian<quint32>(image.data() + offset);
        const quint32 size = qFromLittleEndian<quint32>(image.data() + offset + 4);
        if (size < 8 || size % 4 != 0 || size > quint64(image.size() - offset))
            throw EmfError(QStringLiteral("record at offset %1 has an impossible size of %2 bytes")
                               .arg(offset)
                               .arg(size));
        if ((offset == 0) != (type == EMR_HEADER))
            throw EmfError(
                QStringLiteral("page image has a header record at offset %1").arg(offset));
        if (type == EMR_EOF)
            ended = true;
        offset += size;
    }
    if (!ended)
        throw EmfError(QStringLiteral("page image has no end record"));

    EmfPlayer::check(image, header);
    return EmfImage(data.size() == image.size() ? data : data.left(image.size()), header);
}

} // namespace zel::report::emf
