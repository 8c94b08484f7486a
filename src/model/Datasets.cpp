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
        d.rangeEnd = {data::collation::afterAllLetters()};
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

} // namespace zel::model
