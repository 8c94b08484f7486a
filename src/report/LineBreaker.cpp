#include "report/LineBreaker.h"

namespace zel::report {

namespace {

// The words of a piece, each with the blank or hyphen after it, which stays with its word.
QStringList words(const QString& piece)
{
    QStringList words;
    qsizetype start = 0;
    while (start < piece.size()) {
        qsizetype end = start;
        while (end < piece.size() && piece[end] != QLatin1Char(' ') &&
               piece[end] != QLatin1Char('-'))
            ++end;
        if (end < piece.size())
            ++end;
        words << piece.mid(start, end - start);
        start = end;
    }
    return words;
}

} // namespace

QString LineBreaker::storedLines(QString text)
{
    text.replace(QLatin1String("\r\n"), QLatin1String("\r"));
    text.replace(QLatin1Char('\n'), QLatin1Char('\r'));
    return text;
}

QStringList LineBreaker::pieces(const QString& text)
{
    QString cleaned = text;
    cleaned.remove(QLatin1Char('\n'));
    return cleaned.split(QLatin1Char('\r'));
}

QStringList LineBreaker::wrap(const QString& text, double width, const Measure& measure)
{
    QStringList lines;
    for (const QString& piece : pieces(text)) {
        QString line;
        bool any = false;
        for (const QString& word : words(piece)) {
            if (measure(line + word) <= width) {
                line += word;
                continue;
            }
            if (!line.isEmpty()) {
                lines << line;
                any = true;
                line.clear();
                if (measure(word) <= width) {
                    line = word;
                    continue;
                }
                QString cut = word;
                while (!cut.isEmpty() && measure(cut) > width)
                    cut.chop(1);
                lines << cut;
                continue;
            }
            // Too wide by itself and first on its line: what fits stays, the rest is lost.
            QString cut;
            for (const QChar c : word) {
                if (measure(cut + c) >= width)
                    break;
                cut += c;
            }
            lines << cut;
            any = true;
        }
        if (!line.isEmpty() || !any)
            lines << line;
    }
    return lines;
}

QString LineBreaker::breakLongWords(const QString& text, double width, const Measure& measure)
{
    QStringList broken;
    for (const QString& piece : pieces(text)) {
        QString out;
        for (QString word : words(piece)) {
            // As wrap's first word on a line: what stays narrower than width.
            while (measure(word) >= width) {
                qsizetype fits = 0;
                while (fits < word.size() && measure(word.left(fits + 1)) < width)
                    ++fits;
                if (fits == 0)
                    break; // not one character fits: wrap cuts it as ever
                out += word.left(fits) + QLatin1Char('\r');
                word.remove(0, fits);
            }
            out += word;
        }
        broken << out;
    }
    return broken.join(QLatin1Char('\r'));
}

} // namespace zel::report
