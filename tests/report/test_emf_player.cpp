// The player on records made for the purpose: each case draws something whose place, colour
// or absence says whether a record was understood.

#include "EmfBuilder.h"
#include "report/emf/EmfError.h"
#include "report/emf/EmfFormat.h"
#include "report/emf/EmfImage.h"

#include <QFont>
#include <QImage>
#include <QRawFont>
#include <array>
#include <cmath>
#include <cstring>
#include <functional>
#include <gtest/gtest.h>
#include <numbers>

using namespace zel::report::emf;
using zel::test::darkPixels;
using zel::test::EmfBuilder;
using zel::test::played;
using zel::test::words;

namespace {

qint32 f(float v)
{
    qint32 bits;
    std::memcpy(&bits, &v, 4);
    return bits;
}

// A 16-bit point as one word.
qint32 pt16(int x, int y)
{
    return qint32((quint32(quint16(y)) << 16) | quint16(x));
}

const QColor Black(Qt::black);
const QColor White(Qt::white);

// A black area without an outline.
void blackFill(EmfBuilder& b)
{
    b.record(EMR_SELECTOBJECT, {qint32(STOCK_OBJECT | BLACK_BRUSH)});
    b.record(EMR_SELECTOBJECT, {qint32(STOCK_OBJECT | NULL_PEN)});
}

// --- Mapping: every way of saying "the device rectangle 40,20 to 80,60" ---

struct Mapping
{
    const char* name;
    std::function<void(EmfBuilder&)> setUp;
    QRect logical; // left, top, right, bottom as the record holds them
};

class Mappings : public testing::TestWithParam<Mapping>
{
};

TEST_P(Mappings, PutTheRectangleInPlace)
{
    EmfBuilder b;
    blackFill(b);
    GetParam().setUp(b);
    const QRect r = GetParam().logical;
    b.record(EMR_RECTANGLE, {r.left(), r.top(), r.width(), r.height()});
    const QImage out = played(b.image());
    EXPECT_EQ(out.pixelColor(60, 40), Black) << "inside";
    EXPECT_EQ(out.pixelColor(44, 24), Black) << "near the top left corner";
    EXPECT_EQ(out.pixelColor(76, 56), Black) << "near the bottom right corner";
    for (const QPoint p : {QPoint(35, 40), QPoint(85, 40), QPoint(60, 15), QPoint(60, 65)})
        EXPECT_EQ(out.pixelColor(p), White) << "outside at " << p.x() << "," << p.y();
}

// QRect(l, t, r, b) below stands for the record's four numbers, not a width and height.
INSTANTIATE_TEST_SUITE_P(
    Player, Mappings,
    testing::Values(
        Mapping{"Text", [](EmfBuilder&) {}, QRect(40, 20, 80, 60)},
        Mapping{"Origins",
                [](EmfBuilder& b) {
                    b.record(EMR_SETWINDOWORGEX, {10, 10});
                    b.record(EMR_SETVIEWPORTORGEX, {0, 0});
                },
                QRect(50, 30, 90, 70)},
        // 4 pixels a millimetre; the metric and English modes count upwards.
        Mapping{"LoMetric", [](EmfBuilder& b) { b.record(EMR_SETMAPMODE, {MM_LOMETRIC}); },
                QRect(100, -50, 200, -150)},
        Mapping{"HiMetric", [](EmfBuilder& b) { b.record(EMR_SETMAPMODE, {MM_HIMETRIC}); },
                QRect(1000, -500, 2000, -1500)},
        Mapping{"LoEnglish", [](EmfBuilder& b) { b.record(EMR_SETMAPMODE, {MM_LOENGLISH}); },
                QRect(39, -20, 79, -59)},
        Mapping{"HiEnglish", [](EmfBuilder& b) { b.record(EMR_SETMAPMODE, {MM_HIENGLISH}); },
                QRect(394, -197, 787, -591)},
        Mapping{"Twips", [](EmfBuilder& b) { b.record(EMR_SETMAPMODE, {MM_TWIPS}); },
                QRect(567, -283, 1134, -850)},
        Mapping{"Isotropic",
                [](EmfBuilder& b) {
                    b.record(EMR_SETMAPMODE, {MM_ISOTROPIC});
                    b.record(EMR_SETWINDOWEXTEX, {1000, 1000});
                    b.record(EMR_SETVIEWPORTEXTEX, {200, 100}); // the smaller scale wins
                },
                QRect(400, 200, 800, 600)},
        Mapping{"Anisotropic",
                [](EmfBuilder& b) {
                    b.record(EMR_SETMAPMODE, {MM_ANISOTROPIC});
                    b.record(EMR_SETWINDOWEXTEX, {1000, 1000});
                    b.record(EMR_SETVIEWPORTEXTEX, {200, 100});
                },
                QRect(200, 200, 400, 600)},
        Mapping{"AnisotropicUpwards",
                [](EmfBuilder& b) {
                    b.record(EMR_SETMAPMODE, {MM_ANISOTROPIC});
                    b.record(EMR_SETWINDOWEXTEX, {1000, -1000});
                    b.record(EMR_SETWINDOWORGEX, {0, 1000});
                    b.record(EMR_SETVIEWPORTEXTEX, {200, 100});
                },
                QRect(200, 800, 400, 400)},
        Mapping{"ExtentsIgnoredInTextMode",
                [](EmfBuilder& b) {
                    b.record(EMR_SETWINDOWEXTEX, {1000, 1000});
                    b.record(EMR_SETVIEWPORTEXTEX, {5, 5});
                },
                QRect(40, 20, 80, 60)},
        Mapping{"ScaledViewport",
                [](EmfBuilder& b) {
                    b.record(EMR_SETMAPMODE, {MM_ANISOTROPIC});
                    b.record(EMR_SCALEVIEWPORTEXTEX, {4, 1, 2, 1});
                },
                QRect(10, 10, 20, 30)},
        Mapping{"WorldTransform",
                [](EmfBuilder& b) {
                    b.record(EMR_SETWORLDTRANSFORM, {f(2), 0, 0, f(2), f(20), f(10)});
                },
                QRect(10, 5, 30, 25)},
        Mapping{"LeftMultiplied",
                [](EmfBuilder& b) {
                    // The new transform applies first: scale, then the translation in force.
                    b.record(EMR_SETWORLDTRANSFORM, {f(1), 0, 0, f(1), f(20), f(10)});
                    b.record(EMR_MODIFYWORLDTRANSFORM, {f(2), 0, 0, f(2), 0, 0, MWT_LEFTMULTIPLY});
                },
                QRect(10, 5, 30, 25)},
        Mapping{"RightMultiplied",
                [](EmfBuilder& b) {
                    b.record(EMR_SETWORLDTRANSFORM, {f(2), 0, 0, f(2), 0, 0});
                    b.record(EMR_MODIFYWORLDTRANSFORM,
                             {f(1), 0, 0, f(1), f(20), f(10), MWT_RIGHTMULTIPLY});
                },
                QRect(10, 5, 30, 25)},
        Mapping{"IdentityAgain",
                [](EmfBuilder& b) {
                    b.record(EMR_SETWORLDTRANSFORM, {f(3), 0, 0, f(3), f(7), f(7)});
                    b.record(EMR_MODIFYWORLDTRANSFORM, {0, 0, 0, 0, 0, 0, MWT_IDENTITY});
                },
                QRect(40, 20, 80, 60)},
        Mapping{"SingularTransformRefused",
                [](EmfBuilder& b) {
                    b.record(EMR_SETWORLDTRANSFORM, {0, 0, 0, 0, 0, 0});
                },
                QRect(40, 20, 80, 60)},
        Mapping{"RestoredTwoLevelsUp",
                [](EmfBuilder& b) {
                    b.record(EMR_SAVEDC, {});
                    b.record(EMR_SETWINDOWORGEX, {-100, 0});
                    b.record(EMR_SAVEDC, {});
                    b.record(EMR_SETWINDOWORGEX, {-50, 0});
                    b.record(EMR_RESTOREDC, {-2});
                },
                QRect(40, 20, 80, 60)},
        Mapping{"RestoredByNumber",
                [](EmfBuilder& b) {
                    b.record(EMR_SETWINDOWORGEX, {10, 10});
                    b.record(EMR_SAVEDC, {});
                    b.record(EMR_SETWINDOWORGEX, {-50, 0});
                    b.record(EMR_SAVEDC, {});
                    b.record(EMR_RESTOREDC, {1});
                },
                QRect(50, 30, 90, 70)},
        Mapping{"RestoreBeyondTheSavedStatesIgnored",
                [](EmfBuilder& b) {
                    b.record(EMR_SAVEDC, {});
                    b.record(EMR_SETWINDOWORGEX, {10, 10});
                    b.record(EMR_RESTOREDC, {-5});
                },
                QRect(50, 30, 90, 70)}),
    [](const testing::TestParamInfo<Mapping>& p) { return std::string(p.param.name); });

// --- Clipping ---

struct Clipping
{
    const char* name;
    std::function<void(EmfBuilder&)> setUp;
    std::vector<QPoint> black;
    std::vector<QPoint> white;
};

class Clippings : public testing::TestWithParam<Clipping>
{
};

QByteArray region(std::initializer_list<QRect> rects)
{
    QByteArray r = words({32, 1, qint32(rects.size()), qint32(rects.size() * 16), 0, 0, 200, 100});
    for (const QRect& rect : rects)
        r += words({rect.left(), rect.top(), rect.right() + 1, rect.bottom() + 1});
    return r;
}

QByteArray selectRegion(quint32 mode, std::initializer_list<QRect> rects)
{
    const QByteArray data = region(rects);
    return words({qint32(data.size()), qint32(mode)}) + data;
}

TEST_P(Clippings, LimitWhatIsDrawn)
{
    EmfBuilder b;
    blackFill(b);
    GetParam().setUp(b);
    b.record(EMR_RECTANGLE, {0, 0, 200, 100}); // the whole page, through the clip
    const QImage out = played(b.image());
    for (const QPoint p : GetParam().black)
        EXPECT_EQ(out.pixelColor(p), Black) << "drawn at " << p.x() << "," << p.y();
    for (const QPoint p : GetParam().white)
        EXPECT_EQ(out.pixelColor(p), White) << "clipped at " << p.x() << "," << p.y();
}

INSTANTIATE_TEST_SUITE_P(
    Player, Clippings,
    testing::Values(Clipping{"Intersect",
                             [](EmfBuilder& b) {
                                 b.record(EMR_INTERSECTCLIPRECT, {20, 20, 60, 60});
                             },
                             {{30, 30}},
                             {{10, 30}, {70, 30}, {30, 70}}},
                    Clipping{"IntersectTwice",
                             [](EmfBuilder& b) {
                                 b.record(EMR_INTERSECTCLIPRECT, {20, 20, 60, 60});
                                 b.record(EMR_INTERSECTCLIPRECT, {40, 0, 200, 100});
                             },
                             {{50, 30}},
                             {{30, 30}, {70, 30}}},
                    Clipping{"Exclude",
                             [](EmfBuilder& b) {
                                 b.record(EMR_EXCLUDECLIPRECT, {20, 20, 60, 60});
                             },
                             {{10, 10}, {100, 50}},
                             {{30, 30}}},
                    Clipping{"RegionOfTwoRectangles",
                             [](EmfBuilder& b) {
                                 b.record(EMR_EXTSELECTCLIPRGN,
                                          selectRegion(RGN_COPY, {QRect(10, 10, 20, 20),
                                                                  QRect(100, 50, 20, 20)}));
                             },
                             {{15, 15}, {110, 60}},
                             {{60, 40}, {5, 5}}},
                    Clipping{"RegionTakenAway",
                             [](EmfBuilder& b) {
                                 b.record(EMR_INTERSECTCLIPRECT, {20, 20, 60, 60});
                                 b.record(EMR_EXTSELECTCLIPRGN, {0, RGN_COPY});
                             },
                             {{10, 10}, {150, 80}},
                             {}},
                    Clipping{"RegionSubtracted",
                             [](EmfBuilder& b) {
                                 b.record(EMR_EXTSELECTCLIPRGN,
                                          selectRegion(RGN_DIFF, {QRect(0, 0, 100, 100)}));
                             },
                             {{150, 50}},
                             {{50, 50}}},
                    Clipping{"RegionCombinedWithOr",
                             [](EmfBuilder& b) {
                                 b.record(EMR_INTERSECTCLIPRECT, {0, 0, 20, 20});
                                 b.record(EMR_EXTSELECTCLIPRGN,
                                          selectRegion(RGN_OR, {QRect(100, 50, 20, 20)}));
                             },
                             {{10, 10}, {110, 60}},
                             {{60, 40}}},
                    Clipping{"RestoredWithTheState",
                             [](EmfBuilder& b) {
                                 b.record(EMR_SAVEDC, {});
                                 b.record(EMR_INTERSECTCLIPRECT, {20, 20, 60, 60});
                                 b.record(EMR_RESTOREDC, {-1});
                             },
                             {{10, 10}, {150, 80}},
                             {}},
                    Clipping{"MetaRegionStaysWhenTheClipGoes",
                             [](EmfBuilder& b) {
                                 b.record(EMR_INTERSECTCLIPRECT, {0, 0, 100, 100});
                                 b.record(EMR_SETMETARGN, {});
                                 b.record(EMR_EXTSELECTCLIPRGN, {0, RGN_COPY});
                             },
                             {{50, 50}},
                             {{150, 50}}},
                    Clipping{"ClipRectangleInLogicalUnits",
                             [](EmfBuilder& b) {
                                 b.record(EMR_SETWINDOWORGEX, {100, 0});
                                 b.record(EMR_INTERSECTCLIPRECT, {100, 0, 140, 100});
                                 b.record(EMR_SETWINDOWORGEX, {0, 0});
                             },
                             {{20, 50}},
                             {{60, 50}, {120, 50}}},
                    Clipping{"PathSelectedAsClip",
                             [](EmfBuilder& b) {
                                 b.record(EMR_BEGINPATH, {});
                                 b.record(EMR_ELLIPSE, {100, 0, 200, 100});
                                 b.record(EMR_ENDPATH, {});
                                 b.record(EMR_SELECTCLIPPATH, {RGN_COPY});
                             },
                             {{150, 50}},
                             {{50, 50}, {102, 2}}},
                    Clipping{"OffsetClip",
                             [](EmfBuilder& b) {
                                 b.record(EMR_INTERSECTCLIPRECT, {0, 0, 40, 40});
                                 b.record(EMR_OFFSETCLIPRGN, {100, 0});
                             },
                             {{120, 20}},
                             {{20, 20}}}),
    [](const testing::TestParamInfo<Clipping>& p) { return std::string(p.param.name); });

// --- Paths and figures ---

struct Figure
{
    const char* name;
    std::function<void(EmfBuilder&)> draw;
    std::vector<QPoint> black;
    std::vector<QPoint> white;
};

class Figures : public testing::TestWithParam<Figure>
{
};

TEST_P(Figures, FillWhatTheyEnclose)
{
    EmfBuilder b;
    blackFill(b);
    GetParam().draw(b);
    const QImage out = played(b.image());
    for (const QPoint p : GetParam().black)
        EXPECT_EQ(out.pixelColor(p), Black) << "filled at " << p.x() << "," << p.y();
    for (const QPoint p : GetParam().white)
        EXPECT_EQ(out.pixelColor(p), White) << "empty at " << p.x() << "," << p.y();
}

void twoSquaresPath(EmfBuilder& b, quint32 fillMode)
{
    b.record(EMR_SETPOLYFILLMODE, {qint32(fillMode)});
    b.record(EMR_BEGINPATH, {});
    b.record(EMR_MOVETOEX, {10, 10});
    b.record(EMR_POLYLINETO16,
             words({0, 0, -1, -1, 3}) + words({pt16(90, 10), pt16(90, 90), pt16(10, 90)}));
    b.record(EMR_CLOSEFIGURE, {});
    b.record(EMR_MOVETOEX, {30, 30});
    b.record(EMR_POLYLINETO, {0, 0, -1, -1, 3, 70, 30, 70, 70, 30, 70});
    b.record(EMR_CLOSEFIGURE, {});
    b.record(EMR_ENDPATH, {});
    b.record(EMR_FILLPATH, {0, 0, -1, -1});
}

INSTANTIATE_TEST_SUITE_P(
    Player, Figures,
    testing::Values(
        Figure{"PathAlternateLeavesAHole",
               [](EmfBuilder& b) { twoSquaresPath(b, ALTERNATE); },
               {{20, 20}, {80, 80}},
               {{50, 50}, {150, 50}}},
        Figure{"PathWindingFillsIt",
               [](EmfBuilder& b) { twoSquaresPath(b, WINDING); },
               {{20, 20}, {50, 50}},
               {{150, 50}}},
        Figure{"AbortedPathDrawsNothing",
               [](EmfBuilder& b) {
                   b.record(EMR_BEGINPATH, {});
                   b.record(EMR_RECTANGLE, {10, 10, 90, 90});
                   b.record(EMR_ABORTPATH, {});
                   b.record(EMR_FILLPATH, {0, 0, -1, -1});
               },
               {},
               {{50, 50}}},
        Figure{"FiguresInAPathAreNotDrawnAtOnce",
               [](EmfBuilder& b) {
                   b.record(EMR_BEGINPATH, {});
                   b.record(EMR_RECTANGLE, {10, 10, 90, 90});
               },
               {},
               {{50, 50}}},
        Figure{"Polygon16",
               [](EmfBuilder& b) {
                   b.record(EMR_POLYGON16,
                            words({0, 0, -1, -1, 3, pt16(10, 10), pt16(90, 10), pt16(10, 90)}));
               },
               {{20, 30}},
               {{80, 80}}},
        Figure{"PolyPolygon",
               [](EmfBuilder& b) {
                   b.record(EMR_POLYPOLYGON, {0,  0,  -1, -1, 2,   8,  4,   4,  10,  10, 40,  10,
                                              40, 40, 10, 40, 110, 10, 140, 10, 140, 40, 110, 40});
               },
               {{25, 25}, {125, 25}},
               {{75, 25}}},
        Figure{"PolyPolygon16",
               [](EmfBuilder& b) {
                   b.record(EMR_POLYPOLYGON16,
                            words({0, 0, -1, -1, 2, 6, 3, 3, pt16(10, 10), pt16(40, 10),
                                   pt16(10, 40), pt16(110, 10), pt16(140, 10), pt16(110, 40)}));
               },
               {{15, 15}, {115, 15}},
               {{75, 25}}},
        Figure{"PieCounterClockwise",
               [](EmfBuilder& b) {
                   b.record(EMR_PIE, {40, 0, 140, 100, 140, 50, 90, 0});
               },
               {{110, 25}},
               {{70, 75}, {70, 25}, {110, 75}}},
        Figure{"PieClockwise",
               [](EmfBuilder& b) {
                   b.record(EMR_SETARCDIRECTION, {AD_CLOCKWISE});
                   b.record(EMR_PIE, {40, 0, 140, 100, 140, 50, 90, 0});
               },
               {{70, 75}, {70, 25}, {110, 75}},
               {{110, 25}}},
        Figure{"Chord",
               [](EmfBuilder& b) {
                   b.record(EMR_CHORD, {40, 0, 140, 100, 140, 50, 40, 50});
               },
               {{90, 20}},
               {{90, 80}}},
        Figure{"RoundedRectangleKeepsItsCornersEmpty",
               [](EmfBuilder& b) {
                   b.record(EMR_ROUNDRECT, {10, 10, 110, 90, 60, 60});
               },
               {{60, 50}, {12, 50}},
               {{11, 11}}},
        Figure{"GradientRectangle",
               [](EmfBuilder& b) {
                   // Two vertices from black to black: a plain black rectangle.
                   b.record(EMR_GRADIENTFILL, {0, 0, -1, -1, 2, 1, GRADIENT_FILL_RECT_H, 10, 10, 0,
                                               0, 60, 60, 0, 0, 0, 1});
               },
               {{30, 30}},
               {{70, 70}}},
        Figure{"NopRasterOperationDrawsNothing",
               [](EmfBuilder& b) {
                   b.record(EMR_SETROP2, {R2_NOP});
                   b.record(EMR_ELLIPSE, {10, 10, 90, 90});
               },
               {},
               {{50, 50}}},
        Figure{"XorTwiceLeavesThePage",
               [](EmfBuilder& b) {
                   b.record(EMR_SETROP2, {R2_XORPEN});
                   b.record(EMR_SELECTOBJECT, {qint32(STOCK_OBJECT | WHITE_BRUSH)});
                   b.record(EMR_RECTANGLE, {10, 10, 90, 90});
                   b.record(EMR_RECTANGLE, {10, 10, 90, 90});
               },
               {},
               {{50, 50}}},
        Figure{"PixelSet",
               [](EmfBuilder& b) {
                   b.record(EMR_SETPIXELV, {5, 7, 0});
               },
               {{5, 7}},
               {{6, 7}, {5, 8}}}),
    [](const testing::TestParamInfo<Figure>& p) { return std::string(p.param.name); });

// The record gives the corner ellipse's width and height, twice its radii: each corner cuts
// away rx * ry * (1 - pi / 4) of the box, so the empty pixels in the box measure the radius.
TEST(RoundedCorners, HaveHalfTheEllipseAsTheirRadius)
{
    // The box as the record holds it (left, top, right, bottom), the ellipse.
    for (const auto& [box, ellipse] : {std::pair{QRect(10, 10, 110, 90), QSize(60, 60)},
                                       {QRect(10, 10, 190, 90), QSize(24, 24)},
                                       {QRect(10, 10, 190, 90), QSize(80, 40)}}) {
        EmfBuilder b;
        blackFill(b);
        b.record(EMR_ROUNDRECT, {box.left(), box.top(), box.width(), box.height(), ellipse.width(),
                                 ellipse.height()});
        const QRect inside(10, 10, box.width() - 10, box.height() - 10);
        const int empty = inside.width() * inside.height() - darkPixels(played(b.image()), inside);
        const double expected = std::sqrt(ellipse.width() * ellipse.height()) / 2;
        EXPECT_NEAR(std::sqrt(empty / (4 - std::numbers::pi)), expected, expected * 0.06)
            << ellipse.width() << " x " << ellipse.height();
    }
}

// --- Bitmaps: a 2 x 2 picture, red and green above blue and white, in every form ---

struct Bitmap
{
    const char* name;
    QByteArray info; // header and colour table
    QByteArray bits;
    quint32 usage = DIB_RGB_COLORS;
    std::vector<QColor> corners = {Qt::red, Qt::green, Qt::blue, Qt::white};
};

QByteArray infoHeader(int bitCount, quint32 compression, int height = 2, int used = 0)
{
    QByteArray h = words({40, 2, height}) + QByteArray("\x01\x00", 2);
    h += QByteArray(1, char(bitCount)) + QByteArray(1, '\0');
    h += words({qint32(compression), 0, 0, 0, used, 0});
    return h;
}

QByteArray quad(std::initializer_list<QColor> colours)
{
    QByteArray t;
    for (const QColor& c : colours)
        t += QByteArray::fromRawData(
            std::array<char, 4>{char(c.blue()), char(c.green()), char(c.red()), 0}.data(), 4);
    return t;
}

QByteArray bytesOf(std::initializer_list<int> values)
{
    QByteArray b;
    for (const int v : values)
        b.append(char(v));
    return b;
}

QByteArray stretchDibits(const QByteArray& info, const QByteArray& bits, quint32 usage,
                         quint32 rop = SRCCOPY, QRect dest = QRect(0, 0, 40, 40))
{
    return words({0, 0, -1, -1, dest.x(), dest.y(), 0, 0, 2, 2, 80, qint32(info.size()),
                  80 + qint32(info.size()), qint32(bits.size()), qint32(usage), qint32(rop),
                  dest.width(), dest.height()}) +
           info + bits;
}

class Bitmaps : public testing::TestWithParam<Bitmap>
{
};

TEST_P(Bitmaps, DrawEveryPixelInItsPlace)
{
    const Bitmap& bm = GetParam();
    EmfBuilder b;
    b.record(EMR_STRETCHDIBITS, stretchDibits(bm.info, bm.bits, bm.usage));
    const QImage out = played(b.image());
    const QPoint at[4] = {{10, 10}, {30, 10}, {10, 30}, {30, 30}};
    for (int i = 0; i < 4; ++i)
        EXPECT_EQ(out.pixelColor(at[i]), bm.corners[std::size_t(i)])
            << "corner " << i << " " << out.pixelColor(at[i]).name().toStdString();
    EXPECT_EQ(out.pixelColor(45, 45), White) << "nothing outside the destination";
}

const QColor Red(Qt::red), Green(Qt::green), Blue(Qt::blue);

INSTANTIATE_TEST_SUITE_P(
    Player, Bitmaps,
    testing::Values(
        Bitmap{"Rgb24", infoHeader(24, BI_RGB),
               bytesOf({255, 0, 0, 255, 255, 255, 0, 0, 0, 0, 255, 0, 255, 0, 0, 0})},
        Bitmap{"Rgb24TopDown", infoHeader(24, BI_RGB, -2),
               bytesOf({0, 0, 255, 0, 255, 0, 0, 0, 255, 0, 0, 255, 255, 255, 0, 0})},
        Bitmap{"Rgb32", infoHeader(32, BI_RGB), quad({Blue, White}) + quad({Red, Green})},
        Bitmap{"Rgb16", infoHeader(16, BI_RGB),
               bytesOf({0x1F, 0x00, 0xFF, 0x7F, 0x00, 0x7C, 0xE0, 0x03})},
        Bitmap{"Bitfields565", infoHeader(16, BI_BITFIELDS) + words({0xF800, 0x07E0, 0x001F}),
               bytesOf({0x1F, 0x00, 0xFF, 0xFF, 0x00, 0xF8, 0xE0, 0x07})},
        Bitmap{"Palette8", infoHeader(8, BI_RGB, 2, 4) + quad({Red, Green, Blue, White}),
               bytesOf({2, 3, 0, 0, 0, 1, 0, 0})},
        Bitmap{"Palette4", infoHeader(4, BI_RGB, 2, 4) + quad({Red, Green, Blue, White}),
               bytesOf({0x23, 0, 0, 0, 0x01, 0, 0, 0})},
        Bitmap{"Mono",
               infoHeader(1, BI_RGB) + quad({Black, White}),
               bytesOf({0x80, 0, 0, 0, 0x40, 0, 0, 0}),
               DIB_RGB_COLORS,
               {Black, White, White, Black}},
        Bitmap{"SystemPaletteIndexes",
               infoHeader(8, BI_RGB, 2, 4) + bytesOf({13, 0, 14, 0, 16, 0, 19, 0}),
               bytesOf({2, 3, 0, 0, 0, 1, 0, 0}), DIB_PAL_COLORS},
        Bitmap{"RunLength8", infoHeader(8, BI_RLE8, 2, 4) + quad({Red, Green, Blue, White}),
               bytesOf({1, 2, 1, 3, 0, 0, 1, 0, 1, 1, 0, 1})},
        Bitmap{"RunLength4", infoHeader(4, BI_RLE4, 2, 4) + quad({Red, Green, Blue, White}),
               bytesOf({2, 0x23, 0, 0, 2, 0x01, 0, 1})}),
    [](const testing::TestParamInfo<Bitmap>& p) { return std::string(p.param.name); });

TEST(BitmapLimits, AHugeRunLengthPictureIsLeftOutWithoutAllocating)
{
    // 60000 x 60000 pixels (14 GB as colours) in four bytes of runs.
    QByteArray info = infoHeader(8, BI_RLE8, 60000, 2) + quad({Red, Green});
    info.replace(4, 4, words({60000}));
    EmfBuilder b;
    b.record(EMR_STRETCHDIBITS, stretchDibits(info, bytesOf({2, 1, 0, 1}), DIB_RGB_COLORS));
    const QImage out = played(b.image());
    EXPECT_EQ(darkPixels(out, out.rect()), 0);
    EXPECT_EQ(out.pixelColor(10, 10), White);
}

TEST(BitmapLimits, PatternOperationWithoutABitmapPaintsTheBrush)
{
    EmfBuilder b;
    blackFill(b);
    b.record(EMR_BITBLT, {0, 0, -1, -1, 10, 10, 30, 30, qint32(PATCOPY), 0, 0, f(1), 0, 0, f(1),
                          0, 0, 0,  0,  0,  0,  0,  0});
    const QImage out = played(b.image());
    EXPECT_EQ(out.pixelColor(20, 20), Black);
    EXPECT_EQ(out.pixelColor(50, 50), White);
}

TEST(BitmapLimits, MaskPairsShowThePictureOnlyWhereTheMaskSaysSo)
{
    // A white-on-black mask ORed onto a black page opens a hole, the picture ANDed in fills it.
    EmfBuilder b;
    blackFill(b);
    b.record(EMR_RECTANGLE, {0, 0, 200, 100});
    const QByteArray mask = infoHeader(1, BI_RGB) + quad({Black, White});
    b.record(EMR_STRETCHDIBITS, stretchDibits(mask, bytesOf({0x00, 0, 0, 0, 0x80, 0, 0, 0}),
                                              DIB_RGB_COLORS, SRCPAINT));
    b.record(EMR_STRETCHDIBITS,
             stretchDibits(infoHeader(24, BI_RGB),
                           bytesOf({255, 0, 0, 255, 255, 255, 0, 0, 0, 0, 255, 0, 255, 0, 0, 0}),
                           DIB_RGB_COLORS, SRCAND));
    const QImage out = played(b.image());
    EXPECT_EQ(out.pixelColor(10, 10), Red) << "the mask's white opens the page for the picture";
    EXPECT_EQ(out.pixelColor(30, 10), Black) << "the mask's black keeps the page";
    EXPECT_EQ(out.pixelColor(10, 30), Black);
}

// --- Text ---

QByteArray textRecord(QPoint at, const QByteArray& string, int chars, quint32 options,
                      QRect rect = QRect(0, 0, 0, 0))
{
    return words({0, 0, -1, -1, GM_COMPATIBLE, 0, 0, at.x(), at.y(), chars, 76, qint32(options),
                  rect.left(), rect.top(), rect.left() + rect.width(), rect.top() + rect.height(),
                  0}) +
           string;
}

QByteArray font(int height, int escapement = 0, quint8 charSet = ANSI_CHARSET,
                const QString& face = QStringLiteral("Arial"))
{
    QByteArray r = words({1, height, 0, escapement, escapement, 400}) +
                   bytesOf({0, 0, 0, charSet, 0, 0, 0, 0}) + zel::test::utf16(face);
    r.append(12 + 92 - 8 - r.size(), '\0');
    return r;
}

QImage text(std::function<void(EmfBuilder&)> draw)
{
    EmfBuilder b(QSize(200, 100));
    b.record(EMR_EXTCREATEFONTINDIRECTW, font(-20));
    b.record(EMR_SELECTOBJECT, {1});
    b.record(EMR_SETBKMODE, {TRANSPARENT});
    draw(b);
    return played(b.image());
}

struct Narrow
{
    const char* name;
    QByteArray bytes;
    QString text;
};

class NarrowText : public testing::TestWithParam<Narrow>
{
};

TEST_P(NarrowText, ReadsLikeTheWideForm)
{
    const Narrow& n = GetParam();
    const QImage a = text([&](EmfBuilder& b) {
        b.record(EMR_EXTTEXTOUTA, textRecord({10, 30}, n.bytes, int(n.bytes.size()), 0));
    });
    const QImage w = text([&](EmfBuilder& b) {
        b.record(EMR_EXTTEXTOUTW,
                 textRecord({10, 30}, zel::test::utf16(n.text), int(n.text.size()), 0));
    });
    EXPECT_GT(darkPixels(a, a.rect()), 10);
    EXPECT_EQ(a, w);
}

INSTANTIATE_TEST_SUITE_P(
    Player, NarrowText,
    testing::Values(Narrow{"Ascii", "Page 1", QStringLiteral("Page 1")},
                    Narrow{"Latin", "cr\xe8me", QStringLiteral("cr\u00e8me")},
                    Narrow{"Euro", "5 \x80", QStringLiteral("5 \u20ac")},
                    Narrow{"Quotes", "\x93W\x94", QStringLiteral("\u201cW\u201d")}),
    [](const testing::TestParamInfo<Narrow>& p) { return std::string(p.param.name); });

struct Alignment
{
    const char* name;
    quint32 align;
    QRect inked;  // where the text must show
    QRect spared; // where it must not
};

class Alignments : public testing::TestWithParam<Alignment>
{
};

TEST_P(Alignments, PlaceTheTextAroundItsReference)
{
    const QImage out = text([](EmfBuilder& b) {
        b.record(EMR_SETTEXTALIGN, {qint32(GetParam().align)});
        b.record(EMR_EXTTEXTOUTW,
                 textRecord({100, 50}, zel::test::utf16(QStringLiteral("MMMM")), 4, 0));
    });
    EXPECT_GT(darkPixels(out, GetParam().inked), 20);
    EXPECT_EQ(darkPixels(out, GetParam().spared), 0);
}

INSTANTIATE_TEST_SUITE_P(
    Player, Alignments,
    testing::Values(Alignment{"LeftTop", 0, QRect(100, 50, 60, 25), QRect(0, 0, 99, 100)},
                    Alignment{"Right", TA_RIGHT, QRect(40, 50, 59, 25), QRect(101, 0, 99, 100)},
                    Alignment{"Center", TA_CENTER, QRect(70, 50, 60, 25), QRect(0, 0, 60, 100)},
                    Alignment{"Baseline", TA_BASELINE, QRect(100, 30, 60, 19),
                              QRect(0, 52, 200, 48)},
                    Alignment{"Bottom", TA_BOTTOM, QRect(100, 30, 60, 19), QRect(0, 51, 200, 49)}),
    [](const testing::TestParamInfo<Alignment>& p) { return std::string(p.param.name); });

TEST(Text, EscapementTurnsTheBaselineUp)
{
    EmfBuilder b(QSize(200, 100));
    b.record(EMR_EXTCREATEFONTINDIRECTW, font(-20, 900));
    b.record(EMR_SELECTOBJECT, {1});
    b.record(EMR_SETTEXTALIGN, {TA_BASELINE});
    b.record(EMR_EXTTEXTOUTW,
             textRecord({100, 90}, zel::test::utf16(QStringLiteral("MMMM")), 4, 0));
    const QImage out = played(b.image());
    EXPECT_GT(darkPixels(out, QRect(80, 20, 21, 70)), 40) << "upwards, left of the reference";
    EXPECT_EQ(darkPixels(out, QRect(102, 0, 98, 100)), 0);
    EXPECT_EQ(darkPixels(out, QRect(0, 0, 78, 100)), 0);
}

TEST(Text, OpaqueRectangleIsFilledEvenWithoutText)
{
    const QImage out = text([](EmfBuilder& b) {
        b.record(EMR_SETBKCOLOR, {0});
        b.record(EMR_EXTTEXTOUTW, textRecord({0, 0}, {}, 0, ETO_OPAQUE, QRect(10, 10, 30, 30)));
    });
    EXPECT_EQ(out.pixelColor(20, 20), Black);
    EXPECT_EQ(out.pixelColor(50, 50), White);
}

TEST(Text, ClippedTextStaysInItsRectangle)
{
    const QImage out = text([](EmfBuilder& b) {
        b.record(EMR_EXTTEXTOUTW, textRecord({10, 30}, zel::test::utf16(QStringLiteral("MMMMMM")),
                                             6, ETO_CLIPPED, QRect(10, 30, 20, 30)));
    });
    EXPECT_GT(darkPixels(out, QRect(10, 30, 20, 30)), 10);
    EXPECT_EQ(darkPixels(out, QRect(31, 0, 169, 100)), 0);
}

// Text in a symbol font shows the characters its codes stand for, in a face that has them:
// as those characters given in that face, advances and all.
struct Symbolic
{
    const char* name;
    const char* face;
    const char16_t* codes;
    const char16_t* shown; // in DejaVu Sans
    quint8 charSet = SYMBOL_CHARSET;
    bool narrow = false; // the 8-bit record
    bool spaced = false; // 40 units a character
};

QImage symbolic(const char* face, quint8 charSet, bool narrow, const QString& text, bool spaced)
{
    QByteArray r = textRecord({10, 20}, narrow ? text.toLatin1() : zel::test::utf16(text),
                              int(text.size()), 0);
    r.append((4 - r.size() % 4) % 4, '\0');
    if (spaced) { // one advance a character, none for the second half of a pair
        r.replace(64, 4, words({qint32(8 + r.size())}));
        for (const QChar c : text)
            r += words({c.isLowSurrogate() ? 0 : 40});
    }
    EmfBuilder b(QSize(200, 100));
    b.record(EMR_EXTCREATEFONTINDIRECTW, font(-40, 0, charSet, QString::fromLatin1(face)));
    b.record(EMR_SELECTOBJECT, {1});
    b.record(EMR_SETBKMODE, {TRANSPARENT});
    b.record(narrow ? EMR_EXTTEXTOUTA : EMR_EXTTEXTOUTW, r);
    return played(b.image());
}

class SymbolText : public testing::TestWithParam<Symbolic>
{
};

TEST_P(SymbolText, ShowsTheCharactersItsCodesStandFor)
{
    const Symbolic& s = GetParam();
    const QImage symbols =
        symbolic(s.face, s.charSet, s.narrow, QString::fromUtf16(s.codes), s.spaced);
    const QImage shown =
        symbolic("DejaVu Sans", ANSI_CHARSET, false, QString::fromUtf16(s.shown), s.spaced);
    EXPECT_GT(darkPixels(shown, shown.rect()), 30);
    EXPECT_EQ(symbols, shown);
}

INSTANTIATE_TEST_SUITE_P(
    Player, SymbolText,
    testing::Values(
        Symbolic{"SymbolGreek", "Symbol", u"abc", u"\u03b1\u03b2\u03c7"},
        Symbolic{"SymbolNarrow", "Symbol", u"\u00b3\u0080", u"\u2265 ", SYMBOL_CHARSET, true},
        Symbolic{"SymbolPrivateUseDefaultSet", "Symbol", u"\uf0e5p", u"\u2211\u03c0",
                 DEFAULT_CHARSET},
        Symbolic{"Wingdings", "Wingdings", u"\u00fc\u00ab", u"\u2714\u2605"},
        Symbolic{"WingdingsBeyond16Bits", "Wingdings", u"!\"", u"\U0001F589\u2702", 2, false, true},
        Symbolic{"Wingdings2", "Wingdings 2", u"RT", u"\u2611\u2612"},
        Symbolic{"Wingdings3", "Wingdings 3", u"pu", u"\u25b2\u25b6"}),
    [](const testing::TestParamInfo<Symbolic>& p) { return std::string(p.param.name); });

TEST(Text, GlyphNumbersDrawTheGlyphsOfTheFontStandingIn)
{
    QString numbers;
    for (const quint32 glyph : QRawFont::fromFont(QFont(QStringLiteral("Arial")))
                                   .glyphIndexesForString(QStringLiteral("HIH")))
        numbers += QChar(char16_t(glyph));
    const auto drawn = [](const QString& text, quint32 options) {
        return ::text([&](EmfBuilder& b) {
            b.record(EMR_EXTTEXTOUTW, textRecord({10, 30}, zel::test::utf16(text), 3, options));
        });
    };
    EXPECT_GT(darkPixels(drawn(numbers, ETO_GLYPH_INDEX), QRect(0, 0, 200, 100)), 30);
    EXPECT_EQ(drawn(numbers, ETO_GLYPH_INDEX), drawn(QStringLiteral("HIH"), 0));
}

// Drawn at half its size, a line shows the weight of its pen: the device's one-pixel pen a
// full output pixel, wider pens their width, a pen of one device pixel half an output pixel.
TEST(LineWeights, FollowThePenAtHalfSize)
{
    // The pen's width, the darkness summed across the line (255 for one full pixel).
    for (const auto& [width, ink] : {std::pair{0, 255}, {1, 128}, {4, 510}}) {
        EmfBuilder b;
        b.record(EMR_CREATEPEN, {1, 0, width, 0, 0});
        b.record(EMR_SELECTOBJECT, {1});
        b.record(EMR_MOVETOEX, {0, 50});
        b.record(EMR_LINETO, {200, 50});
        const QImage out = played(b.image(), QSize(100, 50));
        int seen = 0;
        for (int y = 0; y < out.height(); ++y)
            seen += 255 - qGray(out.pixel(50, y));
        EXPECT_NEAR(seen, ink, 30) << "a pen " << width << " wide";
    }
}

// --- Records that do not hold together ---

struct Broken
{
    const char* name;
    std::function<void(EmfBuilder&)> write;
    const char* expected;
};

class BrokenRecords : public testing::TestWithParam<Broken>
{
};

TEST_P(BrokenRecords, AreRefusedWithAMessage)
{
    EmfBuilder b;
    GetParam().write(b);
    try {
        b.image();
        ADD_FAILURE() << "accepted";
    } catch (const EmfError& e) {
        EXPECT_NE(std::string(e.what()).find(GetParam().expected), std::string::npos) << e.what();
    }
}

INSTANTIATE_TEST_SUITE_P(
    Player, BrokenRecords,
    testing::Values(
        Broken{"PointsPastTheRecord",
               [](EmfBuilder& b) {
                   b.record(EMR_POLYGON16, {0, 0, -1, -1, 1000, 0});
               },
               "point array"},
        Broken{"FigureCountsAddUpToMore",
               [](EmfBuilder& b) {
                   b.record(EMR_POLYPOLYGON, {0, 0, -1, -1, 2, 3, 2, 2, 0, 0, 1, 1, 2, 2});
               },
               "add up"},
        Broken{"HugeFigureCount",
               [](EmfBuilder& b) {
                   b.record(EMR_POLYPOLYLINE16, {0, 0, -1, -1, 0x7FFFFFFF, 0});
               },
               "figure counts"},
        Broken{"RegionRectanglesPastTheData",
               [](EmfBuilder& b) {
                   b.record(EMR_EXTSELECTCLIPRGN,
                            words({48, RGN_COPY, 32, 1, 50, 800, 0, 0, 9, 9, 0, 0, 9, 9}));
               },
               "rectangles do not fit"},
        Broken{"GradientVertexOutsideTheList",
               [](EmfBuilder& b) {
                   b.record(EMR_GRADIENTFILL, {0, 0, -1, -1, 1, 1, 0, 0, 0, 0, 0, 0, 5});
               },
               "vertex"},
        Broken{"BitmapBitsShorterThanItsRows",
               [](EmfBuilder& b) {
                   b.record(EMR_STRETCHDIBITS,
                            stretchDibits(infoHeader(24, BI_RGB), bytesOf({1, 2, 3, 4}),
                                          DIB_RGB_COLORS));
               },
               "needs"},
        Broken{"BitmapHeaderOutsideTheRecord",
               [](EmfBuilder& b) {
                   QByteArray r =
                       stretchDibits(infoHeader(24, BI_RGB), QByteArray(16, '\0'), DIB_RGB_COLORS);
                   r.replace(40, 4, words({100000}));
                   b.record(EMR_STRETCHDIBITS, r);
               },
               "bitmap header"},
        Broken{"BitmapOfAnImpossibleDepth",
               [](EmfBuilder& b) {
                   b.record(EMR_STRETCHDIBITS, stretchDibits(infoHeader(7, BI_RGB),
                                                             QByteArray(16, '\0'), DIB_RGB_COLORS));
               },
               "bits a pixel"},
        Broken{"PatternBrushBitsOutsideTheRecord",
               [](EmfBuilder& b) {
                   const QByteArray header = infoHeader(1, BI_RGB) + quad({Black, White});
                   b.record(EMR_CREATEDIBPATTERNBRUSHPT,
                            words({1, DIB_RGB_COLORS, 32, qint32(header.size()), 5000, 8}) +
                                header);
               },
               "bitmap bits"},
        Broken{
            "PenStyleEntriesPastTheRecord",
            [](EmfBuilder& b) {
                b.record(EMR_EXTCREATEPEN, {1, 0, 0, 0, 0, PS_USERSTYLE, 1, BS_SOLID, 0, 0, 1000});
            },
            "pen style entries"},
        Broken{"NarrowTextPastTheRecord",
               [](EmfBuilder& b) {
                   b.record(EMR_EXTTEXTOUTA, textRecord({0, 0}, "ab", 400, 0));
               },
               "text"},
        Broken{"PaletteOutsideTheObjectTable",
               [](EmfBuilder& b) { b.record(EMR_SELECTPALETTE, {99}); },
               "outside the object table"},
        Broken{"FontRecordCutShort",
               [](EmfBuilder& b) {
                   b.record(EMR_EXTCREATEFONTINDIRECTW, {1, -12});
               },
               "shorter than"}),
    [](const testing::TestParamInfo<Broken>& p) { return std::string(p.param.name); });

} // namespace
