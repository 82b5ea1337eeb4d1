// Timings of the storage string on big pages, each beside a plain baseline
// measured in the same run. Prints one line per figure.

#include "KSStorageString.h"

#include <QStringList>

#include <algorithm>
#include <cstdio>
#include <ctime>

#include <sys/resource.h>
#include <functional>

namespace {

/// Source-like text of about the given size in characters, with marker comments now and then.
QString sourceText(qsizetype size)
{
    static const QStringList lines = {
        QStringLiteral("    Dim nIndex As Long ' loop counter"),
        QStringLiteral("    For nIndex = 1 To UBound(vItems)"),
        QStringLiteral("        sResult = sResult & vItems(nIndex) & \", \""),
        QStringLiteral("    Next nIndex"),
        QStringLiteral("    'ToDo: the separator should be a parameter"),
        QStringLiteral("    If Len(sResult) > 0 Then sResult = Left$(sResult, Len(sResult) - 2)"),
        QStringLiteral("    'to do check the bounds first"),
    };
    QString text;
    text.reserve(size + 128);
    qsizetype i = 0;
    while (text.size() < size) {
        text += lines[i++ % lines.size()];
        text += QStringLiteral("\r\n");
    }
    return text;
}

/// CPU time of this thread in milliseconds: the machine is shared, and wall
/// time would charge a long run for every other process that ran meanwhile.
double cpuMilliseconds()
{
    timespec now {};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return double(now.tv_sec) * 1e3 + double(now.tv_nsec) / 1e6;
}

/// Minor page faults of this thread so far (fresh memory the kernel had to map).
long minorFaults()
{
    rusage usage {};
    getrusage(RUSAGE_THREAD, &usage);
    return usage.ru_minflt;
}

/// Best of a few runs, in milliseconds of CPU time.
double bestOf(int runs, const std::function<void()> &work)
{
    double best = 1e100;
    for (int i = 0; i < runs; ++i) {
        const double start = cpuMilliseconds();
        work();
        best = std::min(best, cpuMilliseconds() - start);
    }
    return best;
}

qsizetype plainSearch(const QString &text, const QStringList &needles)
{
    qsizetype hits = 0;
    for (const QString &needle : needles) {
        for (qsizetype at = text.indexOf(needle, 0, Qt::CaseInsensitive); at >= 0;
             at = text.indexOf(needle, at + needle.size(), Qt::CaseInsensitive))
            ++hits;
    }
    return hits;
}

} // namespace

int main()
{
    const qsizetype megabyte = 1024 * 1024;
    const QStringList markers = {QStringLiteral("'To Do"), QStringLiteral("'ToDo")};

    {
        KSStorageString store;
        store.setValue(sourceText(10 * megabyte));
        const QString text = store.Value().toString();
        qsizetype plainHits = 0;
        qsizetype lookHits = 0;
        // Alternating rounds, so both see the same conditions.
        double plain = 1e100;
        double look = 1e100;
        for (int round = 0; round < 5; ++round) {
            plain = std::min(plain, bestOf(1, [&] { plainHits = plainSearch(text, markers); }));
            look = std::min(look, bestOf(1, [&] {
                                lookHits = 0;
                                for (const KSSSLookForResults &result : store.LookFor(markers, false, false))
                                    lookHits += result.Hits;
                            }));
        }
        std::printf("LookFor 2 texts, not case-sensitive, 10 MB page: %.1f ms (%lld hits); plain loop %.1f ms "
                    "(%lld hits); ratio %.2f\n",
                    look, (long long)lookHits, plain, (long long)plainHits, look / plain);
    }

    for (int size : {1, 10, 50}) {
        const QString text = sourceText(size * megabyte);
        qint32 count = 0;
        double ms = 1e100;
        long faults = 0;
        for (int run = 0; run < 3; ++run) {
            KSStorageString store;
            store.setValue(text);
            const long faultsBefore = minorFaults();
            const double start = cpuMilliseconds();
            count = store.Replace(QStringLiteral("sResult"), QStringLiteral("sOutcome"), false, true, true);
            const double elapsed = cpuMilliseconds() - start;
            if (elapsed < ms) {
                ms = elapsed;
                faults = minorFaults() - faultsBefore;
            }
        }
        QString copy;
        const double baseline = bestOf(3, [&] {
            copy = text;
            copy.replace(QStringLiteral("sResult"), QStringLiteral("sOutcome"));
        });
        std::printf("Replace all (%d replacements), %d MB page: %.1f ms = %.1f ns/char (%ld page faults); "
                    "QString::replace %.1f ms\n",
                    count, size, ms, ms * 1e6 / double(text.size()), faults, baseline);
    }

    {
        KSStorageString store;
        const int records = 10000;
        for (int i = 0; i < records; ++i)
            store.SetValue(QStringLiteral("Field%1").arg(i), i);
        const int calls = 5000;
        const double ms = bestOf(3, [&] {
            for (int i = 0; i < calls; ++i)
                store.SetValue(QStringLiteral("Field%1").arg((i * 7919) % records), QStringLiteral("value %1").arg(i));
        });
        const QString page = store.Value().toString();
        const double scan = bestOf(3, [&] {
            for (int i = 0; i < calls; ++i)
                (void)page.indexOf(QStringLiteral("<\\Field%1={").arg((i * 7919) % records));
        });
        std::printf("SetValue on a page of %d records (%lld chars): %.0f calls/s; bare indexOf of the record %.0f "
                    "calls/s\n",
                    records, (long long)page.size(), calls / (ms / 1000), calls / (scan / 1000));
    }
    return 0;
}
