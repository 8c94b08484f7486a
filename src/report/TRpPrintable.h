#pragma once

#include "data/engine/Dataset.h"
#include "report/Canvas.h"

#include <QColor>
#include <QPointer>
#include <QString>
#include <functional>
#include <optional>

namespace zel::data {
class Dataset;
}

namespace zel::report {

class TRpReport;

enum TRpAlignment
{
    taLeftJustify = 0,
    taRightJustify = 1,
    taCenter = 2
};

// Edges are bars inside the framed rectangle, so a frame never makes a band or printable
// bigger than it was laid out.
struct TRpFrame
{
    bool drawTop = false;
    bool drawBottom = false;
    bool drawLeft = false;
    bool drawRight = false;
    QColor colour = Qt::black;
    double width = 1; // points

    bool any() const { return drawTop || drawBottom || drawLeft || drawRight; }
    // Thickness of one edge in native units.
    double nativeWidth() const { return width * 254.0 / 72.0; }
};

// Something placed on a band. Geometry is native (tenths of a millimetre) and relative to the
// band's top left corner.
class TRpPrintable
{
public:
    virtual ~TRpPrintable() = default;

    // The text this printable prints now; shapes have none.
    virtual QString text(const TRpReport& report) const = 0;
    virtual bool isText() const { return true; }

    QString name;
    double left = 0, top = 0, width = 0, height = 0;
    TRpAlignment alignment = taLeftJustify;
    bool alignToBand = false;
    bool autoSize = false;
    bool autoStretch = false;
    bool wordWrap = true;
    bool transparent = false;
    bool enabled = true;
    QColor backgroundColour = Qt::white;
    std::optional<TextFont> font; // none: the report's font
    TRpFrame frame;
    // May replace the text for this one printing; the stored caption stays as it was.
    std::function<void(TRpPrintable&, QString& text)> onPrint;

    // Run state of the current printing of the band: the broken lines, the first one not yet
    // printed, and how far the printable has grown below its own rectangle.
    struct RunState
    {
        bool started = false;
        bool finished = false;
        QStringList lines;
        qsizetype nextLine = 0;
        double left = 0, width = 0; // after auto-size and align to band
    } run;
};

class TRpLabel : public TRpPrintable
{
public:
    QString text(const TRpReport&) const override { return caption; }
    QString caption;
};

// Reading a field never fails the report: a missing field or a failing read prints nothing.
class TRpDBText : public TRpPrintable
{
public:
    QString text(const TRpReport& report) const override;
    QPointer<data::Dataset> dataset;
    QString fieldName;
    QString mask; // numbers and dates only
};

enum TRpSysDataKind
{
    rpsTime = 0,
    rpsDate = 1,
    rpsDateTime = 2,
    rpsPageNumber = 3,
    rpsReportTitle = 4,
    rpsDetailCount = 5,
    rpsDetailNo = 6
};

class TRpSysData : public TRpPrintable
{
public:
    QString text(const TRpReport& report) const override;
    TRpSysDataKind kind = rpsPageNumber;
    QString prefix;
};

enum TRpShapeKind
{
    rpsRectangle = 0,
    rpsCircle = 1,
    rpsVertLine = 2,
    rpsHorLine = 3,
    rpsTopAndBottom = 4,
    rpsRightAndLeft = 5
};

class TRpShape : public TRpPrintable
{
public:
    QString text(const TRpReport&) const override { return {}; }
    bool isText() const override { return false; }
    TRpShapeKind kind = rpsRectangle;
    Pen pen; // device pixels: a 5-pixel rule stays 5 pixels on any printer
    Brush brush;
};

} // namespace zel::report
