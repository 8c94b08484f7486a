#pragma once

#include "data/base/Error.h"
#include "data/base/FileReplacement.h"

#include <QByteArray>
#include <QFile>
#include <QString>
#include <memory>

namespace zel::data {

// A file that could not be opened, read or written as asked; the message names the file and
// the cause (not found, permission denied, a pipe or a device where a file was expected, ...).
class FileAccessError : public Error
{
public:
    using Error::Error;
};

// Opens a file for reading without ever waiting: a named pipe with no writer or a device
// named where a file is expected would otherwise block the program for good. Anything but a
// regular file (after following symbolic links) is refused at once; what says what was
// expected ("report file", "configuration file"). Returns a descriptor in blocking mode that
// the caller closes. Throws FileAccessError.
int openFileForReading(const QString& path, const QString& what);

// The whole of a regular file of at most maxBytes. A larger file is refused, never cut.
QByteArray readWholeFile(const QString& path, const QString& what, qint64 maxBytes);

// "a directory", "a named pipe", ... for a file mode from stat(); "a file" for a regular one.
QString fileKindText(unsigned mode);

// How messages name a path and an errno value, so that every failure reads alike.
QString shownPath(const QString& path);
QString systemError(int error);

// An anonymous temporary file in dir, readable and writable: it has no name from the moment it
// exists, so it goes with the last descriptor however the process ends, SIGKILL included.
// Throws FileAccessError naming dir.
int createAnonymousFile(const QString& dir);

// Where a report or page image goes. The name decides how it is written:
//  - a new file, or an existing regular file (also reached through a symbolic link, which
//    stays): written to an unnamed file beside it that replaces it only when complete, so a
//    failure or an interruption leaves the old content or nothing; an existing file keeps its
//    permissions (and, for root, its owner and group). A read-only file is refused, and so is
//    a file in a directory where no new file can be made.
//  - a named pipe or a character device (a terminal, /dev/null): written straight into; a pipe
//    that no program reads is refused at once instead of waiting for a reader.
//  - "-", where the command offers it: standard output, straight.
//  - a directory, a block device, a socket or a symbolic link that leads nowhere: refused,
//    and left untouched.
class OutputFile
{
public:
    explicit OutputFile(const QString& path, bool standardOutputAllowed = false);
    ~OutputFile(); // without commit(), whatever was written to a replacement is dropped
    OutputFile(const OutputFile&) = delete;
    OutputFile& operator=(const OutputFile&) = delete;

    // Throws FileAccessError with the reason.
    void open();
    QFile& device() { return *m_file; }
    // Finishes the output: flushes, and puts a replacement in place. Throws FileAccessError.
    void commit();
    // True when the output is written straight into its target (a pipe, a device, stdout).
    bool straight() const { return m_straight; }
    QString shownName() const;

    // The rules above, as --help lines of a program that writes files.
    static QString helpText(bool standardOutputOffered);

private:
    void openReplacement(const QString& target);
    void openStraight(const QString& path, bool fifo);

    QString m_path;
    bool m_standardOutputAllowed;
    bool m_straight = false;
    bool m_committed = false;
    int m_fd = -1; // written straight into
    std::unique_ptr<FileReplacement> m_replacement;
    std::unique_ptr<QFile> m_file;
};

// SIGINT, SIGTERM and SIGHUP end the program at once with status 128 + the signal's number,
// after a line on standard error and after removing any half-made output file that has a
// name; a replacement not yet in place has none, so nothing is left behind. A pipe whose reader
// has gone makes the write fail with its reason instead of ending the program unseen.
void installInterruptHandlers(const char* programName);

} // namespace zel::data
