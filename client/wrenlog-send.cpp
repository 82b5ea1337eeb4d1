// wrenlog-send: prints its arguments, or every line of its standard input,
// into the debug window.

#include "wrenlog/BusCall.h"
#include "wrenlog/GlobalWindow.h"
#include "wrenlog/PieceStream.h"
#include "wrenlog/PrivateWindow.h"

#include <QCoreApplication>
#include <QStringList>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <memory>
#include <optional>
#include <poll.h>
#include <unistd.h>

namespace {

constexpr int exitUsage = 2;
constexpr int exitFailure = 1;

const char usageText[] = "Usage: wrenlog-send [OPTION]... [TEXT]...\n"
                         "Print TEXT (the arguments joined by blanks) into the Wrenlog debug window;\n"
                         "without TEXT, print every line of standard input.\n"
                         "\n"
                         "  -s, --style STYLE     title, normal (the default), note or fail\n"
                         "  -c, --colour COLOUR   a colour reference 0xBBGGRR (blue in the high byte),\n"
                         "                        hexadecimal with 0x or decimal; --color works too\n"
                         "  -n, --no-newline      end the text (the last line of input) without a line break\n"
                         "      --show            show the shared window\n"
                         "  -p, --private NAME    print into a window of its own titled NAME that lives\n"
                         "                        while this command runs\n"
                         "      --help            show this help and exit\n"
                         "      --version         show the version and exit\n"
                         "\n"
                         "Exit status: 0 when everything was printed, 1 when the debug window reported\n"
                         "an error or could not be reached, 2 for a wrong command line.\n";

struct Options
{
    qint32 colour = WrenlogBus::defaultColour;
    bool noNewline = false;
    bool show = false;
    std::optional<QString> privateName;
    QStringList text;
};

[[noreturn]] void usageError(const QString &message)
{
    std::fprintf(stderr, "wrenlog-send: %s\nTry 'wrenlog-send --help' for more information.\n", qPrintable(message));
    std::exit(exitUsage);
}

std::optional<qint32> styleCode(const QString &name)
{
    static const QList<std::pair<QString, qint32>> styles = {
        {QStringLiteral("title"), Wrenlog::wlogTitle},
        {QStringLiteral("normal"), Wrenlog::wlogNormal},
        {QStringLiteral("note"), Wrenlog::wlogNote},
        {QStringLiteral("fail"), Wrenlog::wlogFail},
    };
    for (const auto &[styleName, code] : styles) {
        if (name.compare(styleName, Qt::CaseInsensitive) == 0)
            return code;
    }
    return std::nullopt;
}

std::optional<qint32> colourCode(const QString &text)
{
    bool ok = false;
    const qulonglong value = text.startsWith(QLatin1String("0x"), Qt::CaseInsensitive)
        ? text.mid(2).toULongLong(&ok, 16)
        : text.toULongLong(&ok, 10);
    if (!ok || value > 0xFFFFFF)
        return std::nullopt;
    return qint32(value);
}

Options parse(const QStringList &arguments)
{
    Options options;
    bool styleGiven = false;
    bool colourGiven = false;
    bool optionsEnded = false;
    for (qsizetype i = 1; i < arguments.size(); ++i) {
        QString argument = arguments.at(i);
        if (optionsEnded || !argument.startsWith(QLatin1Char('-')) || argument == QLatin1String("-")) {
            options.text.append(argument);
            continue;
        }
        if (argument == QLatin1String("--")) {
            optionsEnded = true;
            continue;
        }
        QString inlineValue;
        bool hasInlineValue = false;
        if (argument.startsWith(QLatin1String("--")) && argument.contains(QLatin1Char('='))) {
            inlineValue = argument.section(QLatin1Char('='), 1);
            argument = argument.section(QLatin1Char('='), 0, 0);
            hasInlineValue = true;
        }
        auto value = [&]() -> QString {
            if (hasInlineValue)
                return inlineValue;
            if (i + 1 >= arguments.size())
                usageError(QStringLiteral("option '%1' needs a value").arg(argument));
            return arguments.at(++i);
        };
        if (argument == QLatin1String("--help") || argument == QLatin1String("-h")) {
            std::fputs(usageText, stdout);
            std::exit(0);
        } else if (argument == QLatin1String("--version")) {
            std::printf("wrenlog-send %s\n", WRENLOG_VERSION);
            std::exit(0);
        } else if (argument == QLatin1String("--style") || argument == QLatin1String("-s")) {
            const QString name = value();
            const std::optional<qint32> code = styleCode(name);
            if (!code)
                usageError(QStringLiteral("unknown style '%1' (title, normal, note or fail)").arg(name));
            options.colour = *code;
            styleGiven = true;
        } else if (argument == QLatin1String("--colour") || argument == QLatin1String("--color")
                   || argument == QLatin1String("-c")) {
            const QString text = value();
            const std::optional<qint32> code = colourCode(text);
            if (!code)
                usageError(QStringLiteral("'%1' is not a colour reference 0xBBGGRR").arg(text));
            options.colour = *code;
            colourGiven = true;
        } else if (argument == QLatin1String("--no-newline") || argument == QLatin1String("-n")) {
            options.noNewline = true;
        } else if (argument == QLatin1String("--show")) {
            options.show = true;
        } else if (argument == QLatin1String("--private") || argument == QLatin1String("-p")) {
            options.privateName = value();
        } else {
            usageError(QStringLiteral("unknown option '%1'").arg(argument));
        }
        if (hasInlineValue && (argument == QLatin1String("--no-newline") || argument == QLatin1String("--show")))
            usageError(QStringLiteral("option '%1' takes no value").arg(argument));
    }
    if (styleGiven && colourGiven)
        usageError(QStringLiteral("give either --style or --colour, not both"));
    return options;
}

/// Reads standard input and hands on every line; a last line without a line
/// break comes out marked as such. Batches leave as soon as the input pauses,
/// so a slow producer (tail -f) shows up at once.
void streamInput(Wrenlog::PieceStream &stream, const Options &options)
{
    QByteArray pending;
    std::vector<char> buffer(256 * 1024);
    auto emitLine = [&](QByteArrayView line, bool crlf) {
        if (line.endsWith('\r'))
            line.chop(1);
        stream.add({QString::fromUtf8(line), options.colour, crlf});
    };
    for (;;) {
        const ssize_t got = ::read(STDIN_FILENO, buffer.data(), buffer.size());
        if (got < 0) {
            if (errno == EINTR)
                continue;
            throw AutomationError(
                57, QStringLiteral("Cannot read standard input: %1").arg(QString::fromLocal8Bit(std::strerror(errno))),
                QStringLiteral("wrenlog-send"));
        }
        if (got == 0)
            break;
        QByteArrayView chunk(buffer.data(), got);
        qsizetype start = 0;
        for (;;) {
            const qsizetype end = chunk.indexOf('\n', start);
            if (end < 0)
                break;
            if (pending.isEmpty()) {
                emitLine(chunk.sliced(start, end - start), true);
            } else {
                pending.append(chunk.sliced(start, end - start));
                emitLine(pending, true);
                pending.clear();
            }
            start = end + 1;
        }
        pending.append(chunk.sliced(start));
        pollfd input {STDIN_FILENO, POLLIN, 0};
        if (::poll(&input, 1, 0) == 0)
            stream.flush();
    }
    if (!pending.isEmpty())
        emitLine(pending, !options.noNewline);
}

int run(const Options &options)
{
    const QDBusConnection bus = QDBusConnection::sessionBus();
    Wrenlog::BusCall::requireConnected(bus);

    std::unique_ptr<Wrenlog::PrivateWindow> privateWindow;
    QString path = QString::fromLatin1(WrenlogBus::globalWindowPath);
    if (options.privateName) {
        privateWindow = std::make_unique<Wrenlog::PrivateWindow>(bus);
        privateWindow->DebugShow(*options.privateName);
        path = privateWindow->objectPath();
    } else if (options.show) {
        Wrenlog::GlobalWindow(bus).DebugShow();
    }

    if (!options.text.isEmpty()) {
        const QString text = options.text.join(QLatin1Char(' '));
        if (privateWindow)
            privateWindow->DebugPrint(text, options.colour, !options.noNewline);
        else
            Wrenlog::GlobalWindow(bus).DebugPrint(text, options.colour, !options.noNewline);
        return 0;
    }

    Wrenlog::PieceStream stream(bus, path);
    streamInput(stream, options);
    stream.finish();
    return 0;
}

void printFailure(const AutomationError &error)
{
    std::fprintf(stderr, "wrenlog-send: %s (error %d)\n", qPrintable(error.description()), int(error.number()));
    const QStringList lines = error.sourceLines();
    if (!lines.isEmpty())
        std::fprintf(stderr, "  source: %s\n", qPrintable(lines.join(QStringLiteral(" / "))));
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    const Options options = parse(QCoreApplication::arguments());
    try {
        return run(options);
    } catch (const AutomationError &error) {
        printFailure(error);
    } catch (const std::exception &error) {
        std::fprintf(stderr, "wrenlog-send: %s\n", error.what());
    }
    return exitFailure;
}
