#pragma once

#include <QtGlobal>
#include <array>
#include <cstddef>

namespace zel::data::paradox {

// The cipher of password-protected tables: each piece of 256 bytes is permuted and mixed with
// a key stream that depends on the table's key, the piece's place in its block and (in a table
// file) the block's number. The bytes are those other Paradox software writes and reads.
//
// Every term of the key stream is one of 256 rows fixed by the format, so the rows are worked
// out once per program and a piece costs one gather and one XOR of three rows per byte,
// instead of four table look-ups and index sums per byte.
class BlockCipher
{
public:
    // Portable leaves out the wide instructions some processors have, for the tests to check
    // both ways against each other.
    enum class Instructions
    {
        Best,
        Portable
    };
    explicit BlockCipher(quint32 key, Instructions instructions = Instructions::Best);

    // A data block of a table file (a whole number of 256-byte pieces), numbered from 1 as
    // the file counts its blocks. Source and destination are the same or do not overlap.
    // From firstPiece on, src and dst point at that piece: a part of a block alone.
    void decryptBlock(const unsigned char* src, unsigned char* dst, size_t size,
                      unsigned blockNumber, int firstPiece = 0) const;
    void encryptBlock(const unsigned char* src, unsigned char* dst, size_t size,
                      unsigned blockNumber) const;
    // A blob file, in place, from its first byte on; size is a whole number of pieces.
    void decryptBlobs(unsigned char* data, size_t size) const;

private:
    struct Piece
    {
        std::array<unsigned char, 256> from; // where each plain byte lies in the cipher text
        std::array<unsigned char, 256> to;   // the inverse order, when asked for
        std::array<unsigned char, 256> mask; // the two terms that do not change along a block
    };
    Piece pieceFor(unsigned char d, bool inverse) const;
    void run(const unsigned char* src, unsigned char* dst, size_t size, unsigned char d, int c,
             bool encrypt, int firstPiece = 0) const;

    unsigned char m_a = 0;
    unsigned char m_b = 0;
    bool m_wide = false;
    std::array<unsigned char, 256> m_aRow{}; // the first term, fixed by the key
};

} // namespace zel::data::paradox
