#include "data/engine/DatasetSet.h"

#include "data/base/Error.h"
#include "data/engine/Database.h"

namespace zel::data {

DatasetSet::DatasetSet(Database* database, const std::vector<DatasetDecl>& decls, QObject* parent)
    : QObject(parent), m_decls(decls)
{
    for (const DatasetDecl& d : m_decls) {
        auto* ds = new Dataset(d.name, this);
        ds->setDatabase(database);
        ds->setTableName(d.table);
        if (!d.indexFields.isEmpty())
            ds->setIndexFieldNames(d.indexFields);
        else
            ds->setIndexName(d.indexName);
        ds->setFields(d.fields);
        m_order.push_back(ds);
        m_byName[d.name.toLower()] = ds;
    }
    for (const DatasetDecl& d : m_decls) {
        Dataset* ds = get(d.name);
        if (!d.master.isEmpty())
            ds->setMasterSource(get(d.master), d.linkFields);
        for (const LookupFieldDecl& lk : d.lookups) {
            Dataset* target = get(lk.lookupDataset);
            // The lookup runs on a cursor of its own over the same table: rows computed for a
            // grid that paints them must not move the dataset whose record the window shows
            // beside the grid (it follows the current row only).
            auto* cursor = new Dataset(lk.lookupDataset + QStringLiteral(".lookup"), this);
            cursor->setDatabase(database);
            cursor->setTableName(target->tableName());
            const DatasetDecl* targetDecl = nullptr;
            for (const DatasetDecl& t : m_decls)
                if (t.name.compare(lk.lookupDataset, Qt::CaseInsensitive) == 0)
                    targetDecl = &t;
            if (!lk.lookupIndex.isEmpty())
                cursor->setIndexName(lk.lookupIndex);
            else if (targetDecl && !targetDecl->indexFields.isEmpty())
                cursor->setIndexFieldNames(targetDecl->indexFields);
            else if (targetDecl)
                cursor->setIndexName(targetDecl->indexName);
            connect(target, &Dataset::activeChanged, cursor, [cursor](bool open) {
                if (!open)
                    cursor->close();
            });
            ds->addCalculatedField({lk.name, lk.label, true, true, lk.width},
                                   [target, cursor, lk](const RecordRef& rec) -> QVariant {
                                       if (!target->isOpen())
                                           return QVariant();
                                       if (!cursor->isOpen())
                                           cursor->open();
                                       return cursor->findKey({rec.value(lk.keyField)})
                                                  ? cursor->value(lk.resultField)
                                                  : QVariant();
                                   });
        }
    }
}

Dataset* DatasetSet::get(const QString& name) const
{
    const auto it = m_byName.find(name.toLower());
    if (it == m_byName.end())
        throw DatabaseError(QStringLiteral("No dataset named %1").arg(name));
    return it->second;
}

void DatasetSet::open(const QString& name)
{
    Dataset* ds = get(name);
    ds->open();
    for (const DatasetDecl& d : m_decls)
        if (d.hasRange && d.name.compare(name, Qt::CaseInsensitive) == 0)
            ds->setRange(d.rangeStart, d.rangeEnd);
}

void DatasetSet::preloadAll(Preload what)
{
    QStringList tables;
    for (const Dataset* ds : m_order)
        if (!ds->exclusive() && !tables.contains(ds->tableName(), Qt::CaseInsensitive))
            tables << ds->tableName();
    if (!m_order.empty() && m_order.front()->database())
        m_order.front()->database()->preload(tables, what);
}

void DatasetSet::openAll()
{
    // The datasets open in their order as their tables arrive.
    preloadAll();
    for (Dataset* ds : m_order)
        open(ds->objectName());
}

void DatasetSet::closeAll()
{
    for (auto it = m_order.rbegin(); it != m_order.rend(); ++it)
        (*it)->close();
}

} // namespace zel::data
