#pragma once

#include <QChar>
#include <QString>

/**
 * The Windows code pages of RTF files: 1252 built in (it is what almost every
 * file declares), others through Qt's converters where the system has them.
 */
namespace CodePage {

/// The character of a code page 1252 byte.
QChar fromCp1252(unsigned char byte);
/// The code page 1252 byte of a character, or -1 when it has none.
int toCp1252(QChar character);

/// Code page number of an RTF font character set (\fcharset), 0 when unknown.
int ofCharset(int charset);

/// Decodes single bytes of a code page; 1252 for pages it does not know.
class Decoder
{
public:
    explicit Decoder(int codePage = 1252);
    int codePage() const { return m_codePage; }
    QChar decode(unsigned char byte) const;

private:
    int m_codePage;
    QChar m_table[128];
};

} // namespace CodePage
