#pragma once

#include <QByteArrayView>
#include <QString>

/**
 * Lines of `journalctl -o json`: each entry's message with its identifier
 * ("sshd: Accepted key"), in a style after its priority: 0-3 fail, 4 orange,
 * 5-6 the normal colour given, 7 grey. A message the journal passes as an
 * array of bytes (not UTF-8) is decoded with replacement characters; a line
 * that is not a JSON object stays as it is, in the normal colour.
 */
namespace Journal {

inline constexpr qint32 warningColour = 0x0080FF; // orange, 0x00BBGGRR
inline constexpr qint32 debugColour = 0x808080;   // grey

struct Entry
{
    QString text;
    qint32 colour;
    /// The entry's own time, "HH:mm:ss.zzz " local (empty when it has none).
    QString timePrefix;
};

Entry parse(QByteArrayView line, qint32 normalColour);

} // namespace Journal
