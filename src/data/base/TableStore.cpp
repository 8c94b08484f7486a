#include "data/base/TableStore.h"

#include "data/base/Error.h"

#include <cmath>
#include <cstring>
#include <limits>
#include <sys/mman.h>
#include <unistd.h>

namespace zel::data {

TableStore::Kind TableStore::kindOf(FieldType type)
{
    switch (type) {
    case FieldType::Text:
    case FieldType::Memo:
    case FieldType::FormattedMemo:
    case FieldType::Bcd:
        return Kind::Text;
    case FieldType::Integer:
    case FieldType::AutoIncrement:
    case FieldType::Date:
    case FieldType::Time:
    case FieldType::Logical:
        return Kind::Integer;
    case FieldType::Number:
    case FieldType::Currency:
    case FieldType::Timestamp:
        return Kind::Number;
    case FieldType::Bytes:
    case FieldType::Binary:
    case FieldType::Ole:
    case FieldType::Graphic:
    case FieldType::Other:
        break;
    }
    return Kind::Bytes;
}

bool TableStore::isNull(int record, int field) const
{
    const Column& c = m_columns[static_cast<size_t>(field)];
    const auto r = static_cast<size_t>(record);
    switch (c.kind) {
    case Kind::Text:
    case Kind::Bytes:
        return c.spans[r].length == 0;
    case Kind::Integer:
        return c.integers[r] == kNullInteger;
    case Kind::Number:
        return c.numberSet[r] == 0;
    }
    return true;
}

qint64 TableStore::integer(int record, int field) const
{
    const Column& c = m_columns[static_cast<size_t>(field)];
    const auto r = static_cast<size_t>(record);
    if (c.kind == Kind::Integer)
        return c.integers[r] == kNullInteger ? 0 : c.integers[r];
    if (c.kind == Kind::Number)
        return static_cast<qint64>(c.numbers[r]);
    return 0;
}

double TableStore::number(int record, int field) const
{
    const Column& c = m_columns[static_cast<size_t>(field)];
    const auto r = static_cast<size_t>(record);
    if (c.kind == Kind::Number)
        return c.numbers[r];
    if (c.kind == Kind::Integer)
        return c.integers[r] == kNullInteger ? 0.0 : static_cast<double>(c.integers[r]);
    return 0.0;
}

QByteArrayView TableStore::bytes(int record, int field) const
{
    const Column& c = m_columns[static_cast<size_t>(field)];
    if (c.kind != Kind::Bytes)
        return {};
    const Span s = c.spans[static_cast<size_t>(record)];
    return QByteArrayView(m_bytes.data() + s.offset, static_cast<qsizetype>(s.length));
}

QVariant TableStore::value(int record, int field) const
{
    if (isNull(record, field))
        return QVariant();
    switch (this->field(field).type) {
    case FieldType::Text:
    case FieldType::Memo:
    case FieldType::FormattedMemo:
    case FieldType::Bcd:
        return text(record, field).toString();
    case FieldType::Integer:
    case FieldType::AutoIncrement:
        return static_cast<qlonglong>(integer(record, field));
    case FieldType::Date:
        return dateOf(integer(record, field));
    case FieldType::Time: {
        // A time outside the day cannot be a QTime; it is kept as the number it is.
        const qint64 ms = integer(record, field);
        if (ms < 0 || ms >= static_cast<qint64>(kMsPerDay))
            return static_cast<qlonglong>(ms);
        return QTime::fromMSecsSinceStartOfDay(static_cast<int>(ms));
    }
    case FieldType::Logical:
        return integer(record, field) != 0;
    case FieldType::Number:
    case FieldType::Currency:
        return number(record, field);
    case FieldType::Timestamp: {
        const double ms = number(record, field);
        // Far outside any calendar (or not a number at all): kept as the number it is.
        if (!std::isfinite(ms) || std::fabs(ms) > 1e17)
            return ms;
        const auto days = static_cast<qint64>(std::floor(ms / kMsPerDay));
        const auto msOfDay = static_cast<int>(ms - static_cast<double>(days) * kMsPerDay);
        return QDateTime(dateOf(days), QTime::fromMSecsSinceStartOfDay(msOfDay), Qt::UTC);
    }
    case FieldType::Bytes:
    case FieldType::Binary:
    case FieldType::Ole:
    case FieldType::Graphic:
    case FieldType::Other:
        return bytes(record, field).toByteArray();
    }
    return QVariant();
}

void TableStore::TextArena::reserve(size_t chars)
{
    if (chars <= capacity)
        return;
    if (chars > std::numeric_limits<quint32>::max())
        throw DatabaseError(QStringLiteral("The table holds more text than the engine can keep"));
    auto grown = std::make_unique_for_overwrite<char16_t[]>(chars);
    // The text of a large table is written once, front to back: in pages of 2 MB the kernel
    // takes a five-hundredth of the faults. Small arenas keep small pages, which hold only
    // what is written.
    if (chars * sizeof(char16_t) >= (32u << 20)) {
        static const auto page = static_cast<uintptr_t>(sysconf(_SC_PAGESIZE));
        const uintptr_t start = (reinterpret_cast<uintptr_t>(grown.get()) + page - 1) & ~(page - 1);
        const uintptr_t end = (reinterpret_cast<uintptr_t>(grown.get() + chars)) & ~(page - 1);
        if (end > start)
            madvise(reinterpret_cast<void*>(start), end - start, MADV_HUGEPAGE);
    }
    if (size > 0)
        std::memcpy(grown.get(), data.get(), size * sizeof(char16_t));
    data = std::move(grown);
    capacity = chars;
}

TableStoreBuilder::TableStoreBuilder(std::vector<FieldDef> fields, const TableInfo& info)
{
    m_store.m_fields = std::move(fields);
    m_store.m_info = info;
    m_store.m_columns.resize(m_store.m_fields.size());
    for (size_t i = 0; i < m_store.m_fields.size(); ++i)
        m_store.m_columns[i].kind = TableStore::kindOf(m_store.m_fields[i].type);
}

void TableStoreBuilder::reserve(int records, size_t textChars, size_t blobBytes)
{
    for (TableStore::Column& c : m_store.m_columns) {
        switch (c.kind) {
        case TableStore::Kind::Text:
        case TableStore::Kind::Bytes:
            c.spans.reserve(static_cast<size_t>(records));
            break;
        case TableStore::Kind::Integer:
            c.integers.reserve(static_cast<size_t>(records));
            break;
        case TableStore::Kind::Number:
            c.numbers.reserve(static_cast<size_t>(records));
            c.numberSet.reserve(static_cast<size_t>(records));
            break;
        }
    }
    m_store.m_text.reserve(m_store.m_text.size + textChars);
    m_store.m_bytes.reserve(blobBytes);
}

void TableStoreBuilder::refuse(int field) const
{
    if (field < 0 || field >= m_store.fieldCount() || m_store.m_records == 0)
        throw DatabaseError(QStringLiteral("No field %1 in the record being built").arg(field));
    throw DatabaseError(
        QStringLiteral("Field %1 cannot hold a value of this kind").arg(m_store.field(field).name));
}

void TableStoreBuilder::setText(int field, QStringView text)
{
    const auto n = static_cast<size_t>(text.size());
    char16_t* room = textRoom(n);
    if (n > 0)
        std::memcpy(room, text.utf16(), n * sizeof(char16_t));
    commitText(field, n);
}

void TableStoreBuilder::setDate(int field, QDate date)
{
    if (date.isValid())
        setInteger(field, TableStore::dayNumber(date));
}

void TableStoreBuilder::setTime(int field, QTime time)
{
    if (time.isValid())
        setInteger(field, time.msecsSinceStartOfDay());
}

void TableStoreBuilder::setTimestamp(int field, const QDateTime& when)
{
    if (!when.isValid())
        return;
    const QDateTime utc = when.toUTC();
    setNumber(field,
              static_cast<double>(TableStore::dayNumber(utc.date())) * TableStore::kMsPerDay +
                  utc.time().msecsSinceStartOfDay());
}

void TableStoreBuilder::setLogical(int field, bool value)
{
    setInteger(field, value ? 1 : 0);
}

void TableStoreBuilder::setBytes(int field, QByteArrayView bytes)
{
    TableStore::Column& c = column(field, TableStore::Kind::Bytes);
    std::vector<char>& arena = m_store.m_bytes;
    if (arena.size() + static_cast<size_t>(bytes.size()) > std::numeric_limits<quint32>::max())
        throw DatabaseError(QStringLiteral("The table holds more data than the engine can keep"));
    const size_t at = arena.size();
    arena.insert(arena.end(), bytes.data(), bytes.data() + bytes.size());
    c.spans.back() = {static_cast<quint32>(at), static_cast<quint32>(bytes.size())};
}

void TableStoreBuilder::copyValue(int field, const TableStore& from, int record)
{
    if (from.isNull(record, field))
        return;
    switch (from.m_columns[static_cast<size_t>(field)].kind) {
    case TableStore::Kind::Text:
        setText(field, from.text(record, field));
        break;
    case TableStore::Kind::Integer:
        setInteger(field, from.integer(record, field));
        break;
    case TableStore::Kind::Number:
        setNumber(field, from.number(record, field));
        break;
    case TableStore::Kind::Bytes:
        setBytes(field, from.bytes(record, field));
        break;
    }
}

void TableStoreBuilder::setValue(int field, const QVariant& value)
{
    if (value.isNull() || !value.isValid())
        return;
    switch (m_store.field(field).type) {
    case FieldType::Text:
    case FieldType::Memo:
    case FieldType::FormattedMemo:
    case FieldType::Bcd:
        setText(field, value.toString());
        break;
    case FieldType::Integer:
    case FieldType::AutoIncrement:
        setInteger(field, value.toLongLong());
        break;
    case FieldType::Date:
        setDate(field, value.toDate());
        break;
    case FieldType::Time:
        setTime(field, value.toTime());
        break;
    case FieldType::Logical:
        setLogical(field, value.toBool());
        break;
    case FieldType::Number:
    case FieldType::Currency:
        setNumber(field, value.toDouble());
        break;
    case FieldType::Timestamp:
        setTimestamp(field, value.toDateTime());
        break;
    case FieldType::Bytes:
    case FieldType::Binary:
    case FieldType::Ole:
    case FieldType::Graphic:
    case FieldType::Other:
        setBytes(field, value.toByteArray());
        break;
    }
}

void TableStoreBuilder::append(TableStore&& other)
{
    if (other.fieldCount() != m_store.fieldCount())
        throw DatabaseError(QStringLiteral("Records of another layout cannot be appended"));
    const auto textBase = static_cast<quint32>(m_store.m_text.size);
    const auto bytesBase = static_cast<quint32>(m_store.m_bytes.size());
    if (m_store.m_text.size + other.m_text.size > std::numeric_limits<quint32>::max() ||
        m_store.m_bytes.size() + other.m_bytes.size() > std::numeric_limits<quint32>::max())
        throw DatabaseError(QStringLiteral("The table holds more text than the engine can keep"));
    m_store.m_text.reserve(m_store.m_text.size + other.m_text.size);
    if (other.m_text.size > 0)
        std::memcpy(m_store.m_text.data.get() + m_store.m_text.size, other.m_text.data.get(),
                    other.m_text.size * sizeof(char16_t));
    m_store.m_text.size += other.m_text.size;
    m_store.m_bytes.insert(m_store.m_bytes.end(), other.m_bytes.begin(), other.m_bytes.end());
    for (size_t f = 0; f < m_store.m_columns.size(); ++f) {
        TableStore::Column& to = m_store.m_columns[f];
        TableStore::Column& from = other.m_columns[f];
        const quint32 base = to.kind == TableStore::Kind::Text ? textBase : bytesBase;
        to.spans.reserve(to.spans.size() + from.spans.size());
        for (TableStore::Span s : from.spans)
            to.spans.push_back({s.length == 0 ? 0 : s.offset + base, s.length});
        to.integers.insert(to.integers.end(), from.integers.begin(), from.integers.end());
        to.numbers.insert(to.numbers.end(), from.numbers.begin(), from.numbers.end());
        to.numberSet.insert(to.numberSet.end(), from.numberSet.begin(), from.numberSet.end());
    }
    m_store.m_records += other.m_records;
}

TableStore TableStoreBuilder::finish()
{
    return std::move(m_store);
}

} // namespace zel::data
