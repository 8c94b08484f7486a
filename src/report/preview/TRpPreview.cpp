#include "report/preview/TRpPreview.h"

#include "report/emf/EmfHeader.h"
#include "report/emf/EmfPlayer.h"
#include "report/preview/PreviewSource.h"

#include <QGuiApplication>
#include <QPainter>
#include <QScreen>
#include <QScrollBar>
#include <cmath>

namespace zel::report {

namespace {

double screenDpi()
{
    const QScreen* screen = QGuiApplication::primaryScreen();
    return screen ? screen->logicalDotsPerInch() : 96.0;
}

// A4 portrait until a page says otherwise.
constexpr QSizeF kDefaultTenthsMm(2100, 2970);

} // namespace

PageImageControl::PageImageControl(QWidget* parent) : QWidget(parent)
{
    setAttribute(Qt::WA_OpaquePaintEvent, false);
}

void PageImageControl::setImage(std::optional<emf::EmfImage> image, int page)
{
    m_image = std::move(image);
    m_page = page;
    update();
}

void PageImageControl::clear()
{
    m_image.reset();
    m_page = 0;
    update();
}

void PageImageControl::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    const QRect page(0, 0, width() - 3, height() - 3);
    if (m_image) {
        p.fillRect(page.adjusted(1, 1, -1, -1), Qt::white);
        emf::EmfPlayer::play(*m_image, p, QRectF(page.adjusted(1, 1, -1, -1)));
    }
    p.setPen(QPen(Qt::black, 1));
    p.setBrush(Qt::NoBrush);
    p.drawRect(page.adjusted(0, 0, -1, -1));
    p.fillRect(QRect(width() - 3, 2, 2, height() - 3), Qt::black);
    p.fillRect(QRect(2, height() - 3, width() - 3, 2), Qt::black);
}

TRpPreview::TRpPreview(QWidget* parent) : QScrollArea(parent), m_control(new PageImageControl)
{
    setObjectName(QStringLiteral("RpPreview"));
    setWidget(m_control);
    setWidgetResizable(false);
    setAlignment(Qt::AlignCenter);
    setBackgroundRole(QPalette::Dark);
    horizontalScrollBar()->setTracking(true);
    verticalScrollBar()->setTracking(true);
}

void TRpPreview::setSource(PreviewSource* source)
{
    m_source = source;
    m_page = 1;
    m_control->clear();
    if (source && source->pageCount() >= 1)
        m_control->setImage(source->pageImage(1), 1);
    layOut();
    Q_EMIT pageChanged();
}

QSize TRpPreview::pageSize() const
{
    // The page shown knows its paper; before any page is there, A4 stands in.
    const QSizeF tenths =
        m_control->image() ? m_control->image()->header().frameTenthsMm() : kDefaultTenthsMm;
    const double dpi = screenDpi();
    return QSize(qRound(tenths.width() / 254.0 * dpi), qRound(tenths.height() / 254.0 * dpi));
}

int TRpPreview::fitZoom(QSize view, QSize page)
{
    if (page.width() <= 0 || page.height() <= 0)
        return 100;
    return std::min(qRound(double(view.width()) / page.width() * 95),
                    qRound(double(view.height()) / page.height() * 95));
}

int TRpPreview::widthZoom(QSize view, QSize page)
{
    if (page.width() <= 0)
        return 100;
    return qRound(double(view.width()) / page.width() * 90);
}

void TRpPreview::setZoom(int percent, ZoomState state)
{
    if (percent < 2 || percent > 2000)
        return;
    m_zoom = percent;
    m_state = state;
    layOut();
}

void TRpPreview::zoomToFit()
{
    setZoom(fitZoom(viewport()->size(), pageSize()), ZoomState::Fit);
}

void TRpPreview::zoomToWidth()
{
    setZoom(widthZoom(viewport()->size(), pageSize()), ZoomState::Width);
}

void TRpPreview::layOut()
{
    const QSize page = pageSize();
    m_control->resize(qRound(page.width() * m_zoom / 100.0) + 4,
                      qRound(page.height() * m_zoom / 100.0) + 4);
    horizontalScrollBar()->setValue(0);
    verticalScrollBar()->setValue(0);
}

void TRpPreview::setPage(int n)
{
    if (!m_source || n < 1 || n > m_source->pageCount())
        return;
    if (n == m_page && m_control->loaded())
        return;
    m_page = n;
    m_control->setImage(m_source->pageImage(n), n);
    horizontalScrollBar()->setValue(0);
    verticalScrollBar()->setValue(0);
    Q_EMIT pageChanged();
}

void TRpPreview::pagesAvailable(int count)
{
    if (count == m_page && !m_control->loaded() && m_source) {
        m_control->setImage(m_source->pageImage(m_page), m_page);
        zoomToWidth();
    }
    Q_EMIT pageChanged();
}

void TRpPreview::resizeEvent(QResizeEvent* event)
{
    QScrollArea::resizeEvent(event);
    if (m_state == ZoomState::Fit)
        zoomToFit();
    else if (m_state == ZoomState::Width)
        zoomToWidth();
    else
        layOut();
}

} // namespace zel::report
