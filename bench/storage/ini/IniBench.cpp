// SetValue and GetValue through KSINIFileHandler on a file of 1,000 keys in
// 50 sections, beside a raw read and a raw write of the whole file in the
// same run. Each figure is the best of several rounds, to keep out the noise
// of a shared machine.
#include "KSINIFileHandler.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <functional>

namespace {

constexpr int sections = 50;
constexpr int keysPerSection = 20;
constexpr int operations = 2000;
constexpr int rounds = 5;

QByteArray sampleFile()
{
    QByteArray text;
    for (int s = 0; s < sections; ++s) {
        text += "[Section" + QByteArray::number(s) + "]\n";
        for (int k = 0; k < keysPerSection; ++k)
            text += "Key" + QByteArray::number(k) + "=value " + QByteArray::number(s * keysPerSection + k)
                + " of the sample file\n";
    }
    return text;
}

/// Nanoseconds per operation of one round.
double timed(const std::function<void(int)> &operation)
{
    QElapsedTimer timer;
    timer.start();
    for (int i = 0; i < operations; ++i)
        operation(i);
    return double(timer.nsecsElapsed()) / operations;
}

void line(const char *what, double ns)
{
    std::printf("%-34s %10.0f ops/s  %8.1f us/op\n", what, 1e9 / ns, ns / 1000.0);
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    QTemporaryDir folder;
    if (!folder.isValid())
        return 1;
    const QString path = folder.path() + QStringLiteral("/bench.ini");
    const QByteArray content = sampleFile();
    {
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly))
            return 1;
        file.write(content);
    }

    volatile qsizetype sink = 0;
    const QString rawPath = folder.path() + QStringLiteral("/raw.ini");
    auto rawReadOnce = [&](int) {
        QFile file(path);
        file.open(QIODevice::ReadOnly);
        sink = sink + file.readAll().size();
    };
    auto rawWriteOnce = [&](int) {
        QFile file(rawPath);
        file.open(QIODevice::WriteOnly | QIODevice::Truncate);
        file.write(content);
    };
    // Truncating a file with data makes ext4 flush it on close; writing a
    // fresh file instead shows the cost of the write alone.
    auto rawFreshWriteOnce = [&](int) {
        QFile::remove(rawPath);
        QFile file(rawPath);
        file.open(QIODevice::WriteOnly);
        file.write(content);
    };

    KSINIFileHandler ini;
    ini.setPath(path);
    QStringList sectionNames;
    QStringList keyNames;
    for (int s = 0; s < sections; ++s)
        sectionNames.append(QStringLiteral("Section%1").arg(s));
    for (int k = 0; k < keysPerSection; ++k)
        keyNames.append(QStringLiteral("Key%1").arg(k));
    // Spread the operations over the whole file, late sections included.
    auto select = [&](int i) {
        ini.setSection(sectionNames[(i * 7) % sections]);
        return keyNames[(i * 3) % keysPerSection];
    };
    auto getValueOnce = [&](int i) {
        const QString key = select(i);
        sink = sink + ini.GetValue(key).toString().size();
    };
    auto setValueOnce = [&](int i) {
        const QString key = select(i);
        ini.SetValue(key, QStringLiteral("new value %1").arg(i));
    };

    // The four take turns within each round, so a busy moment of the machine
    // does not fall on one of them only.
    double rawRead = 1e300, rawWrite = 1e300, rawFreshWrite = 1e300, getValue = 1e300, setValue = 1e300;
    for (int round = 0; round < rounds; ++round) {
        rawRead = std::min(rawRead, timed(rawReadOnce));
        getValue = std::min(getValue, timed(getValueOnce));
        rawWrite = std::min(rawWrite, timed(rawWriteOnce));
        rawFreshWrite = std::min(rawFreshWrite, timed(rawFreshWriteOnce));
        setValue = std::min(setValue, timed(setValueOnce));
    }

    std::printf("file: %d keys in %d sections, %lld bytes; %d operations, best of %d rounds\n",
                sections * keysPerSection, sections, static_cast<long long>(content.size()), operations, rounds);
    line("raw whole-file read", rawRead);
    line("raw whole-file write (truncate)", rawWrite);
    line("raw whole-file write (new file)", rawFreshWrite);
    line("KSINIFileHandler::GetValue", getValue);
    line("KSINIFileHandler::SetValue", setValue);
    std::printf("GetValue / raw read          = %.2f (goal <= 2)\n", getValue / rawRead);
    std::printf("SetValue / (raw read + write) = %.2f (goal <= 2)\n", setValue / (rawRead + rawWrite));
    std::printf("SetValue / (raw read + new-file write) = %.2f\n", setValue / (rawRead + rawFreshWrite));
    return 0;
}
