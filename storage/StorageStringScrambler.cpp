#include "StorageStringScrambler.h"

#include "StorageStringFile.h"

#include <QList>

#include <array>
#include <vector>

namespace StorageStringScrambler {

namespace {

// A character outside Windows-1252 moves inside its own block of 256 among
// the block's other characters outside the code page. In most blocks that is
// all 256 and the step is plain low-byte arithmetic; the few blocks that lend
// characters to the code page (the C1 controls, the Latin Extended letters,
// the dashes and quotes, the trade mark sign) keep a shorter ring, so no
// character can move onto one that counts by its Windows-1252 code and the
// text still unscrambles exactly.
struct BlockRing
{
    std::vector<char16_t> members;
    std::array<qint16, 256> rank {}; // -1 for characters of the code page
};

const BlockRing *ringOf(char16_t block)
{
    static const auto rings = [] {
        std::array<BlockRing, 256> all;
        for (int high = 0; high < 256; ++high) {
            BlockRing &ring = all[high];
            for (int low = 0; low < 256; ++low) {
                const char16_t c = char16_t(high << 8 | low);
                if (StorageStringFile::windows1252Code(QChar(c))) {
                    ring.rank[low] = -1;
                } else {
                    ring.rank[low] = qint16(ring.members.size());
                    ring.members.push_back(c);
                }
            }
        }
        return all;
    }();
    // Only the first 256 blocks hold code page characters; the others are full rings.
    return block < 256 ? &rings[block] : nullptr;
}

char16_t moved(char16_t c, int shift)
{
    if (const auto code = StorageStringFile::windows1252Code(QChar(c)))
        return StorageStringFile::windows1252Character(quint8((int(*code) + shift) & 0xFF)).unicode();
    const BlockRing *ring = ringOf(c >> 8);
    if (!ring || ring->members.size() == 256)
        return char16_t((c & 0xFF00) | ((int(c & 0xFF) + shift) & 0xFF));
    const int size = int(ring->members.size());
    const int rank = ring->rank[c & 0xFF];
    return ring->members[size_t(((rank + shift) % size + size) % size)];
}

} // namespace

void apply(QString &text, const QString &key, bool scramble)
{
    if (key.isEmpty() || text.isEmpty())
        return;
    QList<quint8> codes;
    codes.reserve(key.size());
    for (QChar c : key)
        codes.append(StorageStringFile::windows1252Code(c).value_or(quint8(c.unicode() & 0xFF)));

    char16_t *p = reinterpret_cast<char16_t *>(text.data());
    qsizetype k = 0;
    for (qsizetype i = text.size() - 1; i >= 0; --i) {
        p[i] = moved(p[i], scramble ? -int(codes[k]) : int(codes[k]));
        if (++k == codes.size())
            k = 0;
    }
}

} // namespace StorageStringScrambler
