#pragma once

#include "data/base/Layout.h"

#include <QByteArrayView>
#include <QDate>
#include <QDateTime>
#include <QStringView>
#include <QTime>
#include <QVariant>
#include <algorithm>
#include <cstdint>
#include <memory>
#include <vector>

namespace zel::data {

// Facts about a table that are not records: they travel with the records so that a table can
// be written back as it was read.
struct TableInfo
{
    int codePage = 1252;
    int fileVersion = 70; // 30 .. 70 for the Paradox versions 3.0 .. 7
    int primaryKeyFields = 0;
    quint32 encryption = 0; // password checksum of a protected table, 0 when not protected
};

// A text field of every record, for code that compares or searches many of them.
struct TextColumn
{
    struct Span
    {
        quint32 offset = 0;
        quint32 length = 0;
    };
    const char16_t* text = nullptr;
    const Span* spans = nullptr;
    QStringView at(int record) const
    {
        const Span s = spans[record];
        return QStringView(text + s.offset, static_cast<qsizetype>(s.length));
    }
};

// The records of a table held column by column: the text of every text field in one arena
// (no allocation per cell), integers, dates and times as plain arrays of numbers, blobs in a
// second arena. Values are only made into QVariants when a caller asks for one. A store is
// filled once by a TableStoreBuilder and not changed afterwards.
class TableStore
{
public:
    TableStore() = default;

    const std::vector<FieldDef>& fields() const { return m_fields; }
    int fieldCount() const { return static_cast<int>(m_fields.size()); }
    const FieldDef& field(int f) const { return m_fields[static_cast<size_t>(f)]; }
    int recordCount() const { return m_records; }
    const TableInfo& info() const { return m_info; }

    bool isNull(int record, int field) const;
    // Text, memo and formatted memo fields, and BCD numbers as decimal text; empty for null
    // and for fields of other kinds.
    QStringView text(int record, int field) const
    {
        const Column& c = m_columns[static_cast<size_t>(field)];
        if (c.kind != Kind::Text)
            return {};
        const Span s = c.spans[static_cast<size_t>(record)];
        return QStringView(m_text.data.get() + s.offset, static_cast<qsizetype>(s.length));
    }
    // A text field as a whole; empty (no text) for fields of other kinds.
    TextColumn textColumn(int field) const
    {
        const Column& c = m_columns[static_cast<size_t>(field)];
        if (c.kind != Kind::Text)
            return {};
        return {m_text.data.get(), c.spans.data()};
    }
    // Integer fields; dates as day numbers (1 is 1 January of the year 1), times as
    // milliseconds after midnight, logical fields as 0 and 1. 0 for null.
    qint64 integer(int record, int field) const;
    // Number, currency and timestamp fields (milliseconds since day 0 of the date count), and
    // the integer kinds converted. 0 for null.
    double number(int record, int field) const;
    // Bytes, binary, OLE, graphic and unknown fields.
    QByteArrayView bytes(int record, int field) const;
    // The value as the rest of the program sees it: QString, qlonglong, double, QDate, QTime,
    // QDateTime (UTC), bool or QByteArray; a null QVariant for a blank field.
    QVariant value(int record, int field) const;

    // Day numbers of the date fields against calendar dates.
    static qint64 dayNumber(QDate date) { return date.toJulianDay() - kJulianDayOfDayZero; }
    static QDate dateOf(qint64 dayNumber)
    {
        return QDate::fromJulianDay(dayNumber + kJulianDayOfDayZero);
    }
    static constexpr qint64 kJulianDayOfDayZero = 1721425; // 31 December of the year 0
    static constexpr double kMsPerDay = 86400000.0;

private:
    friend class TableStoreBuilder;
    friend class StoreImage;
    enum class Kind : quint8
    {
        Text,
        Integer,
        Number,
        Bytes
    };
    using Span = TextColumn::Span;
    static constexpr qint64 kNullInteger = INT64_MIN;
    struct Column
    {
        Kind kind = Kind::Text;
        std::vector<Span> spans;       // Text and Bytes; length 0 is null
        std::vector<qint64> integers;  // Integer; kNullInteger is null
        std::vector<double> numbers;   // Number
        std::vector<quint8> numberSet; // Number: 1 where a value is present
    };
    static Kind kindOf(FieldType type);
    // A growing buffer whose new room is not initialised: decoders write into it directly.
    struct TextArena
    {
        std::unique_ptr<char16_t[]> data;
        size_t size = 0;
        size_t capacity = 0;
        void reserve(size_t chars);
    };

    std::vector<FieldDef> m_fields;
    TableInfo m_info;
    std::vector<Column> m_columns;
    TextArena m_text;
    std::vector<char> m_bytes;
    int m_records = 0;
};

// Fills a TableStore record by record. It knows field types, not file formats: the Paradox
// reader fills it, and so can any other loader. Every field of a new record is null until set.
class TableStoreBuilder
{
public:
    explicit TableStoreBuilder(std::vector<FieldDef> fields, const TableInfo& info = {});

    // Room for this many records and characters, taken at once so that the arenas never move
    // while they fill. Untouched room costs address space, not memory.
    void reserve(int records, size_t textChars, size_t blobBytes = 0);
    // Starts the next record; returns its number.
    int addRecord()
    {
        for (TableStore::Column& c : m_store.m_columns) {
            switch (c.kind) {
            case TableStore::Kind::Text:
            case TableStore::Kind::Bytes:
                c.spans.push_back({});
                break;
            case TableStore::Kind::Integer:
                c.integers.push_back(TableStore::kNullInteger);
                break;
            case TableStore::Kind::Number:
                c.numbers.push_back(0.0);
                c.numberSet.push_back(0);
                break;
            }
        }
        return m_store.m_records++;
    }

    // Setters for the last record. Empty text and empty blobs are null.
    void setText(int field, QStringView text);
    void setInteger(int field, qint64 value)
    {
        column(field, TableStore::Kind::Integer).integers.back() = value;
    }
    void setNumber(int field, double value)
    {
        TableStore::Column& c = column(field, TableStore::Kind::Number);
        c.numbers.back() = value;
        c.numberSet.back() = 1;
    }
    void setDate(int field, QDate date);
    void setTime(int field, QTime time);
    void setTimestamp(int field, const QDateTime& when);
    void setLogical(int field, bool value);
    void setBytes(int field, QByteArrayView bytes);
    // Any of the above from a QVariant of the matching kind; a null QVariant leaves the field null.
    void setValue(int field, const QVariant& value);
    // The field's value in a record of from, a store of the same fields, as it is held there:
    // no conversion on the way. A null value leaves the field null.
    void copyValue(int field, const TableStore& from, int record);

    // Decoders write text straight into the arena: room for up to maxChars characters, of which
    // commitText keeps the first chars as the field's value.
    char16_t* textRoom(size_t maxChars)
    {
        TableStore::TextArena& arena = m_store.m_text;
        if (arena.capacity < arena.size + maxChars)
            arena.reserve(std::max(arena.capacity * 2, arena.size + maxChars));
        return arena.data.get() + arena.size;
    }
    void commitText(int field, size_t chars)
    {
        TableStore::Column& c = column(field, TableStore::Kind::Text);
        TableStore::TextArena& arena = m_store.m_text;
        c.spans.back() = {static_cast<quint32>(arena.size), static_cast<quint32>(chars)};
        arena.size += chars;
    }

    // The fields the builder was made with.
    const std::vector<FieldDef>& fields() const { return m_store.m_fields; }
    // Puts the records of other (of the same fields) behind those built so far.
    void append(TableStore&& other);

    TableStore finish();

private:
    TableStore::Column& column(int field, TableStore::Kind kind)
    {
        if (field < 0 || field >= m_store.fieldCount() || m_store.m_records == 0 ||
            m_store.m_columns[static_cast<size_t>(field)].kind != kind)
            refuse(field);
        return m_store.m_columns[static_cast<size_t>(field)];
    }
    [[noreturn]] void refuse(int field) const;
    TableStore m_store;
};

} // namespace zel::data
