#pragma once

#include "report/Canvas.h"
#include "report/emf/EmfImage.h"

#include <QByteArray>
#include <QFont>
#include <QSize>
#include <functional>
#include <optional>
#include <vector>

namespace zel::report::emf {

// Records one page image as an enhanced metafile: the report engine draws a page on it like on
// any canvas, and finish() hands back the image for the page store.
//
// Coordinates are pixels of the page at 96 per inch (the screen resolution page images are
// made at); the page is the image's reference device and its frame, so another reader shows
// it at the paper's size. Pens, brushes and fonts become metafile objects and are created
// only when they change. Text is written with the advance of every character, measured with
// the font at 96 pixels per inch, so that needs a QGuiApplication.
//
//     EmfWriter page(QSize(794, 1123));             // A4 at 96 per inch
//     page.drawText({76, 76}, "Title", font, QRect(76, 76, 642, 30));
//     page.drawFrame(QRect(76, 76, 642, 971), Pen{});
//     pageList.addPage(page.finish());
class EmfWriter final : public Canvas
{
public:
    static constexpr double Dpi = 96.0;

    explicit EmfWriter(const QSize& pagePixels);

    QSize pagePixels() const { return m_pagePixels; }

    void drawText(const QPoint& topLeft, const QString& text, const TextFont& font,
                  const QRect& clip) override;
    void fillRect(const QRect& rect, const QColor& colour) override;
    void drawLine(const QPoint& from, const QPoint& to, const Pen& pen) override;
    void drawRectangle(const QRect& rect, const Pen& pen, const Brush& brush) override;
    void drawEllipse(const QRect& rect, const Pen& pen, const Brush& brush) override;

    // Closes the image and returns it; drawing afterwards throws std::logic_error.
    EmfImage finish();

private:
    struct FontKey
    {
        QString family;
        int pixelSize;
        bool bold, italic, underline, strikeOut;
        bool operator==(const FontKey&) const = default;
    };

    qsizetype beginRecord(quint32 type);
    void endRecord(qsizetype start);
    void simpleRecord(quint32 type, quint32 value);
    void appendU32(quint32 v);
    void appendI32(qint32 v) { appendU32(quint32(v)); }
    void appendBox(const QRect& rect);

    void checkOpen() const;
    quint32 newSlot();
    void replaceSlot(quint32& current, quint32 object);
    // A record that makes an object in a new slot, what follows the slot number written by
    // contents; the new object then replaces current's.
    void createObject(quint32 type, quint32& current, const std::function<void()>& contents);
    void selectPen(const Pen& pen);
    void selectBrush(const Brush& brush);
    void selectFont(const TextFont& font);
    void setTextColour(const QColor& colour);
    // A rectangle or an ellipse record.
    void drawBox(quint32 type, const QRect& rect, const Pen& pen, const Brush& brush);

    QSize m_pagePixels;
    QByteArray m_data;
    quint32 m_records = 0;
    bool m_finished = false;

    std::vector<bool> m_slotUsed{true}; // slot 0 belongs to the image itself
    quint32 m_penSlot = 0;              // 0 while a stock object is selected
    quint32 m_brushSlot = 0;
    quint32 m_fontSlot = 0;
    std::optional<Pen> m_pen;
    std::optional<Brush> m_brush;
    std::optional<FontKey> m_font;
    std::optional<QColor> m_textColour;
    QFont m_qfont; // the selected font, for measuring
};

} // namespace zel::report::emf
