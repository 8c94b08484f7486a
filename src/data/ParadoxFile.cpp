#include "data/ParadoxFile.h"

#include "data/Error.h"

#include <QDate>
#include <QFileInfo>
#include <QScopeGuard>
#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <iconv.h>
#include <memory>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

extern "C" {
#include <paradox.h>
unsigned long px_passwd_checksum(const char* password);
void px_decrypt_db_block(unsigned char* src, unsigned char* dest, unsigned long encryption,
                         unsigned long blocksize, unsigned long blockno);
}

namespace zel::data::paradox {

namespace {

// pxlib reports errors through a callback; we keep the last message of the current call.
thread_local QString t_lastPxError;

void pxErrorHandler(pxdoc_t*, int, const char* msg, void*)
{
    if (t_lastPxError.isEmpty())
        t_lastPxError = QString::fromLocal8Bit(msg).trimmed();
}

struct PxDocDeleter
{
    void operator()(pxdoc_t* doc) const
    {
        PX_close(doc);
        PX_delete(doc);
    }
};
using PxDoc = std::unique_ptr<pxdoc_t, PxDocDeleter>;

PxDoc newDoc()
{
    static const bool booted = [] {
        PX_boot();
        return true;
    }();
    (void)booted;
    pxdoc_t* doc = PX_new2(pxErrorHandler, nullptr, nullptr, nullptr);
    if (!doc)
        throw DatabaseError(QStringLiteral("Out of memory"));
    return PxDoc(doc);
}

struct FileCloser
{
    void operator()(FILE* f) const { std::fclose(f); }
};
using File = std::unique_ptr<FILE, FileCloser>;

QString iconvName(int codePage)
{
    switch (codePage) {
    case 0:
        return QStringLiteral("CP437"); // the DOS default when the header names none
    case 10000:
        return QStringLiteral("MACINTOSH");
    default:
        return QStringLiteral("CP%1").arg(codePage);
    }
}

// Converts between a table's code page and UTF-8 with iconv.
class Codec
{
public:
    Codec(int codePage, bool toUnicode)
    {
        const QByteArray cp = iconvName(codePage).toLatin1();
        m_cd = toUnicode ? iconv_open("UTF-8", cp.constData())
                         : iconv_open(QByteArray(cp + "//TRANSLIT").constData(), "UTF-8");
    }
    ~Codec()
    {
        if (m_cd != reinterpret_cast<iconv_t>(-1))
            iconv_close(m_cd);
    }
    Codec(const Codec&) = delete;
    Codec& operator=(const Codec&) = delete;

    QString decode(const char* data, size_t len)
    {
        if (m_cd == reinterpret_cast<iconv_t>(-1))
            return QString::fromLatin1(data, static_cast<qsizetype>(len));
        bool ascii = true;
        for (size_t i = 0; i < len && ascii; ++i)
            ascii = static_cast<unsigned char>(data[i]) < 0x80;
        if (ascii)
            return QString::fromLatin1(data, static_cast<qsizetype>(len));
        QByteArray out = convert(data, len);
        return QString::fromUtf8(out);
    }

    QByteArray encode(const QString& text)
    {
        const QByteArray utf8 = text.toUtf8();
        if (m_cd == reinterpret_cast<iconv_t>(-1))
            return text.toLatin1();
        return convert(utf8.constData(), static_cast<size_t>(utf8.size()));
    }

private:
    QByteArray convert(const char* data, size_t len)
    {
        iconv(m_cd, nullptr, nullptr, nullptr, nullptr);
        QByteArray out(static_cast<qsizetype>(len * 4 + 4), '\0');
        char* in = const_cast<char*>(data);
        size_t inLeft = len;
        char* dst = out.data();
        size_t outLeft = static_cast<size_t>(out.size());
        while (inLeft > 0) {
            if (iconv(m_cd, &in, &inLeft, &dst, &outLeft) == static_cast<size_t>(-1)) {
                if (errno == E2BIG)
                    break;
                // An undecodable byte: keep going with a replacement rather than lose the rest.
                ++in;
                --inLeft;
                if (outLeft > 0) {
                    *dst++ = '?';
                    --outLeft;
                }
            }
        }
        out.truncate(static_cast<qsizetype>(dst - out.data()));
        return out;
    }

    iconv_t m_cd = reinterpret_cast<iconv_t>(-1);
};

quint16 le16(const unsigned char* p)
{
    return static_cast<quint16>(p[0] | (p[1] << 8));
}
quint32 le32(const unsigned char* p)
{
    return static_cast<quint32>(p[0]) | (static_cast<quint32>(p[1]) << 8) |
           (static_cast<quint32>(p[2]) << 16) | (static_cast<quint32>(p[3]) << 24);
}

// pxlib trusts the header; a damaged one can send it far outside the file. These checks
// keep it within bounds before it is let loose on the file.
void checkHeader(int fd, const QString& name)
{
    struct stat st
    {
    };
    if (fstat(fd, &st) != 0)
        throw DatabaseError(QStringLiteral("Cannot read %1: %2")
                                .arg(name, QString::fromLocal8Bit(strerror(errno))));
    const auto fail = [&](const char* why) {
        return DatabaseError(
            QStringLiteral("%1 is not a valid table: %2").arg(name, QLatin1String(why)));
    };
    unsigned char h[0x60] = {};
    const ssize_t got = pread(fd, h, sizeof h, 0);
    if (got < 0x58)
        throw fail("the file is too short");
    const quint16 recordSize = le16(h + 0x00);
    const quint16 headerSize = le16(h + 0x02);
    const unsigned fileType = h[0x04];
    const unsigned blockKb = h[0x05];
    const quint32 numRecords = le32(h + 0x06);
    const quint16 fileBlocks = le16(h + 0x0C);
    const quint16 numFields = le16(h + 0x21);
    const quint16 keyFields = le16(h + 0x23);
    if (fileType != pxfFileTypIndexDB && fileType != pxfFileTypNonIndexDB)
        throw fail("unknown file type");
    if (recordSize == 0 || numFields == 0 || numFields > 255 || keyFields > numFields)
        throw fail("bad field layout");
    if (blockKb < 1 || blockKb > 32)
        throw fail("bad block size");
    if (headerSize < 0x58 || headerSize > st.st_size)
        throw fail("bad header size");
    const qint64 blockSize = static_cast<qint64>(blockKb) * 1024;
    const qint64 dataBytes = st.st_size - headerSize;
    if (static_cast<qint64>(fileBlocks) * blockSize > dataBytes)
        throw fail("the file is truncated");
    if (recordSize > blockSize - 6)
        throw fail("records larger than a block");
    const qint64 perBlock = (blockSize - 6) / recordSize;
    if (static_cast<qint64>(numRecords) > static_cast<qint64>(fileBlocks) * perBlock)
        throw fail("more records than the file can hold");

    // pxlib follows the chain of data blocks without looking back, so a damaged chain
    // (a loop, a block past the end) would hang or misread it. Walk it here first. Block
    // headers of an encrypted table are encrypted with the rest of the block; the first
    // 256-byte chunk holds them.
    const unsigned versionId = h[0x39];
    const bool extended = versionId >= 5;
    quint32 key = le32(h + 0x25); // the same choice of key as pxlib makes
    if (key == 0xFF00FF00u) {
        // The marker sends the reader to the extended header, which old versions lack.
        if (!extended)
            throw fail("inconsistent encryption marker");
        key = le32(h + 0x5C);
    }
    const qint64 blocksInFile = dataBytes / blockSize;
    std::vector<bool> seen(static_cast<size_t>(blocksInFile) + 1, false);
    unsigned block = le16(h + 0x0E);
    while (block != 0) {
        if (block > blocksInFile || seen[block])
            throw fail("the chain of data blocks is broken");
        seen[block] = true;
        unsigned char head[256];
        const qint64 at = headerSize + static_cast<qint64>(block - 1) * blockSize;
        const qint64 want = std::min<qint64>(sizeof head, blockSize);
        if (pread(fd, head, static_cast<size_t>(want), at) != want)
            throw fail("the file is truncated");
        if (key != 0)
            px_decrypt_db_block(head, head, key, static_cast<unsigned long>(want), block);
        const qint16 lastOffset = static_cast<qint16>(le16(head + 4));
        if (lastOffset >= 0 &&
            (lastOffset % recordSize != 0 || lastOffset + recordSize > blockSize - 6))
            throw fail("a data block is damaged");
        block = le16(head);
    }
}

FieldType fieldTypeOf(int pxType)
{
    switch (pxType) {
    case pxfAlpha:
        return FieldType::Text;
    case pxfShort:
    case pxfLong:
    case pxfAutoInc:
        return FieldType::Integer;
    case pxfMemoBLOb:
    case pxfFmtMemoBLOb:
        return FieldType::Memo;
    case pxfNumber:
    case pxfCurrency:
        return FieldType::Number;
    case pxfDate:
        return FieldType::Date;
    case pxfLogical:
        return FieldType::Logical;
    default:
        return FieldType::Other;
    }
}

// pxlib's value readers copy as many bytes as the field claims into fixed-size buffers,
// so a field whose length does not fit its type must never reach them.
bool lengthFitsType(int pxType, int len)
{
    switch (pxType) {
    case pxfAlpha:
        return len >= 1 && len <= 255;
    case pxfShort:
        return len == 2;
    case pxfLong:
    case pxfAutoInc:
    case pxfDate:
    case pxfTime:
        return len == 4;
    case pxfNumber:
    case pxfCurrency:
    case pxfTimestamp:
        return len == 8;
    case pxfLogical:
        return len == 1;
    case pxfMemoBLOb:
    case pxfFmtMemoBLOb:
    case pxfBLOb:
    case pxfOLE:
    case pxfGraphic:
        return len > 10 && len <= 250;
    default:
        return len >= 1 && len <= 255;
    }
}

QString trimmedText(Codec& codec, const char* data, int len)
{
    int n = 0;
    while (n < len && data[n] != '\0')
        ++n;
    while (n > 0 && data[n - 1] == ' ')
        --n;
    return codec.decode(data, static_cast<size_t>(n));
}

} // namespace

quint32 passwordChecksum(const QString& password)
{
    const QByteArray bytes = password.toLatin1();
    return static_cast<quint32>(px_passwd_checksum(bytes.constData()));
}

TableData readTable(int fd, const QString& displayName, const QStringList& passwords)
{
    checkHeader(fd, displayName);
    const int dupFd = dup(fd);
    if (dupFd < 0)
        throw DatabaseError(QStringLiteral("Cannot read %1").arg(displayName));
    File fp(fdopen(dupFd, "rb"));
    if (!fp) {
        close(dupFd);
        throw DatabaseError(QStringLiteral("Cannot read %1").arg(displayName));
    }
    std::rewind(fp.get());
    t_lastPxError.clear();
    PxDoc doc = newDoc();
    if (PX_open_fp(doc.get(), fp.get()) < 0)
        throw DatabaseError(QStringLiteral("%1 is not a valid table: %2")
                                .arg(displayName, t_lastPxError.isEmpty()
                                                      ? QStringLiteral("unreadable header")
                                                      : t_lastPxError));
    pxhead_t* head = doc->px_head;

    TableData data;
    data.encryption = static_cast<quint32>(head->px_encryption);
    data.codePage = head->px_doscodepage;
    data.fileVersion = head->px_fileversion;
    data.primaryKeyFields = head->px_primarykeyfields;
    if (data.encryption != 0) {
        bool ok = false;
        for (const QString& pw : passwords)
            ok = ok || passwordChecksum(pw) == data.encryption;
        if (!ok)
            throw DatabaseError(QStringLiteral("%1 is protected by a password that was not given")
                                    .arg(displayName));
    }

    const int numFields = PX_get_num_fields(doc.get());
    const int recordSize = PX_get_recordsize(doc.get());
    int sum = 0;
    std::vector<int> pxTypes;
    for (int i = 0; i < numFields; ++i) {
        pxfield_t* f = PX_get_field(doc.get(), i);
        if (!f || !f->px_fname || !lengthFitsType(f->px_ftype, f->px_flen))
            throw DatabaseError(
                QStringLiteral("%1 is not a valid table: bad field definitions").arg(displayName));
        FieldDef def;
        def.name = QString::fromLatin1(f->px_fname);
        def.type = fieldTypeOf(f->px_ftype);
        def.width = def.type == FieldType::Memo ? f->px_flen - 10 : f->px_flen;
        data.fields.push_back(def);
        pxTypes.push_back(f->px_ftype);
        sum += f->px_flen;
    }
    if (sum != recordSize)
        throw DatabaseError(
            QStringLiteral("%1 is not a valid table: field sizes do not add up").arg(displayName));

    Codec codec(data.codePage, true);
    const int numRecords = PX_get_num_records(doc.get());
    std::vector<char> buf(static_cast<size_t>(recordSize));
    data.rows.reserve(static_cast<size_t>(numRecords));
    for (int r = 0; r < numRecords; ++r) {
        int deleted = 0;
        pxdatablockinfo_t info{};
        if (!PX_get_record2(doc.get(), r, buf.data(), &deleted, &info))
            throw DatabaseError(
                QStringLiteral("%1 is corrupted: record %2 cannot be read%3")
                    .arg(displayName)
                    .arg(r + 1)
                    .arg(t_lastPxError.isEmpty()
                             ? QString()
                             : QStringLiteral(" (") + t_lastPxError + QLatin1Char(')')));
        if (deleted)
            continue;
        std::vector<QVariant> row(static_cast<size_t>(numFields));
        int off = 0;
        for (int i = 0; i < numFields; ++i) {
            char* p = buf.data() + off;
            const int len = PX_get_field(doc.get(), i)->px_flen;
            off += len;
            bool blank = true;
            for (int b = 0; b < len && blank; ++b)
                blank = p[b] == 0;
            if (blank)
                continue; // every type stores a blank field as zero bytes
            switch (pxTypes[static_cast<size_t>(i)]) {
            case pxfAlpha: {
                QString s = trimmedText(codec, p, len);
                if (!s.isEmpty())
                    row[static_cast<size_t>(i)] = s;
                break;
            }
            case pxfMemoBLOb:
            case pxfFmtMemoBLOb: {
                // Only the leading part kept inside the record is read; the program never
                // shows memo text, so the separate memo file is not needed.
                QString s = trimmedText(codec, p, len - 10);
                if (!s.isEmpty())
                    row[static_cast<size_t>(i)] = s;
                break;
            }
            case pxfShort: {
                short v = 0;
                if (PX_get_data_short(doc.get(), p, len, &v) > 0)
                    row[static_cast<size_t>(i)] = static_cast<qlonglong>(v);
                break;
            }
            case pxfLong:
            case pxfAutoInc: {
                long v = 0;
                if (PX_get_data_long(doc.get(), p, len, &v) > 0)
                    row[static_cast<size_t>(i)] = static_cast<qlonglong>(v);
                break;
            }
            case pxfNumber:
            case pxfCurrency: {
                double v = 0;
                if (PX_get_data_double(doc.get(), p, len, &v) > 0)
                    row[static_cast<size_t>(i)] = v;
                break;
            }
            case pxfDate: {
                long v = 0;
                if (PX_get_data_long(doc.get(), p, len, &v) > 0) {
                    int y = 0, m = 0, d = 0;
                    PX_SdnToGregorian(v + 1721425, &y, &m, &d);
                    row[static_cast<size_t>(i)] = QDate(y, m, d);
                }
                break;
            }
            case pxfLogical: {
                char v = 0;
                if (PX_get_data_byte(doc.get(), p, len, &v) > 0)
                    row[static_cast<size_t>(i)] = v != 0;
                break;
            }
            default:
                break;
            }
        }
        data.rows.push_back(std::move(row));
    }
    return data;
}

TableData readTableFile(const QString& path, const QStringList& passwords)
{
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0)
        throw DatabaseError(QStringLiteral("Cannot open %1: %2")
                                .arg(path, QString::fromLocal8Bit(strerror(errno))));
    auto closeFd = qScopeGuard([fd] { ::close(fd); });
    struct stat st
    {
    };
    if (fstat(fd, &st) != 0 || !S_ISREG(st.st_mode))
        throw DatabaseError(QStringLiteral("%1 is not a table file").arg(path));
    return readTable(fd, QFileInfo(path).fileName(), passwords);
}

namespace {

int pxTypeOf(const FieldDef& f)
{
    switch (f.type) {
    case FieldType::Text:
        return pxfAlpha;
    case FieldType::Integer:
        return pxfLong;
    case FieldType::Memo:
        return pxfMemoBLOb;
    case FieldType::Number:
        return pxfNumber;
    case FieldType::Date:
        return pxfDate;
    case FieldType::Logical:
        return pxfLogical;
    case FieldType::Other:
        break;
    }
    throw DatabaseError(QStringLiteral("Field %1 has a type that cannot be written").arg(f.name));
}

int pxLengthOf(const FieldDef& f)
{
    switch (f.type) {
    case FieldType::Text:
        return f.width;
    case FieldType::Memo:
        return f.width + 10;
    case FieldType::Integer:
    case FieldType::Date:
        return 4;
    case FieldType::Number:
        return 8;
    case FieldType::Logical:
        return 1;
    case FieldType::Other:
        break;
    }
    return 0;
}

} // namespace

namespace {

pxfield_t* makeFields(const TableData& data)
{
    const int numFields = static_cast<int>(data.fields.size());
    // pxlib takes ownership of the field array and frees it with free().
    auto* fields =
        static_cast<pxfield_t*>(std::calloc(static_cast<size_t>(numFields), sizeof(pxfield_t)));
    for (int i = 0; i < numFields; ++i) {
        const FieldDef& f = data.fields[static_cast<size_t>(i)];
        fields[i].px_fname = strdup(f.name.toLatin1().constData());
        fields[i].px_ftype = static_cast<char>(pxTypeOf(f));
        fields[i].px_flen = pxLengthOf(f);
    }
    return fields;
}

// The file size a table of this layout and record count needs, found by letting pxlib
// choose its block and header sizes for the layout without writing anything.
size_t plannedSize(const TableData& data)
{
    File probe(std::fopen("/dev/null", "w+b"));
    PxDoc doc = newDoc();
    if (!probe ||
        PX_create_fp(doc.get(), makeFields(data), static_cast<int>(data.fields.size()), probe.get(),
                     data.primaryKeyFields > 0 ? pxfFileTypIndexDB : pxfFileTypNonIndexDB) < 0)
        throw DatabaseError(QStringLiteral("Cannot lay out the table: %1").arg(t_lastPxError));
    const size_t blockSize = static_cast<size_t>(doc->px_head->px_maxtablesize) * 1024;
    const size_t recordSize = static_cast<size_t>(std::max(1, PX_get_recordsize(doc.get())));
    const size_t perBlock = std::max<size_t>(1, (blockSize - 6) / recordSize);
    const size_t blocks = data.rows.size() / perBlock + 2;
    return static_cast<size_t>(doc->px_head->px_headersize) + blocks * blockSize;
}

// Encodes the whole table in memory: pxlib seeks back and forth for every record, which on
// a real file costs a system call each time.
QByteArray encodeTable(const TableData& data, const QString& password, const QString& tableName)
{
    QByteArray buffer(static_cast<qsizetype>(plannedSize(data)), '\0');
    File fp(fmemopen(buffer.data(), static_cast<size_t>(buffer.size()), "w+b"));
    if (!fp)
        throw DatabaseError(QStringLiteral("Out of memory"));
    const int numFields = static_cast<int>(data.fields.size());
    t_lastPxError.clear();
    PxDoc doc = newDoc();
    const int type = data.primaryKeyFields > 0 ? pxfFileTypIndexDB : pxfFileTypNonIndexDB;
    if (PX_create_fp(doc.get(), makeFields(data), numFields, fp.get(), type) < 0)
        throw DatabaseError(t_lastPxError);
    PX_set_value(doc.get(), "numprimkeys", static_cast<float>(data.primaryKeyFields));
    PX_set_value(doc.get(), "codepage", static_cast<float>(data.codePage));
    PX_set_tablename(doc.get(), tableName.toLatin1().constData());
    if (!password.isEmpty())
        PX_set_parameter(doc.get(), "password", password.toLatin1().constData());

    Codec codec(data.codePage, false);
    const int recordSize = PX_get_recordsize(doc.get());
    std::vector<char> buf(static_cast<size_t>(recordSize));
    for (const auto& row : data.rows) {
        std::fill(buf.begin(), buf.end(), '\0');
        int off = 0;
        for (int i = 0; i < numFields; ++i) {
            const FieldDef& f = data.fields[static_cast<size_t>(i)];
            const int len = pxLengthOf(f);
            char* p = buf.data() + off;
            off += len;
            const QVariant& v =
                i < static_cast<int>(row.size()) ? row[static_cast<size_t>(i)] : QVariant();
            if (v.isNull() || !v.isValid())
                continue;
            switch (f.type) {
            case FieldType::Text:
            case FieldType::Memo: {
                QByteArray bytes = codec.encode(v.toString());
                const int room = f.type == FieldType::Memo ? len - 10 : len;
                if (bytes.size() > room)
                    throw DatabaseError(QStringLiteral("Value too long for field %1: %2")
                                            .arg(f.name, v.toString()));
                std::memcpy(p, bytes.constData(), static_cast<size_t>(bytes.size()));
                break;
            }
            case FieldType::Integer:
                PX_put_data_long(doc.get(), p, len, static_cast<int>(v.toLongLong()));
                break;
            case FieldType::Number:
                PX_put_data_double(doc.get(), p, len, v.toDouble());
                break;
            case FieldType::Date: {
                const QDate d = v.toDate();
                PX_put_data_long(
                    doc.get(), p, len,
                    static_cast<int>(PX_GregorianToSdn(d.year(), d.month(), d.day()) - 1721425));
                break;
            }
            case FieldType::Logical:
                PX_put_data_byte(doc.get(), p, len, v.toBool() ? 1 : 0);
                break;
            case FieldType::Other:
                break;
            }
        }
        if (PX_put_record(doc.get(), buf.data()) < 0)
            throw DatabaseError(t_lastPxError);
    }
    doc.reset(); // writes the header and the last block
    if (std::fflush(fp.get()) != 0)
        throw DatabaseError(QStringLiteral("the table does not fit its planned size"));
    fp.reset();
    // The header knows how long the file is.
    const auto* h = reinterpret_cast<const unsigned char*>(buffer.constData());
    const qsizetype length = le16(h + 2) + static_cast<qsizetype>(le16(h + 0x0C)) * h[5] * 1024;
    if (length <= 0 || length > buffer.size())
        throw DatabaseError(QStringLiteral("the table does not fit its planned size"));
    buffer.truncate(length);
    return buffer;
}

bool writeAll(int fd, const QByteArray& bytes)
{
    const char* p = bytes.constData();
    qsizetype left = bytes.size();
    while (left > 0) {
        const ssize_t n = ::write(fd, p, static_cast<size_t>(left));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return false;
        p += n;
        left -= n;
    }
    return true;
}

} // namespace

int writeTableFile(const QString& path, const TableData& data, const QString& password,
                   bool keepLocked)
{
    const QFileInfo target(path);
    QByteArray bytes;
    try {
        bytes = encodeTable(data, password, target.completeBaseName());
    } catch (const DatabaseError& e) {
        throw DatabaseError(QStringLiteral("Cannot write %1: %2").arg(path, e.message()));
    }

    QByteArray tmpl = QFile::encodeName(target.absolutePath() + QStringLiteral("/.") +
                                        target.fileName() + QStringLiteral(".XXXXXX"));
    const int fd = mkostemp(tmpl.data(), O_CLOEXEC);
    if (fd < 0)
        throw DatabaseError(QStringLiteral("Cannot write %1: %2")
                                .arg(path, QString::fromLocal8Bit(strerror(errno))));
    bool committed = false;
    auto cleanup = qScopeGuard([&] {
        if (!committed) {
            ::close(fd);
            ::unlink(tmpl.constData());
        }
    });
    fchmod(fd, 0644);
    // The new table is locked before it takes the old one's name, so that no other copy of
    // the program can open it in between.
    if (keepLocked && flock(fd, LOCK_EX | LOCK_NB) != 0)
        throw DatabaseError(QStringLiteral("Cannot lock %1").arg(path));
    if (!writeAll(fd, bytes) || fsync(fd) != 0)
        throw DatabaseError(QStringLiteral("Cannot write %1: %2")
                                .arg(path, QString::fromLocal8Bit(strerror(errno))));
    if (::rename(tmpl.constData(), QFile::encodeName(path).constData()) != 0)
        throw DatabaseError(QStringLiteral("Cannot replace %1: %2")
                                .arg(path, QString::fromLocal8Bit(strerror(errno))));
    committed = true;
    if (keepLocked)
        return fd;
    ::close(fd);
    return -1;
}

} // namespace zel::data::paradox
