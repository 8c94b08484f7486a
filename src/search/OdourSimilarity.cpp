#include "search/OdourSimilarity.h"

#include "data/base/Error.h"
#include "data/engine/Table.h"
#include "model/Names.h"
#include "search/MaterialFilter.h"

#include <algorithm>
#include <cmath>
#include <map>
#include <mutex>
#include <unordered_map>

namespace zel::search {

namespace {

// Runs of letters and digits, folded; the callback gets each one.
template <class F> void forEachDescriptor(QStringView text, F&& take)
{
    QString word;
    for (qsizetype i = 0; i <= text.size(); ++i) {
        const QChar c = i < text.size() ? text[i] : QChar(u' ');
        if (c.isLetterOrNumber()) {
            word += QChar(foldLetter(c.unicode()));
        } else if (!word.isEmpty()) {
            take(word);
            word.clear();
        }
    }
}

} // namespace

bool StabilityRequirement::any() const
{
    return std::any_of(media.begin(), media.end(), [](Level l) { return l != Any; });
}

bool StabilityRequirement::metBy(const char* ratings, int count) const
{
    for (int i = 0; i < model::MediaCount; ++i) {
        const Level want = media[size_t(i)];
        if (want == Any)
            continue;
        const char have = i < count ? ratings[i] : '\0';
        if (want == VeryGood ? have != '2' : (have != '1' && have != '2'))
            return false;
    }
    return true;
}

std::vector<int> StabilityRequirement::asked() const
{
    std::vector<int> numbers;
    for (int i = 0; i < model::MediaCount; ++i)
        if (media[size_t(i)] != Any)
            numbers.push_back(i + 1);
    return numbers;
}

QStringList OdourSimilarity::descriptors(QStringView odour)
{
    QStringList words;
    forEachDescriptor(odour, [&](const QString& w) { words << w; });
    return words;
}

std::shared_ptr<const OdourSimilarity> OdourSimilarity::of(const data::Table& materials)
{
    // One load at a time is shown; the weights of the last one are kept with its number.
    static std::mutex guard;
    static quint64 loadId = 0;
    static std::shared_ptr<const OdourSimilarity> kept;
    std::lock_guard lock(guard);
    if (!kept || loadId != materials.loadId()) {
        kept.reset(new OdourSimilarity(materials));
        loadId = materials.loadId();
    }
    return kept;
}

OdourSimilarity::OdourSimilarity(const data::Table& materials)
{
    const int odour = materials.fieldIndex(model::fields::odour);
    const int stabil = materials.fieldIndex(model::fields::stabil);
    if (odour < 0 || stabil < 0)
        throw data::DatabaseError(
            QStringLiteral("%1 has no odour or stability").arg(materials.displayName()));
    const int n = materials.recordCount();
    std::unordered_map<QString, int> ids;
    std::vector<int> documents; // by descriptor: how many materials use it
    m_vectors.resize(size_t(n));
    m_ratings.assign(size_t(n) * model::MediaCount, '\0');
    for (int r = 0; r < n; ++r) {
        std::map<int, int> counts;
        forEachDescriptor(materials.text(r, odour), [&](const QString& w) {
            const auto [it, added] = ids.try_emplace(w, int(documents.size()));
            if (added)
                documents.push_back(0);
            if (counts[it->second]++ == 0)
                ++documents[size_t(it->second)];
        });
        auto& v = m_vectors[size_t(r)];
        for (const auto& [id, count] : counts)
            v.emplace_back(id, float(count));
        const QStringView s = materials.text(r, stabil);
        for (int i = 0; i < model::MediaCount && i < s.size(); ++i)
            m_ratings[size_t(r) * model::MediaCount + size_t(i)] = char(s[i].unicode() & 0x7F);
    }
    // Term count times the log of how rare the descriptor is, then each vector to length 1,
    // so that a cosine is a plain sum of products.
    m_postings.resize(documents.size());
    for (int r = 0; r < n; ++r) {
        auto& v = m_vectors[size_t(r)];
        double length = 0;
        for (auto& [id, weight] : v) {
            weight *= float(std::log(double(n) / documents[size_t(id)]));
            length += double(weight) * weight;
        }
        length = std::sqrt(length);
        for (auto& [id, weight] : v) {
            weight = length > 0 ? float(weight / length) : 0.f;
            if (weight > 0)
                m_postings[size_t(id)].push_back({r, weight});
        }
    }
}

std::vector<OdourSimilarity::Match>
OdourSimilarity::rank(int record, const StabilityRequirement& required, int limit) const
{
    std::vector<Match> found;
    if (record < 0 || size_t(record) >= m_vectors.size() || limit <= 0)
        return found;
    std::vector<float> score(m_vectors.size(), 0.f);
    std::vector<int> touched;
    for (const auto& [id, weight] : m_vectors[size_t(record)])
        for (const Posting& p : m_postings[size_t(id)]) {
            if (score[size_t(p.record)] == 0.f)
                touched.push_back(p.record);
            score[size_t(p.record)] += weight * p.weight;
        }
    const bool checkStability = required.any();
    for (const int r : touched)
        if (r != record && score[size_t(r)] > 0.f &&
            (!checkStability ||
             required.metBy(&m_ratings[size_t(r) * model::MediaCount], model::MediaCount)))
            found.push_back({r, std::min(1.0, double(score[size_t(r)]))});
    const auto better = [](const Match& a, const Match& b) {
        return a.score != b.score ? a.score > b.score : a.record < b.record;
    };
    if (found.size() > size_t(limit)) {
        std::partial_sort(found.begin(), found.begin() + limit, found.end(), better);
        found.resize(size_t(limit));
    } else {
        std::sort(found.begin(), found.end(), better);
    }
    return found;
}

} // namespace zel::search
