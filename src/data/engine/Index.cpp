#include "data/engine/Index.h"

#include "data/base/Error.h"
#include "data/base/FileAccess.h"
#include "data/base/FileReplacement.h"
#include "data/engine/Collation.h"
#include "data/engine/IndexSort.h"
#include "data/engine/Table.h"

#include <QDataStream>
#include <QFile>
#include <QtEndian>
#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstring>
#include <fcntl.h>
#include <limits>
#include <map>
#include <numeric>
#include <unistd.h>

namespace zel::data {

namespace {

constexpr quint32 kZixMagic = 0x5A495834;    // "ZIX4"
constexpr quint32 kZixMagic3 = 0x5A495833;   // "ZIX3"
constexpr quint32 kZixMagic2 = 0x5A495832;   // "ZIX2"
constexpr quint32 kZixMagicOld = 0x5A495831; // "ZIX1"
// What files from before the collation was recorded were sorted by: the simple case fold.
const QString kCaseFoldCollation = QStringLiteral("casefold");

// 64-bit FNV-1a: damage anywhere in the stored order changes it.
// The checksum of "ZIX4" files: FNV-1a's step over 64-bit words in four lanes at once, which
// a processor runs side by side (byte by byte it was a fifth of loading a large database).
quint64 wordChecksum(const std::vector<unsigned char>& raw)
{
    constexpr quint64 prime = 0x100000001b3ull;
    quint64 lane[4] = {0xcbf29ce484222325ull, 0x84222325cbf29ce4ull, 0x9ce484222325cbf2ull,
                       0x2325cbf29ce48422ull};
    const size_t words = raw.size() / 8;
    size_t w = 0;
    for (; w + 4 <= words; w += 4)
        for (size_t l = 0; l < 4; ++l)
            lane[l] = (lane[l] ^ qFromLittleEndian<quint64>(raw.data() + 8 * (w + l))) * prime;
    for (; w < words; ++w)
        lane[0] = (lane[0] ^ qFromLittleEndian<quint64>(raw.data() + 8 * w)) * prime;
    quint64 h = raw.size();
    for (const quint64 l : lane)
        h = (h ^ l) * prime;
    for (size_t i = words * 8; i < raw.size(); ++i)
        h = (h ^ raw[i]) * prime;
    return h;
}

// The checksum of "ZIX2" and "ZIX3" files, byte by byte.
quint64 orderChecksum(const std::vector<unsigned char>& raw)
{
    quint64 h = 0xcbf29ce484222325ull;
    for (const unsigned char b : raw) {
        h ^= b;
        h *= 0x100000001b3ull;
    }
    return h;
}
// Blank numbers sort before every number.
constexpr double kNullNumber = -std::numeric_limits<double>::infinity();

QString trimRight(QString s)
{
    qsizetype n = s.size();
    while (n > 0 && s.at(n - 1) == QLatin1Char(' '))
        --n;
    s.truncate(n);
    return s;
}

bool isNumeric(FieldType t)
{
    switch (t) {
    case FieldType::Integer:
    case FieldType::AutoIncrement:
    case FieldType::Number:
    case FieldType::Currency:
    case FieldType::Date:
    case FieldType::Time:
    case FieldType::Timestamp:
    case FieldType::Logical:
        return true;
    default:
        return false;
    }
}

int sign(int c)
{
    return c < 0 ? -1 : (c > 0 ? 1 : 0);
}

// A NaN (only a damaged file holds one) sorts after every number and equals another NaN: a
// sort needs an order that is consistent, and a search must agree with the sort.
int compareNumbers(double x, double y)
{
    const bool xNan = std::isnan(x), yNan = std::isnan(y);
    if (xNan || yNan)
        return xNan == yNan ? 0 : (xNan ? 1 : -1);
    return x < y ? -1 : (x > y ? 1 : 0);
}

} // namespace

// Keys are read from the table's own storage when they are compared: an index is its order
// and nothing else, however many records the table has.
Index::Index(const Table& table, const IndexDef& def) : m_table(table), m_def(def)
{
    for (const QString& name : def.fields) {
        const int no = table.fieldIndex(name);
        if (no < 0)
            throw DatabaseError(QStringLiteral("%1 has no field %2 for index %3")
                                    .arg(table.displayName(), name, def.name));
        m_fields.push_back(no);
        m_numeric.push_back(isNumeric(table.field(no).type));
    }
}

QStringView Index::keyText(int record, size_t part) const
{
    if (m_table.hasEdits())
        return m_def.caseInsensitive() ? m_table.foldedText(record, m_fields[part])
                                       : m_table.text(record, m_fields[part]);
    if (m_texts.empty())
        prepare();
    const TextColumn& column = m_texts[part];
    return column.text ? column.at(record) : QStringView();
}

void Index::prepare() const
{
    if (!m_texts.empty() || m_table.hasEdits())
        return;
    m_texts.resize(m_fields.size());
    for (size_t i = 0; i < m_fields.size(); ++i)
        if (!m_numeric[i])
            m_texts[i] = m_def.caseInsensitive() ? m_table.foldedColumn(m_fields[i])
                                                 : m_table.textColumn(m_fields[i]);
}

double Index::keyNumber(int record, size_t part) const
{
    return m_table.isNull(record, m_fields[part]) ? kNullNumber
                                                  : m_table.number(record, m_fields[part]);
}

namespace {

std::vector<KeyPart> keyParts(const KeyValues& values, const std::vector<bool>& numeric,
                              bool caseInsensitive)
{
    std::vector<KeyPart> key;
    const size_t n = std::min(static_cast<size_t>(values.size()), numeric.size());
    for (size_t i = 0; i < n; ++i) {
        const QVariant& v = values[static_cast<qsizetype>(i)];
        KeyPart part;
        if (numeric[i]) {
            bool ok = false;
            const double num = v.toDouble(&ok);
            part.number = ok && !v.isNull() ? num : kNullNumber;
        } else {
            part.text = trimRight(v.toString());
            if (caseInsensitive)
                part.text = collation::key(part.text);
        }
        key.push_back(std::move(part));
    }
    return key;
}

} // namespace

std::vector<KeyPart> Index::makeKey(const KeyValues& values) const
{
    return keyParts(values, m_numeric, m_def.caseInsensitive());
}

std::vector<int> Index::findInOrder(const IndexDef& def, const std::vector<int>& order,
                                    const std::vector<KeyValues>& keys,
                                    const std::function<TableStore(int)>& recordOf)
{
    // Each probe reads one record, of which only its key is kept (folded as the index folds
    // it): the searches share the first probes' records.
    std::map<int, std::vector<KeyPart>> keyOf;
    std::vector<int> fields;
    std::vector<bool> numeric;
    const auto probe = [&](int record) -> const std::vector<KeyPart>& {
        auto it = keyOf.find(record);
        if (it != keyOf.end())
            return it->second;
        const TableStore s = recordOf(record);
        if (fields.empty()) {
            for (const QString& name : def.fields) {
                int no = -1;
                for (int f = 0; f < s.fieldCount() && no < 0; ++f)
                    if (s.field(f).name.compare(name, Qt::CaseInsensitive) == 0)
                        no = f;
                if (no < 0)
                    throw DatabaseError(
                        QStringLiteral("no field %1 for index %2").arg(name, def.name));
                fields.push_back(no);
                numeric.push_back(isNumeric(s.field(no).type));
            }
        }
        std::vector<KeyPart> key(fields.size());
        for (size_t i = 0; i < fields.size(); ++i) {
            if (numeric[i])
                key[i].number = s.isNull(0, fields[i]) ? kNullNumber : s.number(0, fields[i]);
            else if (def.caseInsensitive())
                key[i].text = collation::key(s.text(0, fields[i]));
            else
                key[i].text = s.text(0, fields[i]).toString();
        }
        return keyOf.emplace(record, std::move(key)).first->second;
    };
    if (order.empty())
        return {};
    probe(order.front());
    std::vector<int> found;
    for (const KeyValues& values : keys) {
        const std::vector<KeyPart> k = keyParts(values, numeric, def.caseInsensitive());
        const auto compare = [&](int position) {
            const std::vector<KeyPart>& r = probe(order[size_t(position)]);
            for (size_t i = 0; i < k.size(); ++i) {
                const int c = numeric[i] ? compareNumbers(r[i].number, k[i].number)
                                         : sign(QStringView(r[i].text).compare(k[i].text));
                if (c != 0)
                    return c;
            }
            return 0;
        };
        int from = 0, to = int(order.size());
        while (from < to) {
            const int mid = from + (to - from) / 2;
            if (compare(mid) < 0)
                from = mid + 1;
            else
                to = mid;
        }
        const int first = from;
        to = int(order.size());
        while (from < to) {
            const int mid = from + (to - from) / 2;
            if (compare(mid) <= 0)
                from = mid + 1;
            else
                to = mid;
        }
        found.insert(found.end(), order.begin() + first, order.begin() + from);
    }
    std::sort(found.begin(), found.end());
    found.erase(std::unique(found.begin(), found.end()), found.end());
    return found;
}

int Index::compareRecords(int a, int b) const
{
    for (size_t i = 0; i < m_fields.size(); ++i) {
        if (m_numeric[i]) {
            if (const int c = compareNumbers(keyNumber(a, i), keyNumber(b, i)); c != 0)
                return c;
        } else if (const int c = keyText(a, i).compare(keyText(b, i)); c != 0) {
            return sign(c);
        }
    }
    return 0;
}

int Index::compareWithKey(int record, const std::vector<KeyPart>& key) const
{
    // A search reads a few records out of many: until something needs the whole column, each
    // key it reads is folded as it is read.
    const bool foldEach = m_texts.empty() && m_def.caseInsensitive() && !m_table.hasEdits();
    thread_local std::vector<char16_t> folded;
    for (size_t i = 0; i < key.size() && i < m_fields.size(); ++i) {
        if (m_numeric[i]) {
            if (const int c = compareNumbers(keyNumber(record, i), key[i].number); c != 0)
                return c;
            continue;
        }
        QStringView text;
        if (foldEach) {
            folded.clear();
            collation::appendKey(m_table.text(record, m_fields[i]), folded);
            text = QStringView(folded.data(), static_cast<qsizetype>(folded.size()));
        } else {
            text = keyText(record, i);
        }
        if (const int c = text.compare(QStringView(key[i].text)); c != 0)
            return sign(c);
    }
    return 0;
}

int Index::compareAt(int position, const std::vector<KeyPart>& key) const
{
    return compareWithKey(m_order[static_cast<size_t>(position)], key);
}

int Index::lowerBound(const std::vector<KeyPart>& key, int from, int to) const
{
    while (from < to) {
        const int mid = from + (to - from) / 2;
        if (compareAt(mid, key) < 0)
            from = mid + 1;
        else
            to = mid;
    }
    return from;
}

int Index::upperBound(const std::vector<KeyPart>& key, int from, int to) const
{
    while (from < to) {
        const int mid = from + (to - from) / 2;
        if (compareAt(mid, key) <= 0)
            from = mid + 1;
        else
            to = mid;
    }
    return from;
}

void Index::setOrder(std::vector<int> order)
{
    m_order = std::move(order);
    m_rank.assign(m_order.size(), 0);
    for (size_t i = 0; i < m_order.size(); ++i)
        m_rank[static_cast<size_t>(m_order[i])] = static_cast<int>(i);
}

bool Index::adoptOrder(std::vector<int> order)
{
    const size_t n = static_cast<size_t>(m_table.recordCount());
    if (order.size() != n)
        return false;
    std::vector<bool> seen(n, false);
    for (const int r : order) {
        if (r < 0 || static_cast<size_t>(r) >= n || seen[static_cast<size_t>(r)])
            return false;
        seen[static_cast<size_t>(r)] = true;
    }
    setOrder(std::move(order));
    return true;
}

void Index::build()
{
    const int n = m_table.recordCount();
    prepare();
    // The sort reads every key straight from arrays: numbers turned into ordered integers
    // once, and the texts of a table with changes pending gathered once, instead of a lookup
    // through the table at each of the many comparisons.
    std::vector<SortKeyColumn> key(m_fields.size());
    std::vector<std::vector<char16_t>> gatheredText(m_fields.size());
    std::vector<std::vector<TextColumn::Span>> gatheredSpans(m_fields.size());
    for (size_t i = 0; i < m_fields.size(); ++i) {
        SortKeyColumn& part = key[i];
        part.numeric = m_numeric[i];
        if (part.numeric) {
            part.numbers.resize(static_cast<size_t>(n));
            for (int r = 0; r < n; ++r)
                part.numbers[static_cast<size_t>(r)] = orderedBits(keyNumber(r, i));
        } else if (!m_table.hasEdits() && m_texts[i].text) {
            part.text = m_texts[i];
        } else {
            std::vector<char16_t>& text = gatheredText[i];
            std::vector<TextColumn::Span>& spans = gatheredSpans[i];
            spans.resize(static_cast<size_t>(n));
            for (int r = 0; r < n; ++r) {
                const QStringView t = keyText(r, i);
                spans[static_cast<size_t>(r)] = {static_cast<quint32>(text.size()),
                                                 static_cast<quint32>(t.size())};
                text.insert(text.end(), t.utf16(), t.utf16() + t.size());
            }
            part.text = {text.data(), spans.data()};
        }
    }
    std::vector<int> order = sortRecords(key, n);
    if (m_def.primary)
        for (size_t i = 1; i < order.size(); ++i)
            if (compareSortKeys(key, order[i - 1], order[i]) == 0)
                refuseDuplicate(order[i]);
    setOrder(std::move(order));
}

void Index::refuseDuplicate(int record) const
{
    QStringList parts;
    for (int f : m_fields)
        parts << m_table.value(record, f).toString();
    throw DatabaseError(QStringLiteral("%1 has a duplicate primary key: %2")
                            .arg(m_table.displayName(), parts.join(QStringLiteral("; "))));
}

// Index files: "ZIX4" files hold the order as raw little-endian integers after a header that
// ties them to the table file (size, modification time, record count, key fields), the
// collation that sorted them and a checksum of the order, which is all a reader has to check.
// "ZIX3" files are the same with a slower checksum, and are still read.
// "ZIX2" files are the same without the collation: they were sorted by the simple case fold,
// which still serves a primary index (compared exactly) but no case-insensitive one. "ZIX1"
// files, written before, hold the order as a data stream without a checksum; they are still
// read, and then every neighbouring pair of records is compared to make sure of the order.
namespace {

struct ZixHeader
{
    quint32 magic = 0;
    qint64 size = 0, timeNs = 0;
    qint32 records = 0;
    QStringList fields;
    QString collation;
};

bool readHeader(QDataStream& in, ZixHeader& h)
{
    in >> h.magic >> h.size >> h.timeNs >> h.records >> h.fields;
    if (h.magic == kZixMagic || h.magic == kZixMagic3)
        in >> h.collation;
    else
        h.collation = kCaseFoldCollation;
    return in.status() == QDataStream::Ok && (h.magic == kZixMagic || h.magic == kZixMagic3 ||
                                              h.magic == kZixMagic2 || h.magic == kZixMagicOld);
}

} // namespace

QString Index::fileCollation(const QString& zixPath)
{
    int fd = -1;
    try {
        fd = openFileForReading(zixPath, QStringLiteral("index file"));
    } catch (const FileAccessError&) {
        return QString();
    }
    QFile file;
    if (!file.open(fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)) {
        ::close(fd);
        return QString();
    }
    QDataStream in(&file);
    ZixHeader h;
    return readHeader(in, h) ? h.collation : QString();
}

namespace {

struct StoredOrder
{
    std::vector<int> order;
    bool checked = false; // by a checksum; old files only by comparing their records
};

std::optional<StoredOrder> readStoredOrder(const QString& zixPath, const IndexDef& def,
                                           qint64 fileSize, qint64 fileTimeNs, int records)
{
    // Not a plain file (a pipe of that name would stall the start): not an index to use.
    int fd = -1;
    try {
        fd = openFileForReading(zixPath, QStringLiteral("index file"));
    } catch (const FileAccessError&) {
        return std::nullopt;
    }
    QFile file;
    if (!file.open(fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)) {
        ::close(fd);
        return std::nullopt;
    }
    QDataStream in(&file);
    ZixHeader h;
    if (!readHeader(in, h) || h.size != fileSize || h.timeNs != fileTimeNs || h.records != records)
        return std::nullopt;
    // Sorted by another collation: right for an exact index, wrong for this one.
    if (def.caseInsensitive() && h.magic != kZixMagicOld && h.collation != collation::name())
        return std::nullopt;
    if (h.fields.size() != def.fields.size())
        return std::nullopt;
    for (qsizetype i = 0; i < h.fields.size(); ++i)
        if (h.fields[i].compare(def.fields[i], Qt::CaseInsensitive) != 0)
            return std::nullopt;
    const size_t n = static_cast<size_t>(h.records);
    StoredOrder stored;
    std::vector<int>& order = stored.order;
    order.resize(n);
    if (h.magic != kZixMagicOld) {
        quint64 checksum = 0;
        in >> checksum;
        std::vector<unsigned char> raw(n * 4);
        if (in.status() != QDataStream::Ok ||
            in.readRawData(reinterpret_cast<char*>(raw.data()), static_cast<int>(raw.size())) !=
                static_cast<int>(raw.size()) ||
            (h.magic == kZixMagic ? wordChecksum(raw) : orderChecksum(raw)) != checksum)
            return std::nullopt;
        for (size_t i = 0; i < n; ++i)
            order[i] = static_cast<int>(static_cast<quint32>(raw[4 * i]) |
                                        (static_cast<quint32>(raw[4 * i + 1]) << 8) |
                                        (static_cast<quint32>(raw[4 * i + 2]) << 16) |
                                        (static_cast<quint32>(raw[4 * i + 3]) << 24));
        stored.checked = true;
    } else {
        for (size_t i = 0; i < n; ++i) {
            qint32 r = -1;
            in >> r;
            if (in.status() != QDataStream::Ok)
                return std::nullopt;
            order[i] = r;
        }
    }
    std::vector<bool> seen(n, false);
    for (const int r : order) {
        if (r < 0 || static_cast<size_t>(r) >= n || seen[static_cast<size_t>(r)])
            return std::nullopt;
        seen[static_cast<size_t>(r)] = true;
    }
    return stored;
}

} // namespace

std::optional<std::vector<int>> Index::readOrder(const QString& zixPath, const IndexDef& def,
                                                 qint64 fileSize, qint64 fileTimeNs, int records)
{
    std::optional<StoredOrder> stored =
        readStoredOrder(zixPath, def, fileSize, fileTimeNs, records);
    if (!stored || !stored->checked)
        return std::nullopt;
    return std::move(stored->order);
}

bool Index::load(const QString& zixPath)
{
    std::optional<StoredOrder> stored = readStoredOrder(
        zixPath, m_def, m_table.fileSize(), m_table.fileTimeNs(), m_table.recordCount());
    if (!stored)
        return false;
    const std::vector<int>& order = stored->order;
    // An old file that matches the table but is out of order (damaged, or written by a
    // different collation) must not be trusted: binary searches would go wrong.
    if (!stored->checked) {
        for (size_t i = 1; i < order.size(); ++i) {
            const int c = compareRecords(order[i - 1], order[i]);
            if (c > 0 || (m_def.primary && c == 0))
                return false;
        }
    }
    setOrder(std::move(stored->order));
    return true;
}

void Index::save(const QString& zixPath) const
{
    std::vector<unsigned char> raw(m_order.size() * 4);
    for (size_t i = 0; i < m_order.size(); ++i)
        for (int b = 0; b < 4; ++b)
            raw[4 * i + static_cast<size_t>(b)] =
                static_cast<unsigned char>((static_cast<quint32>(m_order[i]) >> (8 * b)) & 0xFF);
    QByteArray bytes;
    QDataStream out(&bytes, QIODevice::WriteOnly);
    out << kZixMagic << m_table.fileSize() << m_table.fileTimeNs()
        << static_cast<qint32>(m_table.recordCount()) << m_def.fields << collation::name()
        << wordChecksum(raw);
    out.writeRawData(reinterpret_cast<const char*>(raw.data()), static_cast<int>(raw.size()));
    if (out.status() != QDataStream::Ok)
        throw DatabaseError(QStringLiteral("Cannot write index file %1").arg(zixPath));
    // Written without waiting for the disk: a crash can only leave a file that is missing or
    // damaged, and such a file is not used (its checksum, or the header that ties it to its
    // table, does not match) and is built again. It takes its table's read and write
    // permissions and group, so the index files of a table a group shares are the group's.
    FileReplacement::Options options;
    options.permissionsOf = m_table.path();
    options.newMode = 0644;
    options.durable = false;
    try {
        FileReplacement file(zixPath, options);
        file.write(bytes);
        file.commit();
    } catch (const FileAccessError& e) {
        throw DatabaseError(e.message());
    }
}

} // namespace zel::data
