#include "model/Datasets.h"

#include "data/engine/Collation.h"
#include "model/Names.h"

namespace zel::model {

using data::DatasetDecl;
using data::DatasetField;

namespace {

DatasetField hidden(const QString& name)
{
    return {name, QString(), false, false, 0};
}
DatasetField shown(const QString& name, const char* label, int width = 0)
{
    return {name, QString::fromLatin1(label), true, false, width};
}

// The one column of a page's list runs 200 characters wide, past the window's edge, as the
// commercial names' suppliers column does: no empty grey area beside a short field.
constexpr int kListColumnWidth = 200;

std::vector<DatasetField> supplierFields(bool onlyNameVisible)
{
    return {onlyNameVisible ? hidden(fields::supnr) : shown(fields::supnr, "supnr"),
            shown(fields::supname, QT_TRANSLATE_NOOP("zel::model::Datasets", "Supplier name"),
                  onlyNameVisible ? kListColumnWidth : 0),
            onlyNameVisible ? hidden(fields::address) : shown(fields::address, "address"),
            onlyNameVisible ? hidden(fields::city) : shown(fields::city, "city"),
            onlyNameVisible ? hidden(fields::country) : shown(fields::country, "country"),
            onlyNameVisible ? hidden(fields::phone) : shown(fields::phone, "phone")};
}

// The index a dataset runs on: by its name (the primary one when empty) or by its fields.
struct Order
{
    QString indexName;
    QString indexFields;
};
Order byIndex(const QString& name)
{
    return {name, {}};
}
Order byFields(const QString& fields)
{
    return {{}, fields};
}

DatasetDecl over(const QString& name, const QString& table, const Order& order = {})
{
    DatasetDecl d;
    d.name = name;
    d.table = table;
    d.indexName = order.indexName;
    d.indexFields = order.indexFields;
    return d;
}

// The same, following master on linkFields.
DatasetDecl detail(const QString& name, const QString& table, const Order& order,
                   const QString& master, const QString& linkFields)
{
    DatasetDecl d = over(name, table, order);
    d.master = master;
    d.linkFields = linkFields;
    return d;
}

DatasetDecl withFields(DatasetDecl d, std::vector<DatasetField> fields)
{
    d.fields = std::move(fields);
    return d;
}

} // namespace

namespace decls {

const std::vector<DatasetDecl>& mainWindow()
{
    static const std::vector<DatasetDecl> list = [] {
        using namespace datasets;
        std::vector<DatasetDecl> l;
        l.push_back(withFields(
            over(TableMaterial2, tables::material, byFields(fields::cas)),
            {shown(fields::name, QT_TRANSLATE_NOOP("zel::model::Datasets", "Material name")),
             shown(fields::cas, "cas"), shown(fields::id, "id")}));
        DatasetDecl supLink =
            withFields(detail(TableSupLink2, tables::synonyms, byIndex(indexes::linksupp),
                              TableSupplier, fields::supnr),
                       {hidden(fields::cas), hidden(fields::name), hidden(fields::supnr)});
        supLink.lookups = {{fields::materialName, 200,
                            QStringLiteral(QT_TRANSLATE_NOOP("zel::model::Datasets", "Materials")),
                            TableMaterial2, indexes::casorder, fields::cas, fields::name}};
        l.push_back(supLink);

        DatasetDecl comm = withFields(
            over(TableCommSynonyms, tables::synonyms, byIndex(indexes::name)),
            {hidden(fields::cas),
             shown(fields::name, QT_TRANSLATE_NOOP("zel::model::Datasets", "Commercial name"),
                   kListColumnWidth),
             hidden(fields::supnr)});
        // From "1" through "zzz" and on to the end of the letters: in the index's collation
        // accented letters stand with their base letter, and the letters of other alphabets
        // come after z, so a name that begins with one is listed too. Empty names, names
        // beginning with a blank, "0" or punctuation, and the placeholder "~" sort before "1"
        // and stay out.
        comm.hasRange = true;
        comm.rangeStart = {QStringLiteral("1")};
        comm.rangeEnd = {data::collation::afterAllLetters()};
        l.push_back(comm);
        l.push_back(detail(TableCommMaterial, tables::material, byIndex(indexes::casorder),
                           TableCommSynonyms, fields::cas));
        l.push_back(
            detail(TableCommSupplier, tables::supplier, {}, TableCommSynonyms, fields::supnr));
        l.push_back(detail(TableSynonymsSelect, tables::synonyms, byFields(fields::cas),
                           TableMaterialSelect, fields::cas));
        l.push_back(over(TableMaterialSelect, tables::material));
        // The supplier of the current commercial name of the current material, or none when
        // that name's supplier number is unknown or the material has no commercial names:
        // the details under the materials page's suppliers list never show another one.
        l.push_back(withFields(detail(TableSupplierShow, tables::supplier, byFields(fields::supnr),
                                      TableSynonyms2, fields::supnr),
                               supplierFields(false)));
        l.push_back(withFields(over(TableSupplier, tables::supplier, byIndex(indexes::name)),
                               supplierFields(true)));
        DatasetDecl synonyms = withFields(
            detail(TableSynonyms2, tables::synonyms, {}, TableMaterial, fields::cas),
            {hidden(fields::supnr), hidden(fields::cas),
             shown(fields::name, QT_TRANSLATE_NOOP("zel::model::Datasets", "(Commercial name)"))});
        synonyms.lookups = {{fields::SupName, 200,
                             QStringLiteral(QT_TRANSLATE_NOOP("zel::model::Datasets", "Suppliers")),
                             TableSupplierShow, QString(), fields::supnr, fields::supname}};
        l.push_back(synonyms);
        std::vector<DatasetField> all;
        for (const QString* field :
             {&fields::name, &fields::sf, &fields::cas, &fields::name1, &fields::name2,
              &fields::odour, &fields::performance, &fields::application, &fields::literature,
              &fields::stabil, &fields::notes, &fields::id})
            all.push_back({*field,
                           *field == fields::name ? QStringLiteral(QT_TRANSLATE_NOOP(
                                                        "zel::model::Datasets", "Material name"))
                                                  : *field,
                           true, false, 0});
        l.push_back(withFields(over(TableMaterial, tables::material), all));
        return l;
    }();
    return list;
}

const std::vector<DatasetDecl>& printMaterial()
{
    using namespace datasets;
    static const std::vector<DatasetDecl> list{
        over(TableMaterial, tables::material),
        detail(TableSin, tables::synonyms, byFields(fields::cas), TableMaterial, fields::cas),
        detail(TableSupplier, tables::supplier, byFields(fields::supnr), TableSin, fields::supnr),
        detail(TableMaterial2, tables::material,
               byFields(fields::sf + QLatin1Char(';') + fields::cas), TableMaterial,
               fields::sf + QLatin1Char(';') + fields::cas)};
    return list;
}

const std::vector<DatasetDecl>& printSupplier()
{
    using namespace datasets;
    static const std::vector<DatasetDecl> list{
        over(TableSupplier, tables::supplier, byIndex(indexes::linkname)),
        detail(TableSin, tables::synonyms, byFields(fields::supnr), TableSupplier, fields::supnr),
        detail(TableMaterial, tables::material, byIndex(indexes::casorder), TableSin, fields::cas)};
    return list;
}

const std::vector<DatasetDecl>& comparison()
{
    using namespace datasets;
    static const std::vector<DatasetDecl> list{
        over(TableMaterial, tables::material, byIndex(indexes::casorder)),
        detail(TableSin, tables::synonyms, byFields(fields::cas), TableMaterial, fields::cas),
        detail(TableSupplier, tables::supplier, byFields(fields::supnr), TableSin, fields::supnr),
        over(TableMaterialSelect, tables::material)};
    return list;
}

} // namespace decls

} // namespace zel::model
