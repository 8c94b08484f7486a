#include "data/Index.h"

#include "data/Error.h"
#include "data/Table.h"

#include <QDataStream>
#include <QFile>
#include <QSaveFile>
#include <algorithm>
#include <limits>
#include <numeric>

namespace zel::data {

namespace {

constexpr quint32 kZixMagic = 0x5A495831; // "ZIX1"
constexpr qint64 kNullNumber = std::numeric_limits<qint64>::min();

QString trimRight(QString s)
{
    qsizetype n = s.size();
    while (n > 0 && s.at(n - 1) == QLatin1Char(' '))
        --n;
    s.truncate(n);
    return s;
}

} // namespace

Index::Index(const Table& table, const IndexDef& def) : m_table(table), m_def(def)
{
    for (const QString& name : def.fields) {
        const int no = table.fieldIndex(name);
        if (no < 0)
            throw DatabaseError(QStringLiteral("%1 has no field %2 for index %3")
                                    .arg(table.displayName(), name, def.name));
        m_fields.push_back(no);
        const FieldType t = table.field(no).type;
        m_numeric.push_back(t == FieldType::Integer || t == FieldType::Number);
    }
    const size_t n = static_cast<size_t>(table.recordCount());
    m_keys.resize(n * m_fields.size());
    for (size_t r = 0; r < n; ++r) {
        for (size_t f = 0; f < m_fields.size(); ++f) {
            const QVariant& v = table.value(static_cast<int>(r), m_fields[f]);
            KeyPart& part = m_keys[r * m_fields.size() + f];
            if (m_numeric[f]) {
                part.number = v.isValid() ? v.toLongLong() : kNullNumber;
            } else {
                part.text = v.toString();
                if (def.caseInsensitive())
                    part.text = part.text.toCaseFolded();
            }
        }
    }
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
            const qint64 num = v.toLongLong(&ok);
            part.number = ok ? num : kNullNumber;
        } else {
            part.text = trimRight(v.toString());
            if (m_def.caseInsensitive())
                part.text = part.text.toCaseFolded();
        }
        key.push_back(std::move(part));
    }
    return key;
}

std::vector<KeyPart> Index::recordKey(int record) const
{
    const KeyPart* p = partsOf(record);
    return std::vector<KeyPart>(p, p + m_fields.size());
}

int Index::compareParts(const KeyPart* a, const KeyPart* b, int n) const
{
    for (int i = 0; i < n; ++i) {
        if (m_numeric[static_cast<size_t>(i)]) {
            if (a[i].number != b[i].number)
                return a[i].number < b[i].number ? -1 : 1;
        } else {
            const int c = QStringView(a[i].text).compare(QStringView(b[i].text));
            if (c != 0)
                return c < 0 ? -1 : 1;
        }
    }
    return 0;
}

int Index::compareRecords(int a, int b) const
{
    return compareParts(partsOf(a), partsOf(b), static_cast<int>(m_fields.size()));
}

int Index::compareAt(int position, const std::vector<KeyPart>& key) const
{
    return compareParts(partsOf(m_order[static_cast<size_t>(position)]), key.data(),
                        static_cast<int>(key.size()));
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

void Index::build()
{
    std::vector<int> order(static_cast<size_t>(m_table.recordCount()));
    std::iota(order.begin(), order.end(), 0);
    std::stable_sort(order.begin(), order.end(),
                     [this](int a, int b) { return compareRecords(a, b) < 0; });
    if (m_def.primary) {
        for (size_t i = 1; i < order.size(); ++i) {
            if (compareRecords(order[i - 1], order[i]) == 0) {
                QStringList parts;
                for (int f : m_fields)
                    parts << m_table.value(order[i], f).toString();
                throw DatabaseError(
                    QStringLiteral("%1 has a duplicate primary key: %2")
                        .arg(m_table.displayName(), parts.join(QStringLiteral("; "))));
            }
        }
    }
    setOrder(std::move(order));
}

bool Index::load(const QString& zixPath)
{
    QFile file(zixPath);
    if (!file.open(QIODevice::ReadOnly))
        return false;
    QDataStream in(&file);
    quint32 magic = 0;
    qint64 size = 0, timeNs = 0;
    qint32 records = 0;
    QStringList fields;
    in >> magic >> size >> timeNs >> records >> fields;
    if (in.status() != QDataStream::Ok || magic != kZixMagic || size != m_table.fileSize() ||
        timeNs != m_table.fileTimeNs() || records != m_table.recordCount())
        return false;
    if (fields.size() != m_def.fields.size())
        return false;
    for (qsizetype i = 0; i < fields.size(); ++i)
        if (fields[i].compare(m_def.fields[i], Qt::CaseInsensitive) != 0)
            return false;
    const size_t n = static_cast<size_t>(records);
    std::vector<int> order(n);
    std::vector<bool> seen(n, false);
    for (size_t i = 0; i < n; ++i) {
        qint32 r = -1;
        in >> r;
        if (in.status() != QDataStream::Ok || r < 0 || static_cast<size_t>(r) >= n ||
            seen[static_cast<size_t>(r)])
            return false;
        seen[static_cast<size_t>(r)] = true;
        order[i] = r;
    }
    // A file that matches the table but is out of order (damaged, or written by a
    // different collation) must not be trusted: binary searches would go wrong.
    for (size_t i = 1; i < n; ++i) {
        const int c = compareRecords(order[i - 1], order[i]);
        if (c > 0 || (m_def.primary && c == 0))
            return false;
    }
    setOrder(std::move(order));
    return true;
}

void Index::save(const QString& zixPath) const
{
    QSaveFile file(zixPath);
    if (!file.open(QIODevice::WriteOnly))
        throw DatabaseError(
            QStringLiteral("Cannot write index file %1: %2").arg(zixPath, file.errorString()));
    QDataStream out(&file);
    out << kZixMagic << m_table.fileSize() << m_table.fileTimeNs()
        << static_cast<qint32>(m_table.recordCount()) << m_def.fields;
    for (int r : m_order)
        out << static_cast<qint32>(r);
    if (out.status() != QDataStream::Ok || !file.commit())
        throw DatabaseError(
            QStringLiteral("Cannot write index file %1: %2").arg(zixPath, file.errorString()));
}

} // namespace zel::data
