#include "Fixture.h"

#include "model/Schema.h"

namespace zel::test {

data::DatabaseContent smallContent()
{
    data::DatabaseContent c;
    const auto material = [&](const char* name, const char* cas, const char* stabil) {
        data::MaterialRow m;
        m.name = QString::fromUtf8(name);
        m.cas = QString::fromLatin1(cas);
        m.name1 = m.name + QStringLiteral(" one");
        m.odour = QStringLiteral("odour of ") + m.name;
        m.stabil = QString::fromLatin1(stabil).leftJustified(QByteArray(stabil).isEmpty() ? 0 : 40,
                                                             QLatin1Char(' '), true);
        c.materials.push_back(m);
    };
    material("Vanillin", "121-33-5", "012222222222222222222222222222222");
    material("Linalool", "78-70-6", "111111111111111111111111111111111");
    material("Coumarin", "91-64-5", "222222222222222222222222222222222");
    material("alpha-Ionone", "127-41-3", "012");
    material("Géraniol", "106-24-1", "");
    material("Zingerone", "122-48-5", "000000000000000000000000000000000"); // no synonyms

    const auto synonym = [&](const char* cas, const char* name, const char* supnr) {
        c.synonyms.push_back({QString::fromLatin1(cas), QString::fromUtf8(name),
                              QString::fromLatin1(supnr), QStringLiteral("EUR 1.00/kg")});
    };
    synonym("121-33-5", "Vanilla Pure", "S01");
    synonym("121-33-5", "zeta Vanilla", "S02");
    synonym("121-33-5", "", "S02");
    synonym("78-70-6", "apple Lin", "S01");
    synonym("78-70-6", "Zest Lin", "S03");
    synonym("78-70-6", "0-Lin", "S01");
    synonym("91-64-5", "~", "S02");
    synonym("91-64-5", "Tonka Sweet", "S09");  // no such supplier
    synonym("999-99-9", "Orphan Name", "S01"); // no such material
    synonym("127-41-3", "", "S01");
    synonym("106-24-1", "Rosé Absolu", "S03");

    const auto supplier = [&](const char* nr, const char* name, const char* city) {
        c.suppliers.push_back({QString::fromLatin1(nr), QString::fromUtf8(name),
                               QStringLiteral("1 Main Street"), QString::fromUtf8(city),
                               QStringLiteral("Nowhere"), QStringLiteral("+00 1")});
    };
    supplier("S01", "Bergamot Trading", "Grasse");
    supplier("S02", "aldehyde House", "Zürich");
    supplier("S03", "Civet & Sons", "Leeds");
    supplier("S04", "Empty Shelf Ltd", "Oslo"); // sells nothing
    return c;
}

DatabaseFixture::DatabaseFixture(const data::DatabaseContent& content,
                                 const data::WriteOptions& options)
{
    data::writeDatabase(dir.path(), content, options);
    data::Session::instance().removeAllPasswords();
    data::Session::instance().addPassword(QString::fromLatin1(model::schema::tablePassword()));
    db = std::make_unique<data::Database>(QStringLiteral("ZEL"));
    zel::model::schema::describe(*db);
    db->setPath(dir.path());
}

} // namespace zel::test
