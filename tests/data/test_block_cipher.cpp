// Our cipher of protected tables against pxlib's, the second implementation: random blocks of
// every block size, numbers past the 256 that the block number wraps at, both instruction
// paths; then tables of every version and block size encrypted by pxlib and read by us.
#include "ParadoxBytes.h"
#include "TempDir.h"
#include "common/TableDump.h"
#include "data/paradox/BlockCipher.h"
#include "data/paradox/ParadoxFile.h"

#include <QFile>
#include <QtEndian>
#include <gtest/gtest.h>
#include <random>

extern "C" {
void px_encrypt_db_block(unsigned char* src, unsigned char* dest, unsigned long encryption,
                         unsigned long blocksize, unsigned long blockno);
void px_decrypt_db_block(unsigned char* src, unsigned char* dest, unsigned long encryption,
                         unsigned long blocksize, unsigned long blockno);
void px_decrypt_mb_block(unsigned char* src, unsigned char* dest, unsigned long encryption,
                         unsigned long blocksize);
}

using namespace zel::data;
using namespace zel::data::paradox;
using namespace zel::test;
using Bytes = std::vector<unsigned char>;

namespace {

class RandomBlocks : public ::testing::TestWithParam<std::tuple<int, BlockCipher::Instructions>>
{
};

TEST_P(RandomBlocks, GiveTheBytesOfPxlib)
{
    const auto [kb, instructions] = GetParam();
    const size_t size = static_cast<size_t>(kb) * 1024;
    std::mt19937 random(static_cast<unsigned>(kb));
    for (unsigned number : {0u, 1u, 2u, 255u, 256u, 257u, 4097u, 65535u}) {
        const quint32 key = random();
        const BlockCipher cipher(key, instructions);
        Bytes plain(size), mine(size), theirs(size);
        for (unsigned char& b : plain)
            b = static_cast<unsigned char>(random());
        px_encrypt_db_block(plain.data(), theirs.data(), key, size, number);
        cipher.encryptBlock(plain.data(), mine.data(), size, number);
        ASSERT_EQ(mine, theirs) << "encrypting block " << number;
        px_decrypt_db_block(plain.data(), theirs.data(), key, size, number);
        cipher.decryptBlock(plain.data(), mine.data(), size, number);
        ASSERT_EQ(mine, theirs) << "decrypting block " << number;
        mine = plain;
        cipher.encryptBlock(mine.data(), mine.data(), size, number);
        cipher.decryptBlock(mine.data(), mine.data(), size, number);
        ASSERT_EQ(mine, plain) << "in place, there and back";
        theirs = mine;
        px_decrypt_mb_block(theirs.data(), theirs.data(), key, size);
        cipher.decryptBlobs(mine.data(), size);
        ASSERT_EQ(mine, theirs) << "a blob file";
    }
}

INSTANTIATE_TEST_SUITE_P(
    EveryBlockSize, RandomBlocks,
    ::testing::Combine(::testing::Values(1, 2, 4, 8, 16, 32),
                       ::testing::Values(BlockCipher::Instructions::Best,
                                         BlockCipher::Instructions::Portable)));

// A table as other software protects it: the key in the header (in the extended header from
// version 4.0 on), every block encrypted by pxlib under its number in the file.
QByteArray encryptedByPxlib(QByteArray file, int versionId, quint32 key)
{
    auto* p = reinterpret_cast<unsigned char*>(file.data());
    qToLittleEndian(key, p + (versionId >= 5 ? 0x5C : 0x25));
    const size_t header = qFromLittleEndian<quint16>(p + 2);
    const size_t blockSize = static_cast<size_t>(p[5]) * 1024;
    const unsigned blocks = qFromLittleEndian<quint16>(p + 0x0C);
    for (unsigned b = 1; b <= blocks; ++b) {
        unsigned char* block = p + header + (b - 1) * blockSize;
        px_encrypt_db_block(block, block, key, blockSize, b);
    }
    return file;
}

class ProtectedTables : public ::testing::TestWithParam<std::tuple<int, int>>
{
};

TEST_P(ProtectedTables, ReadAsTheirPlainCopies)
{
    const auto [versionId, kb] = GetParam();
    RawTable t;
    t.versionId = versionId;
    t.blockKb = kb;
    t.reverseChain = kb % 4 == 0;
    t.fields = {{kAlpha, 20, "name"}, {kLong, 4, "n"}, {kNumber, 8, "x"}, {kDate, 4, "d"}};
    for (int i = 0; i < 8400; ++i) // over 256 blocks of 1 KB
        t.records.push_back(
            encoded(QStringLiteral("Rose %1 é").arg(i), 1252).leftJustified(20, '\0') +
            storedLong(i) + storedDouble(i * -0.5) + storedLong(700000 + i));
    const QString password = QStringLiteral("k%1v%2").arg(kb).arg(versionId);
    TempDir dir;
    const QString plainPath = dir.file(QStringLiteral("PLAIN.DB"));
    const QString lockedPath = dir.file(QStringLiteral("LOCKED.DB"));
    const QByteArray plain = t.build();
    for (const auto& [path, bytes] :
         {std::pair{plainPath, plain},
          std::pair{lockedPath, encryptedByPxlib(plain, versionId, passwordChecksum(password))}}) {
        QFile f(path);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size());
    }
    const TableStore expected = readTableStore(plainPath, {});
    const TableStore read = readTableStore(lockedPath, {password});
    ASSERT_EQ(read.recordCount(), 8400);
    for (int r = 0; r < read.recordCount(); ++r)
        for (int f = 0; f < read.fieldCount(); ++f)
            ASSERT_EQ(dumpCell(read, r, f), dumpCell(expected, r, f)) << r << ", " << f;
}

INSTANTIATE_TEST_SUITE_P(EveryVersionAndBlockSize, ProtectedTables,
                         ::testing::Combine(::testing::Values(3, 4, 5, 10, 12),
                                            ::testing::Values(1, 2, 4, 8, 16, 32)));

} // namespace
