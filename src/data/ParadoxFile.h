#pragma once

#include "data/Schema.h"

#include <QStringList>
#include <QVariant>
#include <vector>

namespace zel::data {

// A whole Paradox table as it lies on disk: field layout, header facts and every record.
// Text is Unicode here; the file's code page applies only on disk.
struct TableData
{
    std::vector<FieldDef> fields;
    std::vector<std::vector<QVariant>> rows; // null QVariant for a blank field
    int codePage = 1252;
    int fileVersion = 70; // the header's version byte, scaled as pxlib reports it (30 .. 70)
    int primaryKeyFields = 0;
    quint32 encryption = 0; // password checksum stored in the header, 0 when not encrypted
};

namespace paradox {

// The checksum that an encrypted table's header holds for its password.
quint32 passwordChecksum(const QString& password);

// Reads the table file open on fd (the caller holds its lock). An encrypted table is only
// read when one of the passwords matches the header. Throws DatabaseError naming
// displayName on any failure: not a table, truncated, corrupt, wrong password.
TableData readTable(int fd, const QString& displayName, const QStringList& passwords);

// Convenience for tools and tests: opens, reads and closes the file.
TableData readTableFile(const QString& path, const QStringList& passwords);

// Writes data as a Paradox table: to a new file beside path, then renamed over path, so
// that a crash leaves either the old or the new table. An empty password writes an
// unencrypted table. Records are written in the given order. With keepLocked the new file
// is locked exclusively before it replaces the old one and its descriptor is returned
// (the caller closes it); otherwise -1. Throws DatabaseError.
int writeTableFile(const QString& path, const TableData& data, const QString& password,
                   bool keepLocked = false);

} // namespace paradox
} // namespace zel::data
