// wrenlog-send: prints its arguments, every line of its standard input, a
// command's output, a followed file or the journal into the debug window.

#include "send/CommandRunner.h"
#include "send/FileFollower.h"
#include "send/Journal.h"
#include "send/LineSink.h"
#include "send/LineSplitter.h"
#include "wrenlog/BusCall.h"
#include "wrenlog/GlobalWindow.h"
#include "wrenlog/PieceStream.h"
#include "wrenlog/PrivateWindow.h"

#include <QCoreApplication>
#include <QStringList>

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <memory>
#include <optional>
#include <poll.h>
#include <unistd.h>

namespace {

constexpr int exitUsage = 2;
constexpr int exitFailure = 1;
constexpr int exitCannotRun = 127;

const char usageText[] = "Usage: wrenlog-send [OPTION]... [TEXT]...\n"
                         "  or:  wrenlog-send [OPTION]... -- COMMAND [ARGUMENT]...\n"
                         "  or:  wrenlog-send [OPTION]... --follow FILE\n"
                         "Print TEXT (the arguments joined by blanks) into the Wrenlog debug window;\n"
                         "without TEXT, print every line of standard input.\n"
                         "\n"
                         "With a COMMAND, run it and print its standard output in the chosen style\n"
                         "and its standard error in the fail style, into a window of its own titled\n"
                         "after the command (or NAME of --private); exit with the command's status\n"
                         "(128+N when signal N ended it, 127 when it cannot be started).\n"
                         "\n"
                         "  -s, --style STYLE     title, normal (the default), note or fail\n"
                         "  -c, --colour COLOUR   a colour reference 0xBBGGRR (blue in the high byte),\n"
                         "                        hexadecimal with 0x or decimal; --color works too\n"
                         "  -n, --no-newline      end the text (the last line of input) without a line break\n"
                         "      --show            show the shared window\n"
                         "  -p, --private NAME    print into a window of its own titled NAME that lives\n"
                         "                        while this command runs\n"
                         "  -f, --follow FILE     print the lines written to FILE from now on, through\n"
                         "                        rotation and truncation, like tail -F (Ctrl+C ends)\n"
                         "  -j, --journal         read journalctl -o json lines: each message with its\n"
                         "                        identifier, styled after its priority\n"
                         "  -t, --timestamps      put the local time (to the millisecond) before each line\n"
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
    QStringList command;
    std::optional<QString> follow;
    bool journal = false;
    bool timestamps = false;
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
    for (qsizetype i = 1; i < arguments.size(); ++i) {
        QString argument = arguments.at(i);
        if (!argument.startsWith(QLatin1Char('-')) || argument == QLatin1String("-")) {
            options.text.append(argument);
            continue;
        }
        if (argument == QLatin1String("--")) {
            options.command = arguments.mid(i + 1);
            if (options.command.isEmpty())
                usageError(QStringLiteral("no command after '--'"));
            break;
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
        } else if (argument == QLatin1String("--follow") || argument == QLatin1String("-f")) {
            options.follow = value();
        } else if (argument == QLatin1String("--journal") || argument == QLatin1String("-j")) {
            options.journal = true;
        } else if (argument == QLatin1String("--timestamps") || argument == QLatin1String("-t")) {
            options.timestamps = true;
        } else {
            usageError(QStringLiteral("unknown option '%1'").arg(argument));
        }
        if (hasInlineValue
            && QStringList {QStringLiteral("--no-newline"), QStringLiteral("--show"), QStringLiteral("--journal"),
                            QStringLiteral("--timestamps")}
                   .contains(argument))
            usageError(QStringLiteral("option '%1' takes no value").arg(argument));
    }
    if (styleGiven && colourGiven)
        usageError(QStringLiteral("give either --style or --colour, not both"));
    const int sources = (options.text.isEmpty() ? 0 : 1) + (options.command.isEmpty() ? 0 : 1)
        + (options.follow ? 1 : 0) + (options.journal ? 1 : 0);
    if (sources > 1)
        usageError(QStringLiteral("give one of TEXT, -- COMMAND, --follow and --journal"));
    return options;
}

volatile sig_atomic_t g_stop = 0;

void stopOnSignals()
{
    struct sigaction action {};
    action.sa_handler = [](int) { g_stop = 1; };
    sigemptyset(&action.sa_mask);
    for (int signal : {SIGINT, SIGTERM, SIGHUP})
        ::sigaction(signal, &action, nullptr);
}

/// Reads standard input and hands on every line (or journal entry); a last
/// line without a line break comes out marked as such. Batches leave as soon
/// as the input pauses, so a slow producer (tail -f) shows up at once.
void streamInput(LineSink &sink, const Options &options)
{
    LineSplitter lines;
    auto print = [&](QByteArrayView line, bool crlf) {
        if (!options.journal) {
            sink.line(line, options.colour, crlf);
            return;
        }
        Journal::Entry entry = Journal::parse(line, options.colour);
        sink.text(std::move(entry.text), entry.colour, crlf, stdout, options.timestamps ? entry.timePrefix : QString());
    };
    std::vector<char> buffer(256 * 1024);
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
        lines.feed(QByteArrayView(buffer.data(), got), [&](QByteArrayView line) { print(line, true); });
        pollfd input {STDIN_FILENO, POLLIN, 0};
        if (::poll(&input, 1, 0) == 0)
            sink.idle();
    }
    if (lines.hasRest())
        print(lines.takeRest(), !options.noNewline);
}

int run(const Options &options)
{
    const QDBusConnection bus = QDBusConnection::sessionBus();
    Wrenlog::BusCall::requireConnected(bus);

    std::unique_ptr<Wrenlog::PrivateWindow> privateWindow;
    QString path = QString::fromLatin1(WrenlogBus::globalWindowPath);
    if (options.privateName || !options.command.isEmpty()) {
        privateWindow = std::make_unique<Wrenlog::PrivateWindow>(bus);
        privateWindow->DebugShow(options.privateName.value_or(options.command.join(QLatin1Char(' '))));
        path = privateWindow->objectPath();
    } else if (options.show) {
        Wrenlog::GlobalWindow(bus).DebugShow();
    }

    if (!options.text.isEmpty()) {
        const QString text = (options.timestamps ? LineSink::timePrefix() : QString())
            + options.text.join(QLatin1Char(' '));
        if (privateWindow)
            privateWindow->DebugPrint(text, options.colour, !options.noNewline);
        else
            Wrenlog::GlobalWindow(bus).DebugPrint(text, options.colour, !options.noNewline);
        return 0;
    }

    Wrenlog::PieceStream stream(bus, path);
    if (!options.command.isEmpty()) {
        CommandRunner command(options.command);
        QString reason;
        if (!command.start(&reason)) {
            std::fprintf(stderr, "wrenlog-send: cannot run '%s': %s\n", qPrintable(options.command.first()),
                         qPrintable(reason));
            return exitCannotRun;
        }
        // The command's output is never lost with the window: it falls back to this terminal.
        LineSink sink(stream, options.timestamps, true);
        const int status = command.pump(sink, options.colour, Wrenlog::wlogFail, !options.noNewline);
        sink.finish();
        return status;
    }
    LineSink sink(stream, options.timestamps);
    if (options.follow) {
        stopOnSignals();
        const int status = FileFollower(*options.follow).run(sink, options.colour, g_stop);
        sink.finish();
        return status;
    }
    streamInput(sink, options);
    sink.finish();
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
