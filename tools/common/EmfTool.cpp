#include "common/EmfTool.h"

#include "common/GuiScope.h"
#include "data/base/FileAccess.h"
#include "data/base/StandardOutput.h"
#include "report/ReportFileError.h"
#include "report/emf/EmfError.h"
#include "report/emf/EmfFormat.h"
#include "report/emf/EmfPlayer.h"

#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <QTextStream>
#include <QtEndian>
#include <cmath>
#include <map>
#include <memory>

namespace zel::report {

namespace {

const char* const Usage = "Usage: zeltool emf COMMAND ...\n"
                          "  render IN.emf OUT.png [--dpi N | --width PX]\n"
                          "                         draw the page image as a picture (96 dpi\n"
                          "                         unless told); OUT.pdf writes a PDF page\n"
                          "  info IN.emf            header and record counts of a page image\n";

// Pictures larger than this are refused rather than allocated: a poster-sized frame at a high
// resolution would need gigabytes.
constexpr qint64 MaxPixels = 200'000'000;
constexpr qint64 MaxSide = 60'000;
// No page image of any use is larger; the format itself stops at 4 GiB.
constexpr qint64 MaxFileBytes = 512 * 1024 * 1024;

struct UsageError
{
    QString message;
};

QString shown(const QString& path)
{
    return QDir::toNativeSeparators(path);
}

emf::EmfImage readImage(const QString& path)
{
    QByteArray data;
    try {
        data = data::readWholeFile(path, QStringLiteral("page image"), MaxFileBytes);
    } catch (const data::FileAccessError& e) {
        throw ReportFileError(e.message());
    }
    try {
        return emf::EmfImage::fromBytes(data);
    } catch (const emf::EmfError& e) {
        throw ReportFileError(QStringLiteral("%1 is not a page image that can be drawn: %2")
                                  .arg(shown(path), e.message()));
    }
}

double positiveNumber(const QString& option, const QString& word)
{
    bool ok = false;
    const double v = word.toDouble(&ok);
    if (!ok || !(v > 0) || v > 1e6)
        throw UsageError{
            QStringLiteral("%1 needs a positive number, not \"%2\"").arg(option, word)};
    return v;
}

void open(data::OutputFile& file)
{
    try {
        file.open();
    } catch (const data::FileAccessError& e) {
        throw ReportFileError(e.message());
    }
}

void commit(data::OutputFile& file)
{
    try {
        file.commit();
    } catch (const data::FileAccessError& e) {
        throw ReportFileError(e.message());
    }
}

void writePdf(const emf::EmfImage& image, const QString& path)
{
    const QSizeF mm = image.header().frameTenthsMm() / 10.0;
    if (!(mm.width() >= 1 && mm.height() >= 1 && mm.width() <= 10000 && mm.height() <= 10000))
        throw ReportFileError(QStringLiteral("The image's frame of %1 x %2 mm fits no PDF page")
                                  .arg(mm.width(), 0, 'f', 1)
                                  .arg(mm.height(), 0, 'f', 1));
    data::OutputFile file(path);
    open(file);
    {
        QPdfWriter writer(&file.device());
        writer.setCreator(QStringLiteral("ZEL"));
        writer.setPageLayout(
            QPageLayout(QPageSize(mm, QPageSize::Millimeter), QPageLayout::Portrait, QMarginsF()));
        QPainter painter;
        if (!painter.begin(&writer))
            throw ReportFileError(QStringLiteral("Cannot start the PDF file %1").arg(shown(path)));
        const QRectF target(QPointF(0, 0), QSizeF(writer.width(), writer.height()));
        emf::EmfPlayer::play(image, painter, target);
        painter.end();
    }
    commit(file);
}

int render(const QStringList& a, QTextStream& out)
{
    QStringList words = a;
    double dpi = 96;
    int width = 0;
    for (qsizetype i = 0; i < words.size();) {
        if (words[i] == QLatin1String("--dpi") || words[i] == QLatin1String("--width")) {
            if (i + 1 >= words.size())
                throw UsageError{QStringLiteral("%1 needs a value").arg(words[i])};
            const double v = positiveNumber(words[i], words[i + 1]);
            if (words[i] == QLatin1String("--dpi"))
                dpi = v;
            else
                width = int(std::lround(v));
            words.remove(i, 2);
        } else {
            ++i;
        }
    }
    if (words.size() != 2)
        throw UsageError{QStringLiteral("render takes a page image and an output file")};
    const GuiScope gui;
    const emf::EmfImage image = readImage(words[0]);
    const QString target = words[1];
    if (target.endsWith(QLatin1String(".pdf"), Qt::CaseInsensitive)) {
        writePdf(image, target);
        out << "Wrote " << shown(target) << '\n';
        return 0;
    }

    QSize size = emfPixelSize(image, dpi);
    if (width > 0) {
        const double f = double(width) / size.width();
        size = QSize(width, qMax(1, int(std::lround(size.height() * f))));
    }
    if (size.width() > MaxSide || size.height() > MaxSide ||
        qint64(size.width()) * size.height() > MaxPixels)
        throw ReportFileError(QStringLiteral("A picture of %1 x %2 pixels is too large; choose "
                                             "a lower --dpi or a --width")
                                  .arg(size.width())
                                  .arg(size.height()));
    const QImage picture = renderEmf(image, size);
    data::OutputFile file(target);
    open(file);
    const QByteArray format =
        target.endsWith(QLatin1String(".jpg"), Qt::CaseInsensitive) ? "JPG" : "PNG";
    if (!picture.save(&file.device(), format.constData()))
        throw ReportFileError(QStringLiteral("Cannot write %1").arg(shown(target)));
    commit(file);
    out << "Wrote " << shown(target) << " (" << size.width() << " x " << size.height()
        << " pixels)\n";
    return 0;
}

int info(const QStringList& a, QTextStream& out)
{
    if (a.size() != 1)
        throw UsageError{QStringLiteral("info takes one page image")};
    const emf::EmfImage image = readImage(a[0]);
    const emf::EmfHeader& h = image.header();
    const QSizeF mm = h.frameTenthsMm() / 10.0;
    const QRectF px = h.frameInDevicePixels();
    out << "File:        " << shown(a[0]) << '\n'
        << "Bytes:       " << h.bytes << '\n'
        << "Records:     " << h.records << '\n'
        << "Objects:     " << h.handles - 1 << '\n'
        << "Frame:       " << QString::number(mm.width(), 'f', 2) << " x "
        << QString::number(mm.height(), 'f', 2) << " mm\n"
        << "Bounds:      " << h.bounds.left << ", " << h.bounds.top << " to " << h.bounds.right
        << ", " << h.bounds.bottom << " device pixels\n"
        << "Device:      " << h.device.width() << " x " << h.device.height() << " pixels, "
        << h.millimetres.width() << " x " << h.millimetres.height() << " mm\n"
        << "In pixels:   " << QString::number(px.width(), 'f', 1) << " x "
        << QString::number(px.height(), 'f', 1) << '\n';

    std::map<quint32, int> counts;
    const QByteArray& bytes = image.bytes();
    for (qsizetype at = 0; at + 8 <= bytes.size();) {
        const quint32 type = qFromLittleEndian<quint32>(bytes.constData() + at);
        ++counts[type];
        at += qFromLittleEndian<quint32>(bytes.constData() + at + 4);
    }
    out << "\n  Count  Record\n";
    for (const auto& [type, n] : counts)
        out << QStringLiteral("%1  %2 (%3)\n").arg(n, 7).arg(emf::recordName(type)).arg(type);
    return 0;
}

} // namespace

QSize emfPixelSize(const emf::EmfImage& image, double dpi)
{
    const QSizeF mm = image.header().frameTenthsMm() / 10.0;
    const double w = std::max(1.0, std::round(mm.width() * dpi / 25.4));
    const double h = std::max(1.0, std::round(mm.height() * dpi / 25.4));
    return QSize(int(std::min(w, 1e9)), int(std::min(h, 1e9)));
}

QImage renderEmf(const emf::EmfImage& image, const QSize& size)
{
    QImage picture(size, QImage::Format_RGB32);
    picture.fill(Qt::white);
    QPainter painter(&picture);
    painter.setRenderHints(QPainter::Antialiasing | QPainter::TextAntialiasing |
                           QPainter::SmoothPixmapTransform);
    emf::EmfPlayer::play(image, painter, QRectF(picture.rect()));
    painter.end();
    return picture;
}

int runEmfTool(const QStringList& args, QTextStream& out, QTextStream& err)
{
    const QString command = args.value(0);
    const QStringList rest = args.mid(1);
    try {
        // An empty name would be the current directory, never a file.
        if (rest.contains(QString()))
            throw UsageError{QStringLiteral("an empty argument names no file")};
        if (command == QLatin1String("render"))
            return render(rest, out);
        if (command == QLatin1String("info"))
            return info(rest, out);
        if (command == QLatin1String("help") || command == QLatin1String("--help") ||
            command == QLatin1String("-h")) {
            out << Usage << '\n' << data::OutputFile::helpText(false);
            return 0;
        }
        throw UsageError{command.isEmpty() ? QStringLiteral("no command given")
                                           : QStringLiteral("unknown command \"%1\"").arg(command)};
    } catch (const UsageError& e) {
        err << "zeltool emf: " << e.message << '\n' << Usage;
        return 2;
    } catch (const ReportFileError& e) {
        err << e.message() << '\n';
    } catch (const emf::EmfError& e) {
        err << e.message() << '\n';
    }
    return 1;
}

int runEmfTool(const QStringList& args)
{
    QTextStream err(stderr);
    return runEmfTool(args, data::StandardOutput::stream(), err);
}

} // namespace zel::report
