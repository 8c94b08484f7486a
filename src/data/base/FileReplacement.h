#pragma once

#include <QByteArray>
#include <QString>

namespace zel::data {

// The one way this program replaces a file: the new content goes to a file of its own in the
// target's directory, unnamed where the file system allows (nothing of it is left however the
// process ends) and named ".<name>.XXXXXX" where it does not (removed by the interrupt
// handler); only when it is whole does it take the target's name, by rename, so that a
// failure or a crash leaves the old file or the new one, never a part of either. The new file
// keeps the old one's mode, owner and group. Used for tables, index files, the local copy of
// a server's data and every output file.
class FileReplacement
{
public:
    enum class Owner
    {
        // The old file's owner and group where this user may give them (root may; a member
        // of the group may give the group); otherwise the new file is this user's.
        KeepIfAllowed,
        // The old file's owner and group, or no replacement at all: OwnerNotKeptError.
        KeepOrRefuse
    };
    struct Options
    {
        Owner owner = Owner::KeepIfAllowed;
        // The mode of a file that is new (less the umask).
        unsigned newMode = 0666;
        // Another file whose read and write bits and group the new file takes instead of the
        // old one's: an index file takes its table's, so a table a group shares has index
        // files the group shares.
        QString permissionsOf;
        // Synced, and its directory after the rename, so the new file survives a power loss.
        // Files that are checked when read (an index file, a local copy) and made again when
        // damaged need not wait for the disk.
        bool durable = true;
        // Locked exclusively before it takes the name, and handed to the caller open, so no
        // other process sees it unlocked in between.
        bool keepLocked = false;
    };

    // Opens the new file. Throws FileAccessError naming the target and the cause (a missing
    // or read-only directory, ...), or OwnerNotKeptError.
    FileReplacement(QString target, const Options& options);
    explicit FileReplacement(QString target) : FileReplacement(std::move(target), Options{}) {}
    // Without commit() the new file is dropped and the target stays as it was.
    ~FileReplacement();
    FileReplacement(const FileReplacement&) = delete;
    FileReplacement& operator=(const FileReplacement&) = delete;

    const QString& target() const { return m_target; }
    // The new file's descriptor, for writers of their own (positioned writes, QFile).
    int fd() const { return m_fd; }
    // Appends all of bytes, whatever the system takes at once. Throws FileAccessError.
    void write(const char* data, size_t size);
    void write(const QByteArray& bytes)
    {
        write(bytes.constData(), static_cast<size_t>(bytes.size()));
    }
    // Puts the new file in the target's place. Returns its descriptor with keepLocked (the
    // caller closes it and so releases the lock), otherwise -1. Throws FileAccessError.
    int commit();

    // The leftover of a replacement whose process was killed between naming the new file and
    // renaming it, for target: ".<name>.XXXXXX" in its directory. A pattern for QDir.
    static QString leftoverPattern(const QString& targetName);

private:
    [[noreturn]] void fail(const QString& reason) const;
    void takeOwnership(const QString& from, bool permissionsOnly);

    QString m_target;
    Options m_options;
    int m_fd = -1;
    QString m_named; // the named stand-in, where the file system has no unnamed files
    int m_slot = -1; // its place in the list the interrupt handler clears
    bool m_committed = false;
};

} // namespace zel::data
