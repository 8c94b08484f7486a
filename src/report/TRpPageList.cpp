#include "report/TRpPageList.h"

#include "data/base/FileAccess.h"
#include "report/ReportFileError.h"
#include "report/TRpCompress.h"
#include "report/emf/EmfError.h"
#include "report/emf/EmfFormat.h"

#include <QDir>
#include <QMutexLocker>
#include <QtEndian>
#include <cmath>
#include <cstring>
#include <limits>

namespace zel::report {

namespace {

// Page number and next field before the payload, start field after it.
constexpr qint64 RecordFraming = 12;
// The smallest payloads: a length field alone, or an image with only its header and end.
constexpr qint64 MinCompressedPayload = 4;
constexpr qint64 MinImagePayload = emf::HEADER_BASE_SIZE + emf::EOF_RECORD_SIZE;
// Enough of an image to read its header with every extension.
constexpr qsizetype ImageHeaderBytes = emf::HEADER_FULL_SIZE;

const QDate DayZero(1899, 12, 30);
constexpr double MsecsPerDay = 86400000.0;

class StreamLocker
{
public:
    explicit StreamLocker(TRpStream& stream) : m_stream(stream) { m_stream.lock(); }
    ~StreamLocker() { m_stream.unlock(); }
    StreamLocker(const StreamLocker&) = delete;
    StreamLocker& operator=(const StreamLocker&) = delete;

private:
    TRpStream& m_stream;
};

qint32 readI32(TRpStream& stream)
{
    char buf[4];
    stream.readExactly(buf, 4);
    return qFromLittleEndian<qint32>(buf);
}

QString shownName(const QString& path)
{
    return QDir::toNativeSeparators(path);
}

// The checks that make a loaded file safe to walk and read: everything the header and the
// record fields claim must agree with each other and with the file's size.
TRpPageList::FileHeader checkFile(TRpStream& stream, const QString& path)
{
    const auto notReport = [&path](const QString& detail) {
        return ReportFileError(
            QStringLiteral("Not a report file: %1: %2").arg(shownName(path), detail));
    };
    const auto damaged = [&path](const QString& detail) {
        return ReportFileError(
            QStringLiteral("Damaged report file: %1: %2").arg(shownName(path), detail));
    };

    const qint64 size = stream.size();
    if (size < TRpPageList::HeaderSize)
        throw notReport(QStringLiteral("the file is %1 bytes long, shorter than the %2-byte "
                                       "header")
                            .arg(size)
                            .arg(TRpPageList::HeaderSize));
    char raw[TRpPageList::HeaderSize];
    stream.seek(0);
    stream.readExactly(raw, TRpPageList::HeaderSize);
    TRpPageList::FileHeader h;
    h.formatVersion = qFromLittleEndian<quint16>(raw);
    h.writerVersion = qFromLittleEndian<quint16>(raw + 2);
    h.pageCount = qFromLittleEndian<qint32>(raw + 8);
    h.timestamp = qFromLittleEndian<double>(raw + 16);
    const quint8 flag = quint8(raw[25]);
    h.compressed = flag == 1;

    if (h.formatVersion != TRpPageList::FormatVersion)
        throw notReport(QStringLiteral("format version %1, where this program reads version %2")
                            .arg(h.formatVersion)
                            .arg(TRpPageList::FormatVersion));
    if (flag > 1)
        throw notReport(QStringLiteral("the compression flag is %1, neither 0 nor 1").arg(flag));
    if (h.pageCount < 0)
        throw notReport(QStringLiteral("the page count is negative (%1)").arg(h.pageCount));

    const qint64 minPayload = h.compressed ? MinCompressedPayload : MinImagePayload;
    const qint64 minRecord = RecordFraming + minPayload;
    const qint64 room = (size - TRpPageList::HeaderSize) / minRecord;
    if (h.pageCount > room)
        throw damaged(QStringLiteral("the header lists %1 pages, but the file has room for at "
                                     "most %2")
                          .arg(h.pageCount)
                          .arg(room));

    qint64 at = TRpPageList::HeaderSize;
    for (qint32 n = 1; n <= h.pageCount; ++n) {
        const QString page = QStringLiteral("page %1 of %2: ").arg(n).arg(h.pageCount);
        if (size - at < minRecord)
            throw damaged(page % QStringLiteral("the record at byte %1 runs past the end of the "
                                                "file (%2 bytes)")
                                     .arg(at)
                                     .arg(size));
        stream.seek(at);
        const qint32 number = readI32(stream);
        const qint64 next = readI32(stream);
        if (number != n)
            throw damaged(
                page %
                QStringLiteral("the record at byte %1 has page number %2").arg(at).arg(number));
        if (next > size)
            throw damaged(page % QStringLiteral("the record at byte %1 claims to end at byte %2, "
                                                "past the end of the file (%3 bytes)")
                                     .arg(at)
                                     .arg(next)
                                     .arg(size));
        if (next < at + minRecord)
            throw damaged(page % QStringLiteral("the record at byte %1 claims to end at byte %2, "
                                                "too soon for a page")
                                     .arg(at)
                                     .arg(next));
        stream.seek(next - 4);
        const qint64 start = readI32(stream);
        if (start != at)
            throw damaged(page % QStringLiteral("the record at byte %1 ends with a start field "
                                                "of %2")
                                     .arg(at)
                                     .arg(start));

        const qint64 payload = next - RecordFraming - at;
        stream.seek(at + 8);
        if (h.compressed) {
            const qint64 length = readI32(stream);
            const qint64 coded = payload - 4;
            if (length < 0)
                throw damaged(page % QStringLiteral("the compressed page has a negative length "
                                                    "(%1)")
                                         .arg(length));
            // Every byte takes at least one bit of code.
            if (length > coded * 8)
                throw damaged(page % QStringLiteral("the compressed length of %1 bytes is more "
                                                    "than its %2 bytes of code can hold")
                                         .arg(length)
                                         .arg(coded));
        } else {
            char image[emf::HEADER_BASE_SIZE];
            stream.readExactly(image, sizeof image);
            try {
                const emf::EmfHeader header =
                    emf::EmfHeader::parse(QByteArrayView(image, sizeof image));
                if (header.bytes != payload)
                    throw damaged(page % QStringLiteral("the page image is %1 bytes long, but "
                                                        "its record holds %2")
                                             .arg(header.bytes)
                                             .arg(payload));
            } catch (const emf::EmfError& e) {
                throw damaged(page % e.message());
            }
        }
        at = next;
    }
    if (at != size)
        throw damaged(QStringLiteral("%1 bytes follow the last page").arg(size - at));
    return h;
}

} // namespace

TRpPageList::TRpPageList(bool compressed, qint64 memoryLimit)
    : m_stream(std::make_unique<TRpStream>(memoryLimit))
{
    m_header.compressed = compressed;
}

TRpPageList::~TRpPageList() = default;

double TRpPageList::toDays(const QDateTime& localTime)
{
    // Before day zero the whole days count backwards but the fraction still runs forwards
    // through the day: 29 December 1899, 6:00 is -1.25.
    const double whole = double(DayZero.daysTo(localTime.date()));
    const double fraction = localTime.time().msecsSinceStartOfDay() / MsecsPerDay;
    return whole < 0 ? whole - fraction : whole + fraction;
}

QDateTime TRpPageList::fromDays(double days)
{
    if (!std::isfinite(days) || std::fabs(days) > 3.0e6)
        return {};
    const double whole = std::trunc(days);
    const double fraction = std::fabs(days - whole);
    const int msecs = qMin(int(std::lround(fraction * MsecsPerDay)), int(MsecsPerDay) - 1);
    return QDateTime(DayZero.addDays(qint64(whole)), QTime::fromMSecsSinceStartOfDay(msecs));
}

void TRpPageList::damaged(const QString& detail) const
{
    const QString path = m_stream->loadedPath();
    throw ReportFileError(
        path.isEmpty()
            ? QStringLiteral("Damaged report pages: %1").arg(detail)
            : QStringLiteral("Damaged report file: %1: %2").arg(shownName(path), detail));
}

void TRpPageList::writeHeader()
{
    m_header.timestamp = toDays(QDateTime::currentDateTime());
    char raw[HeaderSize] = {};
    qToLittleEndian(m_header.formatVersion, raw);
    qToLittleEndian(m_header.writerVersion, raw + 2);
    qToLittleEndian(m_header.pageCount, raw + 8);
    qToLittleEndian(m_header.timestamp, raw + 16);
    raw[25] = m_header.compressed ? 1 : 0;
    m_stream->seek(0);
    m_stream->write(raw, HeaderSize);
}

void TRpPageList::addPage(const emf::EmfImage& image)
{
    QMutexLocker locker(&m_mutex);
    StreamLocker streamLock(*m_stream);
    if (m_loaded)
        throw ReportFileError(QStringLiteral("A loaded report file is not written to"));

    // The record is put together whole and written in one piece, with its next field already
    // right, so a failed write adds no page.
    const QByteArray payload =
        m_header.compressed ? TRpCompress::encodePage(image.bytes()) : image.bytes();
    const qint32 previousCount = m_header.pageCount;
    m_header.pageCount = previousCount + 1;
    try {
        if (m_header.pageCount == 1)
            writeHeader();
        TRpStream& s = *m_stream;
        const qint64 start = s.size();
        const qint64 end = start + RecordFraming + payload.size();
        if (end > std::numeric_limits<qint32>::max())
            throw ReportFileError(QStringLiteral("The report has grown past the 2 GB a report "
                                                 "file can hold"));
        QByteArray record(RecordFraming + payload.size(), Qt::Uninitialized);
        char* p = record.data();
        qToLittleEndian<qint32>(m_header.pageCount, p);
        qToLittleEndian<qint32>(qint32(end), p + 4);
        std::memcpy(p + 8, payload.constData(), size_t(payload.size()));
        qToLittleEndian<qint32>(qint32(start), p + 8 + payload.size());
        s.seek(start);
        s.write(record);
    } catch (const ReportFileError&) {
        m_header.pageCount = previousCount;
        throw;
    }
    m_starts.push_back(0);
}

void TRpPageList::finish()
{
    QMutexLocker locker(&m_mutex);
    StreamLocker streamLock(*m_stream);
    if (m_loaded)
        throw ReportFileError(QStringLiteral("A loaded report file is not written to"));
    writeHeader();
}

qint32 TRpPageList::readI32At(qint64 offset)
{
    if (offset < HeaderSize || offset > m_stream->size() - 4)
        damaged(
            QStringLiteral("a record field would lie at byte %1, outside the pages").arg(offset));
    m_stream->seek(offset);
    return readI32(*m_stream);
}

qint64 TRpPageList::lastRecordStart()
{
    return readI32At(m_stream->size() - 4);
}

void TRpPageList::remember(int page, qint64 start)
{
    if (page >= 1 && page <= int(m_starts.size()))
        m_starts[std::size_t(page - 1)] = start;
}

// The first and the last record are found directly; any other is walked to from where the
// store stands: forward along the next fields or backward along the start fields in front of
// each record. Every record passed is remembered.
qint64 TRpPageList::locate(int n)
{
    if (const qint64 known = m_starts[std::size_t(n - 1)]; known != 0)
        return known;

    const int count = m_header.pageCount;
    qint64 at;
    if (n == 1) {
        at = HeaderSize;
    } else if (n == count) {
        at = lastRecordStart();
    } else {
        at = m_stream->pos();
        if (at >= m_stream->size())
            at = lastRecordStart();
        qint32 p = readI32At(at);
        // In a sound chain the page numbers run one by one towards n, so a walk that takes
        // more steps than there are pages has met a damaged record.
        for (int steps = 0; p != n; ++steps) {
            if (p < 1 || p > count || steps > count)
                damaged(QStringLiteral("the record at byte %1 has page number %2 on the way "
                                       "to page %3")
                            .arg(at)
                            .arg(p)
                            .arg(n));
            remember(p, at);
            at = p < n ? readI32At(at + 4) : readI32At(at - 4);
            p = readI32At(at);
        }
    }
    remember(n, at);
    m_stream->seek(at);
    return at;
}

// Reads record n at start and returns its image, or only the first limit bytes of it when limit
// is not negative. imageBytes gets the image's full length, end the offset just past the
// record, where the store is left standing.
QByteArray TRpPageList::readImage(int n, qint64 start, qsizetype limit, qint64* imageBytes,
                                  qint64* end)
{
    TRpStream& s = *m_stream;
    const qint32 number = readI32At(start);
    const qint64 next = readI32(s);
    if (number != n || next < start + RecordFraming + 4 || next > s.size())
        damaged(QStringLiteral("the record of page %1 at byte %2 is not one").arg(n).arg(start));
    const qint64 payload = next - RecordFraming - start;

    QByteArray bytes;
    if (m_header.compressed) {
        const qint64 length = readI32(s);
        const qint64 codedBytes = payload - 4;
        if (length < 0 || length > codedBytes * 8)
            damaged(QStringLiteral("page %1 claims %2 bytes from %3 bytes of code")
                        .arg(n)
                        .arg(length)
                        .arg(codedBytes));
        *imageBytes = length;
        const qint64 want = limit < 0 ? length : qMin<qint64>(limit, length);
        // No code is longer than 256 bits, so want bytes never need more than 32 code bytes
        // each.
        const qint64 read = limit < 0 ? codedBytes : qMin(codedBytes, want * 32);
        QByteArray coded(read, Qt::Uninitialized);
        s.readExactly(coded.data(), read);
        bytes = TRpCompress::decode(coded, want);
    } else {
        *imageBytes = payload;
        const qint64 read = limit < 0 ? payload : qMin<qint64>(limit, payload);
        bytes.resize(read);
        s.readExactly(bytes.data(), read);
    }
    s.seek(next - 4);
    if (readI32(s) != start)
        damaged(QStringLiteral("the record of page %1 at byte %2 ends with a wrong start field")
                    .arg(n)
                    .arg(start));
    *end = next;
    return bytes;
}

std::optional<emf::EmfImage> TRpPageList::page(int n)
{
    QMutexLocker locker(&m_mutex);
    StreamLocker streamLock(*m_stream);
    if (n < 1 || n > m_header.pageCount)
        return std::nullopt;
    qint64 imageBytes = 0;
    qint64 end = 0;
    const QByteArray bytes = readImage(n, locate(n), -1, &imageBytes, &end);
    try {
        return emf::EmfImage::fromBytes(bytes);
    } catch (const emf::EmfError& e) {
        damaged(QStringLiteral("page %1 is not a valid page image: %2").arg(n).arg(e.message()));
    }
}

TRpPageList::PageRecord TRpPageList::pageRecord(int n)
{
    QMutexLocker locker(&m_mutex);
    StreamLocker streamLock(*m_stream);
    if (n < 1 || n > m_header.pageCount)
        throw ReportFileError(
            QStringLiteral("There is no page %1; the report has %2").arg(n).arg(pageCount()));
    PageRecord record;
    record.start = locate(n);
    qint64 end = 0;
    const QByteArray head = readImage(n, record.start, ImageHeaderBytes, &record.imageBytes, &end);
    record.length = end - record.start;
    try {
        record.image = emf::EmfHeader::parse(head);
    } catch (const emf::EmfError& e) {
        damaged(QStringLiteral("page %1 is not a valid page image: %2").arg(n).arg(e.message()));
    }
    return record;
}

void TRpPageList::save(const QString& fileName, bool standardOutputAllowed)
{
    QMutexLocker locker(&m_mutex);
    data::OutputFile file(fileName, standardOutputAllowed);
    try {
        file.open();
    } catch (const data::FileAccessError& e) {
        throw ReportFileError(e.message());
    }
    try {
        m_stream->copyTo(file.device());
    } catch (const ReportFileError& e) {
        throw ReportFileError(
            QStringLiteral("Cannot write %1: %2").arg(file.shownName(), e.message()));
    }
    try {
        file.commit();
    } catch (const data::FileAccessError& e) {
        throw ReportFileError(e.message());
    }
}

void TRpPageList::load(const QString& fileName)
{
    // The file is checked and its first page read in a list of its own, which replaces this
    // one's content only when all went well: a refused file leaves the list as it was.
    TRpPageList candidate;
    candidate.m_stream = TRpStream::openFile(fileName);
    candidate.m_header = checkFile(*candidate.m_stream, fileName);
    candidate.m_loaded = true;
    candidate.m_starts.assign(std::size_t(candidate.m_header.pageCount), 0);
    if (candidate.m_header.pageCount > 0) {
        const QSizeF size = candidate.pageRecord(1).image.frameTenthsMm();
        if (!size.isEmpty())
            candidate.m_paper = PaperSize::recognise(size);
    }
    candidate.m_stream->seek(HeaderSize);

    QMutexLocker locker(&m_mutex);
    std::swap(m_stream, candidate.m_stream);
    std::swap(m_header, candidate.m_header);
    std::swap(m_loaded, candidate.m_loaded);
    std::swap(m_paper, candidate.m_paper);
    std::swap(m_starts, candidate.m_starts);
}

int TRpPageList::pageCount() const
{
    QMutexLocker locker(&m_mutex);
    return m_header.pageCount;
}

bool TRpPageList::compressed() const
{
    QMutexLocker locker(&m_mutex);
    return m_header.compressed;
}

bool TRpPageList::loaded() const
{
    QMutexLocker locker(&m_mutex);
    return m_loaded;
}

TRpPageList::FileHeader TRpPageList::fileHeader() const
{
    QMutexLocker locker(&m_mutex);
    return m_header;
}

std::optional<PaperSize::Match> TRpPageList::loadedPaper() const
{
    QMutexLocker locker(&m_mutex);
    return m_paper;
}

} // namespace zel::report
