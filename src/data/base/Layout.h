#pragma once

#include <QString>
#include <QStringList>
#include <vector>

// Field kinds and table layouts in general: what a loader, the engine and a server need to know
// of a table, whatever program it belongs to.
namespace zel::data {

// The kinds of value a table field holds. Integer covers 16- and 32-bit integers (width 2 or
// 4); the blob kinds (Memo, FormattedMemo, Binary, Ole, Graphic) keep their data apart from
// the record; Other is a field whose type this engine does not know.
enum class FieldType
{
    Text,
    Integer,
    Memo,
    Number,
    Date,
    Logical,
    Other,
    Currency,
    Time,
    Timestamp,
    AutoIncrement,
    Bcd,
    Bytes,
    Binary,
    FormattedMemo,
    Ole,
    Graphic
};

struct FieldDef
{
    QString name;
    FieldType type = FieldType::Text;
    // Characters for text; the declared size for blob kinds; the number of decimals for Bcd;
    // bytes otherwise.
    int width = 0;
    // For Other: the type code the file gives, so that a dump can name it.
    int typeCode = 0;
};

struct IndexDef
{
    QString name;       // "primary" for the primary index
    QStringList fields; // in key order
    bool primary = false;
    bool caseInsensitive() const { return !primary; }
};

struct TableDef
{
    QString fileName; // as the program names it, e.g. "MATERIAL.DB"
    std::vector<FieldDef> fields;
    std::vector<IndexDef> indexes; // in the order re-indexing builds them; primary first
    const IndexDef* index(const QString& name) const;
};

} // namespace zel::data
