#include "TestEnvironment.h"

#include <QAtomicInt>
#include <QDir>
#include <QProcess>

#include <memory>
#include <vector>

namespace {
QString g_root;
QAtomicInt g_counter;
} // namespace

namespace TestEnvironment {

void setRoot(const QString &root)
{
    g_root = root;
}

QString root()
{
    return g_root;
}

QString freshFolder(const QString &hint)
{
    const QString path = QStringLiteral("%1/%2-%3").arg(g_root, hint).arg(g_counter.fetchAndAddRelaxed(1));
    QDir().mkpath(path);
    return path;
}

QStringList runTogether(const QString &program, const QList<QStringList> &runs, int timeoutMs)
{
    std::vector<std::unique_ptr<QProcess>> processes;
    for (const QStringList &arguments : runs) {
        processes.push_back(std::make_unique<QProcess>());
        processes.back()->start(program, arguments);
    }
    QStringList failures;
    for (qsizetype i = 0; i < runs.size(); ++i) {
        QProcess &process = *processes[size_t(i)];
        const bool finished = process.waitForFinished(timeoutMs);
        if (finished && process.exitStatus() == QProcess::NormalExit && process.exitCode() == 0)
            continue;
        failures << QStringLiteral("%1 %2: %3 (exit %4): %5")
                        .arg(program, runs[i].join(u' '),
                             finished ? QStringLiteral("finished") : QStringLiteral("did not finish"))
                        .arg(process.exitCode())
                        .arg(QString::fromLocal8Bit(process.readAllStandardError()));
    }
    return failures;
}

} // namespace TestEnvironment
