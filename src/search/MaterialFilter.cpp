#include "search/MaterialFilter.h"

#include "data/engine/Dataset.h"
#include "data/engine/Table.h"
#include "model/Names.h"

#include <QHash>
#include <algorithm>
#include <cstring>
#include <memory>
#ifdef __SSE2__
#include <emmintrin.h>
#endif

namespace zel::search {

namespace {

constexpr char16_t fold(char16_t c)
{
    return foldLetter(c);
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

// The texts of a material the filter reads; each source lists where it keeps them in this
// order.
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
        for (int i = 1; i <= model::MediaCount; ++i)
            if (criteria.required[static_cast<size_t>(i - 1)] &&
                model::ratingChar(stabil, i) != QLatin1Char('2'))
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
    static constexpr QString MaterialRecord::*texts[] = {
        &MaterialRecord::name,  &MaterialRecord::name1,       &MaterialRecord::name2,
        &MaterialRecord::odour, &MaterialRecord::performance, &MaterialRecord::application,
        &MaterialRecord::stabil};
    const auto read = [&](Text t) -> const QString& {
        return material.*texts[static_cast<int>(t)];
    };
    return filter(criteria, read, [&](const QString& n) {
        return commercialNames && anyHolds(commercialNames(), n);
    });
}

bool MaterialFilter(const SearchCriteria& criteria, const data::Dataset& scan,
                    const data::Dataset* synonymsOfScan)
{
    static const QString fields[] = {model::fields::name,        model::fields::name1,
                                     model::fields::name2,       model::fields::odour,
                                     model::fields::performance, model::fields::application,
                                     model::fields::stabil};
    const auto read = [&](Text t) { return scan.text(fields[static_cast<int>(t)]); };
    const auto anyCommercialName = [&](const QString& n) {
        if (!synonymsOfScan)
            return false;
        bool hit = false;
        // Read by position, so that a view a grid may show is not moved by the search; no break
        // on a hit, as above.
        for (int i = 0; i < synonymsOfScan->recordCount(); ++i)
            hit |= occursIn(n, synonymsOfScan->valueAt(i, model::fields::name).toString());
        return hit;
    };
    return filter(criteria, read, anyCommercialName);
}

} // namespace zel::search

namespace zel::search {

namespace {

// One text field of every record, folded (a to z to A to Z) and encoded as UTF-8 into one
// buffer, records ended by a zero byte. A criterion found in the buffer lies in one record:
// it holds no zero byte, and UTF-8 lets a piece of text match only at a character's start. A
// lone surrogate, which has no UTF-8 form, is written as a byte no criterion can hold.
struct FoldedColumn
{
    std::string bytes;
    std::vector<quint32> starts; // record r is bytes[starts[r], starts[r + 1] - 1)

    void append(QStringView text)
    {
        for (qsizetype i = 0; i < text.size(); ++i) {
            char32_t c = fold(text[i].unicode());
            if (QChar::isHighSurrogate(c) && i + 1 < text.size() && text[i + 1].isLowSurrogate()) {
                c = QChar::surrogateToUcs4(static_cast<char16_t>(c), text[i + 1].unicode());
                ++i;
            } else if (QChar::isSurrogate(c)) {
                bytes.push_back('\xFF');
                continue;
            }
            if (c < 0x80) {
                bytes.push_back(static_cast<char>(c));
            } else if (c < 0x800) {
                bytes.push_back(static_cast<char>(0xC0 | (c >> 6)));
                bytes.push_back(static_cast<char>(0x80 | (c & 0x3F)));
            } else if (c < 0x10000) {
                bytes.push_back(static_cast<char>(0xE0 | (c >> 12)));
                bytes.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
                bytes.push_back(static_cast<char>(0x80 | (c & 0x3F)));
            } else {
                bytes.push_back(static_cast<char>(0xF0 | (c >> 18)));
                bytes.push_back(static_cast<char>(0x80 | ((c >> 12) & 0x3F)));
                bytes.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
                bytes.push_back(static_cast<char>(0x80 | (c & 0x3F)));
            }
        }
    }
    void endRecord()
    {
        bytes.push_back('\0');
        starts.push_back(static_cast<quint32>(bytes.size()));
    }

    // Calls hit(record) once for every record whose text holds needle (UTF-8, no zero byte).
    template <class Hit> void find(const QByteArray& needle, const Hit& hit) const
    {
        const char* const begin = bytes.data();
        const char* const end = begin + bytes.size();
        const char* at = begin;
        size_t record = 0;
        while (at < end) {
            const char* found =
                findBytes(at, end, needle.constData(), static_cast<size_t>(needle.size()));
            if (found == end)
                return;
            const auto offset = static_cast<quint32>(found - begin);
            // Hits come in order, so the record that holds one is found by walking on.
            while (starts[record + 1] <= offset)
                ++record;
            hit(static_cast<int>(record));
            at = begin + starts[record + 1];
        }
    }

    // The first place of needle (n bytes) in [at, end), or end. Sixteen places are tried at
    // once by their first and last byte, and only those that agree on both are compared
    // whole: a search costs nothing to start, which matters when most records hold the
    // criterion and the search starts again after each of them.
    static const char* findBytes(const char* at, const char* end, const char* needle, size_t n)
    {
        if (n == 1) {
            const void* p = std::memchr(at, needle[0], static_cast<size_t>(end - at));
            return p ? static_cast<const char*>(p) : end;
        }
#ifdef __SSE2__
        const __m128i first = _mm_set1_epi8(needle[0]);
        const __m128i last = _mm_set1_epi8(needle[n - 1]);
        while (end - at >= static_cast<ptrdiff_t>(n - 1 + 16)) {
            const __m128i headBytes = _mm_loadu_si128(reinterpret_cast<const __m128i*>(at));
            const __m128i tailBytes = _mm_loadu_si128(reinterpret_cast<const __m128i*>(at + n - 1));
            auto mask = static_cast<unsigned>(_mm_movemask_epi8(
                _mm_and_si128(_mm_cmpeq_epi8(headBytes, first), _mm_cmpeq_epi8(tailBytes, last))));
            while (mask != 0) {
                const int bit = __builtin_ctz(mask);
                if (std::memcmp(at + bit + 1, needle + 1, n - 2) == 0)
                    return at + bit;
                mask &= mask - 1;
            }
            at += 16;
        }
#endif
        return std::search(at, end, needle, needle + n);
    }
};

// Texts of the materials and their commercial names, prepared once per load of the two
// tables; a field is prepared the first time a search needs it.
struct Prepared
{
    quint64 materialsLoad = 0;
    quint64 synonymsLoad = 0;
    std::unique_ptr<FoldedColumn> names, odour, performance, application, commercialNames;
    // Commercial names join their material by CAS number: both sides get the number of their
    // CAS text; a commercial name whose CAS no material has gets -1.
    std::vector<int> materialGroup, synonymGroup;
    int groups = 0;
};

FoldedColumn* column(std::unique_ptr<FoldedColumn>& slot, const data::Table& table,
                     std::initializer_list<QString> fields)
{
    if (!slot) {
        slot = std::make_unique<FoldedColumn>();
        std::vector<int> numbers;
        for (const QString& f : fields)
            numbers.push_back(table.fieldIndex(f));
        slot->starts.reserve(static_cast<size_t>(table.recordCount()) + 1);
        slot->starts.push_back(0);
        for (int r = 0; r < table.recordCount(); ++r) {
            for (size_t k = 0; k < numbers.size(); ++k) {
                if (numbers[k] >= 0)
                    slot->append(table.text(r, numbers[k]));
                // The three names are kept apart, so a criterion never spans two of them.
                if (k + 1 < numbers.size())
                    slot->bytes.push_back('\0');
            }
            slot->endRecord();
        }
    }
    return slot.get();
}

void joinByCas(Prepared& p, const data::Table& materials, const data::Table& synonyms)
{
    QHash<QStringView, int> groupOf;
    const int mCas = materials.fieldIndex(model::fields::cas);
    const int sCas = synonyms.fieldIndex(model::fields::cas);
    p.materialGroup.assign(static_cast<size_t>(materials.recordCount()), -1);
    for (int r = 0; r < materials.recordCount(); ++r) {
        const QStringView cas = mCas >= 0 ? materials.text(r, mCas) : QStringView();
        auto it = groupOf.find(cas);
        if (it == groupOf.end())
            it = groupOf.insert(cas, p.groups++);
        p.materialGroup[static_cast<size_t>(r)] = *it;
    }
    p.synonymGroup.assign(static_cast<size_t>(synonyms.recordCount()), -1);
    for (int r = 0; r < synonyms.recordCount(); ++r) {
        const QStringView cas = sCas >= 0 ? synonyms.text(r, sCas) : QStringView();
        p.synonymGroup[static_cast<size_t>(r)] = groupOf.value(cas, -1);
    }
}

Prepared& prepared(const data::Table& materials, const data::Table* synonyms)
{
    static Prepared p;
    const quint64 synonymsLoad = synonyms ? synonyms->loadId() : 0;
    if (p.materialsLoad != materials.loadId() || p.synonymsLoad != synonymsLoad) {
        p = Prepared();
        p.materialsLoad = materials.loadId();
        p.synonymsLoad = synonymsLoad;
        if (synonyms)
            joinByCas(p, materials, *synonyms);
    }
    return p;
}

// The criterion as the prepared texts hold it, or an empty array when it cannot be searched
// there (a zero character or a surrogate) and each text has to be read instead.
QByteArray searchable(const QString& criterion)
{
    for (QChar c : criterion)
        if (c.unicode() == 0 || c.isSurrogate())
            return QByteArray();
    return criterion.toUtf8();
}

// Marks in flags the records whose texts (fields of table) hold criterion; slot keeps the
// prepared texts. Criteria the prepared texts cannot serve are looked for text by text.
void mark(std::vector<unsigned char>& flags, const QString& criterion, const data::Table& table,
          std::unique_ptr<FoldedColumn>& slot, std::initializer_list<QString> fields)
{
    const QByteArray needle = searchable(criterion);
    if (!needle.isEmpty()) {
        column(slot, table, fields)->find(needle, [&](int r) {
            flags[static_cast<size_t>(r)] = 1;
        });
        return;
    }
    std::vector<int> numbers;
    for (const QString& f : fields)
        numbers.push_back(table.fieldIndex(f));
    for (int r = 0; r < table.recordCount(); ++r)
        for (int f : numbers)
            if (f >= 0 && occursIn(criterion, table.text(r, f)))
                flags[static_cast<size_t>(r)] = 1;
}

} // namespace

std::vector<unsigned char> MaterialFilter(const SearchCriteria& criteria,
                                          const data::Table& materials, const data::Table* synonyms)
{
    const size_t n = static_cast<size_t>(materials.recordCount());
    std::vector<unsigned char> result(n, 1);
    Prepared& p = prepared(materials, synonyms);
    const auto require = [&](const QString& typed, std::unique_ptr<FoldedColumn>& slot,
                             std::initializer_list<QString> fields) {
        const QString c = normaliseCriterion(typed);
        if (c.isEmpty())
            return;
        std::vector<unsigned char> hit(n, 0);
        mark(hit, c, materials, slot, fields);
        for (size_t r = 0; r < n; ++r)
            result[r] &= hit[r];
    };

    const QString name = normaliseCriterion(criteria.name);
    if (!name.isEmpty()) {
        std::vector<unsigned char> hit(n, 0);
        mark(hit, name, materials, p.names,
             {model::fields::name, model::fields::name1, model::fields::name2});
        if (synonyms) {
            std::vector<unsigned char> inGroup(static_cast<size_t>(p.groups), 0);
            std::vector<unsigned char> synonymHit(static_cast<size_t>(synonyms->recordCount()), 0);
            mark(synonymHit, name, *synonyms, p.commercialNames, {model::fields::name});
            for (size_t s = 0; s < synonymHit.size(); ++s)
                if (synonymHit[s] && p.synonymGroup[s] >= 0)
                    inGroup[static_cast<size_t>(p.synonymGroup[s])] = 1;
            for (size_t r = 0; r < n; ++r)
                hit[r] |= inGroup[static_cast<size_t>(p.materialGroup[r])];
        }
        for (size_t r = 0; r < n; ++r)
            result[r] &= hit[r];
    }
    require(criteria.odour, p.odour, {model::fields::odour});
    require(criteria.performance, p.performance, {model::fields::performance});
    require(criteria.application, p.application, {model::fields::application});

    if (criteria.anyRequired()) {
        const int stabil = materials.fieldIndex(model::fields::stabil);
        for (size_t r = 0; r < n; ++r) {
            if (!result[r])
                continue;
            const QStringView s =
                stabil >= 0 ? materials.text(static_cast<int>(r), stabil) : QStringView();
            for (int i = 1; i <= model::MediaCount && result[r]; ++i)
                if (criteria.required[static_cast<size_t>(i - 1)] &&
                    (i > s.size() || s[i - 1] != QLatin1Char('2')))
                    result[r] = 0;
        }
    }
    return result;
}

std::function<std::vector<unsigned char>(const data::Dataset&)>
materialTableFilter(std::function<SearchCriteria()> criteria, const data::Dataset* synonymsOfScan)
{
    return [criteria = std::move(criteria), synonymsOfScan](const data::Dataset& scan) {
        const data::Table* synonyms =
            synonymsOfScan && synonymsOfScan->isOpen() ? synonymsOfScan->table() : nullptr;
        return MaterialFilter(criteria(), *scan.table(), synonyms);
    };
}

} // namespace zel::search
