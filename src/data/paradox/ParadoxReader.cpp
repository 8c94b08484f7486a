// The bulk reader of Paradox tables: the whole file in memory at once (a map of it), every
// header fact checked against the file before it is used, the data blocks followed along
// their chain, decrypted a block at a time, and every record decoded straight into a
// TableStore. Nothing here trusts a number from the file without checking it first.
#include "data/base/Error.h"
#include "data/base/FileAccess.h"
#include "data/base/FileName.h"
#include "data/paradox/BlockCipher.h"
#include "data/paradox/CodePage.h"
#include "data/paradox/ParadoxFile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QScopeGuard>
#include <QtEndian>
#include <algorithm>
#include <array>
#include <atomic>
#include <cerrno>
#include <cstdint>
#include <cstring>
#include <exception>
#include <fcntl.h>
#include <optional>
#include <sys/mman.h>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

namespace zel::data::paradox {

namespace {

// Field type codes of the file format.
enum : unsigned char
{
    kAlpha = 0x01,
    kDate = 0x02,
    kShort = 0x03,
    kLong = 0x04,
    kCurrency = 0x05,
    kNumber = 0x06,
    kLogical = 0x09,
    kMemo = 0x0C,
    kBinary = 0x0D,
    kFormattedMemo = 0x0E,
    kOle = 0x0F,
    kGraphic = 0x10,
    kTime = 0x14,
    kTimestamp = 0x15,
    kAutoIncrement = 0x16,
    kBcd = 0x17,
    kBytes = 0x18
};

constexpr int kBcdSize = 17;
constexpr int kBlobDescriptor = 10; // offset, length and modification number after the leader
constexpr size_t kBlobBlock = 4096;

quint32 be32(const unsigned char* p)
{
    return (static_cast<quint32>(p[0]) << 24) | (static_cast<quint32>(p[1]) << 16) |
           (static_cast<quint32>(p[2]) << 8) | p[3];
}

bool allZero(const unsigned char* p, int n)
{
    for (int i = 0; i < n; ++i)
        if (p[i] != 0)
            return false;
    return true;
}

struct Field
{
    unsigned char code = 0;
    int size = 0;   // bytes in the record
    int offset = 0; // within the record
    FieldDef def;
};

FieldType typeOf(unsigned char code)
{
    switch (code) {
    case kAlpha:
        return FieldType::Text;
    case kDate:
        return FieldType::Date;
    case kShort:
    case kLong:
        return FieldType::Integer;
    case kCurrency:
        return FieldType::Currency;
    case kNumber:
        return FieldType::Number;
    case kLogical:
        return FieldType::Logical;
    case kMemo:
        return FieldType::Memo;
    case kBinary:
        return FieldType::Binary;
    case kFormattedMemo:
        return FieldType::FormattedMemo;
    case kOle:
        return FieldType::Ole;
    case kGraphic:
        return FieldType::Graphic;
    case kTime:
        return FieldType::Time;
    case kTimestamp:
        return FieldType::Timestamp;
    case kAutoIncrement:
        return FieldType::AutoIncrement;
    case kBcd:
        return FieldType::Bcd;
    case kBytes:
        return FieldType::Bytes;
    default:
        return FieldType::Other;
    }
}

bool isBlob(unsigned char code)
{
    return code == kMemo || code == kBinary || code == kFormattedMemo || code == kOle ||
           code == kGraphic;
}

// The size a field takes in the record, from the size byte of its definition; 0 when the
// two do not fit together.
int recordSizeOf(unsigned char code, int sizeByte)
{
    switch (code) {
    case kAlpha:
    case kBytes:
        return sizeByte >= 1 ? sizeByte : 0;
    case kShort:
        return sizeByte == 2 ? 2 : 0;
    case kLong:
    case kAutoIncrement:
    case kDate:
    case kTime:
        return sizeByte == 4 ? 4 : 0;
    case kNumber:
    case kCurrency:
    case kTimestamp:
        return sizeByte == 8 ? 8 : 0;
    case kLogical:
        return sizeByte == 1 ? 1 : 0;
    case kBcd:
        // The definition gives the number of decimals; the record always holds 17 bytes.
        return sizeByte <= 32 ? kBcdSize : 0;
    default:
        if (isBlob(code)) // a leader of up to 240 bytes; binary kinds may have none
            return sizeByte >= kBlobDescriptor && sizeByte <= 250 ? sizeByte : 0;
        return sizeByte >= 1 ? sizeByte : 0;
    }
}

int fileVersionOf(unsigned versionId)
{
    if (versionId <= 3)
        return 30;
    if (versionId == 4)
        return 35;
    if (versionId <= 9)
        return 40;
    if (versionId <= 11)
        return 50;
    return 70;
}

class Decoder
{
public:
    Decoder(QByteArrayView file, const QByteArrayView* blobs, const QString& name,
            const QStringList& passwords, bool blobsOptional)
        : m_p(reinterpret_cast<const unsigned char*>(file.data())),
          m_n(static_cast<size_t>(file.size())), m_blobs(blobs), m_name(name),
          m_passwords(passwords), m_blobsOptional(blobsOptional)
    {
    }
    // Values kept in a blob file that was not there, left empty.
    int lostBlobs() const { return m_lostBlobs; }
    // The table's bytes are a map of its file, whose pages may be given back once decoded.
    void releaseDecodedPages() { m_release = true; }

    TableStore run();
    // What reading any record needs: the header, the fields, the password; then the chain of
    // data blocks with the number of records in each.
    void open();
    void readBlockHeads() { m_chain = readChain(); }
    int chainRecords() const { return m_firstRecord.empty() ? 0 : int(m_firstRecord.back()); }
    // The records of these numbers (ascending, each once), each block decrypted once; with
    // fields named, a store of only those fields, only they decrypted and decoded.
    TableStore readSelected(const std::vector<int>& records, const QStringList& fields = {});

private:
    DatabaseError fail(const QString& why) const
    {
        return DatabaseError(QStringLiteral("%1 is not a valid table: %2").arg(m_name, why));
    }
    DatabaseError blobFail(const QString& why) const
    {
        return DatabaseError(QStringLiteral("%1: %2").arg(m_name, why));
    }
    void readHeader();
    void readFields();
    void checkPassword();
    void decryptBlobs();
    void readRecords(TableStoreBuilder& out);
    std::vector<unsigned> readChain();
    TableStoreBuilder builder(size_t records) const;
    void decodeBlocks(const unsigned* first, const unsigned* last, TableStoreBuilder& out);
    void decodeRecord(const unsigned char* rec, TableStoreBuilder& out);
    // Field i of the record into column of out.
    void decodeField(int i, int column, const unsigned char* rec, TableStoreBuilder& out);
    void decodeBlob(const Field& f, int column, const unsigned char* p, TableStoreBuilder& out);
    QByteArrayView blobData(const Field& f, quint32 offset, quint32 length) const;

    const unsigned char* m_p;
    size_t m_n;
    const QByteArrayView* m_blobs;
    QString m_name;
    QStringList m_passwords;
    bool m_blobsOptional = false;
    bool m_release = false;
    std::atomic<int> m_lostBlobs{0};
    std::vector<unsigned char> m_plainBlobs; // an encrypted table's blob file, decrypted
    QByteArrayView m_plainView;

    int m_recordSize = 0;
    size_t m_headerSize = 0;
    size_t m_blockSize = 0;
    quint32 m_numRecords = 0;
    unsigned m_fileBlocks = 0;
    unsigned m_firstBlock = 0;
    int m_numFields = 0;
    int m_keyFields = 0;
    unsigned m_versionId = 0;
    bool m_extended = false;
    int m_codePage = 0;
    quint32 m_key = 0;
    std::optional<BlockCipher> m_cipher; // made once the key is known, for protected tables
    std::vector<Field> m_fields;
    std::unique_ptr<TextDecoder> m_text;
    // Of the block last read from, the 256-byte pieces decrypted so far: a search's probes
    // read neighbouring records one call at a time.
    std::vector<unsigned char> m_plain;
    std::vector<bool> m_plainPiece;
    size_t m_plainBlock = SIZE_MAX;
    // The number of the first record of each block of the chain, and the count after the last.
    std::vector<unsigned> m_chain;
    std::vector<quint32> m_firstRecord;
};

void Decoder::readHeader()
{
    if (m_n < 0x58)
        throw fail(QStringLiteral("the file is too short"));
    m_recordSize = qFromLittleEndian<quint16>(m_p + 0x00);
    m_headerSize = qFromLittleEndian<quint16>(m_p + 0x02);
    const unsigned fileType = m_p[0x04];
    const unsigned blockKb = m_p[0x05];
    m_numRecords = qFromLittleEndian<quint32>(m_p + 0x06);
    m_fileBlocks = qFromLittleEndian<quint16>(m_p + 0x0C);
    m_firstBlock = qFromLittleEndian<quint16>(m_p + 0x0E);
    m_numFields = qFromLittleEndian<quint16>(m_p + 0x21);
    m_keyFields = qFromLittleEndian<quint16>(m_p + 0x23);
    m_versionId = m_p[0x39];
    // Only the two kinds of data file; index files share the header but hold no records.
    if (fileType != 0 && fileType != 2)
        throw fail(QStringLiteral("unknown file type"));
    if (m_recordSize == 0 || m_numFields == 0 || m_numFields > 255 || m_keyFields > m_numFields)
        throw fail(QStringLiteral("bad field layout"));
    if (blockKb < 1 || blockKb > 32)
        throw fail(QStringLiteral("bad block size"));
    if (m_headerSize < 0x58 || m_headerSize > m_n)
        throw fail(QStringLiteral("bad header size"));
    m_blockSize = static_cast<size_t>(blockKb) * 1024;
    const size_t dataBytes = m_n - m_headerSize;
    if (static_cast<size_t>(m_fileBlocks) * m_blockSize > dataBytes)
        throw fail(QStringLiteral("the file is truncated"));
    if (static_cast<size_t>(m_recordSize) > m_blockSize - 6)
        throw fail(QStringLiteral("records larger than a block"));
    const size_t perBlock = (m_blockSize - 6) / static_cast<size_t>(m_recordSize);
    if (static_cast<size_t>(m_numRecords) > static_cast<size_t>(m_fileBlocks) * perBlock)
        throw fail(QStringLiteral("more records than the file can hold"));

    // Tables of version 4.0 and later have an extended header with the code page and, when
    // the first key field holds the marker, the encryption key.
    m_extended = m_versionId >= 5;
    if (m_extended && m_headerSize < 0x78)
        throw fail(QStringLiteral("bad header size"));
    m_codePage = m_extended ? qFromLittleEndian<quint16>(m_p + 0x6A) : 0;
    m_key = qFromLittleEndian<quint32>(m_p + 0x25);
    if (m_key == 0xFF00FF00u) {
        if (!m_extended)
            throw fail(QStringLiteral("inconsistent encryption marker"));
        m_key = qFromLittleEndian<quint32>(m_p + 0x5C);
    }
    if (m_key != 0)
        m_cipher.emplace(m_key);
}

void Decoder::readFields()
{
    const auto badFields = [this] { return fail(QStringLiteral("bad field definitions")); };
    size_t at = m_extended ? 0x78 : 0x58;
    if (at + static_cast<size_t>(m_numFields) * 2 > m_headerSize)
        throw badFields();
    m_fields.resize(static_cast<size_t>(m_numFields));
    int offset = 0;
    for (Field& f : m_fields) {
        f.code = m_p[at];
        const int sizeByte = m_p[at + 1];
        at += 2;
        f.size = recordSizeOf(f.code, sizeByte);
        if (f.size == 0)
            throw badFields();
        f.offset = offset;
        offset += f.size;
        f.def.type = typeOf(f.code);
        f.def.width = sizeByte;
        if (isBlob(f.code))
            f.def.width = sizeByte - kBlobDescriptor;
        if (f.def.type == FieldType::Other)
            f.def.typeCode = f.code;
    }
    if (offset != m_recordSize)
        throw fail(QStringLiteral("field sizes do not add up"));

    // After the field types: a pointer to the table name, a pointer per field name, the
    // table name itself (79 bytes before version 7, 261 since) and the field names, each
    // ended by a zero byte.
    at += 4 + static_cast<size_t>(m_numFields) * 4 + (m_versionId >= 12 ? 261 : 79);
    for (Field& f : m_fields) {
        if (at >= m_headerSize)
            throw badFields();
        const auto* end =
            static_cast<const unsigned char*>(std::memchr(m_p + at, 0, m_headerSize - at));
        if (!end)
            throw badFields();
        const auto len = static_cast<size_t>(end - (m_p + at));
        f.def.name = m_text->decodeString(m_p + at, len);
        at += len + 1;
    }
}

void Decoder::checkPassword()
{
    if (m_key == 0)
        return;
    for (const QString& pw : m_passwords)
        if (passwordChecksum(pw) == m_key)
            return;
    throw DatabaseError(
        m_passwords.isEmpty()
            ? QStringLiteral("%1 is protected by a password, and none was given").arg(m_name)
            : QStringLiteral("%1 is protected by a password, and the one given is wrong")
                  .arg(m_name));
}

// An encrypted table's blob file is encrypted with the same key, in pieces of 256 bytes from its
// first byte on, its header block included. It is decrypted whole, into memory of its own (the
// file is only read), before the records are read, which a large table does on two threads.
void Decoder::decryptBlobs()
{
    if (m_key == 0 || !m_blobs ||
        std::none_of(m_fields.begin(), m_fields.end(),
                     [](const Field& f) { return isBlob(f.code); }))
        return;
    constexpr size_t kPiece = 256;
    const auto size = static_cast<size_t>(m_blobs->size());
    if (size == 0)
        return;
    // A file cut short still has its whole pieces decrypted; the rest of the last one is zeros.
    m_plainBlobs.assign((size + kPiece - 1) / kPiece * kPiece, 0);
    std::memcpy(m_plainBlobs.data(), m_blobs->data(), size);
    m_cipher->decryptBlobs(m_plainBlobs.data(), m_plainBlobs.size());
    m_plainView = QByteArrayView(reinterpret_cast<const char*>(m_plainBlobs.data()),
                                 static_cast<qsizetype>(size));
    m_blobs = &m_plainView;
}

QByteArrayView Decoder::blobData(const Field& f, quint32 offset, quint32 length) const
{
    if (!m_blobs)
        throw blobFail(QStringLiteral("its blob file (.MB) is missing"));
    const auto* mb = reinterpret_cast<const unsigned char*>(m_blobs->data());
    const auto size = static_cast<size_t>(m_blobs->size());
    const auto damaged = [this] {
        return blobFail(QStringLiteral("its blob file (.MB) is damaged"));
    };
    const size_t block = offset & 0xFFFFFF00u;
    const unsigned index = offset & 0xFFu;
    if (block == 0 || block + 12 > size)
        throw damaged();
    const unsigned type = mb[block];
    const size_t blockEnd = std::min(
        size, block + static_cast<size_t>(qFromLittleEndian<quint16>(mb + block + 1)) * kBlobBlock);
    size_t start = 0, n = 0;
    if (index == 0xFF) {
        // A blob of its own: one or more 4 KB blocks after a 9-byte head.
        if (type != 2)
            throw damaged();
        n = qFromLittleEndian<quint32>(mb + block + 3);
        start = block + 9;
    } else {
        // One of up to 64 small blobs in a shared block, found through its pointer: start and
        // length in 16-byte units, then the length of the last unit.
        if (type != 3 || index >= 64)
            throw damaged();
        const unsigned char* ptr = mb + block + 12 + static_cast<size_t>(index) * 5;
        if (ptr[0] == 0 || ptr[1] == 0 || ptr[4] == 0 || ptr[4] > 16)
            throw damaged();
        start = block + static_cast<size_t>(ptr[0]) * 16;
        n = static_cast<size_t>(ptr[1] - 1) * 16 + ptr[4];
    }
    if (start > blockEnd || n > blockEnd - start)
        throw damaged();
    (void)length; // the block's own length is the one to trust; the record's may lag behind it
    // A graphic blob starts with a head of 8 bytes before the picture itself.
    if (f.code == kGraphic) {
        if (n < 8)
            throw damaged();
        start += 8;
        n -= 8;
    }
    return QByteArrayView(reinterpret_cast<const char*>(mb + start), static_cast<qsizetype>(n));
}

void Decoder::decodeBlob(const Field& f, int column, const unsigned char* p, TableStoreBuilder& out)
{
    const int leader = f.size - kBlobDescriptor;
    const unsigned char* d = p + leader;
    const quint32 offset = qFromLittleEndian<quint32>(d);
    const quint32 length = qFromLittleEndian<quint32>(d + 4);
    if (length == 0)
        return;
    QByteArrayView data;
    if (offset == 0) {
        // Small enough to live in the record itself.
        data = QByteArrayView(
            reinterpret_cast<const char*>(p),
            static_cast<qsizetype>(std::min<quint32>(length, static_cast<quint32>(leader))));
    } else if (!m_blobs && m_blobsOptional) {
        ++m_lostBlobs;
        return;
    } else {
        data = blobData(f, offset, length);
    }
    if (f.code == kMemo || f.code == kFormattedMemo) {
        auto n = static_cast<size_t>(data.size());
        const auto* bytes = reinterpret_cast<const unsigned char*>(data.data());
        while (n > 0 && bytes[n - 1] == 0)
            --n;
        char16_t* room = out.textRoom(n);
        out.commitText(column, m_text->decode(bytes, n, room));
    } else {
        out.setBytes(column, data);
    }
}

void Decoder::decodeRecord(const unsigned char* rec, TableStoreBuilder& out)
{
    out.addRecord();
    for (int i = 0; i < m_numFields; ++i)
        decodeField(i, i, rec, out);
}

[[gnu::always_inline]] inline void Decoder::decodeField(int i, int column, const unsigned char* rec,
                                                        TableStoreBuilder& out)
{
    {
        const Field& f = m_fields[static_cast<size_t>(i)];
        const unsigned char* p = rec + f.offset;
        switch (f.code) {
        case kAlpha: {
            const void* end = std::memchr(p, 0, static_cast<size_t>(f.size));
            size_t n = end ? static_cast<size_t>(static_cast<const unsigned char*>(end) - p)
                           : static_cast<size_t>(f.size);
            while (n > 0 && p[n - 1] == ' ')
                --n;
            if (n > 0) {
                char16_t* room = out.textRoom(n);
                out.commitText(column, m_text->decode(p, n, room));
            }
            break;
        }
        case kShort: {
            const quint16 raw = static_cast<quint16>((p[0] << 8) | p[1]);
            if (raw != 0)
                out.setInteger(column, static_cast<qint16>(raw ^ 0x8000u));
            break;
        }
        case kLong:
        case kAutoIncrement:
        case kDate:
        case kTime: {
            const quint32 raw = be32(p);
            if (raw != 0)
                out.setInteger(column, static_cast<qint32>(raw ^ 0x80000000u));
            break;
        }
        case kNumber:
        case kCurrency:
        case kTimestamp: {
            quint64 raw = qFromBigEndian<quint64>(p);
            if (raw == 0)
                break;
            // Positive values have the sign bit set; negative ones are stored complemented.
            raw = (raw & 0x8000000000000000ull) ? raw ^ 0x8000000000000000ull : ~raw;
            double v = 0;
            std::memcpy(&v, &raw, sizeof v);
            out.setNumber(column, v);
            break;
        }
        case kLogical:
            if (p[0] != 0)
                out.setLogical(column, (p[0] & 0x7F) != 0);
            break;
        case kBcd: {
            if (allZero(p, kBcdSize))
                break;
            // The first byte holds the sign (its top bit set for a positive value); 32 decimal
            // digits follow, complemented for a negative value, the last `width` of them
            // after the decimal point.
            const bool negative = (p[0] & 0x80) == 0;
            const int decimals = f.def.width;
            char16_t digits[32];
            bool valid = true;
            for (int k = 0; k < 32; ++k) {
                int d = (k % 2 == 0) ? (p[1 + k / 2] >> 4) : (p[1 + k / 2] & 0x0F);
                if (negative)
                    d = 15 - d;
                valid = valid && d <= 9;
                digits[k] = static_cast<char16_t>(u'0' + d);
            }
            if (!valid)
                break;
            char16_t* room = out.textRoom(36);
            size_t n = 0;
            int first = 0;
            while (first < 32 - decimals - 1 && digits[first] == u'0')
                ++first;
            const bool zero =
                std::all_of(digits, digits + 32, [](char16_t c) { return c == u'0'; });
            if (negative && !zero)
                room[n++] = u'-';
            for (int k = first; k < 32 - decimals; ++k)
                room[n++] = digits[k];
            if (decimals == 32)
                room[n++] = u'0';
            if (decimals > 0) {
                room[n++] = u'.';
                for (int k = 32 - decimals; k < 32; ++k)
                    room[n++] = digits[k];
            }
            out.commitText(column, n);
            break;
        }
        case kBytes:
            if (!allZero(p, f.size))
                out.setBytes(column, QByteArrayView(reinterpret_cast<const char*>(p), f.size));
            break;
        default:
            if (isBlob(f.code))
                decodeBlob(f, column, p, out);
            else if (!allZero(p, f.size))
                out.setBytes(column, QByteArrayView(reinterpret_cast<const char*>(p), f.size));
            break;
        }
    }
}

// The chain of data blocks, checked: every block within the file, none twice, every block
// head sound. Only the first 256 bytes of an encrypted block (which hold its head) are
// decrypted here; the cipher works on 256-byte pieces.
std::vector<unsigned> Decoder::readChain()
{
    std::vector<unsigned> chain;
    m_firstRecord.assign(1, 0);
    unsigned char head[256];
    std::vector<bool> seen(static_cast<size_t>(m_fileBlocks) + 1, false);
    unsigned block = m_firstBlock;
    while (block != 0) {
        if (block > m_fileBlocks || seen[block])
            throw fail(QStringLiteral("the chain of data blocks is broken"));
        seen[block] = true;
        const unsigned char* b = m_p + m_headerSize + static_cast<size_t>(block - 1) * m_blockSize;
        if (m_cipher) {
            m_cipher->decryptBlock(b, head, sizeof head, block);
            b = head;
        }
        // Block head: next block, previous block, and the offset of the last record in the
        // block (negative when the block is empty).
        const auto lastOffset = static_cast<qint16>(qFromLittleEndian<quint16>(b + 4));
        if (lastOffset >= 0 && (lastOffset % m_recordSize != 0 ||
                                static_cast<size_t>(lastOffset + m_recordSize) > m_blockSize - 6))
            throw fail(QStringLiteral("a data block is damaged"));
        chain.push_back(block);
        m_firstRecord.push_back(m_firstRecord.back() +
                                (lastOffset < 0 ? 0 : quint32(lastOffset / m_recordSize + 1)));
        block = qFromLittleEndian<quint16>(b);
    }
    return chain;
}

// Pages of a file map lying wholly inside [from, to) are dropped from the process: they were
// only read, so the page cache keeps them, and the memory of a table never holds its file and
// all of its decoded records at once.
void releasePages(const unsigned char* from, const unsigned char* to)
{
    static const auto page = static_cast<uintptr_t>(sysconf(_SC_PAGESIZE));
    const uintptr_t start = (reinterpret_cast<uintptr_t>(from) + page - 1) & ~(page - 1);
    const uintptr_t end = reinterpret_cast<uintptr_t>(to) & ~(page - 1);
    if (end > start)
        madvise(reinterpret_cast<void*>(start), end - start, MADV_DONTNEED);
}

void Decoder::decodeBlocks(const unsigned* first, const unsigned* last, TableStoreBuilder& out)
{
    // An encrypted block is decrypted into a buffer of one block, which stays in the cache
    // while its records are decoded; the file itself is only read. Blocks decoded one after
    // the other in the file make a run whose pages are released every megabyte.
    constexpr size_t kRun = 1 << 20;
    std::vector<unsigned char> plain(m_key != 0 ? m_blockSize : 0);
    const unsigned char* runStart = nullptr;
    const unsigned char* runEnd = nullptr;
    for (const unsigned* block = first; block != last; ++block) {
        const unsigned char* b = m_p + m_headerSize + static_cast<size_t>(*block - 1) * m_blockSize;
        if (m_release && (b != runEnd || static_cast<size_t>(runEnd - runStart) >= kRun)) {
            if (runStart)
                releasePages(runStart, runEnd);
            runStart = b;
        }
        runEnd = b + m_blockSize;
        if (m_cipher) {
            m_cipher->decryptBlock(b, plain.data(), m_blockSize, *block);
            b = plain.data();
        }
        const auto lastOffset = static_cast<qint16>(qFromLittleEndian<quint16>(b + 4));
        if (lastOffset < 0)
            continue;
        const int records = lastOffset / m_recordSize + 1;
        for (int r = 0; r < records; ++r)
            decodeRecord(b + 6 + static_cast<size_t>(r) * static_cast<size_t>(m_recordSize), out);
    }
    if (m_release && runStart)
        releasePages(runStart, runEnd);
}

void Decoder::readRecords(TableStoreBuilder& out)
{
    const std::vector<unsigned> chain = readChain();
    // A large table is decoded in two halves at once, the second into a store of its own that
    // is then put behind the first. Multi-byte code pages keep a decoder state and are read
    // in one go.
    if (chain.size() < 64 || m_text->multiByte()) {
        decodeBlocks(chain.data(), chain.data() + chain.size(), out);
        return;
    }
    const size_t half = chain.size() / 2;
    TableStoreBuilder tail(out.fields(), TableInfo{});
    size_t textPerRecord = 0;
    for (const Field& f : m_fields)
        textPerRecord += f.code == kAlpha ? static_cast<size_t>(f.size) : (f.code == kBcd ? 36 : 0);
    tail.reserve(static_cast<int>(m_numRecords / 2 + 1), textPerRecord * (m_numRecords / 2 + 1));
    std::exception_ptr failure;
    std::thread helper([&] {
        try {
            decodeBlocks(chain.data() + half, chain.data() + chain.size(), tail);
        } catch (...) {
            failure = std::current_exception();
        }
    });
    try {
        decodeBlocks(chain.data(), chain.data() + half, out);
    } catch (...) {
        helper.join();
        throw;
    }
    helper.join();
    if (failure)
        std::rethrow_exception(failure);
    out.append(tail.finish());
}

void Decoder::open()
{
    readHeader();
    m_text = std::make_unique<TextDecoder>(m_codePage);
    readFields();
    checkPassword();
    decryptBlobs();
}

TableStoreBuilder Decoder::builder(size_t records) const
{
    TableInfo info;
    info.codePage = m_codePage;
    info.fileVersion = fileVersionOf(m_versionId);
    info.primaryKeyFields = m_keyFields;
    info.encryption = m_key;
    std::vector<FieldDef> defs;
    size_t textPerRecord = 0;
    for (const Field& f : m_fields) {
        defs.push_back(f.def);
        if (f.code == kAlpha)
            textPerRecord += static_cast<size_t>(f.size);
        else if (f.code == kBcd)
            textPerRecord += 36;
    }
    TableStoreBuilder out(std::move(defs), info);
    out.reserve(static_cast<int>(records), textPerRecord * records);
    return out;
}

TableStore Decoder::run()
{
    open();
    TableStoreBuilder out = builder(m_numRecords);
    readRecords(out);
    return out.finish();
}

TableStore Decoder::readSelected(const std::vector<int>& records, const QStringList& fields)
{
    if (m_firstRecord.empty())
        m_chain = readChain();
    std::vector<int> only;
    for (const QString& name : fields)
        for (int i = 0; i < m_numFields; ++i)
            if (m_fields[size_t(i)].def.name.compare(name, Qt::CaseInsensitive) == 0)
                only.push_back(i);
    // Of fields named, a store of those alone: a search's probe makes one per record.
    std::vector<FieldDef> onlyDefs;
    for (const int i : only)
        onlyDefs.push_back(m_fields[size_t(i)].def);
    TableStoreBuilder out =
        only.empty() ? builder(records.size()) : TableStoreBuilder(std::move(onlyDefs));
    // The byte ranges of a record to decrypt: all of it, or the fields asked for.
    std::vector<std::pair<size_t, size_t>> ranges;
    if (only.empty())
        ranges.emplace_back(0, size_t(m_recordSize));
    for (const int i : only)
        ranges.emplace_back(size_t(m_fields[size_t(i)].offset),
                            size_t(m_fields[size_t(i)].offset + m_fields[size_t(i)].size));
    // Of an encrypted block only the 256-byte pieces that hold what is asked for are
    // decrypted: a search reads one record of each block it looks into.
    if (m_cipher && m_plain.size() != m_blockSize) {
        m_plain.assign(m_blockSize, 0);
        m_plainPiece.assign(m_blockSize / 256, false);
    }
    for (const int record : records) {
        if (record < 0 || quint32(record) >= m_firstRecord.back())
            throw fail(
                QStringLiteral("record %1 asked for, of %2").arg(record).arg(chainRecords()));
        const size_t k =
            size_t(std::upper_bound(m_firstRecord.begin(), m_firstRecord.end(), quint32(record)) -
                   m_firstRecord.begin()) -
            1;
        const unsigned char* file =
            m_p + m_headerSize + static_cast<size_t>(m_chain[k] - 1) * m_blockSize;
        const unsigned char* b = file;
        if (m_cipher) {
            if (k != m_plainBlock) {
                m_plainBlock = k;
                std::fill(m_plainPiece.begin(), m_plainPiece.end(), false);
            }
            b = m_plain.data();
        }
        const size_t at = 6 + size_t(quint32(record) - m_firstRecord[k]) * size_t(m_recordSize);
        if (m_cipher)
            for (const auto& [from, to] : ranges)
                for (size_t piece = (at + from) / 256; piece <= (at + to - 1) / 256; ++piece)
                    if (!m_plainPiece[piece]) {
                        m_cipher->decryptBlock(file + piece * 256, m_plain.data() + piece * 256,
                                               256, m_chain[k], int(piece));
                        m_plainPiece[piece] = true;
                    }
        if (only.empty()) {
            decodeRecord(b + at, out);
        } else {
            out.addRecord();
            for (size_t column = 0; column < only.size(); ++column)
                decodeField(only[column], int(column), b + at, out);
        }
    }
    return out.finish();
}

// A read-only map of a whole file, its pages read in at once unless only a few will be read.
class FileMap
{
public:
    FileMap(int fd, const QString& name, bool populate = true)
    {
        struct stat st
        {
        };
        if (fstat(fd, &st) != 0)
            throw DatabaseError(QStringLiteral("Cannot read %1: %2").arg(name, systemError(errno)));
        m_size = static_cast<size_t>(st.st_size);
        if (m_size == 0)
            return;
        void* p =
            mmap(nullptr, m_size, PROT_READ, MAP_PRIVATE | (populate ? MAP_POPULATE : 0), fd, 0);
        if (p == MAP_FAILED)
            throw DatabaseError(QStringLiteral("Cannot read %1: %2").arg(name, systemError(errno)));
        m_data = p;
    }
    ~FileMap()
    {
        if (m_data)
            munmap(m_data, m_size);
    }
    FileMap(const FileMap&) = delete;
    FileMap& operator=(const FileMap&) = delete;
    QByteArrayView view() const
    {
        return QByteArrayView(static_cast<const char*>(m_data), static_cast<qsizetype>(m_size));
    }

private:
    void* m_data = nullptr;
    size_t m_size = 0;
};

int openRegular(const QString& path)
{
    try {
        return openFileForReading(path, QStringLiteral("table file"));
    } catch (const FileAccessError& e) {
        throw DatabaseError(e.message());
    }
}

// A table read from its file map, whose pages are released as their blocks are decoded.
TableStore decodeMapped(const FileMap& table, const QByteArrayView* blobs,
                        const QString& displayName, const QStringList& passwords,
                        int* lostWithoutBlobs = nullptr)
{
    Decoder decoder(table.view(), blobs, displayName, passwords, lostWithoutBlobs != nullptr);
    decoder.releaseDecodedPages();
    TableStore store = decoder.run();
    if (lostWithoutBlobs)
        *lostWithoutBlobs = decoder.lostBlobs();
    return store;
}

} // namespace

TableStore decodeTable(QByteArrayView table, const QByteArrayView* blobs,
                       const QString& displayName, const QStringList& passwords,
                       int* lostWithoutBlobs)
{
    Decoder decoder(table, blobs, displayName, passwords, lostWithoutBlobs != nullptr);
    TableStore store = decoder.run();
    if (lostWithoutBlobs)
        *lostWithoutBlobs = decoder.lostBlobs();
    return store;
}

TableStore readTable(int fd, const QString& displayName, const QStringList& passwords,
                     const QString& blobPath)
{
    const FileMap file(fd, displayName);
    if (blobPath.isEmpty())
        return decodeMapped(file, nullptr, displayName, passwords);
    const int blobFd = openRegular(blobPath);
    auto closeBlob = qScopeGuard([blobFd] { ::close(blobFd); });
    const FileMap blobs(blobFd, QFileInfo(blobPath).fileName());
    const QByteArrayView view = blobs.view();
    return decodeMapped(file, &view, displayName, passwords);
}

QString blobFileFor(const QString& tablePath)
{
    const QFileInfo info(tablePath);
    return findFileIgnoringCase(info.absolutePath(),
                                info.completeBaseName() + QStringLiteral(".MB"));
}

TableStore readTableStore(const QString& path, const QStringList& passwords)
{
    const int fd = openRegular(path);
    auto closeFd = qScopeGuard([fd] { ::close(fd); });
    return readTable(fd, QFileInfo(path).fileName(), passwords, blobFileFor(path));
}

TableStore readTableStore(const QString& path, const QStringList& passwords, PartialRead& partial)
{
    partial = {};
    const QString blobs = blobFileFor(path);
    if (!blobs.isEmpty())
        return readTableStore(path, passwords);
    const int fd = openRegular(path);
    auto closeFd = qScopeGuard([fd] { ::close(fd); });
    const FileMap file(fd, QFileInfo(path).fileName());
    TableStore store =
        decodeMapped(file, nullptr, QFileInfo(path).fileName(), passwords, &partial.lostValues);
    if (partial.lostValues > 0) {
        const QFileInfo info(path);
        partial.missingBlobFile = info.absolutePath() + QLatin1Char('/') + info.completeBaseName() +
                                  QStringLiteral(".MB");
    }
    return store;
}

struct RecordReader::Parts
{
    Parts(int fd, const QString& displayName, const QStringList& passwords, const QString& blobPath)
        : table(fd, displayName, false)
    {
        if (!blobPath.isEmpty()) {
            const int blobFd = openRegular(blobPath);
            auto closeBlob = qScopeGuard([blobFd] { ::close(blobFd); });
            blobs = std::make_unique<FileMap>(blobFd, QFileInfo(blobPath).fileName());
            blobView = blobs->view();
        }
        decoder = std::make_unique<Decoder>(table.view(), blobs ? &blobView : nullptr, displayName,
                                            passwords, false);
        decoder->open();
        decoder->readBlockHeads();
    }
    FileMap table;
    std::unique_ptr<FileMap> blobs;
    QByteArrayView blobView;
    std::unique_ptr<Decoder> decoder;
};

RecordReader::RecordReader(int fd, const QString& displayName, const QStringList& passwords,
                           const QString& blobPath)
    : m_parts(std::make_unique<Parts>(fd, displayName, passwords, blobPath))
{
}

RecordReader::~RecordReader() = default;

int RecordReader::recordCount() const
{
    return m_parts->decoder->chainRecords();
}

TableStore RecordReader::read(const std::vector<int>& records, const QStringList& fields)
{
    return m_parts->decoder->readSelected(records, fields);
}

} // namespace zel::data::paradox
