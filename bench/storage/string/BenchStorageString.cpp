// Timings of the storage string on big pages, each beside a plain baseline
// measured in the same run. Prints one line per figure.

#include "KSStorageString.h"

#include <QElapsedTimer>
#include <QStringList>

#include <algorithm>
#include <cstdio>
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

/// Best of a few runs, in milliseconds.
double bestOf(int runs, const std::function<void()> &work)
{
    double best = 1e100;
    for (int i = 0; i < runs; ++i) {
        QElapsedTimer timer;
        timer.start();
        work();
        best = std::min(best, timer.nsecsElapsed() / 1e6);
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
        const double plain = bestOf(5, [&] { plainHits = plainSearch(text, markers); });
        const double look = bestOf(5, [&] {
            lookHits = 0;
            for (const KSSSLookForResults &result : store.LookFor(markers, false, false))
                lookHits += result.Hits;
        });
        std::printf("LookFor 2 texts, not case-sensitive, 10 MB page: %.1f ms (%lld hits); plain loop %.1f ms "
                    "(%lld hits); ratio %.2f\n",
                    look, (long long)lookHits, plain, (long long)plainHits, look / plain);
    }

    for (int size : {1, 10, 50}) {
        const QString text = sourceText(size * megabyte);
        qint32 count = 0;
        double ms = 1e100;
        for (int run = 0; run < 3; ++run) {
            KSStorageString store;
            store.setValue(text);
            QElapsedTimer timer;
            timer.start();
            count = store.Replace(QStringLiteral("sResult"), QStringLiteral("sOutcome"), false, true, true);
            ms = std::min(ms, timer.nsecsElapsed() / 1e6);
        }
        QString copy;
        const double baseline = bestOf(3, [&] {
            copy = text;
            copy.replace(QStringLiteral("sResult"), QStringLiteral("sOutcome"));
        });
        std::printf("Replace all (%d replacements), %d MB page: %.1f ms = %.1f ns/char; QString::replace %.1f ms\n",
                    count, size, ms, ms * 1e6 / double(text.size()), baseline);
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
