#pragma once

#include "data/engine/Database.h"
#include "data/engine/Index.h"
#include "data/engine/Table.h"

#include <QObject>
#include <QPointer>
#include <QString>
#include <QVariant>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

namespace zel::data {

class Table;
class Dataset;

// A field a dataset presents: a field of its table or a calculated one.
struct DatasetField
{
    QString name;
    QString label; // display label; the name when empty
    bool visible = true;
    bool calculated = false;
    int width = 0; // characters shown; 0: a table field's own width (a calculated one has none)
    QString displayLabel() const { return label.isEmpty() ? name : label; }
};

// The record a calculated field is computed for.
class RecordRef
{
public:
    RecordRef(const Dataset& dataset, int record) : m_dataset(dataset), m_record(record) {}
    QVariant value(const QString& field) const;
    QString text(const QString& field) const { return value(field).toString(); }
    int record() const { return m_record; }

private:
    const Dataset& m_dataset;
    int m_record;
};

using CalcFunction = std::function<QVariant(const RecordRef&)>;

// A cursor over one table: an index, an optional key range and master link, navigation,
// key search, field access and calculated fields. Every dataset over a table shares the
// table's one copy in memory. dataChanged() tells listeners that the current record
// moved or was re-read.
class Dataset : public QObject
{
    Q_OBJECT
public:
    explicit Dataset(const QString& name = QString(), QObject* parent = nullptr);
    ~Dataset() override;

    // Definition. Changing the table or the database closes the dataset.
    void setDatabase(Database* database);
    Database* database() const { return m_database; }
    void setTableName(const QString& fileName);
    const QString& tableName() const { return m_tableName; }
    // An exclusive dataset holds its table alone (index maintenance and edits).
    void setExclusive(bool exclusive) { m_exclusive = exclusive; }
    bool exclusive() const { return m_exclusive; }

    // The current index: by name (case-insensitive; empty is the primary index) or by a
    // ";"-separated field list. The current record is kept; a key range is cancelled.
    void setIndexName(const QString& name);
    QString indexName() const;
    void setIndexFieldNames(const QString& fields);
    QString indexFieldNames() const;

    // Follow master on the given ";"-separated fields: only records whose link fields equal
    // the master's fields of the same names are present. The index must lead with them.
    void setMasterSource(Dataset* master, const QString& linkFields);
    Dataset* masterSource() const { return m_master; }

    // Declared fields; empty means every field of the table, visible, labelled by name.
    void setFields(std::vector<DatasetField> fields);
    void addCalculatedField(const DatasetField& field, CalcFunction compute);
    std::vector<DatasetField> fields() const;
    DatasetField* field(const QString& name);
    void setDisplayLabel(const QString& field, const QString& label);

    void open();
    void close();
    bool isOpen() const { return static_cast<bool>(m_table); }

    void first();
    void last();
    void next();
    void prior();
    bool eof() const
    {
        sync();
        return m_eof;
    }
    bool bof() const
    {
        sync();
        return m_bof;
    }
    int recordCount() const
    {
        sync();
        return m_hi - m_lo;
    }
    bool isEmpty() const { return recordCount() == 0; }
    // Re-reads: re-applies the master link and range, keeps the current record when it is
    // still present, and notifies listeners.
    void refresh();
    int position() const // 0-based within the dataset, -1 when empty
    {
        sync();
        return m_pos;
    }
    void moveTo(int position);
    int recordNumber() const; // record number within the table, -1 when there is none
    // The record number at a position (0 .. recordCount() - 1), without moving the cursor.
    int recordAt(int position) const;
    // Moves to a record found by another cursor over the same table, without a search;
    // false, moving nothing, when the record is not among this dataset's.
    bool gotoRecord(int record);

    // Exact search on the current index with one or more leading key values. When the key
    // is not found the current record stays where it was.
    bool findKey(const KeyValues& key);
    // Positions on the first record whose key is >= key (on the last one when none is).
    void findNearest(const KeyValues& key);
    void setRange(const KeyValues& start, const KeyValues& end);
    void cancelRange();
    bool hasRange() const { return m_hasRange; }

    // Field access on the current record; a blank or missing value reads as null.
    QVariant value(const QString& field) const;
    QString text(const QString& field) const { return value(field).toString(); }
    qint64 integer(const QString& field) const { return value(field).toLongLong(); }
    // The same for the record at a position (for grids that paint rows they do not visit).
    QVariant valueAt(int position, const QString& field) const;
    bool hasField(const QString& field) const;
    const Table* table() const { return m_table.get(); }

    // Index maintenance, on an exclusive dataset. addIndex opens the table for the moment
    // it needs when the dataset is closed.
    void addIndex(const QString& name, const QString& fields, bool primary);
    void edit();
    void setValue(const QString& field, const QVariant& value);
    void post();
    void cancel();
    // Puts text into every empty value of field in one rewrite of the table (see
    // Table::fillEmpty); the dataset stands on its first record afterwards.
    Table::FillResult fillEmpty(const QString& field, const QString& text);

Q_SIGNALS:
    void dataChanged();
    void activeChanged(bool open);

private:
    friend class Database;
    friend class RecordRef;
    QVariant recordValue(int record, const QString& field) const;
    int calcSlot(const QString& field) const;
    void selectIndex(const IndexDef* def, const QString& what);
    void applySlice(int keepRecord) const;
    // A detail whose master moved works out its records when it is next read, so that a
    // master stepping through thousands of records costs its details nothing meanwhile.
    void sync() const
    {
        if (m_sliceDirty)
            applySlice(-1);
    }
    void masterChanged();
    void notify();
    // Puts the cursor on position with the given ends; the views hear of it only when it moved.
    void place(int position, bool bof, bool eof);
    void requireOpen(const char* operation) const;

    QString m_name;
    QPointer<Database> m_database;
    QString m_tableName;
    bool m_exclusive = false;
    std::shared_ptr<Table> m_table;

    QString m_wantIndexName;   // as set, applied at open
    QString m_wantIndexFields; // as set, applied at open
    const Index* m_index = nullptr;

    QPointer<Dataset> m_master;
    QStringList m_linkFields;
    QMetaObject::Connection m_masterData;
    QMetaObject::Connection m_masterActive;

    bool m_hasRange = false;
    KeyValues m_rangeStartValues, m_rangeEndValues;

    std::vector<DatasetField> m_fields;
    std::vector<CalcFunction> m_calc; // parallel to the calculated entries of m_fields
    std::vector<QString> m_calcNames;
    mutable std::vector<std::optional<QVariant>> m_calcCache;

    mutable bool m_sliceDirty = false;
    mutable int m_lo = 0, m_hi = 0; // the dataset's records are positions [m_lo, m_hi) of the index
    mutable int m_pos = -1;
    mutable bool m_bof = true, m_eof = true;
    bool m_editing = false;
    std::vector<std::pair<int, QVariant>> m_pending;
};

} // namespace zel::data
