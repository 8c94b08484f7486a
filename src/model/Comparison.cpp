#include "model/Comparison.h"

#include "data/engine/DatasetSet.h"
#include "model/Names.h"
#include "model/Schema.h"
#include "model/StabilityMedia.h"

#include <algorithm>

namespace zel::model {

using namespace datasets;

QString ComparedMaterial::names() const
{
    QStringList lines;
    for (const QString* n : {&name, &name1, &name2})
        if (!n->isEmpty())
            lines << *n;
    return lines.join(QLatin1Char('\n'));
}

QString ComparedMaterial::commercialNamesText() const
{
    QStringList lines;
    for (const CommercialName& c : commercialNames)
        lines << (c.supplier.isEmpty()
                      ? c.name
                      : QStringLiteral("%1 (%2)").arg(c.name, c.supplier).trimmed());
    return lines.join(QLatin1Char('\n'));
}

QString ComparedMaterial::rating(int medium) const
{
    return ratingText(ratingChar(stabil, medium));
}

Comparison::Outcome Comparison::add(ComparedMaterial material)
{
    if (contains(material.cas))
        return Outcome::AlreadyCompared;
    if (count() >= MaxMaterials)
        return Outcome::Full;
    m_materials.push_back(std::move(material));
    return Outcome::Added;
}

bool Comparison::remove(int column)
{
    if (column < 0 || column >= count())
        return false;
    m_materials.erase(m_materials.begin() + column);
    return true;
}

QStringList Comparison::casNumbers() const
{
    QStringList cas;
    for (const ComparedMaterial& m : m_materials)
        cas << m.cas;
    return cas;
}

bool Comparison::contains(const QString& cas) const
{
    return std::any_of(m_materials.begin(), m_materials.end(),
                       [&](const ComparedMaterial& m) { return m.cas == cas; });
}

bool Comparison::differs(int medium) const
{
    // The rating as shown, so that two characters that both mean "no rating" agree.
    return std::any_of(m_materials.begin(), m_materials.end(), [&](const ComparedMaterial& m) {
        return m.rating(medium) != m_materials.front().rating(medium);
    });
}

void ComparisonReader::open()
{
    // The details before their masters, as the report forms open theirs.
    for (const QString* name : {&TableSupplier, &TableSin, &TableMaterial, &TableMaterialSelect})
        if (!m_datasets.get(*name)->isOpen())
            m_datasets.open(*name);
}

void ComparisonReader::close()
{
    for (const QString* name : {&TableMaterialSelect, &TableMaterial, &TableSin, &TableSupplier})
        m_datasets.get(*name)->close();
}

std::optional<ComparedMaterial> ComparisonReader::read(const QString& cas)
{
    open();
    data::Dataset* material = m_datasets.get(TableMaterial);
    if (cas.isEmpty() || !material->findKey({cas}))
        return std::nullopt;
    ComparedMaterial m;
    const std::pair<QString*, const QString*> texts[] = {{&m.cas, &fields::cas},
                                                         {&m.name, &fields::name},
                                                         {&m.name1, &fields::name1},
                                                         {&m.name2, &fields::name2},
                                                         {&m.odour, &fields::odour},
                                                         {&m.performance, &fields::performance},
                                                         {&m.application, &fields::application},
                                                         {&m.stabil, &fields::stabil}};
    // Stored lines end in CR LF or LF alone; here each ends in a line feed.
    for (const auto& [to, field] : texts)
        *to = material->text(*field)
                  .replace(QLatin1String("\r\n"), QLatin1String("\n"))
                  .replace(QLatin1Char('\r'), QLatin1Char('\n'));
    data::Dataset* sin = m_datasets.get(TableSin);
    const data::Dataset* supplier = m_datasets.get(TableSupplier);
    for (sin->first(); !sin->eof(); sin->next())
        m.commercialNames.push_back({sin->text(fields::name), supplier->text(fields::supname)});
    return m;
}

Comparison ComparisonReader::readAll(const QStringList& cas, QStringList* missing)
{
    Comparison comparison;
    for (const QString& c : cas) {
        if (std::optional<ComparedMaterial> m = read(c))
            comparison.add(std::move(*m));
        else if (missing)
            *missing << c;
    }
    return comparison;
}

std::vector<ComparisonReader::Found> ComparisonReader::findByName(const QString& text, int count)
{
    open();
    data::Dataset* select = m_datasets.get(TableMaterialSelect);
    std::vector<Found> found;
    if (select->isEmpty())
        return found;
    select->findNearest({sortForm(text)});
    for (; !select->eof() && int(found.size()) < count; select->next())
        found.push_back({select->text(fields::name), select->text(fields::cas)});
    return found;
}

} // namespace zel::model
