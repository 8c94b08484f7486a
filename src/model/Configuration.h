#pragma once

#include <QString>
#include <QStringList>

namespace zel::data {
class Database;
}

namespace zel::model {

// Where the data are and what else the start needs, as read once from zel.ini or the command
// line: a data directory or a database server, the help file, and where the settings were
// found. A value: made before the windows, handed to the session, compared to tell a change.
struct Configuration
{
    QString dataDirectory; // a data directory, ending in a separator; empty for a server
    QString connection;    // a server's connection string; empty for a data directory
    QString helpFile;      // at most 80 characters
    QString file;          // the zel.ini read; empty when none was (a directory given directly)
    int timeout = 30;      // seconds a server may take to answer before the program gives up

    bool isServer() const { return !connection.isEmpty(); }
    bool operator==(const Configuration&) const = default;
};

// Defines database on the configuration's data directory or server, with the layouts of this
// program's tables. The same data named again keep what is loaded or still loading.
void define(data::Database& database, const Configuration& configuration);
// The same for a server alone.
void useServer(data::Database& database, const QString& connection);

} // namespace zel::model
