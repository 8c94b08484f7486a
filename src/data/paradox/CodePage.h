#pragma once

#include <QByteArray>
#include <QString>
#include <array>
#include <iconv.h>
#include <memory>
#ifdef __SSE2__
#include <emmintrin.h>
#endif

namespace zel::data::paradox {

// The iconv name of a table's code page as its header numbers it; 0 (none named) is the DOS
// default, 437.
QString iconvName(int codePage);

// An iconv converter that closes with its owner; null where iconv has no such conversion.
struct IconvCloser
{
    using pointer = iconv_t;
    void operator()(iconv_t cd) const { iconv_close(cd); }
};
using Iconv = std::unique_ptr<void, IconvCloser>;

// Decodes text of a table's code page. Single-byte code pages, which are nearly all that
// tables use, go through a table of 256 characters made once; the few multi-byte ones through
// iconv for each value. A byte the code page does not define becomes '?', so the rest of the
// text survives.
class TextDecoder
{
public:
    explicit TextDecoder(int codePage);

    // Writes the decoded text of n bytes to out, which has room for n characters (a code page
    // never makes more characters than bytes); returns the number written.
    size_t decode(const unsigned char* in, size_t n, char16_t* out)
    {
        if (m_multiByte)
            return decodeMultiByte(in, n, out);
        size_t i = 0;
#ifdef __SSE2__
        // Nearly all text is ASCII, the same in every code page: sixteen bytes at a time are
        // widened as they are, and only a run with a byte above 127 goes through the table.
        const __m128i zero = _mm_setzero_si128();
        for (; i + 16 <= n; i += 16) {
            const __m128i bytes = _mm_loadu_si128(reinterpret_cast<const __m128i*>(in + i));
            if (_mm_movemask_epi8(bytes) != 0) {
                for (size_t k = i; k < i + 16; ++k)
                    out[k] = m_table[in[k]];
                continue;
            }
            _mm_storeu_si128(reinterpret_cast<__m128i*>(out + i), _mm_unpacklo_epi8(bytes, zero));
            _mm_storeu_si128(reinterpret_cast<__m128i*>(out + i + 8),
                             _mm_unpackhi_epi8(bytes, zero));
        }
#endif
        for (; i < n; ++i)
            out[i] = m_table[in[i]];
        return n;
    }
    QString decodeString(const unsigned char* in, size_t n);
    bool multiByte() const
    {
        return m_multiByte;
    }

private:
    size_t decodeMultiByte(const unsigned char* in, size_t n, char16_t* out);

    Iconv m_cd;
    std::array<char16_t, 256> m_table{};
    bool m_multiByte = false;
};

// Encodes text into a table's code page, characters it does not hold as their nearest
// (iconv's transliteration) or '?'.
class TextEncoder
{
public:
    explicit TextEncoder(int codePage);

    QByteArray encode(const QString& text);
    // The characters of text that the code page cannot hold as they are (each once, in the
    // order they first come), which encode would write as something else.
    QString unheld(const QString& text);

private:
    QByteArray convert(const char* data, size_t len);

    Iconv m_cd;
    int m_codePage = 0;
    bool m_asciiCompatible = false;
};

} // namespace zel::data::paradox
