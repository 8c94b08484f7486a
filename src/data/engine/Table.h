#pragma once

#include "data/engine/Index.h"
#include "data/paradox/ParadoxFile.h"

#include <QString>
#include <map>
#include <memory>

namespace zel::data {

// A table loaded whole into memory, with its indexes. While the object lives it holds a
// lock on its file: shared for reading, so that several copies of the program can browse
// one data directory, or exclusive for index maintenance.
class Table
{
public:
    enum class Access
    {
        Shared,
        Exclusive
    };

    // Opens and reads path. An exclusive open fails at once when another program has the
    // table open. def, when given, is the layout the program expects; the file must have
    // its fields (a memo field may be missing) and gets its indexes. Throws DatabaseError.
    static std::shared_ptr<Table> open(const QString& path, const TableDef* def, Access access,
                                       const QStringList& passwords);
    // Opens path as open() does, shared, but reads only the records whose leading fields of the
    // index indexName of def equal one of keys, found through that index's file and read each
    // from its own block: for a job that needs a few records of a large table. The table keeps
    // them in the file's order and sorts its indexes over them in memory, so each of its orders
    // is the whole table's with the other records left out. Returns nullptr, holding nothing,
    // when the index file is missing or does not match the table file as it is now.
    static std::shared_ptr<Table> openMatching(const QString& path, const TableDef& def,
                                               const QStringList& passwords,
                                               const QString& indexName,
                                               const std::vector<KeyValues>& keys);
    // A table whose records another loader read (from a database server): no file, no lock,
    // no index files; its indexes are sorted in memory. name is the table's file name, e.g.
    // "MATERIAL.DB". Throws DatabaseError as open() does for a table that does not fit def.
    // orders, when given, are the sorted orders of def's indexes (in its order) from an earlier
    // load of the same records; the table then sorts nothing. Throws DatabaseError when one
    // of them does not hold every record exactly once.
    static std::shared_ptr<Table> fromStore(const QString& name, TableStore store,
                                            const TableDef* def,
                                            std::vector<std::vector<int>> orders = {});
    ~Table();
    Table(const Table&) = delete;
    Table& operator=(const Table&) = delete;

    const QString& path() const { return m_path; }
    QString displayName() const;
    Access access() const { return m_access; }

    int fieldCount() const { return m_store.fieldCount(); }
    const FieldDef& field(int i) const { return m_store.field(i); }
    int fieldIndex(const QString& name) const; // -1 when the table has no such field
    int recordCount() const { return m_store.recordCount(); }
    // A value as a QVariant, made when asked for; null for a blank field.
    QVariant value(int record, int field) const
    {
        if (!m_edits.empty())
            if (const QVariant* edited = editOf(record, field))
                return *edited;
        return m_store.value(record, field);
    }
    // Typed access without a QVariant: text of text and memo fields (empty for null), numbers
    // of the numeric, date and time kinds (0 for null).
    QStringView text(int record, int field) const
    {
        if (!m_edits.empty())
            if (const QVariant* edited = editOf(record, field))
                return editedText(*edited);
        return m_store.text(record, field);
    }
    bool isNull(int record, int field) const;
    double number(int record, int field) const;
    qint64 integer(int record, int field) const;
    // The collation key of a field's text (see Collation.h), kept once per load.
    QStringView foldedText(int record, int field) const;
    // The same for every record at once; only while no change is pending (hasEdits()).
    TextColumn foldedColumn(int field) const;
    TextColumn textColumn(int field) const { return m_store.textColumn(field); }
    bool hasEdits() const { return !m_edits.empty(); }
    const TableStore& store() const { return m_store; }
    const TableInfo& info() const { return m_store.info(); }
    // Different for every load of every table, so that what is derived from a table's
    // contents can be kept with the load it came from.
    quint64 loadId() const { return m_loadId; }

    const std::vector<IndexDef>& indexDefs() const { return m_indexDefs; }
    const IndexDef* indexByName(const QString& name) const; // "" is the primary index
    const IndexDef* indexByFields(const QStringList& fields) const;
    // The index, built on first use (from its index file when that matches).
    const Index& index(const IndexDef& def) const;

    // Index maintenance (exclusive tables only).
    // Adds an index, builds it and writes its index file. Throws DatabaseError.
    void addIndex(const IndexDef& def);
    // Changes one value in memory; post() makes the changes permanent.
    void setValue(int record, int field, const QVariant& value);
    // Writes the table (new file, then rename), records in primary-key order, re-reads it
    // and rewrites the index files it has. Returns the new record number of oldRecord.
    int post(int oldRecord);

    struct FillResult
    {
        int filled = 0;
        // Left empty because the filled-in text would have given them the primary key of
        // another record.
        int keptForDuplicateKey = 0;
    };
    // Puts text into every empty value of a text field and writes the table once, as post()
    // does; every other record stays as it was. A table without empty values is not written.
    // Throws DatabaseError (OwnerNotKeptError when the file could not keep its owner; the
    // table is then unchanged).
    FillResult fillEmpty(int field, const QString& text);

    // Index file of this table for an index: "<table>.<index>.zix" in lower case.
    QString indexFilePath(const QString& indexName) const;
    // Size and modification time of the table file when it was read; index files store them.
    qint64 fileSize() const { return m_fileSize; }
    qint64 fileTimeNs() const { return m_fileTimeNs; }

private:
    Table(QString path, Access access);
    void load(const TableDef* def, const QStringList& passwords);
    // Opens the file the path names now and takes its lock.
    void lockCurrentFile();
    void openLocked();
    // Reads the locked file, or takes known as its contents when the caller has them.
    void readLocked(const TableDef* def, TableStore* known = nullptr);
    void adopt(TableStore store, const TableDef* def, std::vector<std::vector<int>> orders = {});
    void removeStaleCopies() const;
    // Writes the records (in primary-key order), takes the new file in place of the old and
    // rebuilds the index files the table had. Records taken from this table's own store are
    // known as written without reading the file back.
    void writeBack(TableData out);
    TableData emptyCopy() const;
    const QVariant* editOf(int record, int field) const;
    static QStringView editedText(const QVariant& value);

    // Text folded once per load for the fields that need it, by field.
    struct Folded
    {
        std::vector<char16_t> text;
        std::vector<TextColumn::Span> spans;
    };
    const Folded& folded(int field) const;

    QString m_path;
    Access m_access;
    int m_fd = -1;
    bool m_inMemory = false; // no file behind it
    bool m_part = false;     // some of its file's records; its index files are the whole file's
    TableStore m_store;
    quint64 m_loadId = 0;
    std::map<std::pair<int, int>, QVariant> m_edits; // (record, field): changes not yet posted
    mutable std::map<int, Folded> m_folded;
    mutable std::map<std::pair<int, int>, QString> m_editsFolded;
    mutable std::vector<std::pair<QString, int>> m_fieldLookups; // names asked for, as asked
    QStringList m_passwords;
    qint64 m_fileSize = 0;
    qint64 m_fileTimeNs = 0;
    std::vector<IndexDef> m_indexDefs;
    mutable std::vector<std::unique_ptr<Index>> m_indexes; // parallel to m_indexDefs
};

} // namespace zel::data
