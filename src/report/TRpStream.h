#pragma once

#include <QByteArray>
#include <QRecursiveMutex>
#include <QString>
#include <memory>

class QFile;
class QIODevice;

namespace zel::report {

// The page store: one byte stream holding a report's pages in the saved-report-file layout.
//
// A store for a report run starts in memory; the write that would make it hold more than its
// memory limit first moves it to a temporary file of its own in the system's temporary
// directory, where it stays. The file has no name (it is unlinked, or made unnamed, as it is
// created), readable and writable by the owner only, so it goes with the store or with the
// process, however the process ends; when moving to it fails the write is refused and the store
// is left as it was. A store can also be a loaded report
// file, which is only ever read.
//
// Every operation takes the store's lock; lock() and unlock() hold it across several, so that a
// seek and the reads after it see no other thread's seek in between. The lock is recursive.
// Failures throw ReportFileError.
class TRpStream
{
public:
    static constexpr qint64 DefaultMemoryLimit = 100000;

    // An empty store in memory.
    explicit TRpStream(qint64 memoryLimit = DefaultMemoryLimit);
    // A store on an existing file, opened for reading; other programs may read and write it too.
    static std::unique_ptr<TRpStream> openFile(const QString& path);
    ~TRpStream();
    TRpStream(const TRpStream&) = delete;
    TRpStream& operator=(const TRpStream&) = delete;

    // Reads up to maxSize bytes from the position on; returns how many, 0 at the end.
    qint64 read(char* data, qint64 maxSize);
    // Reads exactly size bytes or throws.
    void readExactly(char* data, qint64 size);
    // Writes at the position, overwriting and extending; a loaded file refuses.
    void write(const char* data, qint64 size);
    void write(const QByteArray& data) { write(data.constData(), data.size()); }
    // Moves the position; anywhere from 0 to the end.
    void seek(qint64 pos);
    qint64 pos() const;
    qint64 size() const;
    // Copies the whole store, from its first byte, to target in chunks of 10240 bytes; the
    // position ends at the end of the store.
    void copyTo(QIODevice& target);

    void lock() { m_mutex.lock(); }
    void unlock() { m_mutex.unlock(); }

    bool inMemory() const { return m_inMemory; }
    bool readOnly() const { return m_readOnly; }
    qint64 memoryLimit() const { return m_memoryLimit; }
    // The directory of the temporary file once the store has moved there; empty in memory and
    // for a loaded file.
    QString temporaryDirectory() const { return m_temporaryDirectory; }
    // The file a loaded store reads; empty otherwise.
    QString loadedPath() const { return m_loadedPath; }

private:
    void spill();
    [[noreturn]] void fileFailure(const QString& action) const;

    mutable QRecursiveMutex m_mutex;
    bool m_inMemory = true;
    bool m_readOnly = false;
    QByteArray m_buffer;
    qint64 m_pos = 0; // in memory only; the file keeps its own
    std::unique_ptr<QFile> m_file;
    QString m_temporaryDirectory;
    QString m_loadedPath;
    qint64 m_memoryLimit;
};

} // namespace zel::report
