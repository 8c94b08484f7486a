#include "data/Datasets.h"

#include "data/Collation.h"
#include "data/Database.h"
#include "data/Error.h"
#include "data/Names.h"

namespace zel::data {

namespace {

DatasetField hidden(const QString& name)
{
    return {name, QString(), false, false, 0};
}
DatasetField shown(const QString& name, const char* label)
{
    return {name, QString::fromLatin1(label), true, false, 0};
}

std::vector<DatasetField> supplierFields(bool onlyNameVisible)
{
    return {onlyNameVisible ? hidden(fields::supnr) : shown(fields::supnr, "supnr"),
            shown(fields::supname, "Supplier name"),
            onlyNameVisible ? hidden(fields::address) : shown(fields::address, "address"),
            onlyNameVisible ? hidden(fields::city) : shown(fields::city, "city"),
            onlyNameVisible ? hidden(fields::country) : shown(fields::country, "country"),
            onlyNameVisible ? hidden(fields::phone) : shown(fields::phone, "phone")};
}

} // namespace

namespace decls {

const std::vector<DatasetDecl>& mainWindow()
{
    static const std::vector<DatasetDecl> list = [] {
        std::vector<DatasetDecl> l;
        DatasetDecl d;

        d = {};
        d.name = datasets::TableMaterial2;
        d.table = tables::material;
        d.indexFields = fields::cas;
        d.fields = {shown(fields::name, "Material name"), shown(fields::cas, "cas"),
                    shown(fields::id, "id")};
        l.push_back(d);

        d = {};
        d.name = datasets::TableSupLink2;
        d.table = tables::synonyms;
        d.indexName = indexes::linksupp;
        d.master = datasets::TableSupplier;
        d.linkFields = fields::supnr;
        d.fields = {hidden(fields::cas), hidden(fields::name), hidden(fields::supnr)};
        d.lookups = {{fields::materialName, 200, QStringLiteral("Materials"),
                      datasets::TableMaterial2, indexes::casorder, fields::cas, fields::name}};
        l.push_back(d);

        d = {};
        d.name = datasets::TableCommSynonyms;
        d.table = tables::synonyms;
        d.indexName = indexes::name;
        d.fields = {hidden(fields::cas), shown(fields::name, "Commercial name"),
                    hidden(fields::supnr)};
        d.hasRange = true;
        // From "1" through "zzz" and on to the end of the letters: in the index's collation
        // accented letters stand with their base letter, and the letters of other alphabets
        // come after z, so a name that begins with one is listed too. Empty names, names
        // beginning with a blank, "0" or punctuation, and the placeholder "~" sort before "1"
        // and stay out.
        d.rangeStart = {QStringLiteral("1")};
        d.rangeEnd = {collation::afterAllLetters()};
        l.push_back(d);

        d = {};
        d.name = datasets::TableCommMaterial;
        d.table = tables::material;
        d.indexName = indexes::casorder;
        d.master = datasets::TableCommSynonyms;
        d.linkFields = fields::cas;
        l.push_back(d);

        d = {};
        d.name = datasets::TableCommSupplier;
        d.table = tables::supplier;
        d.master = datasets::TableCommSynonyms;
        d.linkFields = fields::supnr;
        l.push_back(d);

        d = {};
        d.name = datasets::TableSynonymsSelect;
        d.table = tables::synonyms;
        d.indexFields = fields::cas;
        d.master = datasets::TableMaterialSelect;
        d.linkFields = fields::cas;
        l.push_back(d);

        d = {};
        d.name = datasets::TableMaterialSelect;
        d.table = tables::material;
        l.push_back(d);

        d = {};
        // The supplier of the current commercial name of the current material, or none when
        // that name's supplier number is unknown or the material has no commercial names:
        // the details under the materials page's suppliers list never show another one.
        d.name = datasets::TableSupplierShow;
        d.table = tables::supplier;
        d.indexFields = fields::supnr;
        d.master = datasets::TableSynonyms2;
        d.linkFields = fields::supnr;
        d.fields = supplierFields(false);
        l.push_back(d);

        d = {};
        d.name = datasets::TableSupplier;
        d.table = tables::supplier;
        d.indexName = indexes::name;
        d.fields = supplierFields(true);
        l.push_back(d);

        d = {};
        d.name = datasets::TableSynonyms2;
        d.table = tables::synonyms;
        d.master = datasets::TableMaterial;
        d.linkFields = fields::cas;
        d.fields = {hidden(fields::supnr), hidden(fields::cas),
                    shown(fields::name, "(Commercial name)")};
        d.lookups = {{fields::SupName, 200, QStringLiteral("Suppliers"),
                      datasets::TableSupplierShow, QString(), fields::supnr, fields::supname}};
        l.push_back(d);

        d = {};
        d.name = datasets::TableMaterial;
        d.table = tables::material;
        d.fields = {shown(fields::name, "Material name"),
                    shown(fields::sf, "sf"),
                    shown(fields::cas, "cas"),
                    shown(fields::name1, "name1"),
                    shown(fields::name2, "name2"),
                    shown(fields::odour, "odour"),
                    shown(fields::performance, "performance"),
                    shown(fields::application, "application"),
                    shown(fields::literature, "literature"),
                    shown(fields::stabil, "stabil"),
                    shown(fields::notes, "notes"),
                    shown(fields::id, "id")};
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
        d.name = datasets::TableMaterial;
        d.table = tables::material;
        l.push_back(d);

        d = {};
        d.name = datasets::TableSin;
        d.table = tables::synonyms;
        d.indexFields = fields::cas;
        d.master = datasets::TableMaterial;
        d.linkFields = fields::cas;
        l.push_back(d);

        d = {};
        d.name = datasets::TableSupplier;
        d.table = tables::supplier;
        d.indexFields = fields::supnr;
        d.master = datasets::TableSin;
        d.linkFields = fields::supnr;
        l.push_back(d);

        d = {};
        d.name = datasets::TableMaterial2;
        d.table = tables::material;
        d.indexFields = fields::sf + QLatin1Char(';') + fields::cas;
        d.master = datasets::TableMaterial;
        d.linkFields = fields::sf + QLatin1Char(';') + fields::cas;
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
        d.name = datasets::TableSupplier;
        d.table = tables::supplier;
        d.indexName = indexes::linkname;
        l.push_back(d);

        d = {};
        d.name = datasets::TableSin;
        d.table = tables::synonyms;
        d.indexFields = fields::supnr;
        d.master = datasets::TableSupplier;
        d.linkFields = fields::supnr;
        l.push_back(d);

        d = {};
        d.name = datasets::TableMaterial;
        d.table = tables::material;
        d.indexName = indexes::casorder;
        d.master = datasets::TableSin;
        d.linkFields = fields::cas;
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

void DatasetSet::preloadAll()
{
    QStringList tables;
    for (const Dataset* ds : m_order)
        if (!ds->exclusive() && !tables.contains(ds->tableName(), Qt::CaseInsensitive))
            tables << ds->tableName();
    if (!m_order.empty() && m_order.front()->database())
        m_order.front()->database()->preload(tables);
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
