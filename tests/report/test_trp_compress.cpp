#include "ReportTestData.h"
#include "common/DemoReport.h"
#include "report/ReportFileError.h"
#include "report/TRpCompress.h"

#include <QRandomGenerator>
#include <gtest/gtest.h>

using zel::report::ReportFileError;
using zel::report::TRpCompress;
using zel::test::bytes;

namespace {

QByteArray encoded(QByteArrayView data)
{
    QByteArray out;
    TRpCompress::encode(data, out);
    return out;
}

void expectRoundTrip(const QByteArray& data)
{
    const QByteArray code = encoded(data);
    EXPECT_EQ(TRpCompress::decode(code, data.size()), data);
}

} // namespace

// Codes worked out by hand from the starting tree: byte 0 is the right child of node 127 on a
// path of left turns (8 bits, ending on a whole byte), byte 255 is the left child of node 255,
// nine left turns (a partial last byte, zero-filled), and a second 0 after splaying takes the
// path right-right-right-right.
struct Vector
{
    const char* name;
    QByteArray plain;
    QByteArray code;
};

class CoderVectors : public testing::TestWithParam<Vector>
{
};

TEST_P(CoderVectors, EncodeAndDecodeMatchTheHandWorkedCode)
{
    const Vector& v = GetParam();
    EXPECT_EQ(encoded(v.plain).toHex(), v.code.toHex());
    EXPECT_EQ(TRpCompress::decode(v.code, v.plain.size()).toHex(), v.plain.toHex());
}

INSTANTIATE_TEST_SUITE_P(
    ByHand, CoderVectors,
    testing::Values(Vector{"nothing", {}, {}}, Vector{"zero", bytes({0x00}), bytes({0x80})},
                    Vector{"one", bytes({0x01}), bytes({0x40})},
                    Vector{"ff", bytes({0xFF}), bytes({0x00, 0x00})},
                    Vector{"zero_zero", bytes({0x00, 0x00}), bytes({0x80, 0x0F})}),
    [](const testing::TestParamInfo<Vector>& p) { return std::string(p.param.name); });

TEST(TRpCompress, EveryByteValueRoundTrips)
{
    QByteArray all;
    for (int round = 0; round < 3; ++round)
        for (int v = 0; v < 256; ++v)
            all.append(char(round == 1 ? 255 - v : v));
    expectRoundTrip(all);
    for (int v = 0; v < 256; ++v)
        expectRoundTrip(QByteArray(1, char(v)));
}

TEST(TRpCompress, AnEmptyPageIsJustItsLengthField)
{
    EXPECT_EQ(TRpCompress::encodePage({}), QByteArray(4, '\0'));
    EXPECT_EQ(TRpCompress::encodePage(bytes({0x00})).toHex(), QByteArray("0100000080"));
}

TEST(TRpCompress, RandomDataRoundTrips)
{
    QRandomGenerator random(20240607);
    for (const int size : {1, 2, 7, 8, 9, 255, 4096, 100000}) {
        QByteArray uniform(size, Qt::Uninitialized);
        QByteArray skewed(size, Qt::Uninitialized);
        for (int i = 0; i < size; ++i) {
            uniform[i] = char(random.bounded(256));
            // Mostly a handful of values: short codes for them, very long ones for the rest.
            skewed[i] = char(random.bounded(100) < 97 ? random.bounded(3) : random.bounded(256));
        }
        SCOPED_TRACE(size);
        expectRoundTrip(uniform);
        expectRoundTrip(skewed);
    }
}

TEST(TRpCompress, CodesLongerThanAMachineWordRoundTrip)
{
    // Every byte value twice, in order, leaves the leaf of 0 at the end of a chain 162 nodes
    // deep: the 0 that follows is coded in 162 bits, and the next one in 81, both past the
    // 56 bits the fast path takes. The code grows by exactly 20 bytes for the first one (the
    // chain itself takes 1971 bits, 247 bytes).
    QByteArray chain;
    for (int v = 0; v < 256; ++v)
        chain.append(2, char(v));
    const QByteArray before = encoded(chain);
    ASSERT_EQ(before.size(), 247);
    EXPECT_EQ(encoded(QByteArray(chain + '\0')).size() - before.size(), 20);
    expectRoundTrip(chain + bytes({0x00, 0x00, 0x01, 0xFF}));

    // Long runs push the other leaves deep too, though only to 27 bits.
    for (const int run : {10, 1000, 100000}) {
        QByteArray data(run, 'a');
        for (int v = 0; v < 256; ++v)
            data.append(char(v));
        data.append(QByteArray(run, 'b'));
        data.append(char(0));
        SCOPED_TRACE(run);
        expectRoundTrip(data);
    }
}

TEST(TRpCompress, RealPageImagesRoundTripAndShrink)
{
    for (int page = 1; page <= 3; ++page) {
        const QByteArray image = zel::report::makeDemoPage(page, 3).bytes();
        const QByteArray code = encoded(image);
        EXPECT_LT(code.size(), image.size());
        EXPECT_EQ(TRpCompress::decode(code, image.size()), image);
    }
}

TEST(TRpCompress, DecodingPastTheCodeIsAnError)
{
    EXPECT_THROW(TRpCompress::decode(bytes({0x80}), 2), ReportFileError);
    EXPECT_THROW(TRpCompress::decode({}, 1), ReportFileError);
    const QByteArray code = encoded(QByteArray(1000, 'x'));
    EXPECT_THROW(TRpCompress::decode(code.left(code.size() - 1), 1000), ReportFileError);
}
