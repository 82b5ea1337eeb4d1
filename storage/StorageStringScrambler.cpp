#include "StorageStringScrambler.h"

#include "StorageStringFile.h"

#include <QList>

namespace StorageStringScrambler {

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
        const char16_t c = p[i];
        const int shift = scramble ? -int(codes[k]) : int(codes[k]);
        p[i] = char16_t((c & 0xFF00) | ((int(c & 0xFF) + shift) & 0xFF));
        if (++k == codes.size())
            k = 0;
    }
}

} // namespace StorageStringScrambler
