#pragma once

#include "model/StabilityMedia.h"

#include <QString>
#include <QStringList>
#include <QStringView>
#include <array>
#include <functional>
#include <vector>

namespace zel::data {
class Dataset;
class Table;
} // namespace zel::data

namespace zel::search {

// What the search dialog asks of a material: four texts as typed and the media in which
// the material must rate "2" (required[i - 1] for medium i).
struct SearchCriteria
{
    QString name, odour, performance, application;
    std::array<bool, model::MediaCount> required{};

    bool anyRequired() const;
};

// The texts of one material that the search reads.
struct MaterialRecord
{
    QString name, name1, name2, odour, performance, application, stabil;
};

// How the search compares text: a to z folded to A to Z, every other character (accented
// letters included) as it is.
constexpr char16_t foldLetter(char16_t c)
{
    return c >= u'a' && c <= u'z' ? char16_t(c - (u'a' - u'A')) : c;
}

// Spaces (and nothing else) dropped at both ends, then foldLetter.
QString normaliseCriterion(const QString& text);

// Whether the normalised criterion stands in text as one piece once a to z in text are
// folded to A to Z. Folds as it compares, so the thousands of texts a search reads are never
// copied. The same as looking in the normalised text: a criterion neither begins nor ends
// with a space, so the text's outer spaces never take part in a match.
bool occursIn(QStringView criterion, QStringView text);

// The commercial names of the material under test. Called at most once per material, and
// only when the name criterion is given and none of the material's three names holds it.
using CommercialNames = std::function<QStringList()>;

// Whether the material meets every criterion: the name criterion in one of its three names
// or else in one of its commercial names, the other three in their own texts, and rating
// "2" in every required medium (a stability string too short for a medium does not rate
// it "2"). The stability string is read as stored.
bool MaterialFilter(const SearchCriteria& criteria, const MaterialRecord& material,
                    const CommercialNames& commercialNames);

// The same for the current record of scan, whose commercial names are the records of
// synonymsOfScan, a view that follows scan by CAS number. synonymsOfScan may be null:
// the material then has no commercial names. Neither cursor is moved.
bool MaterialFilter(const SearchCriteria& criteria, const data::Dataset& scan,
                    const data::Dataset* synonymsOfScan);

// The same rules over a whole materials table at once: one flag per record of materials, 1
// where the material meets the criteria. Its commercial names are the records of synonyms
// (may be null) with the same CAS number. The texts are prepared once per load of the two
// tables (folded, one buffer per field) and searched with a fast substring search, so a
// search over thousands of materials reads each text once and allocates nothing per record.
std::vector<unsigned char> MaterialFilter(const SearchCriteria& criteria,
                                          const data::Table& materials,
                                          const data::Table* synonyms);

// The selection list's whole-table filter: the criteria that criteria() gives when a search
// runs, over the scan view's table and the table of synonymsOfScan.
std::function<std::vector<unsigned char>(const data::Dataset&)>
materialTableFilter(std::function<SearchCriteria()> criteria, const data::Dataset* synonymsOfScan);

} // namespace zel::search
