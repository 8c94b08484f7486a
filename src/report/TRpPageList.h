#pragma once

#include "report/PaperSize.h"
#include "report/TRpStream.h"
#include "report/emf/EmfImage.h"

#include <QDateTime>
#include <QRecursiveMutex>
#include <memory>
#include <optional>
#include <vector>

namespace zel::report {

// The pages of one report, kept in a page store in the saved-report-file layout, so that
// saving is a plain copy of the store.
//
// File layout (little-endian): a 128-byte header, then one record per page in page order.
//   header  0: format version (u16) 3      2: writer version (u16) 305
//           8: page count (i32)           16: time written (f64, days since 30 Dec 1899,
//          25: compression flag (u8)          local time, fraction = time of day)
//           all other bytes 0
//   record  page number (i32, from 1), next (i32, offset just past the record), payload,
//           start (i32, offset of the record's first byte)
//   payload uncompressed: the page image; compressed: its length N (i32) and the TRpCompress
//           code of its N bytes
//
// A loaded file is checked whole before it replaces the store: format version 3, a page count
// the file has room for, and every record's fields against each other and the file size.
// Such a list is read-only. All failures throw ReportFileError; the methods take the list's
// lock, so pages can be read on one thread while another adds them.
class TRpPageList
{
public:
    static constexpr quint16 FormatVersion = 3;
    static constexpr quint16 WriterVersion = 305;
    static constexpr qint64 HeaderSize = 128;

    struct FileHeader
    {
        quint16 formatVersion = FormatVersion;
        quint16 writerVersion = WriterVersion;
        qint32 pageCount = 0;
        double timestamp = 0; // days since 30 December 1899, local time
        bool compressed = false;
    };

    // Where a page lies in the file and what its image says about itself.
    struct PageRecord
    {
        qint64 start = 0;      // offset of the record
        qint64 length = 0;     // bytes of the record, framing included
        qint64 imageBytes = 0; // bytes of the page image, uncompressed
        emf::EmfHeader image;  // the image's header
    };

    // An empty list whose store moves from memory to a temporary file past memoryLimit bytes.
    explicit TRpPageList(bool compressed = false,
                         qint64 memoryLimit = TRpStream::DefaultMemoryLimit);
    ~TRpPageList();
    TRpPageList(const TRpPageList&) = delete;
    TRpPageList& operator=(const TRpPageList&) = delete;

    // Appends a page; the first page also writes the header.
    void addPage(const emf::EmfImage& image);
    // Rewrites the header with the final page count and the time.
    void finish();
    // Page n (from 1); none when n is not a page of the list.
    std::optional<emf::EmfImage> page(int n);
    // Page n's place and image header, without decoding more of the page than its header.
    PageRecord pageRecord(int n);
    // Writes the whole store to fileName by the rules of data::OutputFile: a file is replaced
    // only once the new one is complete, a pipe or a character device is written straight
    // into, anything else is refused; "-" is standard output where standardOutputAllowed.
    void save(const QString& fileName, bool standardOutputAllowed = false);
    // Makes the report file fileName the store. On failure the list stays as it was.
    void load(const QString& fileName);

    int pageCount() const;
    bool compressed() const;
    bool loaded() const;
    FileHeader fileHeader() const;
    // The paper a loaded file's first page was made for; none when no paper size fits.
    std::optional<PaperSize::Match> loadedPaper() const;
    TRpStream& stream() { return *m_stream; }

    static double toDays(const QDateTime& localTime);
    static QDateTime fromDays(double days);

private:
    void writeHeader();
    qint64 locate(int n);
    qint64 lastRecordStart();
    qint32 readI32At(qint64 offset);
    void remember(int page, qint64 start);
    QByteArray readImage(int n, qint64 start, qsizetype limit, qint64* imageBytes, qint64* end);
    [[noreturn]] void damaged(const QString& detail) const;

    mutable QRecursiveMutex m_mutex;
    std::unique_ptr<TRpStream> m_stream;
    FileHeader m_header;
    bool m_loaded = false;
    std::optional<PaperSize::Match> m_paper;
    // Record starts found so far by locating pages (0 where still unknown), so that a page
    // is walked to only once.
    std::vector<qint64> m_starts;
};

} // namespace zel::report
