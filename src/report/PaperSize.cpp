#include "report/PaperSize.h"

#include <QString>
#include <cmath>

namespace zel::report {

namespace {

struct Paper
{
    const char* name;
    double width; // tenths of a millimetre, portrait
    double length;
};

// Codes 1 to 26 in order. Inch sizes are converted and rounded to a tenth of a millimetre.
// The three sheet sizes at the end are listed as 100 x 100 mm, as the printer settings the
// saved files come from have them.
constexpr Paper Papers[] = {
    {"Letter", 2159, 2794},       {"Letter Small", 2159, 2794}, {"Tabloid", 2794, 4318},
    {"Ledger", 4318, 2794},       {"Legal", 2159, 3556},        {"Statement", 1397, 2159},
    {"Executive", 1842, 2667},    {"A3", 2970, 4200},           {"A4", 2100, 2970},
    {"A4 Small", 2100, 2970},     {"A5", 1480, 2100},           {"B4", 2500, 3540},
    {"B5", 1820, 2570},           {"Folio", 2159, 3302},        {"Quarto", 2150, 2750},
    {"10x14", 2540, 3556},        {"11x17", 2794, 4318},        {"Note", 2159, 2794},
    {"Envelope #9", 984, 2254},   {"Envelope #10", 1048, 2413}, {"Envelope #11", 1143, 2635},
    {"Envelope #12", 1207, 2794}, {"Envelope #14", 1270, 2921}, {"C size sheet", 1000, 1000},
    {"D size sheet", 1000, 1000}, {"E size sheet", 1000, 1000},
};
static_assert(std::size(Papers) == PaperSize::LastCode);

// Whole units of 4 mm, cut off.
long units(double tenthsMm)
{
    return long(std::trunc(tenthsMm / 40.0));
}

} // namespace

QSizeF PaperSize::tenthsMm(int code)
{
    if (code < FirstCode || code > LastCode)
        return {};
    const Paper& p = Papers[code - FirstCode];
    return {p.width, p.length};
}

QString PaperSize::name(int code)
{
    if (code < FirstCode || code > LastCode)
        return {};
    return QString::fromLatin1(Papers[code - FirstCode].name);
}

std::optional<PaperSize::Match> PaperSize::recognise(const QSizeF& pageTenthsMm)
{
    const long w = units(pageTenthsMm.width());
    const long l = units(pageTenthsMm.height());
    std::optional<Match> match;
    for (int code = FirstCode; code <= LastCode; ++code) {
        const Paper& p = Papers[code - FirstCode];
        const long pw = units(p.width);
        const long pl = units(p.length);
        // Later matches replace earlier ones, and for one code the sideways check comes second.
        if (w == pw && l == pl)
            match = Match{code, QPageLayout::Portrait};
        if (w == pl && l == pw)
            match = Match{code, QPageLayout::Landscape};
    }
    return match;
}

} // namespace zel::report
