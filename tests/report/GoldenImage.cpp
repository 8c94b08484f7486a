#include "GoldenImage.h"

#include <algorithm>
#include <vector>

namespace zel::test {

namespace {

constexpr int Threshold = 40;             // of 255, after blurring
constexpr double AllowedFraction = 0.001; // of the picture's pixels

// Each channel averaged over the pixel and its eight neighbours.
std::vector<int> blurred(const QImage& in)
{
    const QImage image = in.convertToFormat(QImage::Format_RGB32);
    const int w = image.width(), h = image.height();
    std::vector<int> out(std::size_t(w) * h * 3, 0);
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) {
            int sum[3] = {0, 0, 0};
            int n = 0;
            for (int dy = -1; dy <= 1; ++dy) {
                for (int dx = -1; dx <= 1; ++dx) {
                    const int xx = x + dx, yy = y + dy;
                    if (xx < 0 || yy < 0 || xx >= w || yy >= h)
                        continue;
                    const QRgb p = image.pixel(xx, yy);
                    sum[0] += qRed(p);
                    sum[1] += qGreen(p);
                    sum[2] += qBlue(p);
                    ++n;
                }
            }
            for (int c = 0; c < 3; ++c)
                out[(std::size_t(y) * w + x) * 3 + c] = sum[c] / n;
        }
    }
    return out;
}

} // namespace

GoldenDifference compareWithGolden(const QImage& rendered, const QImage& golden)
{
    GoldenDifference d;
    d.sameSize = rendered.size() == golden.size() && !golden.isNull();
    if (!d.sameSize)
        return d;
    const std::vector<int> a = blurred(rendered), b = blurred(golden);
    for (std::size_t i = 0; i < a.size(); i += 3) {
        const int diff = std::max(
            {std::abs(a[i] - b[i]), std::abs(a[i + 1] - b[i + 1]), std::abs(a[i + 2] - b[i + 2])});
        if (diff > Threshold)
            ++d.differing;
    }
    d.allowed = std::max(4, int(double(golden.width()) * golden.height() * AllowedFraction));
    return d;
}

QString goldenDir()
{
    return QStringLiteral(ZEL_SOURCE_DIR "/tests/report/golden");
}

bool updatingGoldens()
{
    return qEnvironmentVariable("ZEL_UPDATE_GOLDEN") == QLatin1String("1");
}

} // namespace zel::test
