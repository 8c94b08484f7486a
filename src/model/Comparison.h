#pragma once

#include <QString>
#include <QStringList>
#include <optional>
#include <vector>

namespace zel::data {
class DatasetSet;
}

namespace zel::model {

// One material as a comparison shows it: its texts, its stability string and its commercial
// names with the names of their suppliers (empty where the supplier number names nobody).
struct ComparedMaterial
{
    struct CommercialName
    {
        QString name;
        QString supplier;
    };
    QString cas, name, name1, name2, odour, performance, application, stabil;
    std::vector<CommercialName> commercialNames;

    // The three names, one a line; empty ones leave no empty line.
    QString names() const;
    // Each commercial name on a line of its own, its supplier in brackets after it.
    QString commercialNamesText() const;
    // The rating of medium (1..33) as the grids show it: "-", "+", "++" or empty.
    QString rating(int medium) const;
};

// The materials compared side by side, in the order they were added, each once. A comparison
// holds at most MaxMaterials; it takes MinMaterials to be worth printing.
class Comparison
{
public:
    static constexpr int MinMaterials = 2;
    static constexpr int MaxMaterials = 6;

    enum class Outcome
    {
        Added,
        AlreadyCompared,
        Full
    };
    Outcome add(ComparedMaterial material);
    // Removes the material of that column; false for a column that holds none.
    bool remove(int column);
    void clear() { m_materials.clear(); }

    int count() const { return int(m_materials.size()); }
    const ComparedMaterial& at(int column) const { return m_materials.at(std::size_t(column)); }
    const std::vector<ComparedMaterial>& materials() const { return m_materials; }
    QStringList casNumbers() const;
    bool contains(const QString& cas) const;
    bool printable() const { return count() >= MinMaterials; }
    // Whether the compared materials are not all rated alike in medium (1..33). A material
    // without a rating there differs from one with any.
    bool differs(int medium) const;

private:
    std::vector<ComparedMaterial> m_materials;
};

// Reads materials for a comparison through the cursors of decls::comparison(), which it opens
// as it needs them; they are its own, so reading never moves what a window shows.
class ComparisonReader
{
public:
    explicit ComparisonReader(data::DatasetSet& datasets) : m_datasets(datasets) {}

    // The material of that CAS number, none when no material has it.
    std::optional<ComparedMaterial> read(const QString& cas);
    // The materials of those CAS numbers, in that order, each once; the CAS numbers that no
    // material has go into missing.
    Comparison readAll(const QStringList& cas, QStringList* missing);

    struct Found
    {
        QString name;
        QString cas;
    };
    // The material the materials page's search would find for text in name order (the first
    // whose sort form is text or after it, else the last one) and those after it, at most
    // count in all.
    std::vector<Found> findByName(const QString& text, int count);

    // Closes the cursors, e.g. between the runs of a report.
    void close();

private:
    void open();
    data::DatasetSet& m_datasets;
};

} // namespace zel::model
