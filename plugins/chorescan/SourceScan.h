#pragma once

#include "PluginWindow.h"
#include "PropertyStore.h"

#include <QElapsedTimer>
#include <QPointer>
#include <QString>
#include <QStringList>
#include <QtGlobal>

class KSStorageString;

/**
 * One run of the to-do scan: restyles the debug window, walks one folder's
 * ".BAS", ".FRM" and ".CLS" files (any case, not sub-folders) and prints a
 * coloured report of every "'To Do" and "'ToDo" comment with its line, its
 * procedure and its comment block, then the total.
 *
 *     SourceScan scan(window, store);
 *     scan.run();
 *
 * A failing step is skipped and the scan goes on: nothing is reported to the
 * user beyond what the report shows. The scan hands control to the message
 * loop between the lines it reads, so the window repaints and clicks arrive;
 * when the window goes away meanwhile, or stop() is called (the plug-in is
 * killed as the window closes), the scan stops at once.
 */
class SourceScan
{
public:
    SourceScan(PluginWindow *window, PropertyStore *store);

    void run();
    /// Ends a running scan at its next step.
    void stop() { m_stopped = true; }

    qint32 foundCount() const { return m_found; }
    bool fullResults() const { return m_fullResults; }

    /// A comment marker as the scan searches for it, in the order searched.
    static const QStringList markers;
    /// The extensions scanned, upper-cased, with their full stop.
    static bool isSourceName(const QString &name);
    /// Whether a case-folded line carries both a scope word and a procedure kind.
    static bool isProcedureHeader(QStringView folded);
    /// Whether a case-folded line below a marker continues its comment block.
    static bool continuesBlock(QStringView folded);

private:
    /// A file with markers cut into lines, and the same text case-folded:
    /// folding keeps every character where it was, so a line's folded form
    /// lies at the same place in the folded text.
    struct Page
    {
        QString text;
        QString folded;
        QList<QStringView> lines;

        QStringView foldedLine(qsizetype index) const
        {
            const QStringView line = lines.at(index);
            return QStringView(folded).sliced(line.data() - text.constData(), line.size());
        }
    };

    void restyle();
    QString folderToScan();
    QStringList listFiles(const QString &folder);
    void ScanFile(const QString &path, const QString &name);
    void reportHit(KSStorageString &source, const Page &page, qint32 position);
    void print(const QString &text, qint32 colour, bool lineBreak = true);
    /// Lets pending messages run (now, or when the last time is a while
    /// ago); false once the window is gone.
    bool yield(bool now = false);
    bool windowGone() const { return m_stopped || m_window.isNull(); }
    /// A stored setting; a missing store fails like any other step.
    QVariant setting(const QString &name) const;

    QPointer<PluginWindow> m_window;
    QPointer<PropertyStore> m_store;
    qint32 m_found = 0;
    bool m_fullResults = false;
    bool m_stopped = false;
    QElapsedTimer m_sinceYield;
    int m_linesSinceClock = 0;
    static constexpr qint64 yieldIntervalMs = 10;
    static constexpr int linesPerClockRead = 64;
};
