#include "data/IndexSort.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cmath>
#include <cstring>
#include <limits>
#include <memory>

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
// text as its code units and then a 0 for its end. Each unit stands as its rank among the units
// that occur at the start of the part's texts, ranks counting from 1: a column of CAS numbers
// has eleven of them and packs sixteen units where plain 16-bit units would give four. A key
// that is less than another never packs into a greater integer, so only equal integers need
// the whole comparison.
class KeyPrefix
{
public:
    KeyPrefix(const std::vector<SortKeyColumn>& key, int records) : m_key(key)
    {
        m_parts.resize(key.size());
        for (size_t p = 0; p < key.size(); ++p)
            if (!key[p].numeric)
                m_parts[p] = alphabet(key[p].text, records);
    }

    quint64 of(int record) const
    {
        Packer out;
        for (size_t p = 0; p < m_key.size() && out.left > 0; ++p) {
            if (m_key[p].numeric) {
                out.put(m_key[p].numbers[static_cast<size_t>(record)], 64);
                continue;
            }
            const Alphabet& a = m_parts[p];
            const QStringView t = m_key[p].text.at(record);
            for (qsizetype i = 0; i < t.size() && out.left > 0; ++i)
                out.put(a.rank[t[i].unicode()], a.bits);
            out.put(0, a.bits);
        }
        return out.left >= 64 ? 0 : out.key << out.left;
    }

private:
    // A rank takes at least four bits, so no more than the first sixteen units of a text can
    // reach the packed integer: only those need a rank.
    static constexpr qsizetype kScanned = 16;

    struct Alphabet
    {
        // Set only for the units that occur, which are the only ones looked up.
        std::unique_ptr<quint32[]> rank;
        int bits = 16;
    };

    static Alphabet alphabet(const TextColumn& column, int records)
    {
        // A byte per unit: marking one is a plain store, where a bit would be a read, a change
        // and a write that waits for the last one to the same word.
        std::vector<quint8> seen(65536, 0);
        for (int r = 0; r < records; ++r) {
            const QStringView t = column.at(r);
            const qsizetype n = std::min(t.size(), kScanned);
            for (qsizetype i = 0; i < n; ++i)
                seen[t[i].unicode()] = 1;
        }
        Alphabet a;
        a.rank.reset(new quint32[65536]);
        quint32 next = 1;
        for (size_t u = 0; u < seen.size(); ++u)
            if (seen[u])
                a.rank[u] = next++;
        a.bits = std::max(4, static_cast<int>(std::bit_width(next - 1)));
        return a;
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
    std::vector<Alphabet> m_parts;
};

struct Keyed
{
    quint64 prefix;
    int record;
};

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
    const KeyPrefix prefix(key, records);
    for (size_t r = 0; r < n; ++r)
        keyed[r] = {prefix.of(static_cast<int>(r)), static_cast<int>(r)};
    // Record numbers break ties of equal keys: a total order, so a plain sort gives what a
    // stable sort of the records would, without its merge buffers.
    std::sort(keyed.begin(), keyed.end(), [&key](const Keyed& x, const Keyed& y) {
        if (x.prefix != y.prefix)
            return x.prefix < y.prefix;
        const int c = compareSortKeys(key, x.record, y.record);
        return c < 0 || (c == 0 && x.record < y.record);
    });
    std::vector<int> order(n);
    for (size_t i = 0; i < n; ++i)
        order[i] = keyed[i].record;
    return order;
}

} // namespace zel::data
