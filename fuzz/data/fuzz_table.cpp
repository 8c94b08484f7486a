// Feeds arbitrary bytes to the bulk table reader as if they were a table file and, when the
// first byte says so, its blob file: it must answer with a DatabaseError or a table, never
// crash, hang or read out of bounds. Input: one flag byte; with bit 0 set, a 16-bit count of
// 16-byte units of blob file follows, then those bytes; the rest is the table file.
#include "data/base/Error.h"
#include "data/paradox/ParadoxFile.h"

#include <QByteArrayView>
#include <QStringList>
#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size < 1)
        return 0;
    const auto* p = reinterpret_cast<const char*>(data);
    size_t at = 1;
    QByteArrayView blobs;
    const bool withBlobs = (data[0] & 1) != 0;
    if (withBlobs) {
        if (size < 3)
            return 0;
        const size_t want = static_cast<size_t>(data[1] | (data[2] << 8)) * 16;
        at = 3;
        const size_t n = std::min(want, size - at);
        blobs = QByteArrayView(p + at, static_cast<qsizetype>(n));
        at += n;
    }
    const QByteArrayView table(p + at, static_cast<qsizetype>(size - at));
    try {
        const zel::data::TableStore store =
            zel::data::paradox::decodeTable(table, withBlobs ? &blobs : nullptr,
                                            QStringLiteral("FUZZ.DB"), {QStringLiteral("qomtk4")});
        // Every value is made once, as a dump would.
        for (int r = 0; r < store.recordCount(); ++r)
            for (int f = 0; f < store.fieldCount(); ++f)
                (void)store.value(r, f);
    } catch (const zel::data::DatabaseError&) {
    }
    return 0;
}
