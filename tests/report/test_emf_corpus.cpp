// Real page images from other producers (../shared/emf-corpus beside the project): every good
// one draws, every damaged one is refused or drawn, and a chosen set looks as it did when a
// person compared it with an independent renderer.

#include "GoldenImage.h"
#include "ReportTestData.h"
#include "common/DemoReport.h"
#include "common/EmfTool.h"
#include "report/emf/EmfError.h"
#include "report/emf/EmfFormat.h"
#include "report/emf/EmfImage.h"
#include "report/emf/EmfPlayer.h"

#include <QDir>
#include <QFileInfo>
#include <QImage>
#include <QPainter>
#include <QRandomGenerator>
#include <QtEndian>
#include <gtest/gtest.h>

using namespace zel::report;
using namespace zel::report::emf;

namespace {

QString corpusDir()
{
    return QDir::cleanPath(QStringLiteral(ZEL_SOURCE_DIR "/../shared/emf-corpus"));
}

#define REQUIRE_CORPUS()                                                                           \
    if (!QFileInfo(corpusDir() + QStringLiteral("/good")).isDir())                                 \
    GTEST_SKIP() << "the page-image corpus is not at " << corpusDir().toStdString()                \
                 << "; skipping the tests that read it"

QStringList corpusFiles(const QString& kind)
{
    return QDir(corpusDir() + QLatin1Char('/') + kind)
        .entryList({QStringLiteral("*.emf")}, QDir::Files, QDir::Name);
}

QByteArray corpusFile(const QString& kind, const QString& name)
{
    return zel::test::readFile(corpusDir() + QLatin1Char('/') + kind + QLatin1Char('/') + name);
}

// The rendering a person looks at, shrunk to width pixels.
QImage rendering(const EmfImage& image, int width)
{
    const QSize full = emfPixelSize(image, 96);
    const QSize size(width,
                     std::max(1, int(std::lround(double(full.height()) * width / full.width()))));
    return renderEmf(image, size);
}

void plays(const EmfImage& image)
{
    QImage canvas(300, 200, QImage::Format_RGB32);
    canvas.fill(Qt::white);
    QPainter p(&canvas);
    EmfPlayer::play(image, p, QRectF(canvas.rect()));
}

} // namespace

TEST(EmfCorpus, EveryGoodImageDraws)
{
    REQUIRE_CORPUS();
    const QStringList files = corpusFiles(QStringLiteral("good"));
    EXPECT_GE(files.size(), 100);
    for (const QString& name : files) {
        SCOPED_TRACE(name.toStdString());
        const QByteArray data = corpusFile(QStringLiteral("good"), name);
        if (data.isEmpty()) {
            // The corpus holds one empty file: nothing to draw, and it says so.
            EXPECT_THROW(EmfImage::fromBytes(data), EmfError);
            continue;
        }
        try {
            const EmfImage image = EmfImage::fromBytes(data);
            plays(image);
        } catch (const EmfError& e) {
            ADD_FAILURE() << "refused: " << e.what();
        }
    }
}

TEST(EmfCorpus, EveryDamagedImageIsRefusedOrDrawn)
{
    REQUIRE_CORPUS();
    const QStringList files = corpusFiles(QStringLiteral("damaged"));
    EXPECT_GE(files.size(), 10);
    int refused = 0;
    for (const QString& name : files) {
        SCOPED_TRACE(name.toStdString());
        try {
            plays(EmfImage::fromBytes(corpusFile(QStringLiteral("damaged"), name)));
        } catch (const EmfError& e) {
            EXPECT_GT(std::strlen(e.what()), 10u) << "a message that says what is wrong";
            ++refused;
        }
    }
    EXPECT_GT(refused, 0);
}

// Real images with bytes changed anywhere: refused with an EmfError or drawn, never a crash,
// a hang or another exception. The fuzzer does this at length; this keeps a taste in every run.
TEST(EmfCorpus, RealImagesDamagedAnywhereAreRefusedOrDrawn)
{
    REQUIRE_CORPUS();
    QRandomGenerator random(2024);
    int drawn = 0;
    for (const QString& name : {QStringLiteral("test-000.emf"), QStringLiteral("test-040.emf"),
                                QStringLiteral("test-109.emf"), QStringLiteral("test-150.emf"),
                                QStringLiteral("test-183.emf")}) {
        const QByteArray original = corpusFile(QStringLiteral("good"), name);
        ASSERT_FALSE(original.isEmpty()) << name.toStdString();
        for (int round = 0; round < 25; ++round) {
            QByteArray damaged = original;
            for (int k = 0; k < 1 + round % 4; ++k) {
                const qsizetype at = random.bounded(qint64(damaged.size()));
                damaged[at] = char(random.bounded(256));
            }
            try {
                plays(EmfImage::fromBytes(damaged));
                ++drawn;
            } catch (const EmfError&) {
            }
        }
    }
    EXPECT_GT(drawn, 0);
}

// --- Golden renderings ---

struct Golden
{
    const char* file;
    const char* shows; // what the image holds, for whoever reads a failure
};

class GoldenRenderings : public testing::TestWithParam<Golden>
{
};

TEST_P(GoldenRenderings, LookAsTheyDidWhenCheckedByEye)
{
    REQUIRE_CORPUS();
    const QString name = QLatin1String(GetParam().file);
    const EmfImage image = EmfImage::fromBytes(corpusFile(QStringLiteral("good"), name));
    const QImage rendered = rendering(image, 320);
    const QString golden =
        zel::test::goldenDir() + QLatin1Char('/') + QFileInfo(name).completeBaseName() + ".png";
    if (zel::test::updatingGoldens()) {
        ASSERT_TRUE(rendered.save(golden));
        GTEST_SKIP() << "wrote " << golden.toStdString();
    }
    const zel::test::GoldenDifference d = zel::test::compareWithGolden(rendered, QImage(golden));
    EXPECT_TRUE(d.matches()) << GetParam().shows << ": " << d.differing << " pixels differ, "
                             << d.allowed << " allowed (ZEL_UPDATE_GOLDEN=1 writes new ones)";
}

INSTANTIATE_TEST_SUITE_P(
    Corpus, GoldenRenderings,
    testing::Values(Golden{"test-000.emf", "bar chart of masked bitmaps under world transforms"},
                    Golden{"test-002.emf", "chart with an upward y axis and turned axis title"},
                    Golden{"test-007.emf", "clip art of filled paths"},
                    Golden{"test-022.emf", "dendrogram of lines with text squeezed to its room"},
                    Golden{"test-040.emf", "test sheet of bitmaps, hatches, gradients, text forms"},
                    Golden{"test-042.emf", "letters and a gradient bitmap on a negative frame"},
                    Golden{"test-058.emf", "framed text boxes and dashed lines"},
                    Golden{"test-068.emf", "tables of text"},
                    Golden{"test-109.emf", "curve with arrows and sub-scripted text"},
                    Golden{"test-125.emf", "scatter plot of circles and coloured labels"},
                    Golden{"test-131.emf", "pie chart"},
                    Golden{"test-150.emf", "grills of paths with holes"},
                    Golden{"test-154.emf", "speech bubble with a user-dashed wide pen"},
                    Golden{"test-166.emf", "dot drawn with an inverting raster operation"},
                    Golden{"test-175.emf", "markers drawn with a masking raster operation"},
                    Golden{"test-176.emf", "colour blob of opaque text rectangles, turned text"},
                    Golden{"test-179.emf", "clip art of curves"},
                    Golden{"test-186.emf", "bezier arrow and large text"}),
    [](const testing::TestParamInfo<Golden>& p) {
        return QFileInfo(QLatin1String(p.param.file))
            .completeBaseName()
            .replace('-', '_')
            .toStdString();
    });

// Our own report pages must draw as they did before the player learned the whole format. The
// kept renderings were made at 96 dpi by the player that drew only our own records.
struct OwnPage
{
    const char* name;
    QPageLayout::Orientation orientation;
    int page;
};

class OwnPages : public testing::TestWithParam<OwnPage>
{
};

TEST_P(OwnPages, DrawAsBefore)
{
    const EmfImage image = makeDemoPage(GetParam().page, 2, GetParam().orientation);
    const QImage rendered = renderEmf(image, emfPixelSize(image, 96));
    const QString golden =
        zel::test::goldenDir() + QLatin1Char('/') + QLatin1String(GetParam().name) + ".png";
    const zel::test::GoldenDifference d = zel::test::compareWithGolden(rendered, QImage(golden));
    EXPECT_TRUE(d.matches()) << d.differing << " pixels differ, " << d.allowed << " allowed";
}

INSTANTIATE_TEST_SUITE_P(Corpus, OwnPages,
                         testing::Values(OwnPage{"own-portrait", QPageLayout::Portrait, 1},
                                         OwnPage{"own-landscape", QPageLayout::Landscape, 2}),
                         [](const testing::TestParamInfo<OwnPage>& p) {
                             return std::string(p.param.orientation == QPageLayout::Portrait
                                                    ? "Portrait"
                                                    : "Landscape");
                         });

// The comparison itself: a golden rendering with one record taken out (turned into a comment)
// must no longer match, or the goldens would let a lost record pass.
struct Removal
{
    const char* name;
    const char* file;
    quint32 type; // the largest record of this type goes, the last of equals
};

class RemovedRecords : public testing::TestWithParam<Removal>
{
};

TEST_P(RemovedRecords, AreNoticedByTheGoldenComparison)
{
    REQUIRE_CORPUS();
    QByteArray data = corpusFile(QStringLiteral("good"), QLatin1String(GetParam().file));
    qsizetype largest = -1;
    quint32 largestSize = 0;
    for (qsizetype at = 0; at + 8 <= data.size();) {
        const quint32 type = qFromLittleEndian<quint32>(data.constData() + at);
        const quint32 size = qFromLittleEndian<quint32>(data.constData() + at + 4);
        if (type == GetParam().type && size >= largestSize) {
            largest = at;
            largestSize = size;
        }
        at += size;
    }
    ASSERT_GE(largest, 0) << "no such record";
    qToLittleEndian<quint32>(EMR_COMMENT, data.data() + largest);
    const QImage rendered = rendering(EmfImage::fromBytes(data), 320);
    const QString golden = zel::test::goldenDir() + QLatin1Char('/') +
                           QFileInfo(QLatin1String(GetParam().file)).completeBaseName() + ".png";
    EXPECT_FALSE(zel::test::compareWithGolden(rendered, QImage(golden)).matches());
}

INSTANTIATE_TEST_SUITE_P(Corpus, RemovedRecords,
                         testing::Values(Removal{"Line", "test-022.emf", EMR_POLYLINE16},
                                         Removal{"Fill", "test-131.emf", EMR_POLYGON16},
                                         Removal{"Clip", "test-058.emf", EMR_INTERSECTCLIPRECT},
                                         Removal{"TextRun", "test-068.emf", EMR_EXTTEXTOUTW}),
                         [](const testing::TestParamInfo<Removal>& p) {
                             return std::string(p.param.name);
                         });
