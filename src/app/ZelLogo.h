#pragma once

#include <QImage>
#include <QList>
#include <QRgb>

namespace zel::app {

// The product logo of the logo window and the about box: a 288 x 72 picture of 16
// colours. It is drawn here rather than shipped as a file, and its letters are shapes,
// not text, so that it looks the same whatever fonts the machine has.
class ZelLogo
{
public:
    static constexpr int width = 288;
    static constexpr int height = 72;

    static const QImage& image();
    static const QList<QRgb>& colours();

private:
    static QImage paint();
};

} // namespace zel::app
