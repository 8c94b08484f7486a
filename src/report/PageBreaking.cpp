#include "report/PageBreaking.h"

#include <algorithm>

namespace zel::report {

namespace {
// Lengths add up in floating point; a line that ends exactly on an edge still fits.
constexpr double Tolerance = 1e-9;
} // namespace

LineFit LineFit::next(const TextBox& box, int line, double grown, double bandExtra,
                      double footerTop)
{
    const double y0 = box.bandTop + box.top;
    const double bottom = y0 + line * box.lineHeight + box.lineHeight;
    if (bottom <= y0 + box.height + grown + Tolerance)
        return {Fits, bandExtra};
    if (!box.autoStretch || box.inFooter)
        return {Stops, bandExtra};
    const double wanted =
        std::max(bandExtra, box.top + box.height + grown + box.lineHeight - box.bandHeight);
    if (box.bandTop + box.bandHeight + wanted > footerTop + Tolerance)
        return {Stops, bandExtra};
    return {Grows, wanted};
}

} // namespace zel::report
