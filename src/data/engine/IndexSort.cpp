#include "data/engine/IndexSort.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cmath>
#include <cstring>
#include <limits>
#include <memory>
#include <utility>

namespace zel::data {

namespace {

int compareText(QStringView x, QStringView y)
{
    const qsizetype n = std::min(x.size(), y.size());
    const char16_t* a = x.utf16();
    const char16_t* b = y.utf16();
    for (qsizetype i = 0; i < n; ++i)
        if (a[i] != b[i])
            return a[i] < b[i] ? -1 : 1;
    return x.size() < y.size() ? -1 : (x.size() > y.size() ? 1 : 0);
}

// The beginning of a record's key packed into 64 bits, so that most comparisons of a sort
// are of two integers: the key's parts one after the other, a number as its ordered bits, a
// text as its code units and then a 0 for its end. A unit stands as its distance from the
// least unit at the start of the part's texts, plus one, in as few bits as the span of those
// units needs: a column of CAS numbers ("-" to "9") packs sixteen units where plain 16-bit
// units would give four. A key that is less than another never packs into a greater integer,
// so only equal integers need the whole comparison.
class KeyPrefix
{
public:
    // Spans taken from every stride-th record only; of() then finds out whether they fit all.
    KeyPrefix(const std::vector<SortKeyColumn>& key, int records, int stride) : m_key(key)
    {
        m_parts.resize(key.size());
        for (size_t p = 0; p < key.size(); ++p)
            if (!key[p].numeric)
                m_parts[p] = span(key[p].text, records, stride);
    }

    // Clears fits when a unit lies outside the span of its part; the integer is then of no use.
    quint64 of(int record, bool& fits) const
    {
        Packer out;
        for (size_t p = 0; p < m_key.size() && out.left > 0; ++p) {
            if (m_key[p].numeric) {
                out.put(m_key[p].numbers[static_cast<size_t>(record)], 64);
                continue;
            }
            const Span& s = m_parts[p];
            const QStringView t = m_key[p].text.at(record);
            const char16_t* u = t.utf16();
            for (qsizetype i = 0; i < t.size() && out.left > 0; ++i) {
                // Below the least, the difference wraps round to a large number.
                const quint64 unit = static_cast<quint16>(u[i] - s.least) + quint64(1);
                if (unit > s.top)
                    fits = false;
                out.put(unit, s.bits);
            }
            out.put(0, s.bits);
        }
        return out.left >= 64 ? 0 : out.key << out.left;
    }

private:
    // A unit takes at least four bits, so no more than the first sixteen units of a text can
    // reach the packed integer: only those need to fit.
    static constexpr qsizetype kScanned = 16;

    struct Span
    {
        char16_t least = 0;
        quint64 top = 0x10000; // the greatest unit - least + 1
        int bits = 17;
    };

    static Span span(const TextColumn& column, int records, int stride)
    {
        char16_t least = 0xFFFF, most = 0;
        for (int r = 0; r < records; r += stride) {
            const QStringView t = column.at(r);
            const char16_t* u = t.utf16();
            const qsizetype n = std::min(t.size(), kScanned);
            for (qsizetype i = 0; i < n; ++i) {
                least = std::min(least, u[i]);
                most = std::max(most, u[i]);
            }
        }
        if (least > most)
            return {0, 0, 4};
        const quint64 top = static_cast<quint64>(most - least) + 1;
        return {least, top, std::max(4, static_cast<int>(std::bit_width(top)))};
    }

    struct Packer
    {
        quint64 key = 0;
        int left = 64;
        void put(quint64 value, int width)
        {
            if (width < left) {
                key = (key << width) | value;
                left -= width;
            } else {
                value >>= width - left;
                key = left == 64 ? value : (key << left) | value;
                left = 0;
            }
        }
    };

    const std::vector<SortKeyColumn>& m_key;
    std::vector<Span> m_parts;
};

constexpr int kSampleStride = 16;

struct Keyed
{
    quint64 prefix;
    int record;
};

// Sorts by the packed key eleven bits at a time from the last (six passes, the counts of a
// pass kept in the first-level cache), keeping the order of equal keys. Digits that are the
// same in every key (the low ones of short keys) cost one look.
void radixSort(std::vector<Keyed>& keyed)
{
    constexpr int kDigitBits = 11;
    constexpr int kDigits = (64 + kDigitBits - 1) / kDigitBits;
    constexpr quint64 kMask = (1u << kDigitBits) - 1;
    using Counts = std::array<quint32, size_t{1} << kDigitBits>;
    std::vector<Counts> counts(kDigits, Counts{});
    for (const Keyed& k : keyed)
        for (int d = 0; d < kDigits; ++d)
            ++counts[static_cast<size_t>(d)][(k.prefix >> (kDigitBits * d)) & kMask];
    std::vector<Keyed> other(keyed.size());
    for (int d = 0; d < kDigits; ++d) {
        Counts& count = counts[static_cast<size_t>(d)];
        if (std::find(count.begin(), count.end(), keyed.size()) != count.end())
            continue;
        quint32 at = 0;
        for (quint32& c : count)
            at += std::exchange(c, at);
        for (const Keyed& k : keyed)
            other[count[(k.prefix >> (kDigitBits * d)) & kMask]++] = k;
        keyed.swap(other);
    }
}

} // namespace

quint64 orderedBits(double number)
{
    if (std::isnan(number))
        return std::numeric_limits<quint64>::max();
    if (number == 0)
        number = 0; // -0 is 0
    quint64 bits = 0;
    std::memcpy(&bits, &number, sizeof bits);
    return (bits >> 63) ? ~bits : bits | (1ull << 63);
}

int compareSortKeys(const std::vector<SortKeyColumn>& key, int a, int b)
{
    for (const SortKeyColumn& part : key) {
        if (part.numeric) {
            const quint64 x = part.numbers[static_cast<size_t>(a)];
            const quint64 y = part.numbers[static_cast<size_t>(b)];
            if (x != y)
                return x < y ? -1 : 1;
        } else if (const int c = compareText(part.text.at(a), part.text.at(b)); c != 0) {
            return c;
        }
    }
    return 0;
}

std::vector<int> sortRecords(const std::vector<SortKeyColumn>& key, int records)
{
    const size_t n = static_cast<size_t>(std::max(records, 0));
    std::vector<Keyed> keyed(n);
    // The spans of a sample of the texts nearly always hold every text's units; when they do
    // not, the keys are packed once more by the spans of all of them.
    bool fits = true;
    for (const int stride : {kSampleStride, 1}) {
        const KeyPrefix prefix(key, records, stride);
        fits = true;
        for (size_t r = 0; r < n; ++r)
            keyed[r] = {prefix.of(static_cast<int>(r), fits), static_cast<int>(r)};
        if (fits)
            break;
    }
    radixSort(keyed);
    // The radix sort is stable, so records of equal packed keys are in record order; only their
    // whole keys remain to be compared, with the record number breaking ties as a stable sort
    // would.
    const auto less = [&key](const Keyed& x, const Keyed& y) {
        const int c = compareSortKeys(key, x.record, y.record);
        return c < 0 || (c == 0 && x.record < y.record);
    };
    for (size_t from = 0; from < n;) {
        size_t to = from + 1;
        while (to < n && keyed[to].prefix == keyed[from].prefix)
            ++to;
        if (to - from > 1)
            std::sort(keyed.begin() + static_cast<std::ptrdiff_t>(from),
                      keyed.begin() + static_cast<std::ptrdiff_t>(to), less);
        from = to;
    }
    std::vector<int> order(n);
    for (size_t i = 0; i < n; ++i)
        order[i] = keyed[i].record;
    return order;
}

} // namespace zel::data
