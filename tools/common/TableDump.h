#pragma once

#include "data/base/TableStore.h"

#include <QString>
#include <QTextStream>

namespace zel::data {

// A cell as `zeltool dump` prints it: dates, times and timestamps in ISO 8601 (2024-02-29,
// 13:05:09.250, 2024-02-29T13:05:09; the day before 0001-01-01 is 0000-12-31), numbers in the
// shortest form that reads back to the same value, BCD numbers with their decimals as stored,
// logical values as true and false, binary, OLE, graphic, bytes and unknown fields as their size
// and their Base64 form
// ("5:aGVsbG8="), NULL as an empty cell.
QString dumpCell(const TableStore& table, int record, int field);

// The column title: the field name, and for a field of a type the engine does not know, that
// type's number ("pic [unknown type 31]").
QString dumpTitle(const FieldDef& field);

// A field as one CSV cell (RFC 4180 quoting when needed).
QString csvField(const QString& text);

// The whole table as CSV: a title row, then one row per record.
void writeCsv(const TableStore& table, QTextStream& out);

} // namespace zel::data
