#pragma once

#include "common/SampleDatabase.h"

namespace zel::test {

// Seven materials rated "++" in every medium but one each: material k (2..7) is rated "+" in
// medium k, so the first n of them differ in media 2 to n and nowhere else. The first has two
// commercial names, one of them of a supplier number that nobody has, and a second name with a
// word wider than a column of six.
inline data::DatabaseContent compareContent()
{
    data::DatabaseContent c;
    for (int k = 1; k <= 7; ++k) {
        data::MaterialRow m;
        m.name = QStringLiteral("Compound %1").arg(k);
        m.cas = QStringLiteral("100-0%1-0").arg(k);
        m.odour = QStringLiteral("odour %1").arg(k);
        if (k == 1)
            m.name1 = QStringLiteral("1,7,7-Trimethylbicyclo[2.2.1]heptan-2-ol");
        m.stabil = QString(33, QLatin1Char('2'));
        if (k > 1)
            m.stabil[k - 1] = QLatin1Char('1');
        c.materials.push_back(m);
    }
    c.synonyms.push_back(
        {QStringLiteral("100-01-0"), QStringLiteral("Alpha Base"), QStringLiteral("S01"), {}});
    c.synonyms.push_back(
        {QStringLiteral("100-01-0"), QStringLiteral("Beta Base"), QStringLiteral("S09"), {}});
    c.suppliers.push_back({QStringLiteral("S01"), QStringLiteral("Civet & Sons"), {}, {}, {}, {}});
    return c;
}

// The CAS numbers of the first n of those materials.
inline QStringList comparedCas(int n)
{
    QStringList cas;
    for (int k = 1; k <= n; ++k)
        cas << QStringLiteral("100-0%1-0").arg(k);
    return cas;
}

} // namespace zel::test
