#include "report/emf/EmfDeviceContext.h"

#include "report/emf/EmfFormat.h"

#include <cmath>

namespace zel::report::emf {

namespace {

// Logical units per millimetre of the fixed mapping modes.
double unitsPerMm(quint32 mode)
{
    switch (mode) {
    case MM_LOMETRIC:
        return 10;
    case MM_HIMETRIC:
        return 100;
    case MM_LOENGLISH:
        return 100 / 25.4;
    case MM_HIENGLISH:
        return 1000 / 25.4;
    case MM_TWIPS:
        return 1440 / 25.4;
    default:
        return 0;
    }
}

QPainterPath rectPath(const QRectF& r)
{
    QPainterPath p;
    p.addRect(r);
    return p;
}

} // namespace

bool usableTransform(const QTransform& t)
{
    const double values[] = {t.m11(), t.m12(), t.m21(), t.m22(), t.dx(), t.dy()};
    for (const double v : values)
        if (!std::isfinite(v))
            return false;
    const double det = std::abs(t.m11() * t.m22() - t.m12() * t.m21());
    return det > 1e-12 && det < 1e12;
}

QPainterPath EmfClip::path() const
{
    return m_isRect ? rectPath(m_rect) : m_path;
}

void EmfClip::setPath(const QPainterPath& p)
{
    m_everything = false;
    m_isRect = false;
    m_path = p;
}

void EmfClip::intersectRect(const QRectF& rect)
{
    const QRectF r = rect.normalized();
    if (m_everything) {
        m_everything = false;
        m_isRect = true;
        m_rect = r;
    } else if (m_isRect) {
        m_rect = m_rect.intersected(r);
        if (m_rect.isEmpty())
            m_rect = QRectF();
    } else {
        setPath(m_path.intersected(rectPath(r)));
    }
}

void EmfClip::intersect(const EmfClip& other)
{
    if (other.m_everything)
        return;
    if (other.m_isRect) {
        intersectRect(other.m_rect);
        return;
    }
    if (m_everything)
        *this = other;
    else
        setPath(path().intersected(other.m_path));
}

void EmfClip::combine(const QPainterPath& area, quint32 mode)
{
    switch (mode) {
    case RGN_COPY:
        setPath(area);
        break;
    case RGN_AND:
        setPath(m_everything ? area : path().intersected(area));
        break;
    case RGN_OR:
        if (!m_everything)
            setPath(path().united(area));
        break;
    case RGN_XOR:
        // Everything XOR an area is everything outside it; a far larger rectangle stands for
        // everything.
        setPath(m_everything ? rectPath(QRectF(-1e7, -1e7, 2e7, 2e7)).subtracted(area)
                             : path().united(area).subtracted(path().intersected(area)));
        break;
    case RGN_DIFF:
        setPath((m_everything ? rectPath(QRectF(-1e7, -1e7, 2e7, 2e7)) : path()).subtracted(area));
        break;
    default:
        break;
    }
}

void EmfClip::combineRect(const QRectF& rect, quint32 mode)
{
    if (mode == RGN_COPY) {
        m_everything = false;
        m_isRect = true;
        m_rect = rect.normalized();
    } else if (mode == RGN_AND) {
        intersectRect(rect);
    } else {
        combine(rectPath(rect.normalized()), mode);
    }
}

void EmfClip::translate(const QPointF& by)
{
    if (m_everything)
        return;
    if (m_isRect)
        m_rect.translate(by);
    else
        m_path.translate(by);
}

EmfDeviceContext::EmfDeviceContext() : palette(defaultPalette())
{
    pen.style = PS_SOLID; // the stock black pen, one pixel wide
}

void EmfDeviceContext::setMapMode(quint32 mode, const EmfDevice& device)
{
    if (mode < MM_TEXT || mode > MM_ANISOTROPIC)
        return;
    mapMode = mode;
    // The fixed modes imply their extents; isotropic starts from those of MM_LOMETRIC and
    // anisotropic from the extents in force, as the modes behave on the device.
    const double units = mode == MM_ISOTROPIC ? unitsPerMm(MM_LOMETRIC) : unitsPerMm(mode);
    if (mode == MM_TEXT) {
        windowExt = QSizeF(1, 1);
        viewportExt = QSizeF(1, 1);
    } else if (units > 0) {
        windowExt = QSizeF(units, units);
        viewportExt = QSizeF(device.pixelsPerMmX, -device.pixelsPerMmY);
    }
}

QTransform EmfDeviceContext::pageToDevice() const
{
    double sx = viewportExt.width() / windowExt.width();
    double sy = viewportExt.height() / windowExt.height();
    if (mapMode == MM_ISOTROPIC) {
        const double m = std::min(std::abs(sx), std::abs(sy));
        sx = std::copysign(m, sx);
        sy = std::copysign(m, sy);
    }
    return QTransform(sx, 0, 0, sy, viewportOrg.x() - windowOrg.x() * sx,
                      viewportOrg.y() - windowOrg.y() * sy);
}

EmfClip EmfDeviceContext::effectiveClip() const
{
    EmfClip c = clip;
    c.intersect(meta);
    return c;
}

} // namespace zel::report::emf
