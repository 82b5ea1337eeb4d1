#pragma once

#include <QList>
#include <QMetaType>
#include <QString>

/**
 * One search text's hits in a storage string, as KSStorageString::LookFor
 * returns them: the text (upper-cased when the search ignored case), how many
 * times it occurred and the 1-based positions of the occurrences, ascending.
 *
 *     for (const KSSSLookForResults &r : text.LookFor(QStringList{"'To Do", "'ToDo"}, false, false))
 *         for (qint32 position : r.Positions) ...
 */
struct KSSSLookForResults
{
    QString Text;
    qint32 Hits = 0;
    QList<qint32> Positions;

    bool operator==(const KSSSLookForResults &) const = default;
};
Q_DECLARE_METATYPE(KSSSLookForResults)
