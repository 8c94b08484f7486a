#pragma once

#include "model/StabilityMedia.h"

#include <QString>
#include <QStringList>
#include <array>
#include <memory>
#include <vector>

namespace zel::data {
class Table;
}

namespace zel::search {

// How stable an alternative must be: for each medium (1..33 at [i - 1]) nothing, "+" or
// better, or "++".
struct StabilityRequirement
{
    enum Level : char
    {
        Any = 0,
        GoodOrBetter = '1', // "+" or "++"
        VeryGood = '2',     // "++"
    };
    std::array<Level, model::MediaCount> media{};

    bool any() const;
    // Whether ratings (one character per medium, as stored; shorter rates nothing more)
    // meet every medium asked for.
    bool metBy(const char* ratings, int count) const;
    // The media asked for, 1..33.
    std::vector<int> asked() const;
};

// Which materials smell most like a given one. Each odour text is folded as the search folds
// text and cut into descriptors (runs of letters and digits); a descriptor weighs more the
// fewer materials use it (inverse document frequency), so two materials sharing "ambergris"
// are closer than two sharing "sweet". Closeness is the cosine of the two weight vectors,
// from 0 (nothing shared) to 1. The weights are made once per load of the materials table.
class OdourSimilarity
{
public:
    // The weights of this load of the table, made on first use and kept while it is loaded.
    static std::shared_ptr<const OdourSimilarity> of(const data::Table& materials);

    struct Match
    {
        int record = -1;
        double score = 0;
    };
    // The materials, other than record itself, sharing at least one descriptor with it and
    // meeting required, closest first (equal scores in record order); at most limit of them.
    std::vector<Match> rank(int record, const StabilityRequirement& required, int limit) const;

    // The descriptors of a text, folded, in the order they stand.
    static QStringList descriptors(QStringView odour);

private:
    explicit OdourSimilarity(const data::Table& materials);

    struct Posting
    {
        int record;
        float weight; // of the descriptor in this material's normalised vector
    };
    std::vector<std::vector<Posting>> m_postings;              // by descriptor
    std::vector<std::vector<std::pair<int, float>>> m_vectors; // by record: descriptor, weight
    std::vector<char> m_ratings; // MediaCount rating characters per record
};

} // namespace zel::search
