#include "ReportTestData.h"
#include "TempDir.h"
#include "common/DemoReport.h"
#include "report/emf/EmfError.h"
#include "report/emf/EmfFormat.h"
#include "report/emf/EmfImage.h"
#include "report/emf/EmfPlayer.h"
#include "report/emf/EmfWriter.h"

#include <QFontMetricsF>
#include <QImage>
#include <QPainter>
#include <QProcess>
#include <QRandomGenerator>
#include <QStandardPaths>
#include <functional>
#include <gtest/gtest.h>

using namespace zel::report;
using namespace zel::report::emf;
using zel::test::i32At;
using zel::test::putI32;

namespace {

const QColor Red(255, 0, 0);
const QColor Blue(0, 0, 255);

TextFont bigFont()
{
    TextFont f;
    f.pointSize = 20;
    return f;
}

// A small page with one of everything, at known places.
EmfImage testPage()
{
    EmfWriter w(QSize(200, 100));
    w.fillRect(QRect(10, 10, 40, 20), Red);
    w.drawEllipse(QRect(100, 10, 60, 60), Pen{Blue, 0, Pen::Style::None}, Brush{Blue});
    w.drawLine(QPoint(10, 85), QPoint(190, 85), Pen{QColor(0, 160, 0), 3});
    w.drawRectangle(QRect(60, 40, 30, 30), Pen{Qt::black, 1}, Brush::clear());
    w.drawText(QPoint(10, 40), QStringLiteral("WWWWWWWWWWWWWW"), bigFont(), QRect(10, 40, 30, 30));
    return w.finish();
}

QImage played(const EmfImage& image, const QSize& size, const QRectF& target)
{
    QImage out(size, QImage::Format_RGB32);
    out.fill(Qt::white);
    QPainter p(&out);
    EmfPlayer::play(image, p, target);
    p.end();
    return out;
}

int darkPixels(const QImage& image, const QRect& area)
{
    int n = 0;
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x)
            if (qGray(image.pixel(x, y)) < 128)
                ++n;
    return n;
}

// Offsets of the records of an image, in order.
std::vector<qsizetype> recordOffsets(const QByteArray& image)
{
    std::vector<qsizetype> offsets;
    for (qsizetype at = 0; at < image.size(); at += i32At(image, at + 4))
        offsets.push_back(at);
    return offsets;
}

qsizetype firstRecord(const QByteArray& image, quint32 type)
{
    for (const qsizetype at : recordOffsets(image))
        if (quint32(i32At(image, at)) == type)
            return at;
    throw std::runtime_error("no such record");
}

qsizetype firstRecordOfSize(const QByteArray& image, int size)
{
    for (const qsizetype at : recordOffsets(image))
        if (at > 0 && i32At(image, at + 4) == size)
            return at;
    throw std::runtime_error("no such record");
}

// Puts a record in front of the end record and fixes the header's totals.
QByteArray withRecordBeforeEnd(QByteArray image, const QByteArray& record)
{
    image.insert(firstRecord(image, EMR_EOF), record);
    putI32(image, 48, qint32(image.size()));
    putI32(image, 52, i32At(image, 52) + 1);
    return image;
}

} // namespace

TEST(EmfWriter, HeaderDescribesThePageAndItsRecords)
{
    EmfWriter w(QSize(794, 1123));
    w.fillRect(QRect(0, 0, 10, 10), Red);
    const EmfImage image = w.finish();
    const EmfHeader& h = image.header();

    EXPECT_EQ(h.bounds.left, 0);
    EXPECT_EQ(h.bounds.top, 0);
    EXPECT_EQ(h.bounds.right, 793);
    EXPECT_EQ(h.bounds.bottom, 1122);
    EXPECT_EQ(h.device, QSize(794, 1123));
    EXPECT_EQ(h.headerSize, quint32(HEADER_FULL_SIZE));
    EXPECT_EQ(h.bytes, quint32(image.bytes().size()));
    EXPECT_EQ(h.records, quint32(recordOffsets(image.bytes()).size()));
    EXPECT_GE(h.handles, 2);
    // 794 pixels at 96 per inch are 210.08 mm.
    EXPECT_NEAR(h.frameTenthsMm().width(), 2100.8, 0.1);
    EXPECT_NEAR(h.frameTenthsMm().height(), 2971.3, 0.1);
    const QRectF frame = h.frameInDevicePixels();
    EXPECT_NEAR(frame.width(), 794, 0.05);
    EXPECT_NEAR(frame.height(), 1123, 0.05);
    EXPECT_EQ(quint32(i32At(image.bytes(), image.bytes().size() - 20)), EMR_EOF);
}

TEST(EmfWriter, TextKeepsItsCharactersAndTheirAdvances)
{
    const QString text = QStringLiteral("Cr\u00e8me \U0001F600 W");
    EmfWriter w(QSize(300, 100));
    w.drawText(QPoint(5, 7), text, bigFont(), {});
    const QByteArray image = w.finish().bytes();
    const qsizetype r = firstRecord(image, EMR_EXTTEXTOUTW);
    EXPECT_EQ(i32At(image, r + 36), 5);
    EXPECT_EQ(i32At(image, r + 40), 7);
    const int chars = i32At(image, r + 44);
    ASSERT_EQ(chars, text.size());
    QString stored;
    for (int i = 0; i < chars; ++i)
        stored.append(QChar(zel::test::u16At(image, r + i32At(image, r + 48) + 2 * i)));
    EXPECT_EQ(stored, text);

    const qsizetype dx = r + i32At(image, r + 72);
    int total = 0;
    for (int i = 0; i < chars; ++i)
        total += i32At(image, dx + 4 * i);
    EXPECT_EQ(i32At(image, dx + 4 * text.indexOf(QChar(0xDE00))), 0)
        << "the low half of a pair does not move on";
    QFont font(QStringLiteral("Arial"));
    font.setPixelSize(bigFont().pixelSize(96));
    EXPECT_NEAR(total, QFontMetricsF(font).horizontalAdvance(text), 3);
}

TEST(EmfWriter, ReusesObjectSlotsWhateverTheNumberOfPens)
{
    EmfWriter w(QSize(100, 100));
    for (int i = 0; i < 500; ++i) {
        w.drawLine(QPoint(0, i % 100), QPoint(99, i % 100), Pen{QColor(i % 256, 0, 0), 1});
        w.drawEllipse(QRect(10, 10, 20, 20), Pen{}, Brush{QColor(0, i % 256, 0)});
        TextFont f;
        f.pointSize = 6 + i % 10;
        w.drawText(QPoint(1, 1), QStringLiteral("x"), f, {});
    }
    EXPECT_LE(w.finish().header().handles, 7);
}

struct Placement
{
    const char* name;
    QSize canvas;
    QRectF target;
};

class Playback : public testing::TestWithParam<Placement>
{
};

TEST_P(Playback, PutsEveryShapeWhereItWasDrawn)
{
    const QRectF t = GetParam().target;
    const double s = t.width() / 200.0;
    const QImage image = played(testPage(), GetParam().canvas, t);
    const auto at = [&](double x, double y) {
        return image.pixelColor(int(t.left() + x * s), int(t.top() + y * s));
    };
    EXPECT_EQ(at(30, 20), Red) << "filled rectangle";
    EXPECT_EQ(at(130, 40), Blue) << "ellipse centre";
    EXPECT_EQ(at(102, 12), QColor(Qt::white)) << "ellipse leaves its corners";
    EXPECT_EQ(at(100, 85).green(), 160) << "thick line";
    EXPECT_EQ(at(75, 55), QColor(Qt::white)) << "hollow rectangle";
    EXPECT_EQ(at(5, 5), QColor(Qt::white));

    const auto area = [&](double x, double y, double w, double h) {
        return QRectF(t.left() + x * s, t.top() + y * s, w * s, h * s).toRect();
    };
    EXPECT_GT(darkPixels(image, area(58, 50, 4, 10)), 0) << "the hollow rectangle's outline";
    EXPECT_GT(darkPixels(image, area(10, 40, 30, 30)), 0) << "text inside its clip";
    EXPECT_EQ(darkPixels(image, area(42, 38, 16, 34)), 0) << "text cut off at its clip";

    // Nothing outside the target.
    if (t.left() > 0) {
        EXPECT_EQ(darkPixels(image, QRect(0, 0, int(t.left()) - 1, image.height())), 0);
        EXPECT_EQ(image.pixelColor(0, 0), QColor(Qt::white));
    }
}

INSTANTIATE_TEST_SUITE_P(
    Targets, Playback,
    testing::Values(Placement{"SameSize", QSize(200, 100), QRectF(0, 0, 200, 100)},
                    Placement{"Doubled", QSize(400, 200), QRectF(0, 0, 400, 200)},
                    Placement{"Offset", QSize(400, 300), QRectF(100, 150, 200, 100)},
                    Placement{"ThreeTimes", QSize(600, 300), QRectF(0, 0, 600, 300)}),
    [](const testing::TestParamInfo<Placement>& p) { return std::string(p.param.name); });

TEST(EmfPlayer, SkipsRecordsItDoesNotDraw)
{
    const EmfImage plain = testPage();
    // A comment record (type 70) with a payload, and a record type nobody knows.
    const QByteArray comment = zel::test::bytes({70, 0, 0, 0, 16, 0, 0, 0, 4, 0, 0, 0, 1, 2, 3, 4});
    const QByteArray unknown = zel::test::bytes({0x34, 0x12, 0, 0, 12, 0, 0, 0, 9, 9, 9, 9});
    const EmfImage extended = EmfImage::fromBytes(
        withRecordBeforeEnd(withRecordBeforeEnd(plain.bytes(), comment), unknown));
    EXPECT_EQ(played(extended, QSize(200, 100), QRectF(0, 0, 200, 100)),
              played(plain, QSize(200, 100), QRectF(0, 0, 200, 100)));
}

TEST(EmfPlayer, DrawsStockObjectsAndAlignedText)
{
    // Records as other writers make them: stock brush and pen, baseline and right aligned
    // text, opaque background.
    EmfWriter w(QSize(200, 100));
    QByteArray image = w.finish().bytes();
    const auto record = [](quint32 type, std::initializer_list<qint32> values) {
        QByteArray r(8, '\0');
        putI32(r, 0, qint32(type));
        for (const qint32 v : values) {
            r.append(4, '\0');
            putI32(r, r.size() - 4, v);
        }
        putI32(r, 4, qint32(r.size()));
        return r;
    };
    image =
        withRecordBeforeEnd(image, record(EMR_SELECTOBJECT, {qint32(STOCK_OBJECT | BLACK_BRUSH)}));
    image = withRecordBeforeEnd(image, record(EMR_SELECTOBJECT, {qint32(STOCK_OBJECT | NULL_PEN)}));
    image = withRecordBeforeEnd(image, record(EMR_RECTANGLE, {10, 10, 50, 50}));
    image = withRecordBeforeEnd(image, record(EMR_SETBKCOLOR, {0x0000FF}));
    image = withRecordBeforeEnd(image, record(EMR_SETBKMODE, {OPAQUE}));
    image = withRecordBeforeEnd(image, record(EMR_SETTEXTALIGN, {TA_RIGHT | TA_BASELINE}));
    // EXTTEXTOUTW of "MM" ending at x = 190 on the baseline y = 60, no spacing array.
    QByteArray text = record(EMR_EXTTEXTOUTW,
                             {0, 0, -1, -1, 1, 0, 0, 190, 60, 2, 76, 0, 0, 0, 0, 0, 0, 0x004D004D});
    image = withRecordBeforeEnd(image, text);
    const QImage out = played(EmfImage::fromBytes(image), QSize(200, 100), QRectF(0, 0, 200, 100));
    EXPECT_EQ(out.pixelColor(30, 30), QColor(Qt::black)) << "stock black brush, no pen";
    EXPECT_EQ(out.pixelColor(10, 10), QColor(Qt::black));
    EXPECT_EQ(out.pixelColor(50, 30), QColor(Qt::white)) << "rectangle ends before x = 50";
    EXPECT_GT(darkPixels(out, QRect(150, 40, 40, 20)), 0) << "text left of its reference";
    EXPECT_EQ(darkPixels(out, QRect(191, 0, 9, 100)), 0) << "nothing right of it";
    EXPECT_EQ(out.pixelColor(176, 62), Red) << "opaque background below the baseline";
}

// Text through a transform that stretches one axis far more than the other crashed the
// painter's glyph rasteriser; such scaling comes from a target of another shape or from a
// header whose reference device has absurd pixels.
TEST(EmfPlayer, SurvivesLopsidedScaling)
{
    const EmfImage page = testPage();
    QImage canvas(400, 400, QImage::Format_RGB32);
    for (const QRectF target : {QRectF(0, 0, 20000, 0.1), QRectF(0, 0, 0.1, 20000)}) {
        QPainter p(&canvas);
        EmfPlayer::play(page, p, target);
    }

    QByteArray lopsided = page.bytes();
    putI32(lopsided, 72, 102); // reference device in pixels
    putI32(lopsided, 76, 131212);
    putI32(lopsided, 100, 3041646); // and in micrometres
    putI32(lopsided, 104, 37040);
    const EmfImage image = EmfImage::fromBytes(lopsided);
    const QRectF frame = image.header().frameInDevicePixels();
    EXPECT_NEAR(frame.width(), 200, 0.5) << "absurd pixels are not trusted; 96 per inch is";
    EXPECT_NEAR(frame.height(), 100, 0.5);
    const QImage out = played(image, QSize(200, 100), QRectF(0, 0, 200, 100));
    EXPECT_EQ(out.pixelColor(30, 20), Red);
    EXPECT_GT(darkPixels(out, QRect(10, 40, 30, 30)), 0) << "the text is drawn";
}

// Malformed images: a sound image with one thing broken, refused before anything is drawn.
struct MalformedCase
{
    const char* name;
    std::function<void(QByteArray&)> damage;
    const char* expected;
};

class MalformedImages : public testing::TestWithParam<MalformedCase>
{
};

TEST_P(MalformedImages, AreRefusedWithAMessage)
{
    QByteArray image = testPage().bytes();
    GetParam().damage(image);
    try {
        EmfImage::fromBytes(image);
        ADD_FAILURE() << "accepted";
    } catch (const EmfError& e) {
        EXPECT_NE(std::string(e.what()).find(GetParam().expected), std::string::npos) << e.what();
    }
}

INSTANTIATE_TEST_SUITE_P(
    Damage, MalformedImages,
    testing::Values(
        MalformedCase{"Empty", [](QByteArray& i) { i.clear(); }, "shorter than its header"},
        MalformedCase{"Truncated", [](QByteArray& i) { i.chop(4); }, "only"},
        MalformedCase{"BadSignature", [](QByteArray& i) { putI32(i, 40, 0x12345678); },
                      "metafile header"},
        MalformedCase{"HeaderTooSmall", [](QByteArray& i) { putI32(i, 4, 80); }, "impossible size"},
        MalformedCase{"HeaderPastTheImage", [](QByteArray& i) { putI32(i, 4, i.size() + 4); },
                      "impossible size"},
        MalformedCase{"DescriptionOutsideTheHeader",
                      [](QByteArray& i) {
                          putI32(i, 60, 100);
                          putI32(i, 64, 88);
                      },
                      "description"},
        MalformedCase{"NoObjectTable", [](QByteArray& i) { putI32(i, 56, 0); }, "object table"},
        MalformedCase{"NoSize",
                      [](QByteArray& i) {
                          for (const int at : {8, 24}) {
                              putI32(i, at, 0);
                              putI32(i, at + 4, 0);
                              putI32(i, at + 8, -1);
                              putI32(i, at + 12, -1);
                          }
                      },
                      "no size"},
        MalformedCase{"RecordOfSizeZero",
                      [](QByteArray& i) { putI32(i, recordOffsets(i)[1] + 4, 0); },
                      "impossible size"},
        MalformedCase{"RecordOfOddSize",
                      [](QByteArray& i) { putI32(i, recordOffsets(i)[1] + 4, 10); },
                      "impossible size"},
        MalformedCase{"RecordPastTheEnd",
                      [](QByteArray& i) { putI32(i, recordOffsets(i)[2] + 4, 0x7FFFFFF0); },
                      "impossible size"},
        MalformedCase{"NoEndRecord", [](QByteArray& i) { putI32(i, firstRecord(i, EMR_EOF), 70); },
                      "no end record"},
        MalformedCase{"RecordsAfterTheEnd",
                      [](QByteArray& i) {
                          i.append(zel::test::bytes({70, 0, 0, 0, 8, 0, 0, 0}));
                          putI32(i, 48, qint32(i.size()));
                      },
                      "after its end record"},
        MalformedCase{"SecondHeader",
                      [](QByteArray& i) { putI32(i, recordOffsets(i)[1], EMR_HEADER); },
                      "header record at offset"},
        MalformedCase{
            "TextLongerThanItsRecord",
            [](QByteArray& i) { putI32(i, firstRecord(i, EMR_EXTTEXTOUTW) + 44, 0x7FFFFFFF); },
            "text of the record"},
        MalformedCase{"TextOutsideItsRecord",
                      [](QByteArray& i) {
                          putI32(i, firstRecord(i, EMR_EXTTEXTOUTW) + 48, qint32(0xFFFFFFF0));
                      },
                      "text of the record"},
        MalformedCase{
            "SpacingOutsideItsRecord",
            [](QByteArray& i) { putI32(i, firstRecord(i, EMR_EXTTEXTOUTW) + 72, 0x10000); },
            "character spacing"},
        MalformedCase{"ObjectIndexOutsideTheTable",
                      [](QByteArray& i) { putI32(i, firstRecord(i, EMR_CREATEPEN) + 8, 500); },
                      "outside the object table"},
        MalformedCase{
            "ObjectIndexZero",
            [](QByteArray& i) { putI32(i, firstRecord(i, EMR_CREATEBRUSHINDIRECT) + 8, 0); },
            "outside the object table"},
        MalformedCase{
            "SelectionOutsideTheTable",
            [](QByteArray& i) { putI32(i, firstRecord(i, EMR_SELECTOBJECT) + 8, 0x7FFF); },
            "outside the object table"},
        MalformedCase{
            "FontRecordTooShort",
            [](QByteArray& i) { putI32(i, firstRecordOfSize(i, 12), EMR_EXTCREATEFONTINDIRECTW); },
            "shorter than"},
        MalformedCase{"RectangleRecordTooShort",
                      [](QByteArray& i) { putI32(i, firstRecordOfSize(i, 12), EMR_RECTANGLE); },
                      "shorter than"}),
    [](const testing::TestParamInfo<MalformedCase>& p) { return std::string(p.param.name); });

// Whatever bytes are changed, an image is refused with an EmfError or plays: no crash, no
// hang, no other exception.
TEST(EmfPlayer, DamagedBytesAnywhereEndInAnErrorOrInAPicture)
{
    const QByteArray original = makeDemoPage(1, 1).bytes();
    QRandomGenerator random(17);
    QImage canvas(120, 170, QImage::Format_RGB32);
    int played = 0;
    for (int round = 0; round < 300; ++round) {
        QByteArray image = original;
        for (int k = 0; k < 1 + round % 5; ++k) {
            const qsizetype at =
                round % 4 == 0 ? random.bounded(qint64(120)) : random.bounded(qint64(image.size()));
            image[at] = char(random.bounded(256));
        }
        try {
            const EmfImage accepted = EmfImage::fromBytes(image);
            QPainter p(&canvas);
            EmfPlayer::play(accepted, p, QRectF(0, 0, 120, 170));
            ++played;
        } catch (const EmfError&) {
        }
    }
    EXPECT_GT(played, 0) << "some damage leaves a playable image";
}

// An independent reader accepts our page images.
TEST(EmfWriter, PagesAreAcceptedByEmf2svg)
{
    const QString converter = QStandardPaths::findExecutable(QStringLiteral("emf2svg-conv"));
    if (converter.isEmpty())
        GTEST_SKIP() << "emf2svg-conv is not installed (Debian package emf2svg); skipping the "
                        "check by an independent reader";
    zel::test::TempDir dir;
    const std::pair<const char*, EmfImage> pages[] = {
        {"portrait", makeDemoPage(1, 2)},
        {"landscape", makeDemoPage(2, 2, QPageLayout::Landscape)},
        {"small", testPage()},
    };
    for (const auto& [name, image] : pages) {
        SCOPED_TRACE(name);
        const QString emf = dir.file(QLatin1String(name) + QStringLiteral(".emf"));
        const QString svg = dir.file(QLatin1String(name) + QStringLiteral(".svg"));
        zel::test::writeFile(emf, image.bytes());
        QProcess process;
        process.start(converter, {QStringLiteral("-i"), emf, QStringLiteral("-o"), svg});
        ASSERT_TRUE(process.waitForFinished(60000)) << "emf2svg-conv did not finish";
        EXPECT_EQ(process.exitStatus(), QProcess::NormalExit);
        EXPECT_EQ(process.exitCode(), 0) << process.readAllStandardError().toStdString();
        const QByteArray out = zel::test::readFile(svg);
        EXPECT_TRUE(out.contains("<svg")) << out.left(200).toStdString();
        EXPECT_TRUE(out.contains("</svg>"));
    }
}
