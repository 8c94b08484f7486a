// pxlib, the second and independent reader of Paradox files in the tests.
#include "PxlibReader.h"

#include <QFile>
#include <QLocale>
#include <algorithm>
#include <cstdlib>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

extern "C" {
#include <paradox.h>
}

namespace zel::test {

namespace {

constexpr long kPxlibBlank = -2147483648L;

// pxlib gives a blank integer, date or time as the smallest integer, which the format cannot
// hold otherwise: that is NULL.
QStringList pxlibColumnHere(const QString& dbPath, const QString& mbPath, int field,
                            const QStringList& passwords)
{
    QStringList cells;
    pxdoc_t* doc = PX_new();
    if (PX_open_file(doc, QFile::encodeName(dbPath).constData()) < 0) {
        PX_delete(doc);
        return {QStringLiteral("pxlib cannot open the table")};
    }
    for (const QString& pw : passwords)
        PX_set_parameter(doc, "password", pw.toLatin1().constData());
    if (!mbPath.isEmpty())
        PX_set_blob_file(doc, QFile::encodeName(mbPath).constData());
    PX_set_targetencoding(doc, "UTF-8");
    pxfield_t* fields = PX_get_fields(doc);
    int offset = 0;
    for (int i = 0; i < field; ++i)
        offset += fields[i].px_flen;
    const pxfield_t& f = fields[field];
    std::vector<char> rec(static_cast<size_t>(PX_get_recordsize(doc)));
    for (int r = 0; r < PX_get_num_records(doc); ++r) {
        if (!PX_get_record(doc, r, rec.data())) {
            cells << QStringLiteral("?");
            continue;
        }
        char* p = rec.data() + offset;
        QString cell;
        switch (f.px_ftype) {
        case pxfAlpha: {
            char* v = nullptr;
            if (PX_get_data_alpha(doc, p, f.px_flen, &v) > 0) {
                cell = QString::fromUtf8(v);
                while (cell.endsWith(QLatin1Char(' ')))
                    cell.chop(1);
                doc->free(doc, v);
            }
            break;
        }
        case pxfShort: {
            short v = 0;
            if (PX_get_data_short(doc, p, f.px_flen, &v) > 0)
                cell = QString::number(v);
            break;
        }
        case pxfLong:
        case pxfAutoInc: {
            long v = 0;
            if (PX_get_data_long(doc, p, f.px_flen, &v) > 0 && v != kPxlibBlank)
                cell = QString::number(v);
            break;
        }
        case pxfDate: {
            long v = 0;
            if (PX_get_data_long(doc, p, f.px_flen, &v) > 0 && v != kPxlibBlank) {
                int y = 0, m = 0, d = 0;
                PX_SdnToGregorian(v + 1721425, &y, &m, &d);
                // pxlib counts 1 BC as year -1; ISO 8601 as year 0.
                if (y < 0)
                    ++y;
                cell = QStringLiteral("%1%2-%3-%4")
                           .arg(y < 0 ? QStringLiteral("-") : QString())
                           .arg(std::abs(y), 4, 10, QLatin1Char('0'))
                           .arg(m, 2, 10, QLatin1Char('0'))
                           .arg(d, 2, 10, QLatin1Char('0'));
            }
            break;
        }
        case pxfTime: {
            long v = 0;
            if (PX_get_data_long(doc, p, f.px_flen, &v) > 0 && v != kPxlibBlank) {
                cell = QStringLiteral("%1:%2:%3")
                           .arg(v / 3600000, 2, 10, QLatin1Char('0'))
                           .arg(v / 60000 % 60, 2, 10, QLatin1Char('0'))
                           .arg(v / 1000 % 60, 2, 10, QLatin1Char('0'));
                if (v % 1000 != 0)
                    cell += QStringLiteral(".%1").arg(v % 1000, 3, 10, QLatin1Char('0'));
            }
            break;
        }
        case pxfTimestamp: {
            double v = 0;
            if (PX_get_data_double(doc, p, f.px_flen, &v) > 0) {
                char* s = PX_timestamp2string(doc, v, "Y-m-d H:i:s");
                cell = QString::fromLatin1(s).replace(QLatin1Char(' '), QLatin1Char('T'));
                doc->free(doc, s);
            }
            break;
        }
        case pxfNumber:
        case pxfCurrency: {
            double v = 0;
            if (PX_get_data_double(doc, p, f.px_flen, &v) > 0)
                cell = QString::number(v, 'g', QLocale::FloatingPointShortest);
            break;
        }
        case pxfLogical: {
            char v = 0;
            if (PX_get_data_byte(doc, p, f.px_flen, &v) > 0)
                cell = v ? QStringLiteral("true") : QStringLiteral("false");
            break;
        }
        case pxfBCD: {
            char* v = nullptr;
            if (PX_get_data_bcd(doc, reinterpret_cast<unsigned char*>(p), f.px_fdc, &v) > 0) {
                cell = QString::fromLatin1(v);
                doc->free(doc, v);
            }
            break;
        }
        case pxfBytes: {
            char* v = nullptr;
            if (PX_get_data_bytes(doc, p, f.px_flen, &v) > 0) {
                const QByteArray b(v, f.px_flen);
                cell = QString::number(b.size()) + QLatin1Char(':') +
                       QString::fromLatin1(b.toBase64());
                doc->free(doc, v);
            }
            break;
        }
        case pxfMemoBLOb:
        case pxfFmtMemoBLOb:
        case pxfBLOb:
        case pxfOLE:
        case pxfGraphic: {
            char* v = nullptr;
            int mod = 0, size = 0;
            const int got = f.px_ftype == pxfGraphic
                                ? PX_get_data_graphic(doc, p, f.px_flen, &mod, &size, &v)
                                : PX_get_data_blob(doc, p, f.px_flen, &mod, &size, &v);
            if (got > 0 && v) {
                const QByteArray b(v, size);
                if (f.px_ftype == pxfMemoBLOb || f.px_ftype == pxfFmtMemoBLOb)
                    cell = QString::fromLatin1(b);
                else
                    cell = QString::number(b.size()) + QLatin1Char(':') +
                           QString::fromLatin1(b.toBase64());
                doc->free(doc, v);
            } else if (got < 0) {
                cell = QStringLiteral("?");
            }
            break;
        }
        default:
            cell = QStringLiteral("?");
        }
        cells << cell;
    }
    PX_close(doc);
    PX_delete(doc);
    return cells;
}

} // namespace

QStringList pxlibColumn(const QString& dbPath, const QString& mbPath, int field,
                        const QStringList& passwords)
{
    int fds[2];
    if (pipe(fds) != 0)
        return {QStringLiteral("no pipe")};
    const pid_t pid = fork();
    if (pid == 0) {
        ::close(fds[0]);
        const QByteArray out =
            pxlibColumnHere(dbPath, mbPath, field, passwords).join(QChar(0x1F)).toUtf8();
        qsizetype done = 0;
        while (done < out.size()) {
            const ssize_t n =
                ::write(fds[1], out.constData() + done, static_cast<size_t>(out.size() - done));
            if (n <= 0)
                break;
            done += n;
        }
        _exit(0);
    }
    ::close(fds[1]);
    QByteArray in;
    char buf[4096];
    for (ssize_t n; (n = ::read(fds[0], buf, sizeof buf)) > 0;)
        in.append(buf, n);
    ::close(fds[0]);
    int status = 0;
    waitpid(pid, &status, 0);
    if (!WIFEXITED(status))
        return {QStringLiteral("pxlib crashed")};
    return QString::fromUtf8(in).split(QChar(0x1F));
}

QString trimmedCopy(const QString& mbPath, const QString& copyPath)
{
    QFile f(mbPath);
    if (!f.open(QIODevice::ReadOnly))
        return QString();
    QByteArray b = f.readAll();
    while (b.endsWith('\0'))
        b.chop(1);
    QFile out(copyPath);
    if (!out.open(QIODevice::WriteOnly))
        return QString();
    out.write(b);
    return copyPath;
}

QString plainDecimal(QString s)
{
    if (s.startsWith(QLatin1Char('+')))
        s.remove(0, 1);
    const bool negative = s.startsWith(QLatin1Char('-'));
    if (negative)
        s.remove(0, 1);
    while (s.size() > 1 && s.startsWith(QLatin1Char('0')) && s.at(1) != QLatin1Char('.'))
        s.remove(0, 1);
    if (s.startsWith(QLatin1Char('.')))
        s.prepend(QLatin1Char('0'));
    const bool zero = std::all_of(
        s.begin(), s.end(), [](QChar c) { return c == QLatin1Char('0') || c == QLatin1Char('.'); });
    return (negative && !zero ? QStringLiteral("-") : QString()) + s;
}

} // namespace zel::test
