#include "ReportTestData.h"

#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QtEndian>
#include <algorithm>
#include <stdexcept>

namespace zel::test {

QByteArray bytes(std::initializer_list<int> values)
{
    QByteArray out;
    for (const int v : values)
        out.append(char(v));
    return out;
}

QByteArray readFile(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        throw std::runtime_error("cannot read " + path.toStdString());
    return file.readAll();
}

void writeFile(const QString& path, const QByteArray& data)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(data) != data.size())
        throw std::runtime_error("cannot write " + path.toStdString());
}

qint32 i32At(const QByteArray& data, qsizetype offset)
{
    return qFromLittleEndian<qint32>(data.constData() + offset);
}

quint16 u16At(const QByteArray& data, qsizetype offset)
{
    return qFromLittleEndian<quint16>(data.constData() + offset);
}

void putI32(QByteArray& data, qsizetype offset, qint32 value)
{
    qToLittleEndian(value, data.data() + offset);
}

void putU16(QByteArray& data, qsizetype offset, quint16 value)
{
    qToLittleEndian(value, data.data() + offset);
}

std::vector<DrawnText> textsOf(const zel::report::emf::EmfImage& image)
{
    const QByteArray& b = image.bytes();
    std::vector<DrawnText> out;
    qsizetype off = 0;
    while (off + 8 <= b.size()) {
        const qint32 type = i32At(b, off);
        const qint32 size = i32At(b, off + 4);
        if (type == 84) { // EMR_EXTTEXTOUTW
            const qint32 n = i32At(b, off + 44);
            const qint32 at = i32At(b, off + 48);
            out.push_back({QPoint(i32At(b, off + 36), i32At(b, off + 40)),
                           QString(reinterpret_cast<const QChar*>(b.constData() + off + at), n)});
        }
        if (type == 14 || size <= 0)
            break;
        off += size;
    }
    return out;
}

namespace {

// A word where a page shows it, in millimetres from the page's top left corner.
struct Word
{
    double x, y;
    QString text;
};

Rows rowsOfWords(std::vector<Word> words)
{
    static const QRegularExpression digit(QStringLiteral("\\d"));
    std::erase_if(words, [](const Word& w) { return !w.text.contains(digit); });
    std::sort(words.begin(), words.end(), [](const Word& a, const Word& b) { return a.y < b.y; });
    Rows rows;
    std::size_t i = 0;
    while (i < words.size()) {
        std::vector<Word> row;
        const double top = words[i].y;
        while (i < words.size() && words[i].y - top < 1.0)
            row.push_back(words[i++]);
        std::stable_sort(row.begin(), row.end(),
                         [](const Word& a, const Word& b) { return a.x < b.x; });
        QStringList texts;
        for (const Word& w : row)
            texts << w.text;
        rows << texts.join(QLatin1Char(' '));
    }
    return rows;
}

} // namespace

Rows rowsOf(const zel::report::emf::EmfImage& image)
{
    constexpr double mmPerPixel = 25.4 / 96;
    std::vector<Word> words;
    for (const auto& t : textsOf(image)) {
        const QStringList parts = t.text.split(QLatin1Char(' '), Qt::SkipEmptyParts);
        for (qsizetype i = 0; i < parts.size(); ++i)
            words.push_back({t.at.x() * mmPerPixel + i * 0.01, t.at.y() * mmPerPixel, parts[i]});
    }
    return rowsOfWords(words);
}

QString pdftotext()
{
    return QStandardPaths::findExecutable(QStringLiteral("pdftotext"));
}

Document rowsOfPdf(const QString& path)
{
    QProcess p;
    p.start(pdftotext(), {QStringLiteral("-bbox"), path, QStringLiteral("-")});
    p.waitForFinished(120000);
    const QString html = QString::fromUtf8(p.readAllStandardOutput());
    static const QRegularExpression word(
        QStringLiteral("<word xMin=\"([\\d.]+)\" yMin=\"([\\d.]+)\"[^>]*>([^<]*)</word>"));
    constexpr double mmPerPoint = 25.4 / 72;
    Document doc;
    for (const QString& page : html.split(QStringLiteral("<page "), Qt::SkipEmptyParts).mid(1)) {
        std::vector<Word> words;
        for (auto it = word.globalMatch(page); it.hasNext();) {
            const auto m = it.next();
            QString text = m.captured(3);
            text.replace(QStringLiteral("&amp;"), QStringLiteral("&"));
            words.push_back({m.captured(1).toDouble() * mmPerPoint,
                             m.captured(2).toDouble() * mmPerPoint, text});
        }
        doc.push_back(rowsOfWords(words));
    }
    return doc;
}

} // namespace zel::test
