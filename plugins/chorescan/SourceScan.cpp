#include "SourceScan.h"

#include "Guard.h"
#include "KSHandyLibrary.h"
#include "KSSSLookForResults.h"
#include "KSStorageString.h"
#include "NumericText.h"
#include "PluginWindow.h"
#include "PluginWindowFont.h"
#include "PropertyStore.h"
#include "RuntimeErrors.h"
#include "StorageStringText.h"
#include "WrenlogEnums.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

#include <memory>
#include <string_view>

namespace {

// Report colours, 0x00BBGGRR.
constexpr qint32 foundColour = 0x0000FF;
constexpr qint32 lineNumberColour = 0xFF8080;
constexpr qint32 procedureColour = 0x0080FF;
constexpr qint32 readsColour = 0x00C000;
constexpr qint32 blockColour = 0x008000;
constexpr qint32 cleanColour = 0x00FF00;
constexpr qint32 totalColour = 0xFF0000;

const QString crLf = QStringLiteral("\r\n");

/// Runs one step of the scan; a failing step is skipped, never reported.
template<typename Fn>
void attempt(Fn &&fn)
{
    try {
        std::forward<Fn>(fn)();
    } catch (...) {}
}

// Both the line and the words are case-folded. The standard search runs
// several times faster than QStringView's over lines this short.
bool containsAny(QStringView folded, std::initializer_list<std::u16string_view> words)
{
    const std::u16string_view line(folded.utf16(), size_t(folded.size()));
    for (std::u16string_view word : words) {
        if (line.find(word) != std::u16string_view::npos)
            return true;
    }
    return false;
}

QStringView trimmedOfSpaces(QStringView line)
{
    qsizetype begin = 0;
    qsizetype end = line.size();
    while (begin < end && line.at(begin) == u' ')
        ++begin;
    while (end > begin && line.at(end - 1) == u' ')
        --end;
    return line.sliced(begin, end - begin);
}

bool hasBareLineFeed(QStringView text)
{
    for (qsizetype at = text.indexOf(u'\n'); at >= 0; at = text.indexOf(u'\n', at + 1)) {
        if (at == 0 || text[at - 1] != u'\r')
            return true;
    }
    return false;
}

/// Files written on Linux end their lines with LF alone; the storage string
/// counts lines by CR LF, so such a file would read as one long line.
void normaliseLineEnds(KSStorageString &source)
{
    QString text = source.Value().toString();
    if (!hasBareLineFeed(text))
        return;
    // One pass: a bare LF becomes CR LF, the rest stays (QString::replace
    // would move the rest of a long file again for every thousand lines).
    QString fixed;
    fixed.reserve(text.size() + text.count(u'\n'));
    qsizetype copied = 0;
    for (qsizetype at = text.indexOf(u'\n'); at >= 0; at = text.indexOf(u'\n', at + 1)) {
        if (at > 0 && text[at - 1] == u'\r')
            continue;
        fixed.append(QStringView(text).sliced(copied, at - copied));
        fixed.append(crLf);
        copied = at + 1;
    }
    fixed.append(QStringView(text).sliced(copied));
    source.setValue(fixed);
}

/// The text cut at every CR LF, as QString::split cuts it.
QList<QStringView> linesOf(QStringView text)
{
    QList<QStringView> lines;
    qsizetype begin = 0;
    for (qsizetype at = StorageStringText::indexOfLineBreak(text, 0); at >= 0;
         at = StorageStringText::indexOfLineBreak(text, begin)) {
        lines.append(text.sliced(begin, at - begin));
        begin = at + 2;
    }
    lines.append(text.sliced(begin));
    return lines;
}

} // namespace

const QStringList SourceScan::markers {QStringLiteral("'To Do"), QStringLiteral("'ToDo")};

SourceScan::SourceScan(PluginWindow *window, PropertyStore *store)
    : m_window(window)
    , m_store(store)
{}

bool SourceScan::isSourceName(const QString &name)
{
    const qsizetype dot = name.lastIndexOf(u'.');
    if (dot < 0)
        return false;
    const QString extension = name.mid(dot).toUpper();
    return extension == u".BAS" || extension == u".FRM" || extension == u".CLS";
}

bool SourceScan::isProcedureHeader(QStringView folded)
{
    return containsAny(folded, {u"public ", u"private ", u"friend "})
        && containsAny(folded, {u" property", u" sub", u" function"});
}

bool SourceScan::continuesBlock(QStringView folded)
{
    if (!trimmedOfSpaces(folded).startsWith(u'\''))
        return false;
    return !containsAny(folded, {u"'todo", u"'to do"});
}

bool SourceScan::yield(bool now)
{
    // Every line would hand over some hundred thousand times a scan, and each
    // hand-over may repaint: at most every few milliseconds keeps the window
    // as lively at a small part of the cost. Reading the clock costs more
    // than testing a line, so it is read once every so many lines.
    if (!now && ++m_linesSinceClock < linesPerClockRead)
        return !windowGone();
    m_linesSinceClock = 0;
    if (now || !m_sinceYield.isValid() || m_sinceYield.hasExpired(yieldIntervalMs)) {
        QCoreApplication::processEvents();
        m_sinceYield.start();
    }
    return !windowGone();
}

void SourceScan::print(const QString &text, qint32 colour, bool lineBreak)
{
    if (!windowGone())
        attempt([&] { m_window->DebugPrint(text, colour, lineBreak); });
}

void SourceScan::restyle()
{
    PluginWindow *window = m_window;
    attempt([&] { window->setBackColour(0xFFFFFF); });
    std::unique_ptr<PluginWindowFont> font;
    attempt([&] { font.reset(window->Font()); });
    if (font) {
        attempt([&] { font->setSize(9); });
        attempt([&] { font->setBold(false); });
        attempt([&] { font->setItalic(false); });
        attempt([&] { font->setName(QStringLiteral("Courier New")); });
    }
    attempt([&] { window->setWrap(false); });
    attempt([&] { window->setTopTextBackColour(0xC0FFC0); });
    attempt([&] { window->setTopTextForeColour(0); });
}

QVariant SourceScan::setting(const QString &name) const
{
    // The host hands over no store when it could not make one.
    if (!m_store)
        RuntimeErrors::raise(RuntimeErrors::ObjectNotSet, QStringLiteral("KSChorescan"));
    return m_store->GetProperty(name);
}

QString SourceScan::folderToScan()
{
    // The flag is True only for the number 1; text that reads as 1 counts too.
    m_fullResults = false;
    attempt([&] {
        const QVariant stored = setting(QStringLiteral("FullResults"));
        const QString text = stored.toString();
        m_fullResults = NumericText::isNumeric(text) && text.trimmed().toDouble() == 1.0;
    });
    QString folder;
    attempt([&] { folder = setting(QStringLiteral("WorkingPath")).toString(); });
    if (folder.isEmpty()) {
        attempt([&] {
            folder
                = KSHandyLibrary::BrowseDir(m_window->hWnd().toULongLong(), QStringLiteral("Please specify a folder"));
        });
    }
    return folder;
}

QStringList SourceScan::listFiles(const QString &folder)
{
    // An empty path would name the current folder to QDir; here it names none.
    if (folder.isEmpty() || !QFileInfo(folder).isDir())
        return {};
    // Sorted by name, ignoring case, so a report reads the same on every machine.
    const QDir dir(folder);
    return dir.entryList(QDir::Files | QDir::Hidden, QDir::Name | QDir::IgnoreCase);
}

void SourceScan::run()
{
    if (windowGone())
        return;
    restyle();
    if (!yield(true))
        return;

    const QString folder = folderToScan();
    if (windowGone())
        return;
    attempt([&] { m_window->setTopText(QStringLiteral("Scanning Dir: ") + folder); });
    if (!yield(true))
        return;

    const QStringList names = listFiles(folder);
    attempt([&] { m_window->DebugShow(); });
    print(QStringLiteral("Kestrane - Chorescan"), wlogNormal);
    print(crLf + QStringLiteral("Directory of '") + folder + QStringLiteral("':"), wlogTitle);

    m_found = 0;
    for (const QString &name : names) {
        if (windowGone())
            return;
        if (isSourceName(name))
            ScanFile(QDir(folder).filePath(name), name);
    }

    print(QString(), wlogNormal);
    const QString total = QStringLiteral("Total Number of ToDo's found: ") + QString::number(m_found);
    print(total, totalColour);
    print(QString(total.size(), u'-'), wlogNormal);
}

void SourceScan::ScanFile(const QString &path, const QString &name)
{
    KSStorageString source;
    QList<KSSSLookForResults> results;
    Page page;
    attempt([&] {
        source.Load(path, false);
        normaliseLineEnds(source);
    });
    attempt([&] { results = source.LookFor(markers, false, false, false); });
    if (!results.isEmpty()) {
        attempt([&] {
            page.text = source.Value().toString();
            page.folded = StorageStringText::caseFolded(page.text);
            page.lines = linesOf(page.text);
        });
    }

    if (results.isEmpty()) {
        if (m_fullResults) {
            print(QStringLiteral("Looking at File: ") + name, wlogNormal, false);
            print(QStringLiteral(" (Clean)"), cleanColour);
        }
        return;
    }
    for (const KSSSLookForResults &record : std::as_const(results)) {
        print(QStringLiteral("Looking at File: ") + name, wlogNormal, false);
        print(QStringLiteral(" (Found)"), foundColour);
        for (qint32 position : record.Positions) {
            if (windowGone())
                return;
            reportHit(source, page, position);
        }
    }
}

void SourceScan::reportHit(KSStorageString &source, const Page &page, qint32 position)
{
    qint32 lineNumber = 0;
    attempt([&] {
        source.setCursor(position);
        lineNumber = source.LineNumber();
    });
    print(QStringLiteral("  At Line No.: ") + QString::number(lineNumber), lineNumberColour);
    ++m_found;

    // Lines are taken from the text cut once per file: the storage string
    // finds a line from the start of its text on every call, which costs a
    // whole file per line read.
    const qint32 lineCount = qint32(page.lines.size());
    QString block;
    qint32 current = std::clamp(lineNumber, 1, std::max(lineCount, 1));
    qint32 blockEnd = current;
    if (lineCount > 0) {
        for (;;) {
            if (!yield())
                return;
            block.append(u"    ").append(page.lines.at(current - 1)).append(crLf);
            blockEnd = current;
            if (current >= lineCount)
                break;
            ++current;
            if (!continuesBlock(page.foldedLine(current - 1)))
                break;
        }
    }

    QString header;
    bool haveHeader = false;
    for (qint32 tested = std::min(blockEnd, lineCount); tested >= 1; --tested) {
        if (!yield())
            return;
        if (isProcedureHeader(page.foldedLine(tested - 1))) {
            header = page.lines.at(tested - 1).toString();
            haveHeader = true;
            break;
        }
    }

    if (haveHeader)
        print(QStringLiteral("  In: ") + header, procedureColour);
    print(QStringLiteral("    ToDo Reads..."), readsColour);
    print(block, blockColour);
}
