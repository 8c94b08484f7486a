#pragma once

#include <QImage>
#include <QString>

namespace zel::test {

// Compares a rendering with a kept one (a golden rendering someone has looked at) loosely
// enough for anti-aliasing that differs between machines, strictly enough to catch a missing
// line, fill, clip or text run: both are blurred over 3 x 3 pixels, and the pixels whose colour
// then differs by more than a sixth of the range on any channel are counted.
struct GoldenDifference
{
    bool sameSize = false;
    int differing = 0; // pixels that differ after blurring
    int allowed = 0;
    bool matches() const { return sameSize && differing <= allowed; }
};

GoldenDifference compareWithGolden(const QImage& rendered, const QImage& golden);

// Folder of the kept renderings in the source tree.
QString goldenDir();

// Whether the run was asked to write renderings as the new golden ones (ZEL_UPDATE_GOLDEN=1):
// for a deliberate change, after looking at them.
bool updatingGoldens();

} // namespace zel::test
