#pragma once

#include "data/base/Layout.h"
#include "data/base/TableStore.h"

#include <QString>
#include <QVariant>
#include <functional>
#include <optional>
#include <vector>

namespace zel::data {

class Table;

// One part of a key: text (its collation key on a case-insensitive index) or a number.
struct KeyPart
{
    QString text;
    double number = 0;
};

// A key given by a caller: one value per leading field of the index, possibly fewer than
// the index has (a partial key).
using KeyValues = QVariantList;

// A sorted order of a table's records. The primary index compares exactly and must be
// unique; secondary indexes compare without regard to case.
class Index
{
public:
    Index(const Table& table, const IndexDef& def);

    const IndexDef& def() const { return m_def; }
    const std::vector<int>& fieldNumbers() const { return m_fields; }
    int size() const { return static_cast<int>(m_order.size()); }
    int recordAt(int position) const { return m_order[static_cast<size_t>(position)]; }
    int positionOf(int record) const { return m_rank[static_cast<size_t>(record)]; }

    // Converts caller values to comparable key parts; at most as many as the index has.
    std::vector<KeyPart> makeKey(const KeyValues& values) const;

    // First position whose leading key.size() parts are >= key (or > key for upperBound).
    int lowerBound(const std::vector<KeyPart>& key, int from, int to) const;
    int upperBound(const std::vector<KeyPart>& key, int from, int to) const;
    // Compares the record at a position with a (partial) key.
    int compareAt(int position, const std::vector<KeyPart>& key) const;

    // Makes ready what the first search would: the key texts (folded on a case-insensitive
    // index), so that a table loaded on another thread arrives ready to search.
    void prepare() const;
    // Sorts in memory. Throws DatabaseError on a duplicate primary key.
    void build();
    // Takes an order that was sorted for this index from the same records before (kept in a
    // local copy of a server's data); returns false and changes nothing unless it holds every
    // record exactly once.
    bool adoptOrder(std::vector<int> order);
    // Takes the order from an index file when it belongs to this table as it is now; returns
    // false (and changes nothing) when the file is missing, stale or damaged.
    bool load(const QString& zixPath);
    // The order an index file holds for def, when it was written for a table file of this size,
    // modification time and record count by the collation this engine sorts by, and is whole:
    // what load() takes, without a table. Files too old to carry a checksum are not taken.
    static std::optional<std::vector<int>> readOrder(const QString& zixPath, const IndexDef& def,
                                                     qint64 fileSize, qint64 fileTimeNs,
                                                     int records);
    // The records whose leading fields equal one of keys, compared as an index over def
    // compares them, found by halves in order (an index file's) with each record asked for
    // alone: recordOf(record) returns a store holding just that record. Ascending, each once.
    static std::vector<int> findInOrder(const IndexDef& def, const std::vector<int>& order,
                                        const std::vector<KeyValues>& keys,
                                        const std::function<TableStore(int)>& recordOf);
    // The collation an index file was sorted by; empty when it is no index file.
    static QString fileCollation(const QString& zixPath);
    // Writes the index file (new file, then rename). Throws DatabaseError.
    void save(const QString& zixPath) const;

private:
    int compareRecords(int a, int b) const;
    [[noreturn]] void refuseDuplicate(int record) const;
    int compareWithKey(int record, const std::vector<KeyPart>& key) const;
    QStringView keyText(int record, size_t part) const;
    double keyNumber(int record, size_t part) const;
    void setOrder(std::vector<int> order);

    const Table& m_table;
    IndexDef m_def;
    std::vector<int> m_fields;
    std::vector<bool> m_numeric;
    // The key texts of every record, folded on a case-insensitive index; read through the
    // table instead while it has changes pending.
    mutable std::vector<TextColumn> m_texts;
    std::vector<int> m_order;
    std::vector<int> m_rank;
};

} // namespace zel::data
