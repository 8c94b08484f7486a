#pragma once

#include <QPageLayout>
#include <QSizeF>
#include <optional>

namespace zel::report {

// The printer paper sizes a saved report can ask for: the paper-size codes 1 to 26 of the
// printer settings, and which of them a page of a given size is printed on.
class PaperSize
{
public:
    static constexpr int FirstCode = 1;
    static constexpr int LastCode = 26;

    struct Match
    {
        int code;
        QPageLayout::Orientation orientation;
        bool operator==(const Match&) const = default;
    };

    // Width and length of paper code (1 to 26) in tenths of a millimetre, portrait.
    static QSizeF tenthsMm(int code);
    static QString name(int code);

    // The paper for a page of this width and length (tenths of a millimetre). Sizes are
    // compared in whole units of 4 mm, cut off rather than rounded, so a page a little wider
    // or narrower than its paper still finds it. When several codes fit, the highest wins; a
    // page that fits the paper turned sideways gets landscape orientation.
    static std::optional<Match> recognise(const QSizeF& pageTenthsMm);
};

} // namespace zel::report
