#pragma once

#include "data/base/Layout.h"

#include <QString>
#include <map>
#include <memory>
#include <optional>
#include <vector>

namespace zel::data {

class Table;

namespace server {

// A copy, on the local disk, of the three tables as they were last loaded from a server, with
// the sorted orders of their indexes: one file for each revision of the server's data. The
// server gives its data a new revision with every statement that changes a row, so a copy
// whose revision the server still names holds exactly what the server would send. Loading it
// costs what loading a data directory costs, instead of three copies over the connection and
// nine sorts. A copy that is missing, damaged, made for another layout or another collation is
// not used; the server is then read as usual and a new copy written.
class LocalCache
{
public:
    // directory: where the copies are kept (made when needed); empty keeps nothing.
    // connection: the connection string the copies are for; its password plays no part.
    // tables: the layouts of the tables kept, in their order; a copy of other layouts is not
    // used.
    LocalCache(QString directory, const QString& connection, std::vector<const TableDef*> tables);

    // $XDG_CACHE_HOME/zel/server, or ~/.cache/zel/server; empty when neither can be told.
    static QString standardDirectory();

    struct Copy
    {
        QString revision;
        std::map<QString, std::shared_ptr<Table>> tables; // by file name, indexes sorted
    };
    // The copy written last for this connection, its indexes ready to search; nothing when
    // there is none that can be used. Never throws.
    std::optional<Copy> readLatest() const;
    // The copy of that revision, or nothing.
    std::optional<Copy> read(const QString& revision) const;
    // Keeps the tables, every index of which must be built, as the copy of revision, and lets
    // older copies for this connection go. Another program reading an older copy meanwhile
    // still reads it whole. Returns an empty string, or what went wrong.
    QString write(const QString& revision,
                  const std::map<QString, std::shared_ptr<Table>>& tables) const;

    // Removes every copy for this connection: the server can no longer tell whether they are
    // current (its revision trigger is switched off or gone).
    void forget() const;

    // The file the copy of a revision goes to.
    QString fileFor(const QString& revision) const;
    const QString& directory() const { return m_directory; }

private:
    QString m_directory;
    QString m_key; // names the files of this connection
    std::vector<const TableDef*> m_tables;
};

} // namespace server
} // namespace zel::data
