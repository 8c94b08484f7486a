#pragma once

#include <QByteArray>
#include <QString>
#include <array>
#include <iconv.h>
#include <memory>

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
        for (size_t i = 0; i < n; ++i)
            out[i] = m_table[in[i]];
        return n;
    }
    QString decodeString(const unsigned char* in, size_t n);
    bool multiByte() const { return m_multiByte; }

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
