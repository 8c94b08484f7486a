#pragma once

#include "data/Index.h"
#include "data/ParadoxFile.h"

#include <QString>
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
    ~Table();
    Table(const Table&) = delete;
    Table& operator=(const Table&) = delete;

    const QString& path() const { return m_path; }
    QString displayName() const;
    Access access() const { return m_access; }

    int fieldCount() const { return static_cast<int>(m_data.fields.size()); }
    const FieldDef& field(int i) const { return m_data.fields[static_cast<size_t>(i)]; }
    int fieldIndex(const QString& name) const; // -1 when the table has no such field
    int recordCount() const { return static_cast<int>(m_data.rows.size()); }
    const QVariant& value(int record, int field) const
    {
        return m_data.rows[static_cast<size_t>(record)][static_cast<size_t>(field)];
    }
    const TableData& data() const { return m_data; }

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

    // Index file of this table for an index: "<table>.<index>.zix" in lower case.
    QString indexFilePath(const QString& indexName) const;
    // Size and modification time of the table file when it was read; index files store them.
    qint64 fileSize() const { return m_fileSize; }
    qint64 fileTimeNs() const { return m_fileTimeNs; }

private:
    Table(QString path, Access access);
    void load(const TableDef* def, const QStringList& passwords);
    void readLocked(const TableDef* def);
    void removeStaleCopies() const;

    QString m_path;
    Access m_access;
    int m_fd = -1;
    TableData m_data;
    QStringList m_passwords;
    qint64 m_fileSize = 0;
    qint64 m_fileTimeNs = 0;
    std::vector<IndexDef> m_indexDefs;
    mutable std::vector<std::unique_ptr<Index>> m_indexes; // parallel to m_indexDefs
};

} // namespace zel::data
