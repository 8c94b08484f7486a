#pragma once

#include "QtPrinters.h"

#include <QString>
#include <QTemporaryDir>
#include <future>
#include <vector>

namespace zel::test {

// A scratch directory under the system temporary directory, removed with the object.
class TempDir
{
public:
    TempDir();
    QString path() const { return m_dir.path(); }
    QString file(const QString& name) const { return m_dir.filePath(name); }

private:
    QTemporaryDir m_dir;
};

// TMPDIR set to dir while the object lives, as it was before afterwards.
class TemporaryDirectoryOverride
{
public:
    explicit TemporaryDirectoryOverride(const QString& dir);
    ~TemporaryDirectoryOverride();
    TemporaryDirectoryOverride(const TemporaryDirectoryOverride&) = delete;
    TemporaryDirectoryOverride& operator=(const TemporaryDirectoryOverride&) = delete;

private:
    QByteArray m_saved;
};

// A file that this process holds open somewhere under a directory, as the kernel sees it.
struct OpenFileUnder
{
    unsigned mode = 0;       // st_mode
    unsigned long links = 0; // 0 for a file without a name
};
std::vector<OpenFileUnder> openFilesUnder(const QString& dir);

// The files another process (by its id) holds open under dir, as the kernel names them: a file
// without a name shows as "<dir>/#<inode> (deleted)".
QStringList filesHeldUnder(qint64 pid, const QString& dir);

// Sends signal to the process by its own id, and to nothing else: a process that has ended has
// no id, and kill(0) would reach the whole process group, the test runner's included.
void signalProcess(qint64 pid, int signal);

// Reads the named pipe at path in a thread of its own until its last writer closes it. The
// pipe has a reader when this returns, so a writer that refuses pipes nobody reads finds one.
std::future<QByteArray> readPipeInBackground(const QString& path);

// Entries of dir, hidden ones included.
QStringList entriesOf(const QString& dir);

// Path of a built executable of this project, e.g. "tools/zeltool".
QString builtProgram(const QString& relativePath);

} // namespace zel::test
