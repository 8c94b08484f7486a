#pragma once

namespace zel::report {

// The page-breaking arithmetic of the band engine, value in and value out, all in native
// units (tenths of a millimetre). The engine asks these whether a band or a line still goes on
// the current page; keeping the answers here keeps them the same for every device.

// The vertical room of a page.
struct PageSpace
{
    double paperLength = 0;
    double topMargin = 0;
    double bottomMargin = 0;
    double footerSize = 0; // every enabled page footer with its child bands

    // Where the page footer starts; other bands end above it.
    double footerTop() const { return paperLength - bottomMargin - footerSize; }
    double usableHeight() const { return paperLength - (topMargin + bottomMargin); }
    double spaceLeft(double y) const { return footerTop() - y; }

    // Whether a band that needs `needed` and would start at y moves to a new page: when it
    // does not fit above the footer but would fit on an empty page. A band taller than an
    // empty page prints where it stands.
    bool bandMovesToNewPage(double needed, double y) const
    {
        return needed > spaceLeft(y) && needed <= usableHeight();
    }
};

// A text printable on a band, as the lines of its text are printed one by one.
struct TextBox
{
    double bandTop = 0;    // page position of the band
    double bandHeight = 0; // the band's stored height
    double top = 0;        // the printable, relative to the band
    double height = 0;
    double lineHeight = 0;
    bool autoStretch = false;
    bool inFooter = false; // a page footer never grows: it sits at the bottom of its page
};

struct LineFit
{
    enum Outcome
    {
        Fits,  // the line lies within the printable as grown so far
        Grows, // the printable and its band grow by one line to take it
        Stops  // no more lines on this page
    };
    Outcome outcome;
    double bandExtra; // the band's extra height once the line is printed

    bool operator==(const LineFit&) const = default;

    // Line `line` (counted from 0 on this page) of box, which has grown by `grown` below its
    // own rectangle on this page while its band has grown by bandExtra. A band's extra height
    // is the largest that any of its printables needs, not their sum; growing stops where the
    // band would reach into the page footer.
    static LineFit next(const TextBox& box, int line, double grown, double bandExtra,
                        double footerTop);
};

} // namespace zel::report
