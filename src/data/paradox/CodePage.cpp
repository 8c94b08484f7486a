#include "data/paradox/CodePage.h"

#include <cerrno>

namespace zel::data::paradox {

namespace {

Iconv openIconv(const char* to, const char* from)
{
    const iconv_t cd = iconv_open(to, from);
    return Iconv(cd == reinterpret_cast<iconv_t>(-1) ? nullptr : cd);
}

} // namespace

QString iconvName(int codePage)
{
    switch (codePage) {
    case 0:
        return QStringLiteral("CP437");
    case 10000:
        return QStringLiteral("MACINTOSH");
    default:
        return QStringLiteral("CP%1").arg(codePage);
    }
}

TextDecoder::TextDecoder(int codePage)
{
    const QByteArray name = iconvName(codePage).toLatin1();
    m_cd = openIconv("UTF-16LE", name.constData());
    for (int b = 0; b < 256; ++b)
        m_table[static_cast<size_t>(b)] = static_cast<char16_t>(b);
    if (!m_cd)
        return; // unknown code page: read as Latin-1
    m_multiByte = codePage == 932 || codePage == 936 || codePage == 949 || codePage == 950 ||
                  codePage == 1361;
    for (int b = 0x80; b < 256 && !m_multiByte; ++b) {
        char in = static_cast<char>(b);
        char16_t out[2] = {u'?', 0};
        char* inp = &in;
        size_t inLeft = 1;
        auto* outp = reinterpret_cast<char*>(out);
        size_t outLeft = sizeof out;
        iconv(m_cd.get(), nullptr, nullptr, nullptr, nullptr);
        if (iconv(m_cd.get(), &inp, &inLeft, &outp, &outLeft) == static_cast<size_t>(-1) ||
            outLeft != sizeof out - 2)
            out[0] = u'?';
        m_table[static_cast<size_t>(b)] = out[0];
    }
}

size_t TextDecoder::decodeMultiByte(const unsigned char* in, size_t n, char16_t* out)
{
    iconv(m_cd.get(), nullptr, nullptr, nullptr, nullptr);
    char* inp = reinterpret_cast<char*>(const_cast<unsigned char*>(in));
    size_t inLeft = n;
    auto* outp = reinterpret_cast<char*>(out);
    size_t outLeft = n * sizeof(char16_t);
    while (inLeft > 0 && outLeft >= sizeof(char16_t)) {
        if (iconv(m_cd.get(), &inp, &inLeft, &outp, &outLeft) != static_cast<size_t>(-1))
            break;
        if (errno == E2BIG)
            break;
        ++inp;
        --inLeft;
        *reinterpret_cast<char16_t*>(outp) = u'?';
        outp += sizeof(char16_t);
        outLeft -= sizeof(char16_t);
    }
    return (n * sizeof(char16_t) - outLeft) / sizeof(char16_t);
}

QString TextDecoder::decodeString(const unsigned char* in, size_t n)
{
    QString s(static_cast<qsizetype>(n), Qt::Uninitialized);
    const size_t got = decode(in, n, reinterpret_cast<char16_t*>(s.data()));
    s.truncate(static_cast<qsizetype>(got));
    return s;
}

TextEncoder::TextEncoder(int codePage) : m_codePage(codePage)
{
    const QByteArray cp = iconvName(codePage).toLatin1();
    m_cd = openIconv(QByteArray(cp + "//TRANSLIT").constData(), "UTF-8");
    // The DOS, Windows and ISO code pages keep ASCII as it is; others are left to iconv.
    m_asciiCompatible = codePage == 0 || (codePage >= 437 && codePage <= 869) ||
                        (codePage >= 1250 && codePage <= 1258) ||
                        (codePage >= 28591 && codePage <= 28605);
}

QByteArray TextEncoder::encode(const QString& text)
{
    // Plain ASCII is the same in every code page we write; most names are.
    const QChar* c = text.constData();
    const qsizetype n = text.size();
    qsizetype i = 0;
    while (i < n && c[i].unicode() < 0x80)
        ++i;
    if (i == n && m_asciiCompatible)
        return text.toLatin1();
    if (!m_cd)
        return text.toLatin1();
    const QByteArray utf8 = text.toUtf8();
    return convert(utf8.constData(), static_cast<size_t>(utf8.size()));
}

QString TextEncoder::unheld(const QString& text)
{
    QString missing;
    std::unique_ptr<TextDecoder> decoder;
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text[i].unicode() < 0x80)
            continue;
        const qsizetype n = text[i].isHighSurrogate() && i + 1 < text.size() ? 2 : 1;
        const QString ch = text.mid(i, n);
        i += n - 1;
        if (missing.contains(ch))
            continue;
        // Held means it comes back from the bytes it is written as.
        if (!decoder)
            decoder = std::make_unique<TextDecoder>(m_codePage);
        const QByteArray bytes = encode(ch);
        if (decoder->decodeString(reinterpret_cast<const unsigned char*>(bytes.constData()),
                                  static_cast<size_t>(bytes.size())) != ch)
            missing += ch;
    }
    return missing;
}

QByteArray TextEncoder::convert(const char* data, size_t len)
{
    iconv(m_cd.get(), nullptr, nullptr, nullptr, nullptr);
    QByteArray out(static_cast<qsizetype>(len * 4 + 4), '\0');
    char* in = const_cast<char*>(data);
    size_t inLeft = len;
    char* dst = out.data();
    size_t outLeft = static_cast<size_t>(out.size());
    while (inLeft > 0) {
        if (iconv(m_cd.get(), &in, &inLeft, &dst, &outLeft) == static_cast<size_t>(-1)) {
            if (errno == E2BIG)
                break;
            // A character the code page cannot hold: a replacement rather than lose the rest.
            ++in;
            --inLeft;
            if (outLeft > 0) {
                *dst++ = '?';
                --outLeft;
            }
        }
    }
    out.truncate(static_cast<qsizetype>(dst - out.data()));
    return out;
}

} // namespace zel::data::paradox
