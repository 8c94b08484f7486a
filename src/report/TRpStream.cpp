#include "report/TRpStream.h"

#include "data/base/FileAccess.h"
#include "report/ReportFileError.h"

#include <QDir>
#include <QFile>
#include <QMutexLocker>
#include <cstring>
#include <unistd.h>

namespace zel::report {

namespace {

constexpr qint64 CopyChunk = 10240;

} // namespace

TRpStream::TRpStream(qint64 memoryLimit) : m_memoryLimit(memoryLimit) {}

TRpStream::~TRpStream() = default; // a temporary file has no name and goes with its descriptor

std::unique_ptr<TRpStream> TRpStream::openFile(const QString& path)
{
    int fd = -1;
    try {
        fd = data::openFileForReading(path, QStringLiteral("report file"));
    } catch (const data::FileAccessError& e) {
        throw ReportFileError(e.message());
    }
    auto file = std::make_unique<QFile>();
    // Unbuffered: pages are read whole, and a buffer would only be refilled on every seek.
    if (!file->open(fd, QIODevice::ReadOnly | QIODevice::Unbuffered,
                    QFileDevice::AutoCloseHandle)) {
        ::close(fd);
        throw ReportFileError(QStringLiteral("Cannot open %1: %2")
                                  .arg(QDir::toNativeSeparators(path), file->errorString()));
    }
    std::unique_ptr<TRpStream> stream(new TRpStream(0));
    stream->m_inMemory = false;
    stream->m_readOnly = true;
    stream->m_file = std::move(file);
    stream->m_loadedPath = path;
    return stream;
}

void TRpStream::fileFailure(const QString& action) const
{
    const QString name = m_loadedPath.isEmpty()
                             ? QStringLiteral("the temporary file in %1").arg(m_temporaryDirectory)
                             : m_loadedPath;
    throw ReportFileError(QStringLiteral("Cannot %1 %2: %3")
                              .arg(action, QDir::toNativeSeparators(name), m_file->errorString()));
}

qint64 TRpStream::read(char* data, qint64 maxSize)
{
    QMutexLocker locker(&m_mutex);
    if (m_inMemory) {
        const qint64 n = qBound<qint64>(0, m_buffer.size() - m_pos, maxSize);
        std::memcpy(data, m_buffer.constData() + m_pos, size_t(n));
        m_pos += n;
        return n;
    }
    const qint64 n = m_file->read(data, maxSize);
    if (n < 0)
        fileFailure(QStringLiteral("read"));
    return n;
}

void TRpStream::readExactly(char* data, qint64 size)
{
    QMutexLocker locker(&m_mutex);
    const qint64 at = pos();
    if (read(data, size) != size)
        throw ReportFileError(
            QStringLiteral("The report pages end at byte %1, %2 bytes short of what was to be "
                           "read there")
                .arg(this->size())
                .arg(at + size - this->size()));
}

void TRpStream::write(const char* data, qint64 size)
{
    QMutexLocker locker(&m_mutex);
    if (m_readOnly)
        throw ReportFileError(QStringLiteral("A loaded report file is not written to"));
    if (m_inMemory) {
        const qint64 end = m_pos + size;
        // Moving to the file comes first, so that a failure to move leaves the store as it was
        // before this write.
        if (qMax<qint64>(end, m_buffer.size()) > m_memoryLimit) {
            spill();
        } else {
            if (end > m_buffer.size())
                m_buffer.resize(end);
            std::memcpy(m_buffer.data() + m_pos, data, size_t(size));
            m_pos = end;
            return;
        }
    }
    const qint64 before = m_file->size();
    const qint64 at = m_file->pos();
    if (m_file->write(data, size) != size) {
        // An append that failed half-way is taken back, so the store still ends on a record.
        if (at == before && m_file->resize(before))
            m_file->seek(at);
        fileFailure(QStringLiteral("write"));
    }
}

// Moving is all or nothing: the store stays in memory when the file cannot be made or written.
// The file has no name from the start, so no way of ending the program leaves it behind.
void TRpStream::spill()
{
    // An empty temporary path means TMPDIR names no directory; the file must not end up
    // wherever an empty path leads.
    const QString dir = QDir::tempPath();
    if (dir.isEmpty())
        throw ReportFileError(QStringLiteral("Cannot create a temporary file for the report "
                                             "pages: the temporary directory does not exist"));
    int fd = -1;
    try {
        fd = data::createAnonymousFile(dir);
    } catch (const data::FileAccessError& e) {
        throw ReportFileError(e.message());
    }
    auto file = std::make_unique<QFile>();
    const auto fail = [&file, &dir](const QString& action) {
        throw ReportFileError(QStringLiteral("Cannot %1 a temporary file for the report pages "
                                             "in %2: %3")
                                  .arg(action, QDir::toNativeSeparators(dir), file->errorString()));
    };
    if (!file->open(fd, QIODevice::ReadWrite, QFileDevice::AutoCloseHandle)) {
        ::close(fd);
        fail(QStringLiteral("create"));
    }
    if (file->write(m_buffer) != m_buffer.size() || !file->flush())
        fail(QStringLiteral("write"));
    if (!file->seek(m_pos))
        fail(QStringLiteral("seek in"));
    m_temporaryDirectory = dir;
    m_file = std::move(file);
    m_buffer = QByteArray();
    m_inMemory = false;
}

void TRpStream::seek(qint64 pos)
{
    QMutexLocker locker(&m_mutex);
    if (pos < 0 || pos > size())
        throw ReportFileError(QStringLiteral("Position %1 lies outside the report pages (%2 bytes)")
                                  .arg(pos)
                                  .arg(size()));
    if (m_inMemory)
        m_pos = pos;
    else if (!m_file->seek(pos))
        fileFailure(QStringLiteral("seek in"));
}

qint64 TRpStream::pos() const
{
    QMutexLocker locker(&m_mutex);
    return m_inMemory ? m_pos : m_file->pos();
}

qint64 TRpStream::size() const
{
    QMutexLocker locker(&m_mutex);
    return m_inMemory ? m_buffer.size() : m_file->size();
}

void TRpStream::copyTo(QIODevice& target)
{
    QMutexLocker locker(&m_mutex);
    seek(0);
    char chunk[CopyChunk];
    for (;;) {
        const qint64 n = read(chunk, CopyChunk);
        if (n == 0)
            break;
        if (target.write(chunk, n) != n)
            throw ReportFileError(
                QStringLiteral("Cannot write the report file: %1").arg(target.errorString()));
    }
}

} // namespace zel::report
