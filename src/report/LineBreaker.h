#pragma once

#include <QString>
#include <QStringList>
#include <functional>

namespace zel::report {

// How a text printable's text becomes printed lines. Value in, value out: the width of a
// piece of text comes from the measure given, so the same text breaks the same way whatever
// device the lines are drawn on.
class LineBreaker
{
public:
    using Measure = std::function<double(const QString&)>;

    // A stored text's lines, which end in CR LF or LF alone, as printables take them: each
    // ended by a carriage return.
    static QString storedLines(QString text);

    // The text's own lines: line feeds are dropped and every carriage return ends a line. An
    // auto-sized printable prints these as they are.
    static QStringList pieces(const QString& text);

    // The lines of a word-wrapped printable width wide. Each piece is cut into words, a word
    // running up to and including the next blank or hyphen; a line takes words while it stays
    // no wider than width. A word wider than width by itself is cut to what fits and the rest
    // is dropped: first on a line, to the characters that leave the line narrower than width;
    // after a finished line, to the characters that fit.
    static QStringList wrap(const QString& text, double width, const Measure& measure);
    // The text with every word that wrap would cut broken into lines instead, each as full as
    // wrap lets a word be, so that a narrow column loses none of a long chemical name.
    static QString breakLongWords(const QString& text, double width, const Measure& measure);
};

} // namespace zel::report
