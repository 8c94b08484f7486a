#include "data/base/FileAccess.h"

#include "data/base/FileName.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <memory>
#include <sys/stat.h>
#include <unistd.h>

namespace zel::data {

namespace {

QByteArray encoded(const QString& path)
{
    return fileNameBytes(path);
}

} // namespace

QString shownPath(const QString& path)
{
    return QDir::toNativeSeparators(path);
}

QString systemError(int error)
{
    return QString::fromLocal8Bit(std::strerror(error));
}

QString fileKindText(unsigned mode)
{
    if (S_ISDIR(mode))
        return QStringLiteral("a directory");
    if (S_ISFIFO(mode))
        return QStringLiteral("a named pipe");
    if (S_ISCHR(mode))
        return QStringLiteral("a character device");
    if (S_ISBLK(mode))
        return QStringLiteral("a block device");
    if (S_ISSOCK(mode))
        return QStringLiteral("a socket");
    return QStringLiteral("a file");
}

int openFileForReading(const QString& path, const QString& what)
{
    if (path.isEmpty())
        throw FileAccessError(QStringLiteral("No %1 was named").arg(what));
    const int fd = ::open(encoded(path).constData(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY);
    if (fd < 0) {
        const int error = errno;
        throw FileAccessError(QStringLiteral("Cannot open the %1 %2: %3")
                                  .arg(what, shownPath(path), systemError(error)));
    }
    struct stat st
    {
    };
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        ::close(fd);
        throw FileAccessError(QStringLiteral("%1 is %2, not a %3")
                                  .arg(shownPath(path), fileKindText(st.st_mode), what));
    }
    // Reads of a regular file never wait; the flag goes so that nothing later sees EAGAIN.
    ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK);
    return fd;
}

QByteArray readWholeFile(const QString& path, const QString& what, qint64 maxBytes)
{
    const int fd = openFileForReading(path, what);
    QFile file;
    if (!file.open(fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)) {
        ::close(fd);
        throw FileAccessError(QStringLiteral("Cannot read the %1 %2: %3")
                                  .arg(what, shownPath(path), file.errorString()));
    }
    // One byte past the limit tells a file at the limit from a larger one that grew meanwhile.
    const QByteArray bytes = file.read(maxBytes + 1);
    if (file.error() != QFileDevice::NoError)
        throw FileAccessError(QStringLiteral("Cannot read the %1 %2: %3")
                                  .arg(what, shownPath(path), file.errorString()));
    if (bytes.size() > maxBytes)
        throw FileAccessError(QStringLiteral("The %1 %2 is larger than %3 bytes; it is not read")
                                  .arg(what, shownPath(path))
                                  .arg(maxBytes));
    return bytes;
}

int createAnonymousFile(const QString& dir)
{
    const QByteArray d = encoded(dir);
    int fd = ::open(d.constData(), O_TMPFILE | O_RDWR | O_EXCL | O_CLOEXEC, 0600);
    if (fd < 0 && (errno == EOPNOTSUPP || errno == EISDIR || errno == EINVAL)) {
        // The file system has no unnamed files: a named one, gone from the directory at once.
        QByteArray name = d + "/FRPXXXXXX";
        fd = ::mkostemp(name.data(), O_CLOEXEC);
        if (fd >= 0)
            ::unlink(name.constData());
    }
    if (fd < 0) {
        const int error = errno;
        throw FileAccessError(QStringLiteral("Cannot create a temporary file in %1: %2")
                                  .arg(shownPath(dir), systemError(error)));
    }
    return fd;
}

OutputFile::OutputFile(const QString& path, bool standardOutputAllowed)
    : m_path(path), m_standardOutputAllowed(standardOutputAllowed)
{
}

OutputFile::~OutputFile()
{
    if (m_file)
        m_file->close();
    if (m_fd >= 0)
        ::close(m_fd);
}

QString OutputFile::shownName() const
{
    return m_path == QLatin1String("-") && m_standardOutputAllowed
               ? QStringLiteral("standard output")
               : shownPath(m_path);
}

void OutputFile::open()
{
    if (m_path.isEmpty())
        throw FileAccessError(QStringLiteral("No output file was named"));
    if (m_path == QLatin1String("-") && m_standardOutputAllowed) {
        m_fd = ::fcntl(STDOUT_FILENO, F_DUPFD_CLOEXEC, 0);
        if (m_fd < 0)
            throw FileAccessError(
                QStringLiteral("Cannot write to standard output: %1").arg(systemError(errno)));
        m_straight = true;
        m_file = std::make_unique<QFile>();
        m_file->open(m_fd, QIODevice::WriteOnly, QFileDevice::DontCloseHandle);
        return;
    }
    const QByteArray path = encoded(m_path);
    struct stat st
    {
    };
    if (::lstat(path.constData(), &st) != 0) {
        const int error = errno;
        if (error != ENOENT)
            throw FileAccessError(
                QStringLiteral("Cannot write %1: %2").arg(shownPath(m_path), systemError(error)));
        openReplacement(m_path);
        return;
    }
    QString target = m_path;
    if (S_ISLNK(st.st_mode)) {
        if (::stat(path.constData(), &st) != 0) {
            const int error = errno;
            throw FileAccessError(
                QStringLiteral("%1 is a symbolic link that leads to no file (%2); it is not "
                               "replaced")
                    .arg(shownPath(m_path), systemError(error)));
        }
        std::unique_ptr<char, decltype(&std::free)> real(::realpath(path.constData(), nullptr),
                                                         &std::free);
        target = real ? fileNameFromBytes(real.get()) : m_path;
    }
    if (S_ISREG(st.st_mode)) {
        // Root may write anywhere; a file that nobody may write is still not meant to change.
        if (::access(encoded(target).constData(), W_OK) != 0 || (st.st_mode & 0222) == 0)
            throw FileAccessError(
                QStringLiteral("%1 is read-only; it is not replaced").arg(shownPath(m_path)));
        openReplacement(target);
        return;
    }
    if (S_ISFIFO(st.st_mode) || S_ISCHR(st.st_mode)) {
        // Opened by the name given: the link of /dev/stdout to a pipe has no path to follow.
        openStraight(m_path, S_ISFIFO(st.st_mode));
        return;
    }
    throw FileAccessError(QStringLiteral("%1 is %2, not a file; nothing was written to it")
                              .arg(shownPath(m_path), fileKindText(st.st_mode)));
}

void OutputFile::openStraight(const QString& path, bool fifo)
{
    // A pipe opened without waiting fails at once when no program reads it.
    m_fd = ::open(encoded(path).constData(),
                  O_WRONLY | O_CLOEXEC | O_NOCTTY | (fifo ? O_NONBLOCK : 0));
    if (m_fd < 0) {
        const int error = errno;
        if (fifo && error == ENXIO)
            throw FileAccessError(
                QStringLiteral("No program reads the named pipe %1; nothing was written")
                    .arg(shownPath(m_path)));
        throw FileAccessError(
            QStringLiteral("Cannot write %1: %2").arg(shownPath(m_path), systemError(error)));
    }
    if (fifo)
        ::fcntl(m_fd, F_SETFL, ::fcntl(m_fd, F_GETFL) & ~O_NONBLOCK);
    m_straight = true;
    m_file = std::make_unique<QFile>();
    m_file->open(m_fd, QIODevice::WriteOnly, QFileDevice::DontCloseHandle);
}

void OutputFile::openReplacement(const QString& target)
{
    m_replacement = std::make_unique<FileReplacement>(target);
    m_file = std::make_unique<QFile>();
    m_file->open(m_replacement->fd(), QIODevice::WriteOnly, QFileDevice::DontCloseHandle);
}

void OutputFile::commit()
{
    if (!m_file || m_committed)
        return;
    if (m_file->error() != QFileDevice::NoError || !m_file->flush())
        throw FileAccessError(
            QStringLiteral("Cannot write %1: %2").arg(shownName(), m_file->errorString()));
    m_file->close();
    if (m_replacement)
        m_replacement->commit();
    m_committed = true;
}

QString OutputFile::helpText(bool standardOutputOffered)
{
    QString text = QStringLiteral(
        "Output files: a new or existing file is written to a new unnamed file beside it that\n"
        "replaces it only when complete (an existing file keeps its permissions; a symbolic\n"
        "link to a file stays and its file is replaced); a read-only file, or a file in a\n"
        "directory where no file can be made, is refused. A named pipe or a character\n"
        "device (a terminal, /dev/null) is written straight into; a pipe that no program\n"
        "reads is refused at once. A directory, a block device, a socket or a symbolic link\n"
        "that leads nowhere is refused and left as it is.\n");
    if (standardOutputOffered)
        text += QStringLiteral("\"-\" as an output file writes to standard output.\n");
    return text;
}

} // namespace zel::data
