#pragma once

#include "model/Schema.h"

#include <QString>
#include <vector>

namespace zel::data {

struct MaterialRow
{
    QString name, sf, cas, name1, name2, odour, performance, application, literature, stabil, notes;
    int id = 0;
};

struct SynonymRow
{
    QString cas, name, supnr, price;
};

struct SupplierRow
{
    QString supnr, supname, address, city, country, phone;
};

struct DatabaseContent
{
    std::vector<MaterialRow> materials;
    std::vector<SynonymRow> synonyms;
    std::vector<SupplierRow> suppliers;
};

struct WriteOptions
{
    QString password = QStringLiteral("qomtk4"); // empty: unencrypted tables
    int codePage = 1252;
    bool withMemo = true;       // the materials table's notes field
    bool assignIds = true;      // ids 1..N in primary-key order; false keeps the given ids
    int idStep = 1;             // with assignIds: ids 1, 1 + idStep, ... (above 1: gaps)
    bool upperCaseNames = true; // MATERIAL.DB etc.; false writes material.db etc.
};

// Writes the three tables into dir as Paradox files. Empty sort forms are derived from
// the names; every table is written in its primary-key order. Throws DatabaseError.
void writeDatabase(const QString& dir, DatabaseContent content, const WriteOptions& options = {});

// Reads the readable source of the sample database (material.csv, synonyms.csv,
// supplier.csv). Throws DatabaseError naming the file and line of a fault.
DatabaseContent readSampleSources(const QString& sourceDir);

// A synthetic database of the given size, the same for the same seed; up to 46655 suppliers
// fit the four characters of a supplier number.
DatabaseContent makeScaleContent(int materials, int synonyms, int suppliers, unsigned seed = 1);

// Empties the names of count commercial names spread evenly over the table (every one when
// count is the number of names): the names re-indexing fills with its placeholder.
void blankCommercialNames(DatabaseContent& content, int count);

// Parses CSV text (RFC 4180: quoted fields, doubled quotes). Exposed for tests.
std::vector<std::vector<QString>> parseCsv(const QString& text);

} // namespace zel::data
