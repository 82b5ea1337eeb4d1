// Fuzz target over the RTF reader.
//
// Built with clang and -fsanitize=fuzzer (WRENLOG_LIBFUZZER) it is a libFuzzer
// target. Built otherwise it carries its own driver: it first replays every
// file of the folders given (the crashers found so far), then mutates a seed
// corpus with a seeded random generator for a fixed time, so the test suite
// runs the same target for a few seconds on every build.

#include "RtfReader.h"
#include "RtfWriter.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QGuiApplication>
#include <QRandomGenerator>
#include <QTextCursor>
#include <QTextDocument>

#include <cstdint>
#include <cstdio>
#include <cstdlib>

namespace {

void ensureApplication()
{
    static QGuiApplication *application = [] {
        if (!std::getenv("QT_QPA_PLATFORM"))
            setenv("QT_QPA_PLATFORM", "offscreen", 1);
        static int argc = 1;
        static char name[] = "rtf_reader_fuzz";
        static char *argv[] = {name, nullptr};
        return new QGuiApplication(argc, argv);
    }();
    Q_UNUSED(application);
}

/// Reads the input, writes what was read and reads that again: the second
/// reading must give the same text, whatever the first one made of the input.
int readAndCheck(const QByteArray &input)
{
    QTextDocument first;
    QTextCursor cursor(&first);
    RtfReader::read(input, cursor, {});
    const QString text = first.toRawText();
    const QByteArray written = RtfWriter::write(first, QFont());
    QTextDocument second;
    QTextCursor again(&second);
    RtfReader::read(written, again, {});
    if (second.toRawText() != text) {
        std::fprintf(stderr, "round trip changed the text\n");
        std::abort();
    }
    return 0;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    ensureApplication();
    return readAndCheck(QByteArray(reinterpret_cast<const char *>(data), qsizetype(size)));
}

#ifndef WRENLOG_LIBFUZZER

namespace {

const char *const seeds[] = {
    "{\\rtf1\\ansi\\deff0{\\fonttbl{\\f0\\fnil Courier New;}{\\f1\\fcharset2 Symbol;}}{\\colortbl ;\\red255"
    "\\green0\\blue0;}\\pard\\qc\\fi-360\\li720\\tx1000\\cf1\\b\\i\\ul\\strike\\protect\\up6 a\\'e4\\u8364\\'80"
    "\\tab b\\line c\\par{\\pntext\\'b7}{\\*\\pn\\pnlvlblt{\\pntxtb\\'b7}}d\\plain\\dn4 e\\par}",
    "{\\rtf1{\\*\\unknown {x}}{\\info{\\title t}}{\\pict\\bin4 {}}}\\uc2\\u-10179\\'3f\\'3f\\u-8704 z}",
    "{\\rtf1\\ansicpg1251{\\fonttbl{\\f0\\fcharset204 Arial;}}\\f0 \\'c0\\'c1}",
};

const char *const tokens[] = {
    "{",
    "}",
    "\\",
    "\\par ",
    "\\line ",
    "\\tab ",
    "\\'",
    "\\'ff",
    "\\u-1 ",
    "\\u65535 ",
    "\\uc0 ",
    "\\uc5 ",
    "\\bin",
    "\\bin3 ",
    "\\bin999999999 ",
    "\\*",
    "\\*\\pn",
    "{\\pntext ",
    "{\\fonttbl",
    "{\\colortbl;",
    "\\red255",
    "\\cf1 ",
    "\\cf99999999999 ",
    "\\f3 ",
    "\\fs-5 ",
    "\\plain ",
    "\\pard ",
    "\\protect ",
    "\\tx-1 ",
    "\\fi-99999 ",
    "\\up99999 ",
    ";",
    "\\~",
    "\\-",
    "\\_",
    "\r\n",
    "\\\r\n",
    "\xff",
    "\x00",
};

QByteArray mutate(QByteArray input, QRandomGenerator &random)
{
    const int steps = 1 + int(random.bounded(8));
    for (int s = 0; s < steps; ++s) {
        const qsizetype at = input.isEmpty() ? 0 : qsizetype(random.bounded(quint32(input.size() + 1)));
        switch (random.bounded(6)) {
        case 0: // flip a byte
            if (!input.isEmpty())
                input[qMin(at, input.size() - 1)] = char(random.bounded(256));
            break;
        case 1: // insert a token
            input.insert(at, QByteArray(tokens[random.bounded(int(std::size(tokens)))]));
            break;
        case 2: // cut a range
            input.remove(at, qsizetype(random.bounded(64)));
            break;
        case 3: // duplicate a range
            input.insert(at, input.mid(at, qsizetype(random.bounded(128))));
            break;
        case 4: // truncate
            input.truncate(at);
            break;
        default: // nest
            input.insert(at, QByteArray(int(random.bounded(2000)), '{'));
            break;
        }
    }
    return input.left(1 << 20);
}

} // namespace

int main(int argc, char **argv)
{
    ensureApplication();
    double seconds = 3;
    quint32 seed = 20261207;
    int replayed = 0;
    for (int i = 1; i < argc; ++i) {
        const QByteArray argument = argv[i];
        if (argument == "--seconds" && i + 1 < argc) {
            seconds = std::atof(argv[++i]);
        } else if (argument == "--seed" && i + 1 < argc) {
            seed = quint32(std::strtoul(argv[++i], nullptr, 10));
        } else {
            const QDir folder(QString::fromLocal8Bit(argument));
            for (const QString &name : folder.entryList(QDir::Files, QDir::Name)) {
                if (name == QLatin1String("README"))
                    continue;
                QFile file(folder.filePath(name));
                if (file.open(QIODevice::ReadOnly)) {
                    readAndCheck(file.readAll());
                    ++replayed;
                }
            }
        }
    }
    QList<QByteArray> corpus;
    for (const char *s : seeds)
        corpus.append(QByteArray(s));
    QRandomGenerator random(seed);
    QElapsedTimer timer;
    timer.start();
    long runs = 0;
    while (timer.elapsed() < qint64(seconds * 1000)) {
        const QByteArray input = mutate(corpus.at(random.bounded(int(corpus.size()))), random);
        // A crash here leaves the input for the crashers folder.
        if (std::getenv("WRENLOG_FUZZ_DUMP")) {
            QFile last(QString::fromLocal8Bit(std::getenv("WRENLOG_FUZZ_DUMP")));
            if (last.open(QIODevice::WriteOnly))
                last.write(input);
        }
        readAndCheck(input);
        if (corpus.size() < 256 && random.bounded(16) == 0)
            corpus.append(input);
        ++runs;
    }
    std::printf("replayed %d crashers, ran %ld mutated inputs in %.1f s (seed %u)\n", replayed, runs, seconds, seed);
    return runs > 0 ? 0 : 1;
}

#endif
