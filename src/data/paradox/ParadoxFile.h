#pragma once

#include "data/base/Layout.h"
#include "data/base/TableStore.h"

#include <QStringList>
#include <QVariant>
#include <memory>
#include <vector>

namespace zel::data {

// A whole table as loose values, record by record: what the writer takes, and what tools and
// tests compare. The engine itself keeps tables in a TableStore. Text is Unicode here; the
// file's code page applies only on disk.
struct TableData
{
    std::vector<FieldDef> fields;
    std::vector<std::vector<QVariant>> rows; // null QVariant for a blank field
    int codePage = 1252;
    int fileVersion = 70; // the header's version byte, scaled as pxlib reports it (30 .. 70)
    int primaryKeyFields = 0;
    quint32 encryption = 0; // password checksum stored in the header, 0 when not encrypted

    // Instead of rows: the records of a store of the same fields, in another order, with one
    // text field of some of them given another value. A table written back this way needs no
    // value of its own for each of its cells.
    struct FromStore
    {
        const TableStore* store = nullptr;
        std::vector<int> order; // the store's record for each record written
        int replacedField = -1;
        QString replacement;
        std::vector<unsigned char> replaced; // by the store's record
    } fromStore;
    size_t recordCount() const { return fromStore.store ? fromStore.order.size() : rows.size(); }
};

namespace paradox {

// The checksum that an encrypted table's header holds for its password.
quint32 passwordChecksum(const QString& password);
// Makes a password's checksum known without working it out (which loads pxlib).
void rememberPasswordChecksum(const QString& password, quint32 checksum);

// Decodes a table from the bytes of its file and, when blobs is given, of its blob file (the
// .MB file beside it, encrypted with the table), in one pass: the header and the chain of data
// blocks are checked, the blocks decrypted and the records decoded into a TableStore. An
// encrypted table is only read when one of the passwords matches its header. Throws
// DatabaseError naming displayName on any failure: not a table, truncated, corrupt, wrong
// password, a blob that is damaged, or kept in a blob file that is missing; with
// lostWithoutBlobs such values are left empty instead and counted there.
TableStore decodeTable(QByteArrayView table, const QByteArrayView* blobs,
                       const QString& displayName, const QStringList& passwords,
                       int* lostWithoutBlobs = nullptr);

// Reads the table file open on fd (the caller holds its lock) with one map of the file, and the
// blob file at blobPath when it is not empty.
TableStore readTable(int fd, const QString& displayName, const QStringList& passwords,
                     const QString& blobPath = QString());

// A table file read in part, for a job that needs a few of its records: the header and the
// heads of the data blocks are read when it is made (an encrypted block's first 256 bytes
// only), a block whole only when one of its records is asked for. The file is mapped, not
// read: pages of blocks never asked for are never touched.
class RecordReader
{
public:
    // fd is open on the table file and its lock held by the caller; blobPath as for readTable.
    // Throws DatabaseError as readTable does.
    RecordReader(int fd, const QString& displayName, const QStringList& passwords,
                 const QString& blobPath = QString());
    ~RecordReader();
    RecordReader(const RecordReader&) = delete;
    RecordReader& operator=(const RecordReader&) = delete;

    // The records the chain of blocks holds, as readTable would number them.
    int recordCount() const;
    // The records of these numbers (ascending, each once), as readTable would decode them;
    // with fields named, a store of only those fields (what a search compares).
    TableStore read(const std::vector<int>& records, const QStringList& fields = {});

private:
    struct Parts;
    std::unique_ptr<Parts> m_parts;
};

// The blob file beside a table file (same name, extension .MB in any case), or an empty string.
QString blobFileFor(const QString& tablePath);

// Convenience for tools and tests: opens, reads and closes the file and its blob file.
TableStore readTableStore(const QString& path, const QStringList& passwords);
// The same for a table of another program, whose blob file may have been left behind: without
// it the values kept there are read as empty, and missingBlobFile names the file looked for
// and lostValues counts them (0 when nothing was lost).
struct PartialRead
{
    QString missingBlobFile;
    int lostValues = 0;
};
TableStore readTableStore(const QString& path, const QStringList& passwords, PartialRead& partial);
TableData readTableFile(const QString& path, const QStringList& passwords);
TableData toTableData(const TableStore& store);

// Writes data as a Paradox table: to a new file beside path, synced, then renamed over path
// and the directory synced, so that a crash leaves either the old or the new table. The new
// file keeps the old one's owner, group and mode; when this user cannot give it that owner
// (or group), nothing is replaced and OwnerNotKeptError is thrown. An empty password writes
// an unencrypted table. Records are written in the given order. With keepLocked the new file
// is locked exclusively before it replaces the old one and its descriptor is returned (the
// caller closes it); otherwise -1. Throws DatabaseError.
int writeTableFile(const QString& path, const TableData& data, const QString& password,
                   bool keepLocked = false);
// The same for bytes already encoded.
int replaceFile(const QString& path, const QByteArray& bytes, bool keepLocked = false);

} // namespace paradox
} // namespace zel::data
