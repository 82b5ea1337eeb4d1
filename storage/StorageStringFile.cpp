#include "StorageStringFile.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

namespace StorageStringFile {

namespace {

// Windows-1252 bytes 0x80 to 0x9F. The five bytes the code page leaves
// undefined map to the control character of the same number, as Windows does.
constexpr char16_t highControls[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
};

bool isContinuation(uchar byte)
{
    return (byte & 0xC0) == 0x80;
}

bool isAscii(const QByteArray &bytes)
{
    uchar seen = 0;
    for (char byte : bytes)
        seen |= uchar(byte);
    return seen < 0x80;
}

} // namespace

bool isUtf8(const QByteArray &bytes)
{
    const auto *p = reinterpret_cast<const uchar *>(bytes.constData());
    const qsizetype n = bytes.size();
    qsizetype i = 0;
    while (i < n) {
        const uchar b = p[i];
        if (b < 0x80) {
            ++i;
            continue;
        }
        int extra;
        char32_t code;
        char32_t minimum;
        if ((b & 0xE0) == 0xC0) {
            extra = 1, code = b & 0x1F, minimum = 0x80;
        } else if ((b & 0xF0) == 0xE0) {
            extra = 2, code = b & 0x0F, minimum = 0x800;
        } else if ((b & 0xF8) == 0xF0) {
            extra = 3, code = b & 0x07, minimum = 0x10000;
        } else {
            return false;
        }
        if (i + extra >= n)
            return false;
        for (int k = 1; k <= extra; ++k) {
            if (!isContinuation(p[i + k]))
                return false;
            code = (code << 6) | (p[i + k] & 0x3F);
        }
        if (code < minimum || code > 0x10FFFF)
            return false;
        i += extra + 1;
    }
    return true;
}

QString decode(const QByteArray &bytes)
{
    // Plain ASCII, what most files are, reads the same in either encoding.
    if (isAscii(bytes))
        return QString::fromLatin1(bytes);
    const auto *p = reinterpret_cast<const uchar *>(bytes.constData());
    const qsizetype n = bytes.size();
    QString text(n, Qt::Uninitialized);
    char16_t *out = reinterpret_cast<char16_t *>(text.data());
    qsizetype length = 0;
    if (!isUtf8(bytes)) {
        for (qsizetype i = 0; i < n; ++i)
            out[length++] = (p[i] >= 0x80 && p[i] < 0xA0) ? highControls[p[i] - 0x80] : p[i];
        return text;
    }
    // Validated above, so every lead byte has its continuation bytes.
    for (qsizetype i = 0; i < n;) {
        const uchar b = p[i];
        if (b < 0x80) {
            out[length++] = b;
            ++i;
        } else if ((b & 0xE0) == 0xC0) {
            out[length++] = char16_t(((b & 0x1F) << 6) | (p[i + 1] & 0x3F));
            i += 2;
        } else if ((b & 0xF0) == 0xE0) {
            out[length++] = char16_t(((b & 0x0F) << 12) | ((p[i + 1] & 0x3F) << 6) | (p[i + 2] & 0x3F));
            i += 3;
        } else {
            const char32_t code
                = ((b & 0x07) << 18) | ((p[i + 1] & 0x3F) << 12) | ((p[i + 2] & 0x3F) << 6) | (p[i + 3] & 0x3F);
            out[length++] = char16_t(0xD800 + ((code - 0x10000) >> 10));
            out[length++] = char16_t(0xDC00 + ((code - 0x10000) & 0x3FF));
            i += 4;
        }
    }
    text.truncate(length);
    return text;
}

QByteArray encode(const QString &text)
{
    QByteArray bytes;
    bytes.reserve(text.size() * 3 / 2 + 16);
    const char16_t *p = reinterpret_cast<const char16_t *>(text.constData());
    const qsizetype n = text.size();
    for (qsizetype i = 0; i < n; ++i) {
        char32_t code = p[i];
        if (code >= 0xD800 && code < 0xDC00 && i + 1 < n && p[i + 1] >= 0xDC00 && p[i + 1] < 0xE000) {
            code = 0x10000 + ((code - 0xD800) << 10) + (p[i + 1] - 0xDC00);
            ++i;
        }
        if (code < 0x80) {
            bytes.append(char(code));
        } else if (code < 0x800) {
            bytes.append(char(0xC0 | (code >> 6)));
            bytes.append(char(0x80 | (code & 0x3F)));
        } else if (code < 0x10000) {
            // Unpaired surrogates land here too and keep their own three bytes.
            bytes.append(char(0xE0 | (code >> 12)));
            bytes.append(char(0x80 | ((code >> 6) & 0x3F)));
            bytes.append(char(0x80 | (code & 0x3F)));
        } else {
            bytes.append(char(0xF0 | (code >> 18)));
            bytes.append(char(0x80 | ((code >> 12) & 0x3F)));
            bytes.append(char(0x80 | ((code >> 6) & 0x3F)));
            bytes.append(char(0x80 | (code & 0x3F)));
        }
    }
    return bytes;
}

std::optional<quint8> windows1252Code(QChar character)
{
    const char16_t code = character.unicode();
    if (code < 0x80 || (code >= 0xA0 && code < 0x100))
        return quint8(code);
    for (int i = 0; i < 32; ++i) {
        if (highControls[i] == code)
            return quint8(0x80 + i);
    }
    return std::nullopt;
}

QChar windows1252Character(quint8 code)
{
    return QChar((code >= 0x80 && code < 0xA0) ? highControls[code - 0x80] : char16_t(code));
}

bool exists(const QString &fileName)
{
    const QFileInfo info(fileName);
    return info.exists() && !info.isDir();
}

std::optional<QString> read(const QString &fileName)
{
    QFile file(fileName);
    if (!file.open(QIODevice::ReadOnly))
        return std::nullopt;
    const QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError)
        return std::nullopt;
    return decode(bytes);
}

bool write(const QString &fileName, const QString &text, bool append)
{
    const QByteArray bytes = encode(text);
    if (append) {
        QFile file(fileName);
        if (!file.open(QIODevice::WriteOnly | QIODevice::Append))
            return false;
        return file.write(bytes) == bytes.size() && file.flush();
    }
    QSaveFile file(fileName);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    if (file.write(bytes) != bytes.size()) {
        file.cancelWriting();
        return false;
    }
    return file.commit();
}

} // namespace StorageStringFile
