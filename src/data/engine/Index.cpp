#include "data/engine/Index.h"

#include "data/base/Error.h"
#include "data/base/FileAccess.h"
#include "data/base/FileReplacement.h"
#include "data/engine/Collation.h"
#include "data/engine/IndexSort.h"
#include "data/engine/Table.h"

#include <QDataStream>
#include <QFile>
#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstring>
#include <fcntl.h>
#include <limits>
#include <numeric>
#include <unistd.h>

namespace zel::data {

namespace {

constexpr quint32 kZixMagic = 0x5A495833;    // "ZIX3"
constexpr quint32 kZixMagic2 = 0x5A495832;   // "ZIX2"
constexpr quint32 kZixMagicOld = 0x5A495831; // "ZIX1"
// What files from before the collation was recorded were sorted by: the simple case fold.
const QString kCaseFoldCollation = QStringLiteral("casefold");

// 64-bit FNV-1a: damage anywhere in the stored order changes it.
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

std::vector<KeyPart> Index::makeKey(const KeyValues& values) const
{
    std::vector<KeyPart> key;
    const size_t n = std::min(static_cast<size_t>(values.size()), m_fields.size());
    for (size_t i = 0; i < n; ++i) {
        const QVariant& v = values[static_cast<qsizetype>(i)];
        KeyPart part;
        if (m_numeric[i]) {
            bool ok = false;
            const double num = v.toDouble(&ok);
            part.number = ok && !v.isNull() ? num : kNullNumber;
        } else {
            part.text = trimRight(v.toString());
            if (m_def.caseInsensitive())
                part.text = collation::key(part.text);
        }
        key.push_back(std::move(part));
    }
    return key;
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
    for (size_t i = 0; i < key.size() && i < m_fields.size(); ++i) {
        if (m_numeric[i]) {
            if (const int c = compareNumbers(keyNumber(record, i), key[i].number); c != 0)
                return c;
        } else if (const int c = keyText(record, i).compare(QStringView(key[i].text)); c != 0) {
            return sign(c);
        }
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

// Index files: "ZIX3" files hold the order as raw little-endian integers after a header that
// ties them to the table file (size, modification time, record count, key fields), the
// collation that sorted them and a checksum of the order, which is all a reader has to check.
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
    if (h.magic == kZixMagic)
        in >> h.collation;
    else
        h.collation = kCaseFoldCollation;
    return in.status() == QDataStream::Ok &&
           (h.magic == kZixMagic || h.magic == kZixMagic2 || h.magic == kZixMagicOld);
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

bool Index::load(const QString& zixPath)
{
    // Not a plain file (a pipe of that name would stall the start): not an index to use.
    int fd = -1;
    try {
        fd = openFileForReading(zixPath, QStringLiteral("index file"));
    } catch (const FileAccessError&) {
        return false;
    }
    QFile file;
    if (!file.open(fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)) {
        ::close(fd);
        return false;
    }
    QDataStream in(&file);
    ZixHeader h;
    if (!readHeader(in, h) || h.size != m_table.fileSize() || h.timeNs != m_table.fileTimeNs() ||
        h.records != m_table.recordCount())
        return false;
    // Sorted by another collation: right for an exact index, wrong for this one.
    if (m_def.caseInsensitive() && h.magic != kZixMagicOld && h.collation != collation::name())
        return false;
    const QStringList& fields = h.fields;
    const qint32 records = h.records;
    const quint32 magic = h.magic;
    if (fields.size() != m_def.fields.size())
        return false;
    for (qsizetype i = 0; i < fields.size(); ++i)
        if (fields[i].compare(m_def.fields[i], Qt::CaseInsensitive) != 0)
            return false;
    const size_t n = static_cast<size_t>(records);
    std::vector<int> order(n);
    if (magic != kZixMagicOld) {
        quint64 checksum = 0;
        in >> checksum;
        std::vector<unsigned char> raw(n * 4);
        if (in.status() != QDataStream::Ok ||
            in.readRawData(reinterpret_cast<char*>(raw.data()), static_cast<int>(raw.size())) !=
                static_cast<int>(raw.size()) ||
            orderChecksum(raw) != checksum)
            return false;
        for (size_t i = 0; i < n; ++i)
            order[i] = static_cast<int>(static_cast<quint32>(raw[4 * i]) |
                                        (static_cast<quint32>(raw[4 * i + 1]) << 8) |
                                        (static_cast<quint32>(raw[4 * i + 2]) << 16) |
                                        (static_cast<quint32>(raw[4 * i + 3]) << 24));
    } else {
        for (size_t i = 0; i < n; ++i) {
            qint32 r = -1;
            in >> r;
            if (in.status() != QDataStream::Ok)
                return false;
            order[i] = r;
        }
    }
    std::vector<bool> seen(n, false);
    for (const int r : order) {
        if (r < 0 || static_cast<size_t>(r) >= n || seen[static_cast<size_t>(r)])
            return false;
        seen[static_cast<size_t>(r)] = true;
    }
    // An old file that matches the table but is out of order (damaged, or written by a
    // different collation) must not be trusted: binary searches would go wrong.
    if (magic == kZixMagicOld) {
        for (size_t i = 1; i < n; ++i) {
            const int c = compareRecords(order[i - 1], order[i]);
            if (c > 0 || (m_def.primary && c == 0))
                return false;
        }
    }
    setOrder(std::move(order));
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
        << orderChecksum(raw);
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
