#pragma once

#include "report/TRpBand.h"
#include "report/TRpPrintable.h"
#include "report/TRpReport.h"

#include <QString>
#include <type_traits>

namespace zel::data {
class Dataset;
}

// Building blocks shared by the data-sheet forms, which set every printable the same way:
// opaque on white, positions and sizes in native units.
namespace zel::report::form {

// Both sheets print the same one-line identification in their footers.
inline QString identification()
{
    return QStringLiteral("ZEL \u2013 aroma materials reference data sheet");
}

inline TextFont arial(double points, bool bold = false)
{
    TextFont f;
    f.family = QStringLiteral("Arial");
    f.pointSize = points;
    f.bold = bold;
    return f;
}

template <class P>
P& place(TRpBand& band, const char* name, double left, double top, double width, double height)
{
    auto& p = band.add<P>();
    p.name = QString::fromLatin1(name);
    p.left = left;
    p.top = top;
    p.width = width;
    p.height = height;
    return p;
}

inline TRpDBText& dbText(TRpBand& band, const char* name, data::Dataset* dataset, const char* field,
                         double left, double top, double width, double height)
{
    auto& t = place<TRpDBText>(band, name, left, top, width, height);
    t.dataset = dataset;
    t.fieldName = QString::fromLatin1(field);
    return t;
}

// The bold headings of a sheet: auto-sized, so the stored width never cuts them.
inline TRpLabel& heading(TRpBand& band, const char* name, const QString& caption, double left,
                         double top, double width, double height = 50)
{
    auto& l = place<TRpLabel>(band, name, left, top, width, height);
    l.caption = caption;
    l.font = arial(11, true);
    l.autoSize = true;
    return l;
}

template <class B> B& band(TRpReport& report, const char* name, TRpBandType type, double height)
{
    B* made = nullptr;
    if constexpr (std::is_same_v<B, TRpBand>)
        made = &report.addBand<B>(type);
    else
        made = &report.addBand<B>();
    B& b = *made;
    b.name = QString::fromLatin1(name);
    b.height = height;
    // Every band spans the sheet's stored printable width, which is a little wider than the
    // margins leave.
    b.width = 1802;
    return b;
}

// A horizontal rule whose pen stays 5 device pixels on any output.
inline TRpShape& rule(TRpBand& band, const char* name, double top)
{
    auto& s = place<TRpShape>(band, name, 0, top, 1802, 5);
    s.kind = rpsHorLine;
    s.pen.width = 5;
    s.alignToBand = true;
    return s;
}

// Page set-up common to both sheets: A4 portrait with margins top 20 mm, bottom 10 mm, left
// 20 mm, right 10 mm, one column, Arial 10 pt, headers and footers on every page.
inline void a4Sheet(TRpReport& report)
{
    report.pageSetup = {100, 2970, 200, 2100, 200, 100, 0};
    report.paperSize = QPageSize::A4;
    report.orientation = QPageLayout::Portrait;
    report.columns = 1;
    report.options = FirstPageHeader | LastPageFooter;
    report.printIfEmpty = false;
    report.font = arial(10);
    report.printerSettings = {};
    report.zoom = 100;
}

} // namespace zel::report::form
