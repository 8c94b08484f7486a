#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <cstdint>

namespace zel::report {

// The adaptive splay-tree prefix code of compressed report pages. One coder codes one page in
// one direction and starts from the same tree every time, so any page decodes on its own.
//
// The tree has inner nodes 0 to 255 (0 is the root) and leaves 256 to 512; leaf 256 + s stands
// for byte s and leaf 512 for nothing. A byte's code is the path from the root to its leaf, a
// 1 for each step to a right child; after every byte its leaf is splayed towards the root.
// Bits fill each byte from the least significant bit on; the last byte is padded with zero
// bits. There is no end symbol: the reader knows how many bytes to decode.
class TRpCompress
{
public:
    // A coder with the starting tree.
    TRpCompress();

    // Codes data with a fresh tree and appends the code to out.
    static void encode(QByteArrayView data, QByteArray& out);
    // The compressed payload of a page: its length (4 bytes) and the code of its bytes.
    static QByteArray encodePage(QByteArrayView page);
    // Decodes count bytes from coded with a fresh tree. Throws ReportFileError when coded ends
    // before count bytes are out.
    static QByteArray decode(QByteArrayView coded, qsizetype count);

private:
    void encodeAll(QByteArrayView data, QByteArray& out);
    QByteArray decodeAll(QByteArrayView coded, qsizetype count);
    void encodeSlow(unsigned symbol, std::uint64_t& acc, int& bits, unsigned char*& out);
    void splay(unsigned symbol);

    // up[node] is the parent of node; child[n][0] and child[n][1] are the left and right
    // children of inner node n (kept side by side so that a bit picks the child directly).
    std::uint8_t m_up[513];
    std::uint16_t m_child[256][2];
};

} // namespace zel::report
