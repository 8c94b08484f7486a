#pragma once

#include <QObject>
#include <QString>
#include <map>
#include <memory>

namespace zel::data {

class Table;

// Where a database's tables come from when they are not files in a data directory (a database
// server): all of them at once, in one consistent state, into memory, so that the windows go
// on working when the source goes away. The database reads through it on a thread of its own
// and hands each finished load back on its own thread.
class TableSource : public QObject
{
    Q_OBJECT
public:
    // One load: the tables by file name, with their indexes, and whatever the source keeps of
    // the load until it is adopted.
    struct Load
    {
        virtual ~Load() = default;
        std::map<QString, std::shared_ptr<Table>> tables;
    };

    // What the start-up summary and messages call the source, without any secret in it.
    virtual QString description() const = 0;
    // Whether two sources read the same data, so that a source named again keeps its load.
    virtual bool sameAs(const TableSource& other) const = 0;
    // Reads every table; safe on any thread. atStart: the first load of a start, which may use
    // what an earlier start kept. Throws DatabaseError, naming what went wrong.
    virtual std::unique_ptr<Load> load(bool atStart) const = 0;
    // Takes a finished load on the database's thread: from here on the source tells of changes
    // to what it loaded (changed()) and may keep a copy of it.
    virtual void adopt(Load& load) = 0;
    // Whether the tables now loaded came from a copy kept on this machine.
    virtual bool loadedFromLocalCopy() const { return false; }
    // Waits for work the source does in the background after a load.
    virtual void settle() {}
    // Stops telling of changes and waits for background work; the next load starts afresh.
    virtual void close() {}

Q_SIGNALS:
    // The source's data were replaced since they were loaded.
    void changed();
};

} // namespace zel::data
