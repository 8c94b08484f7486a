#include "common/LayoutDemo.h"

#include "data/engine/Dataset.h"

namespace zel::report {

namespace {

TRpDBText& field(TRpBand& band, data::Dataset* ds, const char* name, double left, double top,
                 double width)
{
    auto& t = band.add<TRpDBText>();
    t.dataset = ds;
    t.fieldName = QString::fromLatin1(name);
    t.left = left;
    t.top = top;
    t.width = width;
    t.height = 45;
    return t;
}

TRpLabel& label(TRpBand& band, const QString& caption, double left, double top, double pt)
{
    auto& l = band.add<TRpLabel>();
    l.caption = caption;
    l.left = left;
    l.top = top;
    l.width = 300;
    l.height = 61;
    l.autoSize = true;
    TextFont f;
    f.pointSize = pt;
    f.bold = true;
    l.font = f;
    return l;
}

} // namespace

std::unique_ptr<TRpReport> makeLayoutDemo(data::Dataset* materials, data::Dataset* synonyms)
{
    auto report = std::make_unique<TRpReport>();
    report->pageSetup = {100, 2970, 200, 2100, 200, 100, 0};
    report->options = FirstPageHeader | LastPageFooter;
    report->frame.drawTop = true;
    report->setDataset(materials);

    auto& header = report->addBand<TRpBand>(rbPageHeader);
    header.height = 160;
    header.frame.drawTop = true;
    label(header, QStringLiteral("AROMA MATERIALS"), 0, 40, 14);
    auto& first = field(header, materials, "name", 0, 40, 900);
    first.alignment = taRightJustify;
    first.alignToBand = true;
    first.autoSize = true;
    first.font = TextFont{QStringLiteral("Arial"), 12, false, true};
    first.height = 61;
    auto& rule = header.add<TRpShape>();
    rule.kind = rpsHorLine;
    rule.top = 120;
    rule.width = header.width;
    rule.height = 5;
    rule.pen.width = 5;

    auto& detail = report->addBand<TRpBand>(rbDetail);
    detail.height = 110;
    auto& name = field(detail, materials, "name", 0, 10, 900);
    name.font = TextFont{QStringLiteral("Arial"), 11, true};
    name.autoSize = true;
    auto& cas = field(detail, materials, "cas", 0, 10, 300);
    cas.alignment = taRightJustify;
    cas.alignToBand = true;
    cas.autoSize = true;
    auto& odour = field(detail, materials, "odour", 0, 60, 700);
    odour.autoStretch = true;
    auto& performance = field(detail, materials, "performance", 750, 60, 500);
    performance.autoStretch = true;
    auto& application = field(detail, materials, "application", 1300, 60, 500);
    application.autoStretch = true;
    application.frame.drawLeft = true;
    application.frame.colour = Qt::gray;

    if (synonyms) {
        auto& names = report->addBand<TRpSubDetail>();
        names.dataset = synonyms;
        names.height = 50;
        auto& synonym = field(names, synonyms, "name", 100, 0, 900);
        synonym.font = TextFont{QStringLiteral("Arial"), 9, false, true};
        auto& box = names.add<TRpShape>();
        box.kind = rpsCircle;
        box.left = 40;
        box.top = 12;
        box.width = box.height = 20;
        box.brush.colour = Qt::darkGray;
        box.pen.width = 1;
    }

    auto& footer = report->addBand<TRpBand>(rbPageFooter);
    footer.height = 119;
    footer.frame.drawTop = true;
    auto& id = footer.add<TRpLabel>();
    id.caption = QStringLiteral("ZEL aroma materials reference");
    id.top = 26;
    id.width = 1175;
    id.height = 40;
    id.autoSize = true;
    id.font = TextFont{QStringLiteral("Arial"), 8};
    auto& page = footer.add<TRpSysData>();
    page.kind = rpsPageNumber;
    page.top = 26;
    page.left = footer.width - 103;
    page.width = 103;
    page.height = 40;
    page.alignment = taRightJustify;
    page.alignToBand = true;
    page.autoSize = true;
    page.font = TextFont{QStringLiteral("Arial"), 8};
    page.onPrint = [](TRpPrintable&, QString& text) { text = QStringLiteral("Page ") + text; };
    return report;
}

} // namespace zel::report
