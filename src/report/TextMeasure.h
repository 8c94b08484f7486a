#pragma once

#include "report/Canvas.h"

#include <QFont>
#include <QFontMetricsF>
#include <QHash>
#include <memory>
#include <vector>

namespace zel::report {

// Text measured once for every device. The report engine breaks lines and pages by these
// figures whether the pages become page images, a PDF file or a printer's pages, so every
// output breaks at exactly the same places.
//
// The reference is the font as page images record it: its em size in whole pixels at 96 per
// inch, unhinted and without kerning. Such advances are the font's design advances scaled to
// that size, so they do not depend on the screen, the platform plugin or the font
// configuration's hinting. A text is as wide as the sum of its characters, because a page
// image places every character by itself. Lengths come back in native units (tenths of a
// millimetre).
class TextMeasure
{
public:
    static constexpr double ReferenceDpi = 96.0;

    // The font every length is measured with: the reference size in pixels.
    static QFont referenceFont(const TextFont& font);
    // The same font for drawing on any device: the reference em size in points, so a painter
    // sizes it for its own device's resolution.
    static QFont deviceFont(const TextFont& font);

    // Advance of text in native units.
    double width(const TextFont& font, const QString& text);
    // Height of one printed line (the height of "W"), native units.
    double lineHeight(const TextFont& font);

    // Reference pixels and native units.
    static double toNative(double referencePixels)
    {
        return referencePixels * 254.0 / ReferenceDpi;
    }
    static double toReference(double native) { return native * ReferenceDpi / 254.0; }

private:
    struct Entry
    {
        TextFont font;
        QFontMetricsF metrics;
        double lineHeight;
        QHash<char16_t, double> advances; // reference pixels
    };
    Entry& entry(const TextFont& font);

    std::vector<std::unique_ptr<Entry>> m_entries;
    Entry* m_last = nullptr;
};

} // namespace zel::report
