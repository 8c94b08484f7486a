#include "search/MaterialFilter.h"

#include "data/Dataset.h"
#include "data/Names.h"

#include <algorithm>

namespace zel::search {

namespace {

constexpr char16_t fold(char16_t c)
{
    return c >= u'a' && c <= u'z' ? char16_t(c - (u'a' - u'A')) : c;
}

bool isLowerAscii(QChar c)
{
    return c.unicode() >= u'a' && c.unicode() <= u'z';
}

QString foldLetters(const QString& text)
{
    // Most criteria reach the filter normalised already; they are passed on unchanged.
    if (std::none_of(text.begin(), text.end(), isLowerAscii))
        return text;
    QString out = text;
    for (QChar& c : out)
        c = QChar(fold(c.unicode()));
    return out;
}

} // namespace

bool SearchCriteria::anyRequired() const
{
    return std::any_of(required.begin(), required.end(), [](bool r) { return r; });
}

QString normaliseCriterion(const QString& text)
{
    qsizetype from = 0;
    qsizetype to = text.size();
    while (from < to && text.at(from) == QLatin1Char(' '))
        ++from;
    while (to > from && text.at(to - 1) == QLatin1Char(' '))
        --to;
    return foldLetters(from == 0 && to == text.size() ? text : text.mid(from, to - from));
}

bool occursIn(QStringView criterion, QStringView text)
{
    const qsizetype n = criterion.size();
    if (n == 0)
        return true;
    const char16_t* needle = criterion.utf16();
    const char16_t* hay = text.utf16();
    for (qsizetype start = 0; start + n <= text.size(); ++start) {
        qsizetype k = 0;
        while (k < n && fold(hay[start + k]) == needle[k])
            ++k;
        if (k == n)
            return true;
    }
    return false;
}

namespace {

enum class Text
{
    Name,
    Name1,
    Name2,
    Odour,
    Performance,
    Application,
    Stabil
};

// The steps of the filter over any source of a material's texts. read(Text) gives one text;
// texts no criterion needs are never read, which is most of them in a search over thousands
// of materials. anyCommercialName(n) tells whether one of the commercial names, folded,
// holds n.
template <class Read, class AnyCommercialName>
bool filter(const SearchCriteria& criteria, const Read& read,
            const AnyCommercialName& anyCommercialName)
{
    const QString n = normaliseCriterion(criteria.name);
    const QString o = normaliseCriterion(criteria.odour);
    const QString p = normaliseCriterion(criteria.performance);
    const QString a = normaliseCriterion(criteria.application);

    bool result = true;
    if (!n.isEmpty() && !occursIn(n, read(Text::Name)) && !occursIn(n, read(Text::Name1)) &&
        !occursIn(n, read(Text::Name2)))
        result = anyCommercialName(n);
    if (!o.isEmpty() && !occursIn(o, read(Text::Odour)))
        result = false;
    if (!p.isEmpty() && !occursIn(p, read(Text::Performance)))
        result = false;
    if (!a.isEmpty() && !occursIn(a, read(Text::Application)))
        result = false;

    if (result && criteria.anyRequired()) {
        const auto& stabil = read(Text::Stabil);
        for (int i = 1; i <= data::MediaCount; ++i)
            if (criteria.required[static_cast<size_t>(i - 1)] &&
                data::ratingChar(stabil, i) != QLatin1Char('2'))
                result = false;
    }
    return result;
}

// Commercial names are folded but not trimmed; occursIn does just that to the text.
bool anyHolds(const QStringList& names, const QString& criterion)
{
    bool hit = false;
    // No break on a hit: every name is read, so a search takes as long whichever one matches.
    for (const QString& name : names)
        hit |= occursIn(criterion, name);
    return hit;
}

} // namespace

bool MaterialFilter(const SearchCriteria& criteria, const MaterialRecord& material,
                    const CommercialNames& commercialNames)
{
    const auto read = [&](Text t) -> const QString& {
        switch (t) {
        case Text::Name:
            return material.name;
        case Text::Name1:
            return material.name1;
        case Text::Name2:
            return material.name2;
        case Text::Odour:
            return material.odour;
        case Text::Performance:
            return material.performance;
        case Text::Application:
            return material.application;
        case Text::Stabil:
            break;
        }
        return material.stabil;
    };
    return filter(criteria, read, [&](const QString& n) {
        return commercialNames && anyHolds(commercialNames(), n);
    });
}

bool MaterialFilter(const SearchCriteria& criteria, const data::Dataset& scan,
                    const data::Dataset* synonymsOfScan)
{
    static const QString fields[] = {data::fields::name,        data::fields::name1,
                                     data::fields::name2,       data::fields::odour,
                                     data::fields::performance, data::fields::application,
                                     data::fields::stabil};
    const auto read = [&](Text t) { return scan.text(fields[static_cast<int>(t)]); };
    const auto anyCommercialName = [&](const QString& n) {
        if (!synonymsOfScan)
            return false;
        bool hit = false;
        // Read by position, so that a view a grid may show is not moved by the search; no break
        // on a hit, as above.
        for (int i = 0; i < synonymsOfScan->recordCount(); ++i)
            hit |= occursIn(n, synonymsOfScan->valueAt(i, data::fields::name).toString());
        return hit;
    };
    return filter(criteria, read, anyCommercialName);
}

} // namespace zel::search
