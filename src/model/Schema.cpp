#include "model/Schema.h"

#include "data/engine/Database.h"
#include "model/Names.h"
#include "model/Reindex.h"

namespace zel::model {

using data::FieldType;
using data::TableDef;

QString sortForm(const QString& name)
{
    const QString decomposed = name.normalized(QString::NormalizationForm_D);
    QString out;
    out.reserve(decomposed.size());
    for (QChar c : decomposed)
        if (c.category() != QChar::Mark_NonSpacing)
            out += c;
    return out.toUpper();
}

namespace schema {

void addTablePassword()
{
    data::Session::instance().addPassword(QString::fromLatin1(tablePassword()),
                                          tablePasswordChecksum);
}

const TableDef& material()
{
    static const TableDef def{tables::material,
                              {
                                  {fields::name, FieldType::Text, 74},
                                  {fields::sf, FieldType::Text, 90},
                                  {fields::cas, FieldType::Text, 12},
                                  {fields::name1, FieldType::Text, 74},
                                  {fields::name2, FieldType::Text, 74},
                                  {fields::odour, FieldType::Text, 148},
                                  {fields::performance, FieldType::Text, 148},
                                  {fields::application, FieldType::Text, 148},
                                  {fields::literature, FieldType::Text, 148},
                                  {fields::stabil, FieldType::Text, 40},
                                  {fields::notes, FieldType::Memo, 20},
                                  {fields::id, FieldType::Integer, 4},
                              },
                              {
                                  {indexes::primary, {fields::sf, fields::cas}, true},
                                  {indexes::casorder, {fields::cas}, false},
                                  {indexes::idindex, {fields::id}, false},
                              }};
    return def;
}

const TableDef& synonyms()
{
    static const TableDef def{
        tables::synonyms,
        {
            {fields::cas, FieldType::Text, 12},
            {fields::name, FieldType::Text, 30},
            {fields::supnr, FieldType::Text, 4},
            {fields::price, FieldType::Text, 17},
        },
        {
            {indexes::primary, {fields::cas, fields::name, fields::supnr}, true},
            {indexes::linksupp, {fields::supnr, fields::cas}, false},
            {indexes::name, {fields::name}, false},
        }};
    return def;
}

const TableDef& supplier()
{
    static const TableDef def{tables::supplier,
                              {
                                  {fields::supnr, FieldType::Text, 4},
                                  {fields::supname, FieldType::Text, 25},
                                  {fields::address, FieldType::Text, 40},
                                  {fields::city, FieldType::Text, 40},
                                  {fields::country, FieldType::Text, 40},
                                  {fields::phone, FieldType::Text, 40},
                              },
                              {
                                  {indexes::primary, {fields::supnr}, true},
                                  {indexes::linkname, {fields::supnr, fields::supname}, false},
                                  {indexes::name, {fields::supname}, false},
                              }};
    return def;
}

const std::vector<const TableDef*>& allTables()
{
    static const std::vector<const TableDef*> all{&synonyms(), &material(), &supplier()};
    return all;
}

const TableDef* tableByFileName(const QString& fileName)
{
    for (const TableDef* def : allTables())
        if (def->fileName.compare(fileName, Qt::CaseInsensitive) == 0)
            return def;
    return nullptr;
}

void describe(data::Database& database)
{
    database.setLayouts(allTables());
}

const data::server::Catalog& serverCatalog()
{
    static const data::server::Catalog catalog{allTables(),
                                               QString::fromLatin1(tablePassword()),
                                               {&synonyms(), fields::name, Reindex::placeholder()}};
    return catalog;
}

} // namespace schema
} // namespace zel::model
