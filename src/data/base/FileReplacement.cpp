#include "data/base/FileReplacement.h"

#include "data/base/Error.h"
#include "data/base/FileAccess.h"
#include "data/base/FileName.h"

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
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace zel::data {

namespace {

// Named stand-ins, removed by the interrupt handler. Fixed slots: a handler may neither
// allocate nor take locks.
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

void releaseSlot(int& slot)
{
    if (slot >= 0)
        g_slotUsed[slot].store(false);
    slot = -1;
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

// ".<name>." and six letters or digits, as mkostemp makes them.
QByteArray standInName(const QString& target)
{
    static const char letters[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";
    const QFileInfo info(target);
    QByteArray name = fileNameBytes(info.absolutePath() + QStringLiteral("/.") + info.fileName() +
                                    QLatin1Char('.'));
    for (int i = 0; i < 6; ++i)
        name += letters[QRandomGenerator::global()->bounded(int(sizeof letters) - 1)];
    return name;
}

// A rename is only durable once the directory that holds the name is on disk.
void syncDirectory(const QString& dir)
{
    const int fd = ::open(fileNameBytes(dir).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0)
        return;
    ::fsync(fd);
    ::close(fd);
}

} // namespace

FileReplacement::FileReplacement(QString target, const Options& options)
    : m_target(std::move(target)), m_options(options)
{
    const QString dir = QFileInfo(m_target).absolutePath();
    const QByteArray d = fileNameBytes(dir);
    struct stat old
    {
    };
    const bool exists = ::stat(fileNameBytes(m_target).constData(), &old) == 0;
    const mode_t create = exists ? (old.st_mode & 07777) : options.newMode;
    m_fd = ::open(d.constData(), O_TMPFILE | O_RDWR | O_CLOEXEC, create);
    if (m_fd < 0 && (errno == EOPNOTSUPP || errno == EISDIR || errno == EINVAL)) {
        QByteArray name = fileNameBytes(dir + QStringLiteral("/.") +
                                        QFileInfo(m_target).fileName() + QStringLiteral(".XXXXXX"));
        m_fd = ::mkostemp(name.data(), O_CLOEXEC);
        if (m_fd >= 0) {
            m_named = fileNameFromBytes(name);
            m_slot = claimSlot(name);
            // mkostemp makes an owner-only file; a new one gets what open() would give.
            const mode_t mask = ::umask(0);
            ::umask(mask);
            ::fchmod(m_fd, create & ~mask);
        }
    }
    if (m_fd < 0) {
        const int error = errno;
        if (error == ENOENT)
            throw FileAccessError(
                QStringLiteral("Cannot create %1: the directory %2 does not exist")
                    .arg(shownPath(m_target), shownPath(dir)));
        if (error == EACCES || error == EROFS)
            throw FileAccessError(
                QStringLiteral("Cannot create %1: the directory %2 is not writable (%3)")
                    .arg(shownPath(m_target), shownPath(dir), systemError(error)));
        throw FileAccessError(
            QStringLiteral("Cannot create %1: %2").arg(shownPath(m_target), systemError(error)));
    }
    if (!options.permissionsOf.isEmpty())
        takeOwnership(options.permissionsOf, true);
    else if (exists)
        takeOwnership(m_target, false);
}

FileReplacement::~FileReplacement()
{
    if (m_fd >= 0)
        ::close(m_fd);
    if (!m_committed && !m_named.isEmpty())
        ::unlink(fileNameBytes(m_named).constData());
    releaseSlot(m_slot);
}

void FileReplacement::fail(const QString& reason) const
{
    throw FileAccessError(QStringLiteral("Cannot write %1: %2").arg(shownPath(m_target), reason));
}

// A file that a group shares (0660, its own group) must stay the group's. Only the owner, or
// root, may give a file to a user, and only a member to a group.
void FileReplacement::takeOwnership(const QString& from, bool permissionsOnly)
{
    struct stat old
    {
    }, now{};
    if (::stat(fileNameBytes(from).constData(), &old) != 0)
        return;
    if (::fstat(m_fd, &now) != 0)
        fail(systemError(errno));
    if (permissionsOnly) {
        if (now.st_gid != old.st_gid && ::fchown(m_fd, uid_t(-1), old.st_gid) != 0) {
            // Not a member of that group: the file stays in ours.
        }
        ::fchmod(m_fd, old.st_mode & 0666);
        return;
    }
    if ((now.st_uid != old.st_uid || now.st_gid != old.st_gid) &&
        ::fchown(m_fd, old.st_uid, old.st_gid) != 0) {
        const int error = errno;
        if (m_options.owner == Owner::KeepOrRefuse) {
            if (error == EPERM && now.st_uid != old.st_uid)
                throw OwnerNotKeptError(
                    QStringLiteral("%1 belongs to another user (uid %2), and a copy written by "
                                   "this user (uid %3) could not be given to them")
                        .arg(QFileInfo(m_target).fileName())
                        .arg(old.st_uid)
                        .arg(now.st_uid));
            if (error == EPERM)
                throw OwnerNotKeptError(
                    QStringLiteral("%1 belongs to group %2, which this user (uid %3) is not in")
                        .arg(QFileInfo(m_target).fileName())
                        .arg(old.st_gid)
                        .arg(now.st_uid));
            fail(systemError(error));
        }
        if (now.st_gid != old.st_gid && ::fchown(m_fd, uid_t(-1), old.st_gid) != 0) {
            // Neither the owner nor the group can be kept: the file becomes this user's.
        }
    }
    // After the owner: a change of owner clears the set-id bits.
    if (::fchmod(m_fd, old.st_mode & 07777) != 0)
        fail(systemError(errno));
}

void FileReplacement::write(const char* data, size_t size)
{
    while (size > 0) {
        const ssize_t n = ::write(m_fd, data, size);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            fail(systemError(n < 0 ? errno : ENOSPC));
        data += n;
        size -= static_cast<size_t>(n);
    }
}

int FileReplacement::commit()
{
    if (m_committed)
        return -1;
    if (m_options.durable && ::fsync(m_fd) != 0)
        fail(systemError(errno));
    if (m_options.keepLocked && ::flock(m_fd, LOCK_EX | LOCK_NB) != 0)
        throw FileAccessError(QStringLiteral("Cannot lock %1").arg(shownPath(m_target)));
    const QByteArray target = fileNameBytes(m_target);
    if (m_named.isEmpty()) {
        // Give the unnamed file a name beside the target, then move it over the target.
        const QByteArray self = "/proc/self/fd/" + QByteArray::number(m_fd);
        for (int attempt = 0; attempt < 100 && m_named.isEmpty(); ++attempt) {
            const QByteArray name = standInName(m_target);
            m_slot = claimSlot(name);
            if (::linkat(AT_FDCWD, self.constData(), AT_FDCWD, name.constData(),
                         AT_SYMLINK_FOLLOW) == 0) {
                m_named = fileNameFromBytes(name);
                break;
            }
            const int error = errno;
            releaseSlot(m_slot);
            if (error != EEXIST)
                fail(systemError(error));
        }
        if (m_named.isEmpty())
            fail(QStringLiteral("no free name for the new file"));
    }
    if (::rename(fileNameBytes(m_named).constData(), target.constData()) != 0)
        fail(systemError(errno));
    m_committed = true;
    releaseSlot(m_slot);
    if (m_options.durable)
        syncDirectory(QFileInfo(m_target).absolutePath());
    if (m_options.keepLocked) {
        const int fd = m_fd;
        m_fd = -1;
        return fd;
    }
    ::close(m_fd);
    m_fd = -1;
    return -1;
}

QString FileReplacement::leftoverPattern(const QString& targetName)
{
    return QLatin1Char('.') + targetName + QStringLiteral(".??????");
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
