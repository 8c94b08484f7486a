#pragma once

#include "report/TRpBand.h"
#include "report/TRpPrintable.h"
#include "report/TRpReport.h"

#include <QCoreApplication>
#include <QString>
#include <type_traits>

namespace zel::data {
class Dataset;
}

// Building blocks shared by the data-sheet forms, which set every printable the same way:
// opaque on white, positions and sizes in native units.
namespace zel::report::form {

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

// A band of the records of dataset under each detail record; one without records is left out.
inline TRpSubDetail& subDetail(TRpReport& report, const char* name, data::Dataset* dataset,
                               double height)
{
    auto& sub = band<TRpSubDetail>(report, name, rbSubDetail, height);
    sub.dataset = dataset;
    return sub;
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

// How both sheets begin: A4 portrait with margins top 20 mm, bottom 10 mm, left 20 mm, right
// 10 mm, one column, Arial 10 pt, headers and footers on every page, a record of main each;
// and the page header band, ruled at its top, for the caller to fill.
inline TRpBand& sheet(TRpReport& report, data::Dataset* main, double headerHeight)
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
    report.frame = {};
    report.setDataset(main);
    auto& header = band<TRpBand>(report, "PageHeaderBand1", rbPageHeader, headerHeight);
    header.frame.drawTop = true;
    return header;
}

// How both sheets end: a page footer with the sheet's identification on the left, under the
// label name given, and the page number on the right.
inline TRpSysData& pageFooter(TRpReport& report, const char* identificationName)
{
    auto& footer = band<TRpBand>(report, "PageFooterBand1", rbPageFooter, 119);
    footer.frame.drawTop = true;
    auto& id = place<TRpLabel>(footer, identificationName, 0, 26, 1175, 40);
    id.caption = QCoreApplication::translate("zel::report::FormParts",
                                             "ZEL – aroma materials reference data sheet");
    id.font = arial(8);
    id.alignToBand = true;
    id.autoSize = true;
    auto& page = place<TRpSysData>(footer, "RpSysData1", 1699, 26, 103, 40);
    page.kind = rpsPageNumber;
    page.font = arial(8);
    page.alignment = taRightJustify;
    page.alignToBand = true;
    page.autoSize = true;
    return page;
}

} // namespace zel::report::form
