#pragma once

#include <QString>
#include <QTextStream>

namespace zel::data {

// The server commands of zeltool. Each throws DatabaseError with a message for the user; none
// ever shows the password of a connection string.

// Creates the collation, the three tables and their indexes (what exists is kept) and the
// role for browsing, which may only read them. The role's password, when wanted, comes from
// the environment variable ZEL_READER_PASSWORD, never from the command line.
void serverInit(const QString& connection, const QString& readerRole, QTextStream& out);

// Replaces the server's three tables with those of a data directory, in one transaction.
void serverImport(const QString& dataDirectory, const QString& connection, QTextStream& out);

// Writes the server's three tables into a directory as encrypted Paradox tables, each in its
// primary-key order, each replacing its old file at once.
void serverExport(const QString& connection, const QString& dataDirectory, QTextStream& out);

} // namespace zel::data
