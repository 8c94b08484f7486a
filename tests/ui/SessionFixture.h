#pragma once

#include "Fixture.h"
#include "ui/MainSession.h"

namespace zel::test {

// Ten materials whose CAS order differs from their name order; CAS order is Geraniol,
// Hexanol, Ionone, Benzyl acetate, Anethole, Farnesol, Jasmone, Citral, Damascone, Eugenol.
// Citral and Eugenol have commercial names, one of Eugenol's with a supplier number no supplier
// has; Anethole has none, nor has the supplier Gamma Oils; one commercial name has no material.
inline data::DatabaseContent tenMaterials()
{
    data::DatabaseContent c;
    const char* const rows[][2] = {{"Anethole", "4180-23-8"}, {"Benzyl acetate", "140-11-4"},
                                   {"Citral", "5392-40-5"},   {"Damascone", "57378-68-4"},
                                   {"Eugenol", "97-53-0"},    {"Farnesol", "4602-84-0"},
                                   {"Geraniol", "106-24-1"},  {"Hexanol", "111-27-3"},
                                   {"Ionone", "127-41-3"},    {"Jasmone", "488-10-8"}};
    for (const auto& r : rows) {
        data::MaterialRow m;
        m.name = QString::fromLatin1(r[0]);
        m.cas = QString::fromLatin1(r[1]);
        m.name1 = m.name + QStringLiteral(" (second)");
        m.odour = QStringLiteral("odour of ") + m.name;
        m.stabil = QString(33, QLatin1Char('1'));
        c.materials.push_back(m);
    }
    const auto synonym = [&](const char* cas, const char* name, const char* supnr) {
        c.synonyms.push_back(
            {QString::fromLatin1(cas), QString::fromLatin1(name), QString::fromLatin1(supnr), {}});
    };
    synonym("5392-40-5", "Lemonal", "S02");
    synonym("97-53-0", "Clovene", "S01");
    synonym("97-53-0", "Pinkroot", "S07"); // no such supplier
    synonym("999-99-9", "Orphan", "S01");  // no such material
    const auto supplier = [&](const char* nr, const char* name, const char* city) {
        c.suppliers.push_back({QString::fromLatin1(nr), QString::fromLatin1(name),
                               QStringLiteral("1 Main Street"), QString::fromLatin1(city),
                               QStringLiteral("Nowhere"), QStringLiteral("+00 1")});
    };
    supplier("S01", "Alpha Trading", "Grasse");
    supplier("S02", "Beta Aromatics", "Leeds");
    supplier("S03", "Gamma Oils", "Oslo"); // sells nothing
    return c;
}

// A main-window session over a freshly written database, opened as the program opens it.
struct SessionFixture
{
    explicit SessionFixture(const data::DatabaseContent& content = smallContent()) : db(content)
    {
        session.setDataDirectory(db.dir.path() + QLatin1Char('/'));
        session.OpenDatabase();
    }
    DatabaseFixture db;
    ui::MainSession session;
};

} // namespace zel::test
