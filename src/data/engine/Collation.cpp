#include "data/engine/Collation.h"

#include <QChar>
#include <array>

namespace zel::data::collation {

namespace {

// Put in front of a character that is neither a letter nor a digit; lower than the blank.
constexpr char16_t kSymbol = 0x1F;
constexpr char16_t kLast = 0xFFFF;

void appendUcs4(char32_t u, std::vector<char16_t>& out)
{
    if (QChar::requiresSurrogates(u)) {
        out.push_back(QChar::highSurrogate(u));
        out.push_back(QChar::lowSurrogate(u));
    } else {
        out.push_back(static_cast<char16_t>(u));
    }
}

// Letters without a canonical decomposition that readers still take for a plain letter or two.
const char* specialLetter(char32_t u)
{
    switch (u) {
    case 0x00DF: // sharp s
    case 0x1E9E:
        return "ss";
    case 0x00C6:
    case 0x00E6:
        return "ae";
    case 0x0152:
    case 0x0153:
        return "oe";
    case 0x00D8:
    case 0x00F8:
        return "o";
    case 0x0110:
    case 0x0111:
    case 0x00D0:
    case 0x00F0:
        return "d";
    case 0x0141:
    case 0x0142:
        return "l";
    case 0x0131:
        return "i";
    case 0x00DE:
    case 0x00FE:
        return "th";
    default:
        return nullptr;
    }
}

// The key of one character outside ASCII.
void appendWide(char32_t u, std::vector<char16_t>& out)
{
    if (u == kLast) {
        out.push_back(kLast);
        return;
    }
    // The base of a canonical decomposition, repeatedly: ǖ is ü with a macron, ü is u with
    // a diaeresis. The marks that follow the base are dropped below.
    while (QChar::decompositionTag(u) == QChar::Canonical) {
        const QString d = QChar::decomposition(u);
        if (d.isEmpty())
            break;
        const char32_t base = d.at(0).isHighSurrogate() && d.size() > 1
                                  ? QChar::surrogateToUcs4(d.at(0), d.at(1))
                                  : d.at(0).unicode();
        if (base == u)
            break;
        u = base;
    }
    if (u < 0x80) {
        out.push_back(u >= 'A' && u <= 'Z' ? char16_t(u + 32) : char16_t(u));
        return;
    }
    if (const char* s = specialLetter(u)) {
        while (*s)
            out.push_back(static_cast<char16_t>(*s++));
        return;
    }
    switch (QChar::category(u)) {
    case QChar::Mark_NonSpacing:
    case QChar::Mark_SpacingCombining:
    case QChar::Mark_Enclosing:
        return;
    case QChar::Number_DecimalDigit:
        out.push_back(static_cast<char16_t>(u'0' + QChar::digitValue(u)));
        return;
    default:
        break;
    }
    if (QChar::isLetter(u)) {
        appendUcs4(QChar::toCaseFolded(u), out);
        return;
    }
    out.push_back(kSymbol);
    appendUcs4(u, out);
}

// Keys of the characters from 0x80 to 0x24F (the Latin supplements and extensions that the
// single-byte code pages reach), worked out once: at most two units each, 0 for none.
struct LatinTable
{
    std::array<std::array<char16_t, 3>, 0x250 - 0x80> keys{};
    LatinTable()
    {
        std::vector<char16_t> k;
        for (char32_t u = 0x80; u < 0x250; ++u) {
            k.clear();
            appendWide(u, k);
            auto& slot = keys[u - 0x80];
            slot[0] = static_cast<char16_t>(k.size());
            for (size_t i = 0; i < k.size() && i < 2; ++i)
                slot[i + 1] = k[i];
        }
    }
};

const LatinTable& latinTable()
{
    static const LatinTable table;
    return table;
}

} // namespace

void appendKey(QStringView text, std::vector<char16_t>& out)
{
    const LatinTable& latin = latinTable();
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char16_t c = text[i].unicode();
        if (c < 0x80) {
            if (c >= u'A' && c <= u'Z') {
                out.push_back(char16_t(c + 32));
            } else if (c >= u'{' && c <= 0x7F) {
                out.push_back(kSymbol);
                out.push_back(c);
            } else {
                out.push_back(c);
            }
        } else if (c < 0x250) {
            const auto& slot = latin.keys[c - 0x80];
            for (char16_t k = 0; k < slot[0]; ++k)
                out.push_back(slot[k + 1]);
        } else if (QChar::isHighSurrogate(c) && i + 1 < text.size() &&
                   text[i + 1].isLowSurrogate()) {
            appendWide(QChar::surrogateToUcs4(c, text[i + 1].unicode()), out);
            ++i;
        } else {
            appendWide(c, out);
        }
    }
}

QString key(QStringView text)
{
    std::vector<char16_t> out;
    out.reserve(static_cast<size_t>(text.size()));
    appendKey(text, out);
    return QString(reinterpret_cast<const QChar*>(out.data()), static_cast<qsizetype>(out.size()));
}

QString name()
{
    return QStringLiteral("fold-2");
}

QString afterAllLetters()
{
    return QString(QChar(kLast));
}

} // namespace zel::data::collation
