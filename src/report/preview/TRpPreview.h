#pragma once

#include "report/emf/EmfImage.h"

#include <QScrollArea>
#include <optional>

namespace zel::report {

class PreviewSource;

// The page image control: a white page inset by a pixel, the image stretched over it, a black
// border and a two-pixel shadow along the right and bottom edges.
class PageImageControl : public QWidget
{
    Q_OBJECT
public:
    explicit PageImageControl(QWidget* parent = nullptr);
    void setImage(std::optional<emf::EmfImage> image, int page);
    void clear();
    bool loaded() const { return m_image.has_value(); }
    const std::optional<emf::EmfImage>& image() const { return m_image; }
    int page() const { return m_page; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    std::optional<emf::EmfImage> m_image;
    int m_page = 0;
};

// The scrolling page view: one page at a time, zoomed to fit, to width or to a percentage.
class TRpPreview : public QScrollArea
{
    Q_OBJECT
public:
    enum class ZoomState
    {
        Fit,
        Width,
        Other
    };

    explicit TRpPreview(QWidget* parent = nullptr);

    void setSource(PreviewSource* source);
    PreviewSource* source() const { return m_source; }

    int page() const { return m_page; }
    // Shows page n; nothing when it is shown already, below 1, above the page count or when
    // there are no pages.
    void setPage(int n);
    int zoom() const { return m_zoom; }
    ZoomState zoomState() const { return m_state; }
    // Zooms by percent; a zoom outside 2..2000 is ignored.
    void setZoom(int percent, ZoomState state = ZoomState::Other);
    void zoomToFit();
    void zoomToWidth();
    // Size of the current page in screen pixels at 100 %.
    QSize pageSize() const;
    PageImageControl* imageControl() const { return m_control; }

    // The zoom rules, for a view and a page of the given sizes in pixels.
    static int fitZoom(QSize view, QSize page);
    static int widthZoom(QSize view, QSize page);

    // A pages-available notification: the page shown, if it has just become available, is
    // loaded and the page zoomed to width.
    void pagesAvailable(int count);

Q_SIGNALS:
    void pageChanged();

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    void layOut();

    PreviewSource* m_source = nullptr;
    PageImageControl* m_control;
    int m_page = 1;
    int m_zoom = 100;
    ZoomState m_state = ZoomState::Other;
};

} // namespace zel::report
