#include "data/Datasets.h"

#include "data/Database.h"
#include "data/Error.h"

namespace zel::data {

namespace {

DatasetField hidden(const char* name)
{
    return {QString::fromLatin1(name), QString(), false, false, 0};
}
DatasetField shown(const char* name, const char* label)
{
    return {QString::fromLatin1(name), QString::fromLatin1(label), true, false, 0};
}

const QString kMaterial = QStringLiteral("MATERIAL.DB");
const QString kSynonyms = QStringLiteral("SYNONYMS.DB");
const QString kSupplier = QStringLiteral("SUPPLIER.DB");

std::vector<DatasetField> supplierFields(bool onlyNameVisible)
{
    return {onlyNameVisible ? hidden("supnr") : shown("supnr", "supnr"),
            shown("supname", "Supplier name"),
            onlyNameVisible ? hidden("address") : shown("address", "address"),
            onlyNameVisible ? hidden("city") : shown("city", "city"),
            onlyNameVisible ? hidden("country") : shown("country", "country"),
            onlyNameVisible ? hidden("phone") : shown("phone", "phone")};
}

} // namespace

namespace decls {

const std::vector<DatasetDecl>& mainWindow()
{
    static const std::vector<DatasetDecl> list = [] {
        std::vector<DatasetDecl> l;
        DatasetDecl d;

        d = {};
        d.name = QStringLiteral("TableMaterial2");
        d.table = kMaterial;
        d.indexFields = QStringLiteral("cas");
        d.fields = {shown("name", "Material name"), shown("cas", "cas"), shown("id", "id")};
        l.push_back(d);

        d = {};
        d.name = QStringLiteral("TableSupLink2");
        d.table = kSynonyms;
        d.indexName = QStringLiteral("linksupp");
        d.master = QStringLiteral("TableSupplier");
        d.linkFields = QStringLiteral("supnr");
        d.fields = {hidden("cas"), hidden("name"), hidden("supnr")};
        d.lookups = {{QStringLiteral("materialName"), 200, QStringLiteral("Materials"),
                      QStringLiteral("TableMaterial2"), QStringLiteral("casorder"),
                      QStringLiteral("cas"), QStringLiteral("name")}};
        l.push_back(d);

        d = {};
        d.name = QStringLiteral("TableCommSynonyms");
        d.table = kSynonyms;
        d.indexName = QStringLiteral("name");
        d.fields = {hidden("cas"), shown("name", "Commercial name"), hidden("supnr")};
        d.hasRange = true;
        d.rangeStart = {QStringLiteral("1")};
        d.rangeEnd = {QStringLiteral("zzz")};
        l.push_back(d);

        d = {};
        d.name = QStringLiteral("TableCommMaterial");
        d.table = kMaterial;
        d.indexName = QStringLiteral("casorder");
        d.master = QStringLiteral("TableCommSynonyms");
        d.linkFields = QStringLiteral("cas");
        l.push_back(d);

        d = {};
        d.name = QStringLiteral("TableCommSupplier");
        d.table = kSupplier;
        d.master = QStringLiteral("TableCommSynonyms");
        d.linkFields = QStringLiteral("supnr");
        l.push_back(d);

        d = {};
        d.name = QStringLiteral("TableSynonymsSelect");
        d.table = kSynonyms;
        d.indexFields = QStringLiteral("cas");
        d.master = QStringLiteral("TableMaterialSelect");
        d.linkFields = QStringLiteral("cas");
        l.push_back(d);

        d = {};
        d.name = QStringLiteral("TableMaterialSelect");
        d.table = kMaterial;
        l.push_back(d);

        d = {};
        d.name = QStringLiteral("TableSupplierShow");
        d.table = kSupplier;
        d.indexFields = QStringLiteral("supnr");
        d.fields = supplierFields(false);
        l.push_back(d);

        d = {};
        d.name = QStringLiteral("TableSupplier");
        d.table = kSupplier;
        d.indexName = QStringLiteral("name");
        d.fields = supplierFields(true);
        l.push_back(d);

        d = {};
        d.name = QStringLiteral("TableSynonyms2");
        d.table = kSynonyms;
        d.master = QStringLiteral("TableMaterial");
        d.linkFields = QStringLiteral("cas");
        d.fields = {hidden("supnr"), hidden("cas"), shown("name", "(Commercial name)")};
        d.lookups = {{QStringLiteral("SupName"), 200, QStringLiteral("Suppliers"),
                      QStringLiteral("TableSupplierShow"), QString(), QStringLiteral("supnr"),
                      QStringLiteral("supname")}};
        l.push_back(d);

        d = {};
        d.name = QStringLiteral("TableMaterial");
        d.table = kMaterial;
        d.fields = {shown("name", "Material name"),
                    shown("sf", "sf"),
                    shown("cas", "cas"),
                    shown("name1", "name1"),
                    shown("name2", "name2"),
                    shown("odour", "odour"),
                    shown("performance", "performance"),
                    shown("application", "application"),
                    shown("literature", "literature"),
                    shown("stabil", "stabil"),
                    shown("notes", "notes"),
                    shown("id", "id")};
        l.push_back(d);
        return l;
    }();
    return list;
}

const std::vector<DatasetDecl>& printMaterial()
{
    static const std::vector<DatasetDecl> list = [] {
        std::vector<DatasetDecl> l;
        DatasetDecl d;
        d.name = QStringLiteral("TableMaterial");
        d.table = kMaterial;
        l.push_back(d);

        d = {};
        d.name = QStringLiteral("TableSin");
        d.table = kSynonyms;
        d.indexFields = QStringLiteral("cas");
        d.master = QStringLiteral("TableMaterial");
        d.linkFields = QStringLiteral("cas");
        l.push_back(d);

        d = {};
        d.name = QStringLiteral("TableSupplier");
        d.table = kSupplier;
        d.indexFields = QStringLiteral("supnr");
        d.master = QStringLiteral("TableSin");
        d.linkFields = QStringLiteral("supnr");
        l.push_back(d);

        d = {};
        d.name = QStringLiteral("Tablematerial2");
        d.table = kMaterial;
        d.indexFields = QStringLiteral("sf;cas");
        d.master = QStringLiteral("TableMaterial");
        d.linkFields = QStringLiteral("sf;cas");
        l.push_back(d);
        return l;
    }();
    return list;
}

const std::vector<DatasetDecl>& printSupplier()
{
    static const std::vector<DatasetDecl> list = [] {
        std::vector<DatasetDecl> l;
        DatasetDecl d;
        d.name = QStringLiteral("TableSupplier");
        d.table = kSupplier;
        d.indexName = QStringLiteral("linkname");
        l.push_back(d);

        d = {};
        d.name = QStringLiteral("TableSin");
        d.table = kSynonyms;
        d.indexFields = QStringLiteral("supnr");
        d.master = QStringLiteral("TableSupplier");
        d.linkFields = QStringLiteral("supnr");
        l.push_back(d);

        d = {};
        d.name = QStringLiteral("TableMaterial");
        d.table = kMaterial;
        d.indexName = QStringLiteral("casorder");
        d.master = QStringLiteral("TableSin");
        d.linkFields = QStringLiteral("cas");
        l.push_back(d);
        return l;
    }();
    return list;
}

} // namespace decls

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

void DatasetSet::openAll()
{
    // Every table the set needs is read at once, each on a thread of its own; the datasets
    // then open in their order as their tables arrive.
    QStringList tables;
    for (const Dataset* ds : m_order)
        if (!ds->exclusive() && !tables.contains(ds->tableName(), Qt::CaseInsensitive))
            tables << ds->tableName();
    if (!m_order.empty() && m_order.front()->database())
        m_order.front()->database()->preload(tables);
    for (Dataset* ds : m_order)
        open(ds->objectName());
}

void DatasetSet::closeAll()
{
    for (auto it = m_order.rbegin(); it != m_order.rend(); ++it)
        (*it)->close();
}

} // namespace zel::data
