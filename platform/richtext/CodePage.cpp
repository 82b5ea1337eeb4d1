#include "CodePage.h"

#include <QStringDecoder>

namespace CodePage {

namespace {

// 0x80 to 0x9F; the rest of the page is Latin-1. Unassigned bytes keep their
// C1 control value.
const char16_t cp1252High[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
};

} // namespace

QChar fromCp1252(unsigned char byte)
{
    if (byte >= 0x80 && byte < 0xA0)
        return QChar(cp1252High[byte - 0x80]);
    return QChar(byte);
}

int toCp1252(QChar character)
{
    const char16_t code = character.unicode();
    if (code < 0x80 || (code >= 0xA0 && code <= 0xFF))
        return code;
    for (int i = 0; i < 32; ++i) {
        if (cp1252High[i] == code && !(code >= 0x80 && code < 0xA0))
            return 0x80 + i;
    }
    return -1;
}

int ofCharset(int charset)
{
    switch (charset) {
    case 0: return 1252;
    case 77: return 10000;
    case 128: return 932;
    case 129: return 949;
    case 134: return 936;
    case 136: return 950;
    case 161: return 1253;
    case 162: return 1254;
    case 163: return 1258;
    case 177: return 1255;
    case 178: return 1256;
    case 186: return 1257;
    case 204: return 1251;
    case 222: return 874;
    case 238: return 1250;
    default: return 0;
    }
}

Decoder::Decoder(int codePage)
    : m_codePage(1252)
{
    for (int i = 0; i < 128; ++i)
        m_table[i] = fromCp1252(static_cast<unsigned char>(0x80 + i));
    if (codePage == 1252 || codePage <= 0)
        return;
    // Single-byte pages only: a byte is a character.
    const QByteArray name = "windows-" + QByteArray::number(codePage);
    QStringDecoder decoder(name.constData());
    if (!decoder.isValid())
        return;
    QByteArray high(128, Qt::Uninitialized);
    for (int i = 0; i < 128; ++i)
        high[i] = char(0x80 + i);
    const QString decoded = decoder.decode(high);
    if (decoded.size() != 128)
        return;
    for (int i = 0; i < 128; ++i)
        m_table[i] = decoded.at(i);
    m_codePage = codePage;
}

QChar Decoder::decode(unsigned char byte) const
{
    return byte < 0x80 ? QChar(byte) : m_table[byte - 0x80];
}

} // namespace CodePage
