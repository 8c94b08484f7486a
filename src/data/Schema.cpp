#include "data/Schema.h"

namespace zel::data {

const IndexDef* TableDef::index(const QString& name) const
{
    for (const IndexDef& def : indexes)
        if (def.name.compare(name, Qt::CaseInsensitive) == 0)
            return &def;
    return nullptr;
}

namespace schema {

const TableDef& material()
{
    static const TableDef def{
        QStringLiteral("MATERIAL.DB"),
        {
            {QStringLiteral("name"), FieldType::Text, 74},
            {QStringLiteral("sf"), FieldType::Text, 90},
            {QStringLiteral("cas"), FieldType::Text, 12},
            {QStringLiteral("name1"), FieldType::Text, 74},
            {QStringLiteral("name2"), FieldType::Text, 74},
            {QStringLiteral("odour"), FieldType::Text, 148},
            {QStringLiteral("performance"), FieldType::Text, 148},
            {QStringLiteral("application"), FieldType::Text, 148},
            {QStringLiteral("literature"), FieldType::Text, 148},
            {QStringLiteral("stabil"), FieldType::Text, 40},
            {QStringLiteral("notes"), FieldType::Memo, 20},
            {QStringLiteral("id"), FieldType::Integer, 4},
        },
        {
            {QStringLiteral("primary"), {QStringLiteral("sf"), QStringLiteral("cas")}, true},
            {QStringLiteral("casorder"), {QStringLiteral("cas")}, false},
            {QStringLiteral("idindex"), {QStringLiteral("id")}, false},
        }};
    return def;
}

const TableDef& synonyms()
{
    static const TableDef def{
        QStringLiteral("SYNONYMS.DB"),
        {
            {QStringLiteral("cas"), FieldType::Text, 12},
            {QStringLiteral("name"), FieldType::Text, 30},
            {QStringLiteral("supnr"), FieldType::Text, 4},
            {QStringLiteral("price"), FieldType::Text, 17},
        },
        {
            {QStringLiteral("primary"),
             {QStringLiteral("cas"), QStringLiteral("name"), QStringLiteral("supnr")},
             true},
            {QStringLiteral("linksupp"), {QStringLiteral("supnr"), QStringLiteral("cas")}, false},
            {QStringLiteral("name"), {QStringLiteral("name")}, false},
        }};
    return def;
}

const TableDef& supplier()
{
    static const TableDef def{QStringLiteral("SUPPLIER.DB"),
                              {
                                  {QStringLiteral("supnr"), FieldType::Text, 4},
                                  {QStringLiteral("supname"), FieldType::Text, 25},
                                  {QStringLiteral("address"), FieldType::Text, 40},
                                  {QStringLiteral("city"), FieldType::Text, 40},
                                  {QStringLiteral("country"), FieldType::Text, 40},
                                  {QStringLiteral("phone"), FieldType::Text, 40},
                              },
                              {
                                  {QStringLiteral("primary"), {QStringLiteral("supnr")}, true},
                                  {QStringLiteral("linkname"),
                                   {QStringLiteral("supnr"), QStringLiteral("supname")},
                                   false},
                                  {QStringLiteral("name"), {QStringLiteral("supname")}, false},
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

} // namespace schema
} // namespace zel::data
