#include "report/TRpCompress.h"

#include "report/ReportFileError.h"

#include <QtEndian>

namespace zel::report {

namespace {

// A code longer than this no longer fits the bit accumulator with a partial byte in it.
constexpr int FastCodeBits = 56;
// The longest code: a path through every inner node.
constexpr int MaxCodeBits = 256;

} // namespace

TRpCompress::TRpCompress()
{
    m_up[0] = 0;
    for (unsigned i = 1; i <= 512; ++i)
        m_up[i] = std::uint8_t((i - 1) / 2);
    for (unsigned i = 0; i < 256; ++i) {
        m_child[i][0] = std::uint16_t(2 * i + 1);
        m_child[i][1] = std::uint16_t(2 * i + 2);
    }
}

// Semi-splaying: each step swaps the node with its parent's sibling and goes on from the
// grandparent, so a byte that comes often ends up near the root and gets a short code.
void TRpCompress::splay(unsigned symbol)
{
    unsigned node = symbol + 256;
    do {
        const unsigned parent = m_up[node];
        if (parent == 0)
            break;
        const unsigned grand = m_up[parent];
        // The uncle is the grandparent's other child; the node takes its place, and the uncle
        // takes the node's. Sides are picked by index rather than by branches, which the
        // processor could not predict.
        const unsigned uncleSide = m_child[grand][0] == parent;
        const unsigned uncle = m_child[grand][uncleSide];
        m_child[grand][uncleSide] = std::uint16_t(node);
        m_child[parent][m_child[parent][1] == node] = std::uint16_t(uncle);
        m_up[node] = std::uint8_t(grand);
        m_up[uncle] = std::uint8_t(parent);
        node = grand;
    } while (node != 0);
}

void TRpCompress::encode(QByteArrayView data, QByteArray& out)
{
    TRpCompress().encodeAll(data, out);
}

QByteArray TRpCompress::encodePage(QByteArrayView page)
{
    QByteArray payload;
    payload.reserve(page.size() + 4);
    payload.resize(4);
    qToLittleEndian<qint32>(qint32(page.size()), payload.data());
    encode(page, payload);
    return payload;
}

QByteArray TRpCompress::decode(QByteArrayView coded, qsizetype count)
{
    return TRpCompress().decodeAll(coded, count);
}

void TRpCompress::encodeAll(QByteArrayView data, QByteArray& out)
{
    const qsizetype base = out.size();
    // Typical pages shrink; the buffer grows when a run of long codes needs more.
    out.resize(base + data.size() + 2 * MaxCodeBits / 8);
    unsigned char* begin = reinterpret_cast<unsigned char*>(out.data()) + base;
    unsigned char* p = begin;
    unsigned char* limit = begin + (out.size() - base) - MaxCodeBits / 8 - 8;

    std::uint64_t acc = 0; // bits not yet written, the first one lowest
    int bits = 0;
    for (const char c : data) {
        if (p >= limit) {
            const qsizetype used = p - begin;
            out.resize(out.size() * 2);
            begin = reinterpret_cast<unsigned char*>(out.data()) + base;
            p = begin + used;
            limit = begin + (out.size() - base) - MaxCodeBits / 8 - 8;
        }
        const unsigned symbol = static_cast<unsigned char>(c);
        // The path is found from the leaf up but sent from the root down: shifting each step
        // in from the right leaves the root's bit lowest, which is the first to go out.
        std::uint64_t code = 0;
        int length = 0;
        unsigned node = symbol + 256;
        do {
            const unsigned parent = m_up[node];
            code = (code << 1) | std::uint64_t(m_child[parent][1] == node);
            ++length;
            node = parent;
        } while (node != 0);
        if (length <= FastCodeBits) {
            acc |= code << bits;
            bits += length;
            while (bits >= 8) {
                *p++ = static_cast<unsigned char>(acc);
                acc >>= 8;
                bits -= 8;
            }
        } else {
            encodeSlow(symbol, acc, bits, p);
        }
        splay(symbol);
    }
    if (bits > 0)
        *p++ = static_cast<unsigned char>(acc);
    out.resize(base + (p - begin));
}

// Codes longer than the accumulator takes, one bit at a time.
void TRpCompress::encodeSlow(unsigned symbol, std::uint64_t& acc, int& bits, unsigned char*& out)
{
    bool path[MaxCodeBits];
    int length = 0;
    for (unsigned node = symbol + 256; node != 0; node = m_up[node])
        path[length++] = m_child[m_up[node]][1] == node;
    while (length > 0) {
        acc |= std::uint64_t(path[--length]) << bits;
        if (++bits == 8) {
            *out++ = static_cast<unsigned char>(acc);
            acc = 0;
            bits = 0;
        }
    }
}

QByteArray TRpCompress::decodeAll(QByteArrayView coded, qsizetype count)
{
    QByteArray result(count, Qt::Uninitialized);
    char* out = result.data();
    const unsigned char* in = reinterpret_cast<const unsigned char*>(coded.data());
    const unsigned char* const end = in + coded.size();
    std::uint64_t buffer = 0; // unread bits, the next one lowest
    int available = 0;
    for (qsizetype k = 0; k < count; ++k) {
        unsigned node = 0;
        do {
            if (available == 0) {
                if (end - in >= 8) {
                    buffer = qFromLittleEndian<quint64>(in);
                    in += 8;
                    available = 64;
                } else if (in < end) {
                    buffer = *in++;
                    available = 8;
                } else {
                    throw ReportFileError(
                        QStringLiteral("the compressed page ends after %1 of its %2 bytes")
                            .arg(k)
                            .arg(count));
                }
            }
            node = m_child[node][buffer & 1];
            buffer >>= 1;
            --available;
        } while (node < 256);
        out[k] = static_cast<char>(node - 256);
        splay(node - 256);
    }
    return result;
}

} // namespace zel::report
