#include "report/TextMeasure.h"

namespace zel::report {

namespace {

QFont plainFont(const TextFont& font)
{
    QFont f(font.family);
    f.setBold(font.bold);
    f.setItalic(font.italic);
    f.setUnderline(font.underline);
    f.setStrikeOut(font.strikeOut);
    // Hinting would fit advances to the pixel grid of each size and device; kerning would
    // make a line's width differ from the sum of its characters that page images record.
    f.setHintingPreference(QFont::PreferNoHinting);
    f.setKerning(false);
    return f;
}

} // namespace

QFont TextMeasure::referenceFont(const TextFont& font)
{
    QFont f = plainFont(font);
    f.setPixelSize(font.pixelSize(ReferenceDpi));
    return f;
}

QFont TextMeasure::deviceFont(const TextFont& font)
{
    QFont f = plainFont(font);
    f.setPointSizeF(font.pixelSize(ReferenceDpi) * 72.0 / ReferenceDpi);
    return f;
}

TextMeasure::Entry& TextMeasure::entry(const TextFont& font)
{
    if (m_last && m_last->font == font)
        return *m_last;
    for (const auto& e : m_entries)
        if (e->font == font) {
            m_last = e.get();
            return *e;
        }
    const QFontMetricsF m(referenceFont(font));
    m_entries.push_back(std::make_unique<Entry>(
        Entry{font, m, toNative(m.size(0, QStringLiteral("W")).height()), {}}));
    m_last = m_entries.back().get();
    return *m_last;
}

double TextMeasure::width(const TextFont& font, const QString& text)
{
    if (text.isEmpty())
        return 0;
    Entry& e = entry(font);
    double pixels = 0;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        // A character outside the basic plane is measured whole, as page images place it.
        if (c.isHighSurrogate() && i + 1 < text.size() && text[i + 1].isLowSurrogate()) {
            pixels += e.metrics.horizontalAdvance(text.mid(i, 2));
            ++i;
            continue;
        }
        auto it = e.advances.constFind(c.unicode());
        if (it == e.advances.constEnd())
            it = e.advances.insert(c.unicode(), e.metrics.horizontalAdvance(QString(c)));
        pixels += *it;
    }
    return toNative(pixels);
}

double TextMeasure::lineHeight(const TextFont& font)
{
    return entry(font).lineHeight;
}

} // namespace zel::report
