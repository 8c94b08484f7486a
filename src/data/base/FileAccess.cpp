#include "data/base/FileAccess.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>
#include <array>
#include <atomic>
#include <cerrno>
#include <csignal>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace zel::data {

namespace {

QString shown(const QString& path)
{
    return QDir::toNativeSeparators(path);
}

QString systemError(int error)
{
    return QString::fromLocal8Bit(std::strerror(error));
}

QByteArray encoded(const QString& path)
{
    return QFile::encodeName(path);
}

// Named stand-ins for outputs on file systems without unnamed files, removed by the signal
// handler. Fixed slots: a handler may neither allocate nor take locks.
constexpr int Slots = 8;
constexpr int SlotBytes = 4096;
std::array<std::atomic<bool>, Slots> g_slotUsed{};
std::array<std::array<char, SlotBytes>, Slots> g_slotPath{};
const char* g_programName = "zel";

int claimSlot(const QByteArray& path)
{
    if (path.size() >= SlotBytes)
        return -1;
    for (int i = 0; i < Slots; ++i) {
        bool expected = false;
        if (g_slotUsed[i].load() || !g_slotUsed[i].compare_exchange_strong(expected, true))
            continue;
        std::memcpy(g_slotPath[i].data(), path.constData(), size_t(path.size()) + 1);
        return i;
    }
    return -1;
}

void releaseSlot(int slot)
{
    if (slot >= 0)
        g_slotUsed[slot].store(false);
}

void onInterrupt(int signal)
{
    for (int i = 0; i < Slots; ++i)
        if (g_slotUsed[i].load())
            ::unlink(g_slotPath[i].data());
    const char* tail = ": interrupted; unfinished output was dropped\n";
    [[maybe_unused]] ssize_t n = ::write(STDERR_FILENO, g_programName, std::strlen(g_programName));
    n = ::write(STDERR_FILENO, tail, std::strlen(tail));
    ::_exit(128 + signal);
}

} // namespace

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
        throw FileAccessError(
            QStringLiteral("Cannot open the %1 %2: %3").arg(what, shown(path), systemError(error)));
    }
    struct stat st
    {
    };
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        ::close(fd);
        throw FileAccessError(
            QStringLiteral("%1 is %2, not a %3").arg(shown(path), fileKindText(st.st_mode), what));
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
        throw FileAccessError(
            QStringLiteral("Cannot read the %1 %2: %3").arg(what, shown(path), file.errorString()));
    }
    // One byte past the limit tells a file at the limit from a larger one that grew meanwhile.
    const QByteArray bytes = file.read(maxBytes + 1);
    if (file.error() != QFileDevice::NoError)
        throw FileAccessError(
            QStringLiteral("Cannot read the %1 %2: %3").arg(what, shown(path), file.errorString()));
    if (bytes.size() > maxBytes)
        throw FileAccessError(QStringLiteral("The %1 %2 is larger than %3 bytes; it is not read")
                                  .arg(what, shown(path))
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
                                  .arg(shown(dir), systemError(error)));
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
    if (m_fd >= 0 && !m_file)
        ::close(m_fd);
    if (!m_committed && !m_tempName.isEmpty())
        ::unlink(encoded(m_tempName).constData());
    releaseSlot(m_slot);
}

QString OutputFile::shownName() const
{
    return m_path == QLatin1String("-") && m_standardOutputAllowed
               ? QStringLiteral("standard output")
               : shown(m_path);
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
        m_file->open(m_fd, QIODevice::WriteOnly, QFileDevice::AutoCloseHandle);
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
                QStringLiteral("Cannot write %1: %2").arg(shown(m_path), systemError(error)));
        openReplacement(m_path, false, 0, 0, 0);
        return;
    }
    QString target = m_path;
    if (S_ISLNK(st.st_mode)) {
        if (::stat(path.constData(), &st) != 0) {
            const int error = errno;
            throw FileAccessError(
                QStringLiteral("%1 is a symbolic link that leads to no file (%2); it is not "
                               "replaced")
                    .arg(shown(m_path), systemError(error)));
        }
        target = QFileInfo(m_path).canonicalFilePath();
    }
    if (S_ISREG(st.st_mode)) {
        // Root may write anywhere; a file that nobody may write is still not meant to change.
        if (::access(encoded(target).constData(), W_OK) != 0 || (st.st_mode & 0222) == 0)
            throw FileAccessError(
                QStringLiteral("%1 is read-only; it is not replaced").arg(shown(m_path)));
        openReplacement(target, true, st.st_mode, st.st_uid, st.st_gid);
        return;
    }
    if (S_ISFIFO(st.st_mode) || S_ISCHR(st.st_mode)) {
        // Opened by the name given: the link of /dev/stdout to a pipe has no path to follow.
        openStraight(m_path, S_ISFIFO(st.st_mode));
        return;
    }
    throw FileAccessError(QStringLiteral("%1 is %2, not a file; nothing was written to it")
                              .arg(shown(m_path), fileKindText(st.st_mode)));
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
                    .arg(shown(m_path)));
        throw FileAccessError(
            QStringLiteral("Cannot write %1: %2").arg(shown(m_path), systemError(error)));
    }
    if (fifo)
        ::fcntl(m_fd, F_SETFL, ::fcntl(m_fd, F_GETFL) & ~O_NONBLOCK);
    m_straight = true;
    m_file = std::make_unique<QFile>();
    m_file->open(m_fd, QIODevice::WriteOnly, QFileDevice::AutoCloseHandle);
}

void OutputFile::openReplacement(const QString& target, bool exists, unsigned mode, unsigned uid,
                                 unsigned gid)
{
    m_target = target;
    const QString dir = QFileInfo(target).absolutePath();
    const QByteArray d = encoded(dir);
    const mode_t create = exists ? (mode & 07777) : 0666;
    m_fd = ::open(d.constData(), O_TMPFILE | O_WRONLY | O_CLOEXEC, create);
    if (m_fd < 0 && (errno == EOPNOTSUPP || errno == EISDIR || errno == EINVAL)) {
        QByteArray name = d + "/." + encoded(QFileInfo(target).fileName()) + ".XXXXXX";
        m_fd = ::mkostemp(name.data(), O_CLOEXEC);
        if (m_fd >= 0) {
            m_tempName = QFile::decodeName(name);
            m_slot = claimSlot(name);
            if (!exists) {
                // mkostemp makes an owner-only file; a new output gets what open() would give.
                const mode_t mask = ::umask(0);
                ::umask(mask);
                ::fchmod(m_fd, create & ~mask);
            }
        }
    }
    if (m_fd < 0) {
        const int error = errno;
        if (error == ENOENT)
            throw FileAccessError(
                QStringLiteral("Cannot create %1: the directory %2 does not exist")
                    .arg(shown(m_path), shown(dir)));
        if (error == EACCES || error == EROFS)
            throw FileAccessError(
                QStringLiteral("Cannot create %1: the directory %2 is not writable (%3)")
                    .arg(shown(m_path), shown(dir), systemError(error)));
        throw FileAccessError(
            QStringLiteral("Cannot create %1: %2").arg(shown(m_path), systemError(error)));
    }
    if (exists) {
        // The umask may have cut bits the old file had.
        ::fchmod(m_fd, mode & 07777);
        if (::geteuid() == 0) [[maybe_unused]]
            const int ignored = ::fchown(m_fd, uid, gid);
    }
    m_file = std::make_unique<QFile>();
    m_file->open(m_fd, QIODevice::WriteOnly, QFileDevice::AutoCloseHandle);
}

void OutputFile::commit()
{
    if (!m_file || m_committed)
        return;
    const auto failed = [this](const QString& reason) {
        throw FileAccessError(QStringLiteral("Cannot write %1: %2").arg(shownName(), reason));
    };
    if (m_file->error() != QFileDevice::NoError || !m_file->flush())
        failed(m_file->errorString());
    if (m_straight) {
        m_file->close();
        m_committed = true;
        return;
    }
    if (::fsync(m_fd) != 0)
        failed(systemError(errno));
    const QByteArray target = encoded(m_target);
    if (m_tempName.isEmpty()) {
        // Give the unnamed file a name beside the target, then move it over the target.
        const QByteArray dir = encoded(QFileInfo(m_target).absolutePath());
        const QByteArray self = "/proc/self/fd/" + QByteArray::number(m_fd);
        for (int attempt = 0; attempt < 100 && m_tempName.isEmpty(); ++attempt) {
            const QByteArray name = dir + "/." + encoded(QFileInfo(m_target).fileName()) + '.' +
                                    QByteArray::number(QRandomGenerator::global()->generate(), 36);
            const int slot = claimSlot(name);
            if (::linkat(AT_FDCWD, self.constData(), AT_FDCWD, name.constData(),
                         AT_SYMLINK_FOLLOW) == 0) {
                m_tempName = QFile::decodeName(name);
                if (::rename(name.constData(), target.constData()) != 0) {
                    const int error = errno;
                    ::unlink(name.constData());
                    releaseSlot(slot);
                    m_tempName.clear();
                    failed(systemError(error));
                }
                releaseSlot(slot);
                break;
            }
            const int error = errno;
            releaseSlot(slot);
            if (error != EEXIST)
                failed(systemError(error));
        }
        if (m_tempName.isEmpty())
            failed(QStringLiteral("no free name for the new file"));
    } else if (::rename(encoded(m_tempName).constData(), target.constData()) != 0) {
        failed(systemError(errno));
    }
    m_committed = true;
    m_file->close();
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

void installInterruptHandlers(const char* programName)
{
    g_programName = programName;
    struct sigaction action
    {
    };
    action.sa_handler = onInterrupt;
    sigemptyset(&action.sa_mask);
    for (int signal : {SIGINT, SIGTERM, SIGHUP})
        ::sigaction(signal, &action, nullptr);
    // A reader that goes away is a write error with its message, not a silent death.
    ::signal(SIGPIPE, SIG_IGN);
}

} // namespace zel::data
