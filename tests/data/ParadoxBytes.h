#pragma once

// Paradox table and blob files put together byte by byte from the file format, the way other
// Paradox software writes them, so that the reader is checked against the format rather than
// against our own writer.

#include <QByteArray>
#include <QDate>
#include <QString>
#include <vector>

namespace zel::test {

// Type codes of the file format.
enum FieldCode : unsigned char
{
    kAlpha = 0x01,
    kDate = 0x02,
    kShort = 0x03,
    kLong = 0x04,
    kCurrency = 0x05,
    kNumber = 0x06,
    kLogical = 0x09,
    kMemo = 0x0C,
    kBinary = 0x0D,
    kFormattedMemo = 0x0E,
    kOle = 0x0F,
    kGraphic = 0x10,
    kTime = 0x14,
    kTimestamp = 0x15,
    kAutoIncrement = 0x16,
    kBcd = 0x17,
    kBytes = 0x18
};

// Values as a field stores them.
QByteArray storedShort(int v);
QByteArray storedLong(qint64 v);   // also autoincrement, date (day number) and time (ms)
QByteArray storedDouble(double v); // number, currency and timestamp (ms)
QByteArray storedDate(QDate d);
// 32 decimal digits, the last `decimals` of them after the point; the first byte holds the sign
// and the number of decimals.
QByteArray storedBcd(bool negative, int decimals, const char* digits32);
QByteArray blank(int size);
// Text in a code page, through iconv.
QByteArray encoded(const QString& text, int codePage);

struct RawField
{
    unsigned char code = kAlpha;
    unsigned char sizeByte = 10; // as the header gives it (decimals for BCD)
    QByteArray name;             // in the table's code page
    int recordSize() const { return code == kBcd ? 17 : sizeByte; }
};

// A table file: header, field definitions and names, and data blocks chained in order (or in
// the reverse of their order in the file).
struct RawTable
{
    int versionId = 12; // 3 = 3.0, 4 = 3.5, 5 = 4.0, 10 = 5.0, 12 = 7
    int codePage = 1252;
    int blockKb = 2;
    bool reverseChain = false;
    std::vector<RawField> fields;
    std::vector<QByteArray> records; // each the concatenated field values
    QByteArray build() const;
};

// A blob file: its header block, then blobs of their own (one or more 4 KB blocks each) and
// blocks shared by up to 64 small blobs.
class RawBlobs
{
public:
    RawBlobs();
    // A blob of its own; returns the offset a record gives for it.
    quint32 addSingle(const QByteArray& data, quint16 modification = 1);
    // Small blobs in one shared block; returns the offsets a record gives for each.
    std::vector<quint32> addShared(const std::vector<QByteArray>& data);
    const QByteArray& bytes() const { return m_file; }

private:
    QByteArray m_file;
};

// A blob field as the record holds it: the leader (the start of the data, for memos), then the
// offset into the blob file (0 when the record holds it all), the length and the modification
// number.
QByteArray blobField(int leader, const QByteArray& data, quint32 offset, bool leaderHoldsStart);

} // namespace zel::test
