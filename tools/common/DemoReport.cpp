#include "common/DemoReport.h"

#include "report/TRpPageList.h"
#include "report/emf/EmfWriter.h"

#include <QFontMetricsF>
#include <QStringList>
#include <cmath>

namespace zel::report {

namespace {

struct Material
{
    const char* cas;
    const char* name;
    const char* odour;
};

constexpr Material Materials[] = {
    {"78-70-6", "Linalool", "floral, fresh, woody, with a citrus note"},
    {"106-24-1", "Geraniol", "rosy, sweet, slightly waxy"},
    {"106-22-9", "Citronellol", "rose, fresh, green"},
    {"121-33-5", "Vanillin", "sweet, creamy, like cr\u00e8me br\u00fbl\u00e9e"},
    {"91-64-5", "Coumarin", "sweet, hay, tonka bean"},
    {"97-53-0", "Eugenol", "spicy, clove, warm"},
    {"5989-27-5", "d-Limonene", "orange peel, fresh, citrus"},
    {"140-11-4", "Benzyl acetate", "jasmine, fruity, pear"},
    {"60-12-8", "Phenylethyl alcohol", "rose petals, honey"},
    {"104-55-2", "Cinnamaldehyde", "cinnamon, spicy, sweet"},
    {"134-20-3", "Methyl anthranilate", "grape, orange blossom"},
    {"120-57-0", "Piperonal", "heliotrope, powdery, almond"},
    {"121-32-4", "Ethyl vanillin", "intensely sweet, vanilla"},
    {"89-78-1", "Menthol", "cooling, minty"},
    {"104-46-1", "Anethole", "anise, liquorice"},
    {"100-52-7", "Benzaldehyde", "bitter almond, cherry"},
    {"104-67-6", "gamma-Undecalactone", "peach, creamy, fruity"},
    {"928-96-1", "cis-3-Hexenol", "cut grass, green leaves"},
    {"127-41-3", "alpha-Ionone", "violet, woody, powdery"},
    {"79-77-6", "beta-Ionone", "violet, raspberry, woody"},
};
constexpr int MaterialCount = int(std::size(Materials));

const char* const Media[] = {"pH 1", "pH 3",    "pH 5",  "pH 7", "pH 9",   "pH 11",
                             "Soap", "Shampoo", "Cream", "Deo",  "Bleach", "Powder"};
const char* const Ratings[] = {"-", "+", "++"};

// Device pixels at 96 per inch from tenths of a millimetre, as the report engine rounds them.
int px(double tenthsMm)
{
    return int(std::lround(tenthsMm * emf::EmfWriter::Dpi / 254.0));
}

QFontMetricsF metricsOf(const TextFont& font)
{
    QFont f(font.family);
    f.setPixelSize(font.pixelSize(emf::EmfWriter::Dpi));
    f.setBold(font.bold);
    f.setItalic(font.italic);
    return QFontMetricsF(f);
}

TextFont font(double points, bool bold = false, bool italic = false, QColor colour = Qt::black)
{
    TextFont f;
    f.pointSize = points;
    f.bold = bold;
    f.italic = italic;
    f.colour = colour;
    return f;
}

// Greedy word wrap, enough for a demonstration paragraph.
QStringList wrap(const QString& text, const TextFont& f, int width)
{
    const QFontMetricsF m = metricsOf(f);
    QStringList lines;
    QString line;
    for (const QString& word : text.split(QLatin1Char(' '))) {
        const QString candidate = line.isEmpty() ? word : line + QLatin1Char(' ') + word;
        if (!line.isEmpty() && m.horizontalAdvance(candidate) > width) {
            lines << line;
            line = word;
        } else {
            line = candidate;
        }
    }
    if (!line.isEmpty())
        lines << line;
    return lines;
}

void rightAligned(Canvas& c, int right, int top, const QString& text, const TextFont& f)
{
    const int w = int(std::ceil(metricsOf(f).horizontalAdvance(text)));
    c.drawText(QPoint(right - w, top), text, f, QRect(right - w, top, w, 40));
}

} // namespace

emf::EmfImage makeDemoPage(int page, int pageCount, QPageLayout::Orientation orientation)
{
    const bool portrait = orientation == QPageLayout::Portrait;
    const QSize paper(px(portrait ? 2100 : 2970), px(portrait ? 2970 : 2100));
    emf::EmfWriter c(paper);

    const int margin = px(200);
    const QRect content(margin, margin, paper.width() - 2 * margin, paper.height() - 2 * margin);
    const int left = content.left();
    const int right = left + content.width();
    int y = content.top();

    // Page header.
    const QRect band(left, y, content.width(), 40);
    c.fillRect(band, QColor(226, 234, 246));
    c.drawText(QPoint(left + 8, y + 9), QStringLiteral("Aroma materials \u2013 demonstration"),
               font(14, true, false, QColor(20, 40, 110)), band);
    rightAligned(c, right - 8, y + 12, QStringLiteral("Page %1 of %2").arg(page).arg(pageCount),
                 font(10));
    y += band.height();
    c.drawLine(QPoint(left, y), QPoint(right, y), Pen{QColor(20, 40, 110), 2});
    y += 14;

    TextFont heading = font(11, true);
    heading.underline = true;
    c.drawText(QPoint(left, y), QStringLiteral("Materials"), heading, {});
    y += 24;

    // A table with a grid: CAS number, name, odour.
    const int rowHeight = 20;
    const int rows = portrait ? 20 : 8;
    const int widths[] = {110, 190, content.width() - 300};
    const char* const titles[] = {"CAS", "Name", "Odour"};
    const Pen grid{QColor(150, 150, 150), 1};
    for (int row = -1; row < rows; ++row) {
        const bool title = row < 0;
        const Material& m = Materials[(row + (page - 1) * 7 + MaterialCount) % MaterialCount];
        const QColor fill =
            title ? QColor(200, 200, 200) : (row % 2 ? QColor(246, 246, 240) : QColor(Qt::white));
        c.fillRect(QRect(left, y, content.width(), rowHeight), fill);
        int x = left;
        for (int col = 0; col < 3; ++col) {
            const QRect cell(x, y, widths[col], rowHeight);
            const char* text = title ? titles[col] : col == 0 ? m.cas : col == 1 ? m.name : m.odour;
            c.drawText(QPoint(x + 4, y + 3), QString::fromUtf8(text), font(9, title),
                       cell.adjusted(2, 1, -2, -1));
            c.drawFrame(cell, grid);
            x += widths[col];
        }
        y += rowHeight;
    }
    y += 16;

    // A wrapped paragraph in a frame, and text cut off by its clipping rectangle.
    const TextFont body = font(10, false, true, QColor(60, 60, 60));
    const QString paragraph = QStringLiteral(
        "Each page of a report is kept as a page image and played back onto the screen, the "
        "printer or a PDF file. This paragraph is wrapped by the demonstration code; the line "
        "below is longer than its box and is cut off at the box's right edge by clipping.");
    const QStringList lines = wrap(paragraph, body, content.width() - 16);
    const int lineHeight = int(std::ceil(metricsOf(body).height()));
    const QRect box(left, y, content.width(), int(lines.size()) * lineHeight + 12);
    c.drawFrame(box, Pen{Qt::black, 1});
    for (qsizetype i = 0; i < lines.size(); ++i)
        c.drawText(QPoint(left + 8, y + 6 + int(i) * lineHeight), lines[i], body, box);
    y += box.height() + 10;
    const QRect clipBox(left, y, content.width() / 2, 22);
    c.fillRect(clipBox, QColor(255, 250, 220));
    c.drawFrame(clipBox, Pen{QColor(200, 120, 0), 1});
    c.drawText(QPoint(left + 4, y + 3),
               QStringLiteral("Clipped: this sentence runs on well past the right edge of its "
                              "box and must stop exactly there."),
               font(10), clipBox.adjusted(1, 1, -1, -1));
    y += clipBox.height() + 16;

    // Stability ratings: coloured cells with centred marks.
    c.drawText(QPoint(left, y), QStringLiteral("Stability"), heading, {});
    y += 24;
    const int cellWidth = content.width() / int(std::size(Media));
    for (int i = 0; i < int(std::size(Media)); ++i) {
        const int rating = (i * 7 + page) % 3;
        const QColor colours[] = {QColor(240, 170, 170), QColor(250, 220, 150),
                                  QColor(170, 220, 170)};
        const QRect label(left + i * cellWidth, y, cellWidth, 18);
        const QRect mark(left + i * cellWidth, y + 18, cellWidth, 22);
        c.drawRectangle(label, grid, Brush{QColor(235, 235, 235)});
        c.drawRectangle(mark, grid, Brush{colours[rating]});
        const TextFont small = font(8);
        const QString name = QString::fromLatin1(Media[i]);
        const int w = int(std::ceil(metricsOf(small).horizontalAdvance(name)));
        c.drawText(QPoint(label.left() + (cellWidth - w) / 2, y + 2), name, small, label);
        const QString r = QString::fromLatin1(Ratings[rating]);
        const TextFont strong = font(11, true);
        const int rw = int(std::ceil(metricsOf(strong).horizontalAdvance(r)));
        c.drawText(QPoint(mark.left() + (cellWidth - rw) / 2, y + 20), r, strong, mark);
    }
    y += 40 + 20;

    // Shapes: every pen and brush kind the report's shapes use.
    const int shapeTop = y;
    c.drawEllipse(QRect(left, shapeTop, 120, 80), Pen{Qt::black, 2}, Brush{QColor(250, 200, 60)});
    c.drawEllipse(QRect(left + 140, shapeTop, 80, 80), Pen{QColor(0, 90, 160), 1},
                  Brush{QColor(0, 90, 160), Brush::Style::Cross});
    c.drawRectangle(QRect(left + 240, shapeTop, 120, 80), Pen{QColor(140, 0, 0), 3},
                    Brush{QColor(140, 0, 0), Brush::Style::BDiagonal});
    c.drawRectangle(QRect(left + 380, shapeTop, 100, 80), Pen{Qt::black, 1}, Brush::clear());
    const int lx = left + 500;
    c.drawLine(QPoint(lx, shapeTop + 10), QPoint(right, shapeTop + 10),
               Pen{Qt::black, 1, Pen::Style::Dash});
    c.drawLine(QPoint(lx, shapeTop + 40), QPoint(right, shapeTop + 40),
               Pen{QColor(0, 120, 0), 1, Pen::Style::Dot});
    c.drawLine(QPoint(lx, shapeTop + 70), QPoint(right, shapeTop + 70), Pen{QColor(0, 0, 160), 4});

    // Page footer and the page frame.
    const int footer = content.bottom() - 22;
    c.drawLine(QPoint(left, footer), QPoint(right, footer), Pen{Qt::black, 1});
    c.drawText(QPoint(left + 4, footer + 4), QStringLiteral("ZEL demonstration report"),
               font(8, false, true), {});
    rightAligned(c, right - 4, footer + 4, QStringLiteral("%1/%2").arg(page).arg(pageCount),
                 font(8));
    c.drawFrame(content, Pen{Qt::black, 1});
    return c.finish();
}

void makeDemoReport(const QString& path, int pageCount, bool compressed,
                    QPageLayout::Orientation orientation)
{
    TRpPageList pages(compressed);
    for (int page = 1; page <= pageCount; ++page)
        pages.addPage(makeDemoPage(page, pageCount, orientation));
    pages.finish();
    pages.save(path);
}

} // namespace zel::report
