#include "report/TPrintCompare.h"

#include "model/Datasets.h"
#include "report/FormParts.h"
#include "report/LineBreaker.h"
#include "report/TRpError.h"
#include "report/TextMeasure.h"

#include <QCoreApplication>
#include <string>

namespace zel::report {

using namespace form;

namespace {

// The captions' column on the left; the materials share what is left of the width, each
// keeping a gap to the next.
constexpr double kLabelWidth = 500;
constexpr double kGap = 30;
constexpr double kLine = 45; // one line of 10 pt
// A text row: its caption and texts start this far below the row above.
constexpr double kRowTop = 30;
// Differing ratings stand on grey, besides being marked and set in bold, so that the rows
// are found at a glance and still on a copy without colour.
const QColor kDiffers(0xe0, 0xe0, 0xe0);

// Paper as it lies, native: A4 upright or turned sideways, margins as the data sheets have.
constexpr std::array<double, 7> kPortrait{100, 2970, 200, 2100, 200, 100, 0};
constexpr std::array<double, 7> kLandscape{100, 2100, 200, 2970, 200, 100, 0};

TRpLabel& text(TRpBand& band, const char* name, double left, double top, double width, bool stretch)
{
    auto& l = place<TRpLabel>(band, name, left, top, width, kLine);
    l.autoStretch = stretch;
    return l;
}

// The name of the printable or band of column or row n, counted from 1.
std::string numbered(const char* stem, int n)
{
    return stem + std::to_string(n);
}

} // namespace

TPrintCompare::TPrintCompare(data::Database* database)
    : TPrintForm(database, model::decls::comparison())
{
    TRpReport& r = m_report;
    auto& header = sheet(r, nullptr, 260);
    r.frame.drawTop = true;
    auto& title = text(header, "RpLabelTitle", 0, 30, 1000, false);
    title.caption =
        QCoreApplication::translate("zel::report::TPrintCompare", "MATERIAL COMPARISON");
    title.font = arial(14, true);
    title.height = 61;
    title.alignToBand = true;
    title.autoSize = true;
    auto& casCaption = text(header, "RpLabelCas", 0, 110, kLabelWidth - kGap, false);
    casCaption.caption = QStringLiteral("CAS");
    casCaption.font = arial(10, true);
    auto& nameCaption = text(header, "RpLabelMaterial", 0, 155, kLabelWidth - kGap, false);
    nameCaption.caption = QCoreApplication::translate("zel::report::TPrintCompare", "Material");
    nameCaption.font = arial(10, true);
    for (int k = 0; k < Columns; ++k) {
        m_cas[std::size_t(k)] = &text(header, numbered("RpCas", k + 1).c_str(), 0, 110, 0, false);
        m_cas[std::size_t(k)]->font = arial(10, true);
        // The whole names are in the first row; a page's head names the columns in one line.
        m_name[std::size_t(k)] = &text(header, numbered("RpName", k + 1).c_str(), 0, 155, 0, false);
    }
    m_rule = &rule(header, "RpShape1", 215);

    // Each part of the comparison is a band of its own, printed once, so that a page breaks
    // between any two of them. Chained as child bands they would move to a new page together
    // until all that follows fits on one, one medium a page at worst.
    const auto textBand = [&](TRpBand& b, Section section, const char* caption) {
        auto& c = text(b, "RpCaption", 0, kRowTop, kLabelWidth - kGap, true);
        c.caption = QString::fromLatin1(caption);
        c.font = arial(10, true);
        for (int k = 0; k < Columns; ++k)
            m_texts[section][std::size_t(k)] =
                &text(b, numbered("RpText", k + 1).c_str(), 0, kRowTop, 0, true);
    };
    const auto once = [&](const std::string& name, double height) -> TRpBand& {
        return subDetail(r, name.c_str(), nullptr, height);
    };
    textBand(band<TRpBand>(r, "DetailBand1", rbDetail, kRowTop + kLine), Names, "NAMES");
    textBand(once("RpSubDetailOdour", kRowTop + kLine), Odour, "ODOUR DESCRIPTION");
    textBand(once("RpSubDetailPerformance", kRowTop + kLine), Performance, "PERFORMANCE");
    textBand(once("RpSubDetailApplication", kRowTop + kLine), Application, "APPLICATION");

    auto& stability = once("RpSubDetailStability", 100);
    heading(stability, "RpLabelStability",
            QCoreApplication::translate("zel::report::TPrintCompare", "STABILITY RECORD"), 0, 50,
            400)
        .alignToBand = true;
    auto& legend = text(stability, "RpLabelLegend", kLabelWidth, 55, 1000, false);
    legend.caption = QStringLiteral("\u2260 marks the media in which the ratings differ");
    legend.autoSize = true;
    for (int i = 0; i < model::MediaCount; ++i) {
        MediumRow& row = m_media[std::size_t(i)];
        const std::string name = numbered("RpMedium", i + 1);
        if (i == 0) {
            // The heading never ends a page without a medium under it.
            auto& first = band<TRpChildBand>(r, name.c_str(), rbChild, kLine);
            first.parent = &stability;
            row.band = &first;
        } else {
            row.band = &once(name, kLine);
        }
        row.marker = &text(*row.band, "RpMarker", 0, 0, 40, false);
        row.label = &text(*row.band, "RpMedium", 50, 0, kLabelWidth - 50 - kGap, false);
        row.label->caption = model::mediumLabel(i + 1);
        for (int k = 0; k < Columns; ++k)
            row.ratings[std::size_t(k)] =
                &text(*row.band, numbered("RpRating", k + 1).c_str(), 0, 0, 0, false);
    }
    textBand(once("RpSubDetailNames", kRowTop + kLine), CommercialNames, "COMMERCIAL NAMES");

    pageFooter(r, "RpLabel1");
}

void TPrintCompare::arrange(int count)
{
    TRpReport& r = m_report;
    const bool portrait = count <= PortraitMaterials;
    r.pageSetup = portrait ? kPortrait : kLandscape;
    r.orientation = portrait ? QPageLayout::Portrait : QPageLayout::Landscape;
    // A little wider than the margins leave, as on the data sheets.
    const double width = r.printableWidth() + 2;
    for (const auto& b : r.bands())
        b->width = width;
    m_rule->width = width;
    const double column = (width - kLabelWidth) / count;
    const auto put = [&](TRpLabel* l, int k) {
        l->enabled = k < count;
        l->left = kLabelWidth + k * column;
        l->width = column - kGap;
    };
    for (int k = 0; k < Columns; ++k) {
        put(m_cas[std::size_t(k)], k);
        put(m_name[std::size_t(k)], k);
        for (auto& section : m_texts)
            put(section[std::size_t(k)], k);
        for (MediumRow& row : m_media)
            put(row.ratings[std::size_t(k)], k);
    }
}

void TPrintCompare::fill(const model::Comparison& comparison)
{
    TextMeasure measure;
    for (int k = 0; k < comparison.count(); ++k) {
        const model::ComparedMaterial& m = comparison.at(k);
        const std::size_t c = std::size_t(k);
        m_cas[c]->caption = m.cas;
        m_name[c]->caption = m.name;
        const QString texts[SectionCount] = {m.names(), m.odour, m.performance, m.application,
                                             m.commercialNamesText()};
        for (int s = 0; s < SectionCount; ++s) {
            TRpLabel* l = m_texts[std::size_t(s)][c];
            l->caption = LineBreaker::breakLongWords(
                LineBreaker::storedLines(texts[s]), l->width,
                [&](const QString& t) { return measure.width(m_report.font, t); });
        }
        for (int i = 1; i <= model::MediaCount; ++i)
            m_media[std::size_t(i - 1)].ratings[c]->caption = m.rating(i);
    }
    for (int i = 1; i <= model::MediaCount; ++i) {
        MediumRow& row = m_media[std::size_t(i - 1)];
        const bool differs = comparison.differs(i);
        row.band->colour = differs ? kDiffers : QColor(Qt::white);
        row.marker->caption = differs ? QStringLiteral("\u2260") : QString();
        const auto mark = [&](TRpLabel* l) {
            l->font = arial(10, differs);
            l->backgroundColour = row.band->colour;
        };
        mark(row.marker);
        mark(row.label);
        for (TRpLabel* l : row.ratings)
            mark(l);
    }
}

model::Comparison TPrintCompare::read(const QStringList& cas, QStringList* missing)
{
    model::ComparisonReader reader(*m_datasets);
    model::Comparison comparison;
    try {
        comparison = reader.readAll(cas, missing);
    } catch (...) {
        reader.close();
        throw;
    }
    reader.close();
    return comparison;
}

void TPrintCompare::run(const model::Comparison& comparison, TRpPrinter& printer)
{
    if (!comparison.printable())
        throw TRpError(QStringLiteral("A comparison needs at least two materials"));
    arrange(comparison.count());
    fill(comparison);
    m_report.run(printer);
}

} // namespace zel::report
