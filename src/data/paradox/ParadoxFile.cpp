#include "data/paradox/ParadoxFile.h"

#include "data/base/Error.h"
#include "data/base/FileReplacement.h"
#include "data/paradox/BlockCipher.h"
#include "data/paradox/CodePage.h"

#include <QDate>
#include <QFile>
#include <QFileInfo>
#include <QtEndian>
#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <future>
#include <map>
#include <memory>
#include <mutex>

extern "C" {
#include <paradox.h>
unsigned long px_passwd_checksum(const char* password);
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

} // namespace

namespace {

// Checksums known without asking the library: a table of the program's own password opens
// without loading it.
struct KnownChecksums
{
    std::mutex mutex;
    std::map<QString, quint32> byPassword;
};

KnownChecksums& knownChecksums()
{
    static KnownChecksums known;
    return known;
}

} // namespace

void rememberPasswordChecksum(const QString& password, quint32 checksum)
{
    KnownChecksums& known = knownChecksums();
    const std::lock_guard lock(known.mutex);
    known.byPassword[password] = checksum;
}

quint32 passwordChecksum(const QString& password)
{
    KnownChecksums& known = knownChecksums();
    {
        const std::lock_guard lock(known.mutex);
        if (const auto it = known.byPassword.find(password); it != known.byPassword.end())
            return it->second;
    }
    const QByteArray bytes = password.toLatin1();
    const auto checksum = static_cast<quint32>(px_passwd_checksum(bytes.constData()));
    rememberPasswordChecksum(password, checksum);
    return checksum;
}

TableData toTableData(const TableStore& store)
{
    TableData data;
    data.fields = store.fields();
    data.codePage = store.info().codePage;
    data.fileVersion = store.info().fileVersion;
    data.primaryKeyFields = store.info().primaryKeyFields;
    data.encryption = store.info().encryption;
    data.rows.reserve(static_cast<size_t>(store.recordCount()));
    for (int r = 0; r < store.recordCount(); ++r) {
        std::vector<QVariant> row(static_cast<size_t>(store.fieldCount()));
        for (int f = 0; f < store.fieldCount(); ++f)
            row[static_cast<size_t>(f)] = store.value(r, f);
        data.rows.push_back(std::move(row));
    }
    return data;
}

TableData readTableFile(const QString& path, const QStringList& passwords)
{
    return toTableData(readTableStore(path, passwords));
}

namespace {

// How a field is written: pxlib's type and the bytes the field takes in the record.
struct PxField
{
    int type;
    int length;
};

PxField pxFieldOf(const FieldDef& f)
{
    switch (f.type) {
    case FieldType::Text:
        return {pxfAlpha, f.width};
    case FieldType::Integer:
        return f.width == 2 ? PxField{pxfShort, 2} : PxField{pxfLong, 4};
    case FieldType::AutoIncrement:
        return {pxfAutoInc, 4};
    case FieldType::Memo:
        return {pxfMemoBLOb, f.width + 10};
    case FieldType::Number:
        return {pxfNumber, 8};
    case FieldType::Currency:
        return {pxfCurrency, 8};
    case FieldType::Date:
        return {pxfDate, 4};
    case FieldType::Time:
        return {pxfTime, 4};
    case FieldType::Timestamp:
        return {pxfTimestamp, 8};
    case FieldType::Logical:
        return {pxfLogical, 1};
    case FieldType::Bcd:
        return {pxfBCD, 17};
    case FieldType::Bytes:
        return {pxfBytes, f.width};
    case FieldType::Binary:
    case FieldType::FormattedMemo:
    case FieldType::Ole:
    case FieldType::Graphic:
    case FieldType::Other:
        break;
    }
    throw DatabaseError(QStringLiteral("Field %1 has a type that cannot be written").arg(f.name));
}

// Sign-flipped big-endian integers, as every integer kind of the format is stored.
void putInteger(char* p, int len, qint64 value)
{
    quint64 raw = static_cast<quint64>(value) ^ (quint64{1} << (len * 8 - 1));
    for (int i = len - 1; i >= 0; --i) {
        p[i] = static_cast<char>(raw & 0xFF);
        raw >>= 8;
    }
}

// A decimal text as the 17 bytes of a BCD field with the given number of decimals.
void putBcd(char* p, const QString& text, int decimals, const QString& fieldName)
{
    QString t = text.trimmed();
    const bool negative = t.startsWith(QLatin1Char('-'));
    if (negative || t.startsWith(QLatin1Char('+')))
        t.remove(0, 1);
    QString whole = t.section(QLatin1Char('.'), 0, 0);
    QString fraction = t.section(QLatin1Char('.'), 1);
    const bool digitsOnly = std::all_of(
        t.begin(), t.end(), [](QChar c) { return c.isDigit() || c == QLatin1Char('.'); });
    if (!digitsOnly || t.count(QLatin1Char('.')) > 1 || fraction.size() > decimals ||
        whole.size() + decimals > 32)
        throw DatabaseError(QStringLiteral("Value %1 does not fit field %2").arg(text, fieldName));
    fraction = fraction.leftJustified(decimals, QLatin1Char('0'));
    const QString digits = QString(whole + fraction).rightJustified(32, QLatin1Char('0'));
    const bool zero =
        std::all_of(digits.begin(), digits.end(), [](QChar c) { return c == QLatin1Char('0'); });
    p[0] = static_cast<char>((negative && !zero ? 0x00 : 0x80) | 0x40 | decimals);
    for (int k = 0; k < 32; ++k) {
        int d = digits.at(k).digitValue();
        if (negative && !zero)
            d = 15 - d;
        if (k % 2 == 0)
            p[1 + k / 2] = static_cast<char>(d << 4);
        else
            p[1 + k / 2] = static_cast<char>(p[1 + k / 2] | d);
    }
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
        // Field names are in the table's code page, like its text.
        fields[i].px_fname = strdup(TextEncoder(data.codePage).encode(f.name).constData());
        const PxField px = pxFieldOf(f);
        fields[i].px_ftype = static_cast<char>(px.type);
        fields[i].px_flen = px.length;
        // A BCD field's definition gives its decimals; the record still holds 17 bytes.
        if (f.type == FieldType::Bcd)
            fields[i].px_fdc = f.width;
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
    const size_t blocks = data.recordCount() / perBlock + 2;
    return static_cast<size_t>(doc->px_head->px_headersize) + blocks * blockSize;
}

// Puts one value into its place p (len bytes) in a record.
void encodeValue(pxdoc_t* doc, TextEncoder& codec, const FieldDef& f, int len, const QVariant& v,
                 char* p)
{
    switch (f.type) {
    case FieldType::Text:
    case FieldType::Memo: {
        QByteArray bytes = codec.encode(v.toString());
        const int room = f.type == FieldType::Memo ? len - 10 : len;
        if (bytes.size() > room)
            throw DatabaseError(
                QStringLiteral("Value too long for field %1: %2").arg(f.name, v.toString()));
        std::memcpy(p, bytes.constData(), static_cast<size_t>(bytes.size()));
        // A memo that fits its leader lives in the record: no blob file offset, and
        // its length.
        if (f.type == FieldType::Memo)
            qToLittleEndian(static_cast<quint32>(bytes.size()), p + room + 4);
        break;
    }
    case FieldType::Integer:
    case FieldType::AutoIncrement:
        putInteger(p, len, v.toLongLong());
        break;
    case FieldType::Number:
    case FieldType::Currency:
        PX_put_data_double(doc, p, len, v.toDouble());
        break;
    case FieldType::Date:
        putInteger(p, len, TableStore::dayNumber(v.toDate()));
        break;
    case FieldType::Time:
        putInteger(p, len, v.toTime().msecsSinceStartOfDay());
        break;
    case FieldType::Timestamp: {
        const QDateTime when = v.toDateTime().toUTC();
        PX_put_data_double(doc, p, len,
                           static_cast<double>(TableStore::dayNumber(when.date())) *
                                   TableStore::kMsPerDay +
                               when.time().msecsSinceStartOfDay());
        break;
    }
    case FieldType::Logical:
        PX_put_data_byte(doc, p, len, v.toBool() ? 1 : 0);
        break;
    case FieldType::Bcd:
        putBcd(p, v.toString(), f.width, f.name);
        break;
    case FieldType::Bytes: {
        const QByteArray bytes = v.toByteArray();
        if (bytes.size() > len)
            throw DatabaseError(QStringLiteral("Value too long for field %1").arg(f.name));
        std::memcpy(p, bytes.constData(), static_cast<size_t>(bytes.size()));
        break;
    }
    default:
        break;
    }
}

// The same from a store's record, without a QVariant: the value's own kind is read.
void encodeStoreValue(pxdoc_t* doc, TextEncoder& codec, const FieldDef& f, int len,
                      const TableStore& store, int record, int field, char* p)
{
    if (store.isNull(record, field))
        return;
    switch (f.type) {
    case FieldType::Text:
    case FieldType::Memo:
    case FieldType::Bcd: {
        const QStringView text = store.text(record, field);
        encodeValue(doc, codec, f, len, QString::fromRawData(text.data(), text.size()), p);
        break;
    }
    case FieldType::Integer:
    case FieldType::AutoIncrement:
    case FieldType::Date:
    case FieldType::Time:
        putInteger(p, len, store.integer(record, field));
        break;
    case FieldType::Number:
    case FieldType::Currency:
    case FieldType::Timestamp:
        PX_put_data_double(doc, p, len, store.number(record, field));
        break;
    case FieldType::Logical:
        PX_put_data_byte(doc, p, len, store.integer(record, field) ? 1 : 0);
        break;
    default:
        encodeValue(doc, codec, f, len, store.value(record, field), p);
        break;
    }
}

// The header of a table of this layout with no records, as pxlib lays it out (block size,
// field definitions, code page, password), and the record size.
QByteArray emptyTableHeader(const TableData& data, const QString& password,
                            const QString& tableName, PxDoc& doc, int& recordSize)
{
    TableData layout;
    layout.fields = data.fields;
    layout.primaryKeyFields = data.primaryKeyFields;
    QByteArray buffer(static_cast<qsizetype>(plannedSize(layout)), '\0');
    File fp(fmemopen(buffer.data(), static_cast<size_t>(buffer.size()), "w+b"));
    if (!fp)
        throw DatabaseError(QStringLiteral("Out of memory"));
    const int numFields = static_cast<int>(data.fields.size());
    t_lastPxError.clear();
    PxDoc header = newDoc();
    const int type = data.primaryKeyFields > 0 ? pxfFileTypIndexDB : pxfFileTypNonIndexDB;
    if (PX_create_fp(header.get(), makeFields(data), numFields, fp.get(), type) < 0)
        throw DatabaseError(t_lastPxError);
    PX_set_value(header.get(), "numprimkeys", static_cast<float>(data.primaryKeyFields));
    PX_set_value(header.get(), "codepage", static_cast<float>(data.codePage));
    PX_set_tablename(header.get(), tableName.toLatin1().constData());
    if (!password.isEmpty())
        PX_set_parameter(header.get(), "password", password.toLatin1().constData());
    recordSize = PX_get_recordsize(header.get());
    const qsizetype headerSize = header->px_head->px_headersize;
    header.reset(); // writes the header
    if (std::fflush(fp.get()) != 0)
        throw DatabaseError(QStringLiteral("the table does not fit its planned size"));
    fp.reset();
    buffer.truncate(headerSize);
    // A document without a file of its own, for pxlib's encoders of numbers.
    doc = newDoc();
    return buffer;
}

// Encodes the whole table in memory. pxlib lays out the header; the data blocks are ours:
// pxlib re-encrypts a whole block for every record it adds, which makes a table of forty
// thousand records take seconds instead of milliseconds. Records fill each block in turn,
// the blocks are chained in order, and an encrypted table's blocks go through pxlib's cipher.
QByteArray encodeTable(const TableData& data, const QString& password, const QString& tableName)
{
    PxDoc doc;
    int recordSize = 0;
    QByteArray out = emptyTableHeader(data, password, tableName, doc, recordSize);
    const auto* h = reinterpret_cast<const unsigned char*>(out.constData());
    if (out.size() < 0x78 && h[0x39] >= 5)
        throw DatabaseError(QStringLiteral("the table header is too short"));
    const qsizetype headerSize = qFromLittleEndian<quint16>(h + 2);
    const size_t blockSize = static_cast<size_t>(h[5]) * 1024;
    if (recordSize < 1 || blockSize < 6 + static_cast<size_t>(recordSize))
        throw DatabaseError(QStringLiteral("records larger than a block"));
    quint32 key = qFromLittleEndian<quint32>(h + 0x25);
    if (key == 0xFF00FF00u)
        key = qFromLittleEndian<quint32>(h + 0x5C);
    const BlockCipher cipher(key);
    const size_t perBlock = (blockSize - 6) / static_cast<size_t>(recordSize);
    const size_t records = data.recordCount();
    const size_t blocks = (records + perBlock - 1) / perBlock;
    if (blocks > 0xFFFF)
        throw DatabaseError(QStringLiteral("too many records for one table"));
    out.resize(headerSize + static_cast<qsizetype>(blocks * blockSize), '\0');
    h = reinterpret_cast<const unsigned char*>(out.constData());
    char* header = out.data();
    qToLittleEndian(static_cast<quint32>(records), header + 0x06);
    qToLittleEndian(static_cast<quint16>(blocks), header + 0x0A);
    qToLittleEndian(static_cast<quint16>(blocks), header + 0x0C);
    qToLittleEndian(static_cast<quint16>(blocks > 0 ? 1 : 0), header + 0x0E);
    qToLittleEndian(static_cast<quint16>(blocks), header + 0x10);
    qToLittleEndian(static_cast<quint16>(blocks), header + 0x3A);

    // Blocks are independent of each other: a large table is encoded in two halves at once.
    const auto encodeBlocks = [&](size_t from, size_t to) {
        const int numFields = static_cast<int>(data.fields.size());
        TextEncoder codec(data.codePage);
        std::vector<unsigned char> plain(blockSize);
        for (size_t block = from; block < to; ++block) {
            std::fill(plain.begin(), plain.end(), 0);
            const size_t first = block * perBlock;
            const size_t count = std::min(perBlock, records - first);
            char* b = reinterpret_cast<char*>(plain.data());
            qToLittleEndian(static_cast<quint16>(block + 1 < blocks ? block + 2 : 0), b);
            qToLittleEndian(static_cast<quint16>(block), b + 2);
            qToLittleEndian(static_cast<quint16>((count - 1) * static_cast<size_t>(recordSize)),
                            b + 4);
            for (size_t k = 0; k < count; ++k) {
                char* rec = b + 6 + k * static_cast<size_t>(recordSize);
                if (const TableData::FromStore& source = data.fromStore; source.store) {
                    const int r = source.order[first + k];
                    const bool replaced = source.replaced[static_cast<size_t>(r)] != 0;
                    int off = 0;
                    for (int i = 0; i < numFields; ++i) {
                        const FieldDef& f = data.fields[static_cast<size_t>(i)];
                        const int len = pxFieldOf(f).length;
                        if (replaced && i == source.replacedField)
                            encodeValue(doc.get(), codec, f, len, source.replacement, rec + off);
                        else
                            encodeStoreValue(doc.get(), codec, f, len, *source.store, r, i,
                                             rec + off);
                        off += len;
                    }
                    continue;
                }
                const auto& row = data.rows[first + k];
                int off = 0;
                for (int i = 0; i < numFields; ++i) {
                    const FieldDef& f = data.fields[static_cast<size_t>(i)];
                    const int len = pxFieldOf(f).length;
                    char* p = rec + off;
                    off += len;
                    const QVariant& v =
                        i < static_cast<int>(row.size()) ? row[static_cast<size_t>(i)] : QVariant();
                    if (v.isNull() || !v.isValid())
                        continue;
                    encodeValue(doc.get(), codec, f, len, v, p);
                }
            }
            char* target = out.data() + headerSize + static_cast<qsizetype>(block * blockSize);
            if (key != 0)
                cipher.encryptBlock(plain.data(), reinterpret_cast<unsigned char*>(target),
                                    blockSize, static_cast<unsigned>(block + 1));
            else
                std::memcpy(target, plain.data(), blockSize);
        }
    };
    if (blocks >= 64) {
        const size_t half = blocks / 2;
        auto second = std::async(std::launch::async, encodeBlocks, half, blocks);
        std::exception_ptr failed;
        try {
            encodeBlocks(0, half);
        } catch (...) {
            failed = std::current_exception();
        }
        second.get(); // rethrows the second half's failure
        if (failed)
            std::rethrow_exception(failed);
    } else {
        encodeBlocks(0, blocks);
    }
    return out;
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
    return replaceFile(path, bytes, keepLocked);
}

int replaceFile(const QString& path, const QByteArray& bytes, bool keepLocked)
{
    FileReplacement::Options options;
    // A table that its owner shares with a group keeps both, or is not replaced at all.
    options.owner = FileReplacement::Owner::KeepOrRefuse;
    options.newMode = 0644;
    options.keepLocked = keepLocked;
    try {
        FileReplacement file(path, options);
        file.write(bytes);
        return file.commit();
    } catch (const OwnerNotKeptError&) {
        throw;
    } catch (const Error& e) {
        throw DatabaseError(e.message());
    }
}

} // namespace zel::data::paradox
