#pragma once

#include "data/engine/Database.h"
#include "data/engine/Dataset.h"

#include <QObject>
#include <QString>
#include <map>
#include <vector>

namespace zel::data {

class Database;

// A calculated field whose value is looked up in the table of another dataset of the same
// set: an exact key search for the record's keyField (on lookupIndex when given, else on that
// dataset's index), and the value is the found record's resultField. The search runs on a
// cursor of its own, so computing rows for a grid never moves a dataset the window shows;
// when the key is not found the value is empty, never another record's.
struct LookupFieldDecl
{
    QString name;
    int width = 0;
    QString label;
    QString lookupDataset;
    QString lookupIndex; // empty: search on the lookup dataset's current index
    QString keyField;
    QString resultField;
};

struct DatasetDecl
{
    QString name;
    QString table;
    QString indexName;   // used when indexFields is empty; empty is the primary index
    QString indexFields; // ";"-separated
    QString master;
    QString linkFields;
    std::vector<DatasetField> fields; // empty: every field of the table
    std::vector<LookupFieldDecl> lookups;
    bool hasRange = false;
    KeyValues rangeStart, rangeEnd;
};

// The datasets of one window, made from their declarations over one database.
class DatasetSet : public QObject
{
    Q_OBJECT
public:
    DatasetSet(Database* database, const std::vector<DatasetDecl>& decls,
               QObject* parent = nullptr);

    // The dataset of that name; throws DatabaseError for an unknown name.
    Dataset* get(const QString& name) const;
    Dataset* operator[](const QString& name) const { return get(name); }
    const std::vector<Dataset*>& all() const { return m_order; }

    // Opens one dataset and applies its declared key range.
    void open(const QString& name);
    // Starts reading every table the set needs, each on a thread of its own, and returns at
    // once; the datasets take their tables as they open. Harmless to call more than once.
    void preloadAll(Preload what = Preload::TablesAndKeys);
    // Opens every dataset in declaration order. Throws on the first failure.
    void openAll();
    void closeAll();

private:
    std::vector<DatasetDecl> m_decls;
    std::vector<Dataset*> m_order;
    std::map<QString, Dataset*> m_byName; // lower-case names
};

} // namespace zel::data
