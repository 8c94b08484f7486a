#include "TempDir.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <poll.h>
#include <stdexcept>
#include <sys/stat.h>
#include <unistd.h>

namespace zel::test {

TempDir::TempDir() : m_dir(QDir::tempPath() + QStringLiteral("/zeltest-XXXXXX"))
{
    if (!m_dir.isValid())
        throw std::runtime_error("cannot create a temporary directory");
}

TemporaryDirectoryOverride::TemporaryDirectoryOverride(const QString& dir)
    : m_saved(qgetenv("TMPDIR"))
{
    qputenv("TMPDIR", QFile::encodeName(dir));
}

TemporaryDirectoryOverride::~TemporaryDirectoryOverride()
{
    if (m_saved.isNull())
        qunsetenv("TMPDIR");
    else
        qputenv("TMPDIR", m_saved);
}

std::vector<OpenFileUnder> openFilesUnder(const QString& dir)
{
    std::vector<OpenFileUnder> found;
    const QString prefix = QFileInfo(dir).canonicalFilePath() + QLatin1Char('/');
    // Read with the plain calls: the links of deleted files lead nowhere, and listings that
    // follow links leave them out.
    for (int fd = 0; fd < 4096; ++fd) {
        char target[4096];
        const QByteArray link = "/proc/self/fd/" + QByteArray::number(fd);
        const ssize_t n = ::readlink(link.constData(), target, sizeof target - 1);
        if (n <= 0 || !QFile::decodeName(QByteArray(target, int(n))).startsWith(prefix))
            continue;
        struct stat st
        {
        };
        if (::fstat(fd, &st) == 0)
            found.push_back({unsigned(st.st_mode), static_cast<unsigned long>(st.st_nlink)});
    }
    return found;
}

QStringList filesHeldUnder(qint64 pid, const QString& dir)
{
    QStringList held;
    const QString prefix = QFileInfo(dir).canonicalFilePath() + QLatin1Char('/');
    for (int fd = 0; fd < 256 && pid > 0; ++fd) {
        char target[4096];
        const QByteArray link =
            "/proc/" + QByteArray::number(pid) + "/fd/" + QByteArray::number(fd);
        const ssize_t n = ::readlink(link.constData(), target, sizeof target - 1);
        const QString name = n > 0 ? QFile::decodeName(QByteArray(target, int(n))) : QString();
        if (name.startsWith(prefix))
            held << name;
    }
    return held;
}

void signalProcess(qint64 pid, int signal)
{
    if (pid > 0)
        ::kill(static_cast<pid_t>(pid), signal);
}

std::future<QByteArray> readPipeInBackground(const QString& path)
{
    // Opened without waiting, so the pipe has its reader before any writer comes; the end of
    // the data is the hang-up of a writer that came and went.
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    return std::async(std::launch::async, [fd] {
        QByteArray all;
        if (fd < 0)
            return all;
        for (;;) {
            pollfd pf{fd, POLLIN, 0};
            if (::poll(&pf, 1, 60000) <= 0)
                break;
            char buffer[65536];
            const ssize_t n = ::read(fd, buffer, sizeof buffer);
            if (n > 0)
                all.append(buffer, n);
            else if (n == 0 && (pf.revents & POLLHUP))
                break;
            else if (n < 0 && errno != EAGAIN)
                break;
        }
        ::close(fd);
        return all;
    });
}

QStringList entriesOf(const QString& dir)
{
    return QDir(dir).entryList(QDir::AllEntries | QDir::System | QDir::Hidden |
                               QDir::NoDotAndDotDot);
}

QString builtProgram(const QString& relativePath)
{
    return QStringLiteral(ZEL_BINARY_DIR) + QLatin1Char('/') + relativePath;
}

} // namespace zel::test
