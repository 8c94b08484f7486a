#include "data/server/ServerCache.h"

#include "data/base/Error.h"
#include "data/base/FileAccess.h"
#include "data/base/FileName.h"
#include "data/base/FileReplacement.h"
#include "data/base/TableStore.h"
#include "data/engine/Collation.h"
#include "data/engine/Table.h"
#include "data/server/PgConnection.h"

#include <QCryptographicHash>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QScopeGuard>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <future>
#include <limits>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

namespace zel::data {

namespace {

// A copy file: this header, then the payload. Numbers are in the machine's own byte order; a
// file from a machine of the other order fails the marker and is not used.
constexpr char kMagic[8] = {'Z', 'E', 'L', 'S', 'R', 'V', 'C', '1'};
constexpr quint32 kByteOrderMarker = 0x01020304;
struct FileHeader
{
    char magic[8];
    quint32 byteOrder;
    quint32 reserved;
    quint64 payloadSize;
    quint64 checksum;
};
static_assert(sizeof(FileHeader) == 32);

const QString kSuffix = QStringLiteral(".zelcache");
constexpr int kCopiesKept = 2;

// Four lanes of multiply and fold over 8-byte words: any damage to the payload changes it,
// and it costs well under a millisecond per 10 MB, a fraction of reading the file. Fed piece by
// piece as the payload is written, in one piece as it is read.
class PayloadChecksum
{
public:
    void add(const unsigned char* data, size_t size)
    {
        m_total += size;
        if (m_pending > 0) {
            const size_t take = std::min(size, sizeof m_block - m_pending);
            std::memcpy(m_block + m_pending, data, take);
            m_pending += take;
            data += take;
            size -= take;
            if (m_pending < sizeof m_block)
                return;
            block(m_block);
            m_pending = 0;
        }
        for (; size >= sizeof m_block; data += sizeof m_block, size -= sizeof m_block)
            block(data);
        std::memcpy(m_block, data, size);
        m_pending = size;
    }
    quint64 value() const
    {
        quint64 h = m_total;
        for (const quint64 l : m_lane)
            h = (h ^ l) * kMul;
        for (size_t i = 0; i < m_pending; ++i)
            h = (h ^ m_block[i]) * 0x100000001b3ull;
        return h ^ (h >> 31);
    }
    static quint64 of(const unsigned char* data, size_t size)
    {
        PayloadChecksum sum;
        sum.add(data, size);
        return sum.value();
    }

private:
    static constexpr quint64 kMul = 0x9E3779B97F4A7C15ull;
    void block(const unsigned char* data)
    {
        for (size_t l = 0; l < 4; ++l) {
            quint64 w;
            std::memcpy(&w, data + 8 * l, 8);
            m_lane[l] = (m_lane[l] ^ w) * kMul;
            m_lane[l] ^= m_lane[l] >> 29;
        }
    }
    quint64 m_lane[4] = {0x243F6A8885A308D3ull, 0x13198A2E03707344ull, 0xA4093822299F31D0ull,
                         0x082EFA98EC4E6C89ull};
    unsigned char m_block[32] = {};
    size_t m_pending = 0;
    quint64 m_total = 0;
};

// What a copy was made for besides its revision: the fields and indexes the program reads and
// the collation its orders were sorted by. A program of another layout makes its own copies.
QString layoutFingerprint(const std::vector<const TableDef*>& tables)
{
    QString text = collation::name();
    for (const TableDef* def : tables) {
        text += QLatin1Char('|') + def->fileName;
        for (const FieldDef& f : def->fields)
            text +=
                QStringLiteral(";%1:%2:%3").arg(f.name).arg(static_cast<int>(f.type)).arg(f.width);
        for (const IndexDef& i : def->indexes)
            text += QStringLiteral(";%1(%2)%3")
                        .arg(i.name, i.fields.join(QLatin1Char(',')))
                        .arg(i.primary ? 1 : 0);
    }
    return text;
}

// Writes the payload straight to the file behind the header's room, summing it on the way;
// large arrays go from memory to the file without a copy, so writing a copy never needs
// memory of its size.
class ImageWriter
{
public:
    explicit ImageWriter(int fd) : m_fd(fd) {}
    template <typename T> void put(T value) { append(&value, sizeof value); }
    void putString(const QString& s)
    {
        put<quint32>(static_cast<quint32>(s.size()));
        append(s.constData(), static_cast<size_t>(s.size()) * sizeof(QChar));
    }
    template <typename T> void putArray(const T* data, size_t count)
    {
        put<quint64>(count);
        append(data, count * sizeof(T));
    }
    template <typename T> void putVector(const std::vector<T>& v) { putArray(v.data(), v.size()); }
    // Writes the header in front of the payload; the error, when any write failed.
    QString finish()
    {
        flush();
        FileHeader header{};
        std::memcpy(header.magic, kMagic, sizeof kMagic);
        header.byteOrder = kByteOrderMarker;
        header.payloadSize = m_written;
        header.checksum = m_sum.value();
        if (m_error == 0 && ::pwrite(m_fd, &header, sizeof header, 0) != sizeof header)
            m_error = errno ? errno : ENOSPC;
        return m_error ? systemError(m_error) : QString();
    }

private:
    static constexpr size_t kBuffer = 1 << 16;
    void append(const void* data, size_t size)
    {
        const auto* bytes = static_cast<const unsigned char*>(data);
        if (m_buffer.size() + size <= kBuffer) {
            m_buffer.insert(m_buffer.end(), bytes, bytes + size);
            return;
        }
        flush();
        if (size <= kBuffer)
            m_buffer.insert(m_buffer.end(), bytes, bytes + size);
        else
            writeOut(bytes, size);
    }
    void flush()
    {
        writeOut(m_buffer.data(), m_buffer.size());
        m_buffer.clear();
    }
    void writeOut(const unsigned char* data, size_t size)
    {
        m_sum.add(data, size);
        m_written += size;
        while (size > 0 && m_error == 0) {
            const ssize_t n = ::pwrite(m_fd, data, size, static_cast<off_t>(m_at));
            if (n < 0 && errno == EINTR)
                continue;
            if (n <= 0) {
                m_error = n < 0 ? errno : ENOSPC;
                break;
            }
            data += n;
            size -= static_cast<size_t>(n);
            m_at += static_cast<quint64>(n);
        }
    }
    int m_fd;
    std::vector<unsigned char> m_buffer;
    PayloadChecksum m_sum;
    quint64 m_written = 0;
    quint64 m_at = sizeof(FileHeader);
    int m_error = 0;
};

// Reads what ImageWriter wrote; every read is checked against the end, so a damaged payload
// is refused rather than read beyond.
class ImageReader
{
public:
    ImageReader(const unsigned char* data, size_t size) : m_at(data), m_end(data + size) {}
    bool ok() const { return m_ok; }
    bool atEnd() const { return m_at == m_end; }

    template <typename T> T get()
    {
        T value{};
        take(&value, sizeof value);
        return value;
    }
    QString getString()
    {
        const auto n = get<quint32>();
        if (!room(n, sizeof(QChar)))
            return {};
        QString s(static_cast<qsizetype>(n), Qt::Uninitialized);
        take(s.data(), n * sizeof(QChar));
        return s;
    }
    // An array of at most limit elements.
    template <typename T> bool getVector(std::vector<T>& v, size_t limit)
    {
        const auto n = get<quint64>();
        if (!m_ok || n > limit || !room(n, sizeof(T)))
            return m_ok = false;
        v.resize(static_cast<size_t>(n));
        take(v.data(), static_cast<size_t>(n) * sizeof(T));
        return m_ok;
    }
    // Where an array of count elements starts; the caller copies them.
    const unsigned char* skip(quint64 count, size_t elementSize)
    {
        if (!room(count, elementSize))
            return nullptr;
        const unsigned char* at = m_at;
        m_at += count * elementSize;
        return at;
    }
    void fail() { m_ok = false; }

private:
    bool room(quint64 count, size_t elementSize)
    {
        if (!m_ok || count > static_cast<quint64>(m_end - m_at) / elementSize)
            m_ok = false;
        return m_ok;
    }
    void take(void* out, size_t size)
    {
        // An empty vector has no storage to copy into, and needs none.
        if (!room(size, 1) || size == 0)
            return;
        std::memcpy(out, m_at, size);
        m_at += size;
    }
    const unsigned char* m_at;
    const unsigned char* m_end;
    bool m_ok = true;
};

} // namespace

// The records of a table store written out as they lie in memory and read back the same way.
class StoreImage
{
public:
    static void write(const TableStore& store, ImageWriter& out)
    {
        out.put<quint32>(static_cast<quint32>(store.fieldCount()));
        for (const FieldDef& f : store.fields()) {
            out.putString(f.name);
            out.put<qint32>(static_cast<qint32>(f.type));
            out.put<qint32>(f.width);
            out.put<qint32>(f.typeCode);
        }
        const TableInfo& info = store.info();
        out.put<qint32>(info.codePage);
        out.put<qint32>(info.fileVersion);
        out.put<qint32>(info.primaryKeyFields);
        out.put<quint32>(info.encryption);
        out.put<qint32>(store.recordCount());
        for (const TableStore::Column& c : store.m_columns) {
            out.put<quint8>(static_cast<quint8>(c.kind));
            out.putVector(c.spans);
            out.putVector(c.integers);
            out.putVector(c.numbers);
            out.putVector(c.numberSet);
        }
        out.putArray(store.m_text.data.get(), store.m_text.size);
        out.putVector(store.m_bytes);
    }

    // The store, when the image holds records of exactly the fields given.
    static std::optional<TableStore> read(ImageReader& in, const std::vector<FieldDef>& fields)
    {
        TableStore store;
        const auto fieldCount = in.get<quint32>();
        if (!in.ok() || fieldCount != fields.size())
            return std::nullopt;
        for (const FieldDef& expected : fields) {
            FieldDef f;
            f.name = in.getString();
            f.type = static_cast<FieldType>(in.get<qint32>());
            f.width = in.get<qint32>();
            f.typeCode = in.get<qint32>();
            if (!in.ok() || f.name != expected.name || f.type != expected.type ||
                f.width != expected.width)
                return std::nullopt;
            store.m_fields.push_back(f);
        }
        store.m_info.codePage = in.get<qint32>();
        store.m_info.fileVersion = in.get<qint32>();
        store.m_info.primaryKeyFields = in.get<qint32>();
        store.m_info.encryption = in.get<quint32>();
        store.m_records = in.get<qint32>();
        if (!in.ok() || store.m_records < 0)
            return std::nullopt;
        const auto records = static_cast<size_t>(store.m_records);
        store.m_columns.resize(fields.size());
        for (size_t f = 0; f < fields.size(); ++f) {
            TableStore::Column& c = store.m_columns[f];
            c.kind = static_cast<TableStore::Kind>(in.get<quint8>());
            if (!in.ok() || c.kind != TableStore::kindOf(fields[f].type))
                return std::nullopt;
            const bool spans =
                c.kind == TableStore::Kind::Text || c.kind == TableStore::Kind::Bytes;
            const bool integers = c.kind == TableStore::Kind::Integer;
            const bool numbers = c.kind == TableStore::Kind::Number;
            if (!in.getVector(c.spans, spans ? records : 0) ||
                !in.getVector(c.integers, integers ? records : 0) ||
                !in.getVector(c.numbers, numbers ? records : 0) ||
                !in.getVector(c.numberSet, numbers ? records : 0) ||
                c.spans.size() + c.integers.size() + c.numbers.size() != records ||
                c.numberSet.size() != c.numbers.size())
                return std::nullopt;
        }
        const auto chars = in.get<quint64>();
        const unsigned char* text = in.skip(chars, sizeof(char16_t));
        if (!text)
            return std::nullopt;
        store.m_text.reserve(static_cast<size_t>(chars));
        if (chars > 0)
            std::memcpy(store.m_text.data.get(), text, static_cast<size_t>(chars) * 2);
        store.m_text.size = static_cast<size_t>(chars);
        if (!in.getVector(store.m_bytes, std::numeric_limits<size_t>::max()))
            return std::nullopt;
        // Every value must lie within its arena, so that no later read can go beyond it.
        for (const TableStore::Column& c : store.m_columns) {
            const size_t arena =
                c.kind == TableStore::Kind::Text ? store.m_text.size : store.m_bytes.size();
            for (const TableStore::Span& s : c.spans)
                if (s.offset > arena || s.length > arena - s.offset)
                    return std::nullopt;
        }
        return store;
    }
};

namespace server {

LocalCache::LocalCache(QString directory, const QString& connection,
                       std::vector<const TableDef*> tables)
    : m_directory(std::move(directory)), m_tables(std::move(tables))
{
    // The connection as it may be shown: the key of its files never depends on a password.
    m_key =
        QString::fromLatin1(QCryptographicHash::hash(PgConnection::redacted(connection).toUtf8(),
                                                     QCryptographicHash::Sha256)
                                .toHex()
                                .left(16));
}

QString LocalCache::standardDirectory()
{
    QString base = qEnvironmentVariable("XDG_CACHE_HOME");
    if (base.isEmpty() || !QDir::isAbsolutePath(base)) {
        const QString home = qEnvironmentVariable("HOME");
        if (home.isEmpty() || !QDir::isAbsolutePath(home))
            return QString();
        base = home + QStringLiteral("/.cache");
    }
    return base + QStringLiteral("/zel/server");
}

QString LocalCache::fileFor(const QString& revision) const
{
    const QByteArray hash = QCryptographicHash::hash(revision.toUtf8(), QCryptographicHash::Sha256);
    return m_directory + QLatin1Char('/') + m_key + QLatin1Char('.') +
           QString::fromLatin1(hash.toHex().left(16)) + kSuffix;
}

namespace {

QStringList copiesNewestFirst(const QString& directory, const QString& key)
{
    const QDir dir(directory);
    const QFileInfoList files =
        dir.entryInfoList({key + QStringLiteral(".*") + kSuffix}, QDir::Files, QDir::Time);
    QStringList paths;
    for (const QFileInfo& f : files)
        paths << f.absoluteFilePath();
    return paths;
}

std::optional<LocalCache::Copy> readCopy(const QString& path,
                                         const std::vector<const TableDef*>& tables)
{
    int fd = -1;
    try {
        fd = openFileForReading(path, QStringLiteral("server copy"));
    } catch (const FileAccessError&) {
        return std::nullopt;
    }
    auto closeFile = qScopeGuard([fd] { ::close(fd); });
    struct stat st
    {
    };
    if (::fstat(fd, &st) != 0 || st.st_size < static_cast<off_t>(sizeof(FileHeader)))
        return std::nullopt;
    const auto size = static_cast<size_t>(st.st_size);
    void* map = ::mmap(nullptr, size, PROT_READ, MAP_PRIVATE, fd, 0);
    if (map == MAP_FAILED)
        return std::nullopt;
    auto unmap = qScopeGuard([map, size] { ::munmap(map, size); });
    const auto* bytes = static_cast<const unsigned char*>(map);
    FileHeader header;
    std::memcpy(&header, bytes, sizeof header);
    const unsigned char* payload = bytes + sizeof header;
    if (std::memcmp(header.magic, kMagic, sizeof kMagic) != 0 ||
        header.byteOrder != kByteOrderMarker || header.payloadSize != size - sizeof header ||
        PayloadChecksum::of(payload, size - sizeof header) != header.checksum)
        return std::nullopt;

    ImageReader in(payload, size - sizeof header);
    LocalCache::Copy copy;
    copy.revision = in.getString();
    if (!in.ok() || copy.revision.isEmpty() || in.getString() != layoutFingerprint(tables))
        return std::nullopt;
    const auto tableCount = in.get<quint32>();
    if (!in.ok() || tableCount != tables.size())
        return std::nullopt;
    for (const TableDef* def : tables) {
        if (in.getString() != def->fileName)
            return std::nullopt;
        std::optional<TableStore> store = StoreImage::read(in, def->fields);
        if (!store)
            return std::nullopt;
        std::vector<std::vector<int>> orders(def->indexes.size());
        for (size_t i = 0; i < def->indexes.size(); ++i)
            if (in.getString() != def->indexes[i].name ||
                !in.getVector(orders[i], static_cast<size_t>(store->recordCount())))
                return std::nullopt;
        std::shared_ptr<Table> table;
        try {
            table = Table::fromStore(def->fileName, std::move(*store), def, std::move(orders));
        } catch (const DatabaseError&) {
            return std::nullopt;
        }
        copy.tables[def->fileName] = std::move(table);
    }
    if (!in.atEnd())
        return std::nullopt;
    return copy;
}

} // namespace

namespace {

// A copy read whole, the key texts folded as a load from the server leaves them (each table
// on a thread of its own); nothing when it cannot be used.
std::optional<LocalCache::Copy> readPrepared(const QString& path,
                                             const std::vector<const TableDef*>& tables)
{
    try {
        std::optional<LocalCache::Copy> copy = readCopy(path, tables);
        if (!copy)
            return std::nullopt;
        std::vector<std::future<void>> folding;
        for (const auto& [name, table] : copy->tables)
            folding.push_back(std::async(std::launch::async, [t = table.get()] {
                for (const IndexDef& index : t->indexDefs())
                    t->index(index).prepare();
            }));
        for (auto& f : folding)
            f.get();
        return copy;
    } catch (...) {
        // Out of memory for a copy that claims to be huge, and the like: the server is read.
        return std::nullopt;
    }
}

} // namespace

std::optional<LocalCache::Copy> LocalCache::readLatest() const
{
    if (m_directory.isEmpty())
        return std::nullopt;
    const QStringList copies = copiesNewestFirst(m_directory, m_key);
    return copies.isEmpty() ? std::nullopt : readPrepared(copies.front(), m_tables);
}

std::optional<LocalCache::Copy> LocalCache::read(const QString& revision) const
{
    if (m_directory.isEmpty() || revision.isEmpty())
        return std::nullopt;
    std::optional<Copy> copy = readPrepared(fileFor(revision), m_tables);
    return copy && copy->revision == revision ? std::move(copy) : std::nullopt;
}

void LocalCache::forget() const
{
    if (m_directory.isEmpty())
        return;
    for (const QString& copy : copiesNewestFirst(m_directory, m_key))
        QFile::remove(copy);
}

QString LocalCache::write(const QString& revision,
                          const std::map<QString, std::shared_ptr<Table>>& tables) const
{
    if (m_directory.isEmpty())
        return QStringLiteral("no directory for server copies");
    if (revision.isEmpty())
        return QStringLiteral("the server's data have no revision");
    // Only the user reads the copies; a directory made for them is the user's alone.
    if (!QFileInfo::exists(m_directory)) {
        if (!QDir().mkpath(m_directory))
            return QStringLiteral("cannot make %1").arg(m_directory);
        ::chmod(fileNameBytes(m_directory).constData(), 0700);
    }
    const QString target = fileFor(revision);
    FileReplacement::Options options;
    options.newMode = 0600;
    // No sync: a copy that a crash leaves damaged fails its checksum and is made again.
    options.durable = false;
    std::optional<FileReplacement> file;
    try {
        file.emplace(target, options);
    } catch (const FileAccessError& e) {
        return e.message();
    }

    ImageWriter out(file->fd());
    out.putString(revision);
    out.putString(layoutFingerprint(m_tables));
    out.put<quint32>(static_cast<quint32>(m_tables.size()));
    for (const TableDef* def : m_tables) {
        const auto found = tables.find(def->fileName);
        if (found == tables.end() || !found->second)
            return QStringLiteral("no table %1").arg(def->fileName);
        const Table& table = *found->second;
        out.putString(def->fileName);
        StoreImage::write(table.store(), out);
        for (const IndexDef& index : def->indexes) {
            const Index& built = table.index(index);
            std::vector<qint32> order(static_cast<size_t>(built.size()));
            for (int i = 0; i < built.size(); ++i)
                order[static_cast<size_t>(i)] = built.recordAt(i);
            out.putString(index.name);
            out.putVector(order);
        }
    }
    if (const QString error = out.finish(); !error.isEmpty())
        return QStringLiteral("cannot write %1: %2").arg(target, error);
    try {
        file->commit();
    } catch (const FileAccessError& e) {
        return e.message();
    }

    // Older copies for this connection go; a program that maps one keeps it until it is done.
    const QStringList copies = copiesNewestFirst(m_directory, m_key);
    for (qsizetype i = 0; i < copies.size(); ++i)
        if (i >= kCopiesKept && copies[i] != QFileInfo(target).absoluteFilePath())
            QFile::remove(copies[i]);
    // Pieces of copies whose writer was killed while it named them.
    const QDateTime hourAgo = QDateTime::currentDateTimeUtc().addSecs(-3600);
    for (const QFileInfo& f : QDir(m_directory)
                                  .entryInfoList({FileReplacement::leftoverPattern(
                                                     m_key + QStringLiteral(".*") + kSuffix)},
                                                 QDir::Files | QDir::Hidden))
        if (f.lastModified().toUTC() < hourAgo)
            QFile::remove(f.absoluteFilePath());
    return QString();
}

} // namespace server
} // namespace zel::data
