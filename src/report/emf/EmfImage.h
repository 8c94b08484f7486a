#pragma once

#include "report/emf/EmfHeader.h"

#include <QByteArray>

namespace zel::report::emf {

// A page image: the bytes of an enhanced metafile that has passed every check the player
// makes, with its header. Holding one means it can be played without an error.
class EmfImage
{
public:
    // Checks data as a whole metafile (header, every record's size, every record the player
    // draws, the end record last) and keeps it. Bytes after the image's own length are not
    // part of it. Throws EmfError.
    static EmfImage fromBytes(const QByteArray& data);

    const QByteArray& bytes() const { return m_bytes; }
    const EmfHeader& header() const { return m_header; }

private:
    EmfImage(QByteArray bytes, const EmfHeader& header);

    QByteArray m_bytes;
    EmfHeader m_header;
};

} // namespace zel::report::emf
