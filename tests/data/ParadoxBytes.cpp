#include "ParadoxBytes.h"

#include <cstring>
#include <iconv.h>

namespace zel::test {

namespace {

void put16(QByteArray& b, int at, int v)
{
    b[at] = static_cast<char>(v & 0xFF);
    b[at + 1] = static_cast<char>((v >> 8) & 0xFF);
}

void put32(QByteArray& b, int at, quint32 v)
{
    for (int i = 0; i < 4; ++i)
        b[at + i] = static_cast<char>((v >> (8 * i)) & 0xFF);
}

QByteArray bigEndian(quint64 v, int bytes)
{
    QByteArray out(bytes, '\0');
    for (int i = bytes - 1; i >= 0; --i) {
        out[i] = static_cast<char>(v & 0xFF);
        v >>= 8;
    }
    return out;
}

} // namespace

QByteArray storedShort(int v)
{
    return bigEndian(static_cast<quint16>(v) ^ 0x8000u, 2);
}

QByteArray storedLong(qint64 v)
{
    return bigEndian(static_cast<quint32>(v) ^ 0x80000000u, 4);
}

QByteArray storedDouble(double v)
{
    quint64 raw = 0;
    std::memcpy(&raw, &v, sizeof raw);
    raw = (raw & 0x8000000000000000ull) ? ~raw : raw ^ 0x8000000000000000ull;
    return bigEndian(raw, 8);
}

QByteArray storedDate(QDate d)
{
    return storedLong(d.toJulianDay() - 1721425);
}

QByteArray storedBcd(bool negative, int decimals, const char* digits32)
{
    QByteArray out(17, '\0');
    out[0] = static_cast<char>((negative ? 0x40 : 0xC0) | decimals);
    for (int k = 0; k < 32; ++k) {
        int d = digits32[k] - '0';
        if (negative)
            d = 15 - d;
        out[1 + k / 2] = static_cast<char>(out[1 + k / 2] | (k % 2 == 0 ? d << 4 : d));
    }
    return out;
}

QByteArray blank(int size)
{
    return QByteArray(size, '\0');
}

QByteArray encoded(const QString& text, int codePage)
{
    const QByteArray name = "CP" + QByteArray::number(codePage);
    iconv_t cd = iconv_open(name.constData(), "UTF-8");
    QByteArray in = text.toUtf8();
    QByteArray out(in.size() * 2 + 4, '\0');
    char* ip = in.data();
    size_t il = static_cast<size_t>(in.size());
    char* op = out.data();
    size_t ol = static_cast<size_t>(out.size());
    iconv(cd, &ip, &il, &op, &ol);
    iconv_close(cd);
    out.truncate(out.size() - static_cast<qsizetype>(ol));
    return out;
}

QByteArray RawTable::build() const
{
    int recordSize = 0;
    for (const RawField& f : fields)
        recordSize += f.recordSize();
    const bool extended = versionId >= 5;
    const int fieldInfo = extended ? 0x78 : 0x58;
    QByteArray names;
    for (const RawField& f : fields)
        names += f.name + '\0';
    const int tableName = versionId >= 12 ? 261 : 79;
    const int used = fieldInfo + static_cast<int>(fields.size()) * 2 + 4 +
                     static_cast<int>(fields.size()) * 4 + tableName + names.size();
    const int headerSize = (used + 0x7FF) / 0x800 * 0x800;
    const int blockSize = blockKb * 1024;
    const int perBlock = (blockSize - 6) / recordSize;
    const int blocks =
        records.empty() ? 0 : static_cast<int>((records.size() + perBlock - 1) / perBlock);

    QByteArray h(headerSize, '\0');
    put16(h, 0x00, recordSize);
    put16(h, 0x02, headerSize);
    h[0x04] = 2; // a table without a primary key
    h[0x05] = static_cast<char>(blockKb);
    put32(h, 0x06, static_cast<quint32>(records.size()));
    put16(h, 0x0A, blocks);
    put16(h, 0x0C, blocks);
    put16(h, 0x0E, blocks == 0 ? 0 : (reverseChain ? blocks : 1));
    put16(h, 0x10, blocks == 0 ? 0 : (reverseChain ? 1 : blocks));
    put16(h, 0x21, static_cast<int>(fields.size()));
    h[0x39] = static_cast<char>(versionId);
    if (extended) {
        put32(h, 0x25, 0xFF00FF00u); // the key lies in the extended header: none
        put16(h, 0x58, versionId);
        put16(h, 0x5A, versionId);
        put16(h, 0x6A, codePage);
    }
    int at = fieldInfo;
    for (const RawField& f : fields) {
        h[at++] = static_cast<char>(f.code);
        h[at++] = static_cast<char>(f.sizeByte);
    }
    at += 4 + static_cast<int>(fields.size()) * 4;
    const QByteArray title = "TABLE.DB";
    h.replace(at, title.size(), title);
    at += tableName;
    h.replace(at, names.size(), names);

    QByteArray data(blocks * blockSize, '\0');
    for (int b = 0; b < blocks; ++b) {
        // The b-th block of the chain sits at file block `physical`.
        const int number = reverseChain ? blocks - b : b + 1;
        const int next = b + 1 < blocks ? (reverseChain ? number - 1 : number + 1) : 0;
        const int prev = b > 0 ? (reverseChain ? number + 1 : number - 1) : 0;
        const int first = b * perBlock;
        const int count = std::min(perBlock, static_cast<int>(records.size()) - first);
        const int base = (number - 1) * blockSize;
        put16(data, base, next);
        put16(data, base + 2, prev);
        put16(data, base + 4, (count - 1) * recordSize);
        for (int r = 0; r < count; ++r)
            data.replace(base + 6 + r * recordSize, recordSize,
                         records[static_cast<size_t>(first + r)]);
    }
    return h + data;
}

RawBlobs::RawBlobs() : m_file(4096, '\0')
{
    // The header block: type 0, one 4 KB block; block sizes, the 16-byte unit of shared
    // blocks, 64 blobs to a shared block, and the 2 KB limit of a shared blob.
    m_file[0] = 0;
    put16(m_file, 1, 1);
    put16(m_file, 3, 1); // modification counts
    put16(m_file, 5, 0x7382);
    put16(m_file, 7, 2);
    put16(m_file, 9, 0x29);
    put16(m_file, 0x0B, 0x1000);
    put16(m_file, 0x0D, 0x1000);
    m_file[0x10] = 0x10;
    put16(m_file, 0x11, 0x40);
    put16(m_file, 0x13, 0x800);
}

quint32 RawBlobs::addSingle(const QByteArray& data, quint16 modification)
{
    const int at = m_file.size();
    const int blocks = (9 + data.size() + 4095) / 4096;
    QByteArray block(blocks * 4096, '\0');
    block[0] = 2;
    put16(block, 1, blocks);
    put32(block, 3, static_cast<quint32>(data.size()));
    put16(block, 7, modification);
    block.replace(9, data.size(), data);
    m_file += block;
    return static_cast<quint32>(at) | 0xFF;
}

std::vector<quint32> RawBlobs::addShared(const std::vector<QByteArray>& data)
{
    const int at = m_file.size();
    QByteArray block(4096, '\0');
    block[0] = 3;
    put16(block, 1, 1);
    std::vector<quint32> offsets;
    int unit = 21; // the first 16-byte unit after the 64 pointers
    for (size_t i = 0; i < data.size(); ++i) {
        const int units = (data[i].size() + 15) / 16;
        // Other software fills the pointers from the last one down.
        const int index = 63 - static_cast<int>(i);
        const int p = 12 + index * 5;
        block[p] = static_cast<char>(unit);
        block[p + 1] = static_cast<char>(units);
        put16(block, p + 2, 1);
        block[p + 4] = static_cast<char>(data[i].size() - (units - 1) * 16);
        block.replace(unit * 16, data[i].size(), data[i]);
        offsets.push_back(static_cast<quint32>(at) | static_cast<quint32>(index));
        unit += units;
    }
    m_file += block;
    return offsets;
}

QByteArray blobField(int leader, const QByteArray& data, quint32 offset, bool leaderHoldsStart)
{
    QByteArray out(leader + 10, '\0');
    if (leaderHoldsStart)
        out.replace(0, std::min(leader, static_cast<int>(data.size())), data.left(leader));
    put32(out, leader, offset);
    put32(out, leader + 4, static_cast<quint32>(data.size()));
    put16(out, leader + 8, 1);
    return out;
}

} // namespace zel::test
