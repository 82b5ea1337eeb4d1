#include "Lookout.h"

#include "FindBar.h"
#include "Guard.h"
#include "LookoutPropertiesForm.h"
#include "PluginMenu.h"
#include "RuntimeErrors.h"

#include <QCheckBox>
#include <QDateTime>

namespace {

QString label(const char *procedure)
{
    return QStringLiteral("Lookout.") + QLatin1String(procedure);
}

// Prefixes print in grey, whatever the line's own colour.
constexpr qint32 prefixColour = 0x808080;
// The plug-ins hear Windows key codes and shift states.
constexpr qint32 keyF = 70;
constexpr qint32 keyP = 80;
constexpr qint32 shiftKey = 1;
constexpr qint32 ctrlKey = 2;
// A trim held back by the user's selection is tried again after this long.
constexpr int trimRetryMs = 1000;

bool endsLine(const QString &text)
{
    return !text.isEmpty() && (text.back() == u'\n' || text.back() == u'\r');
}

qsizetype lineBreakIn(const QString &text, qsizetype from)
{
    const QChar *data = text.constData();
    for (qsizetype i = from; i < text.size(); ++i) {
        if (data[i] == u'\n' || data[i] == u'\r')
            return i;
    }
    return -1;
}

qint64 lineBreaks(const QString &text)
{
    qint64 breaks = 0;
    for (qsizetype at = lineBreakIn(text, 0); at >= 0; at = lineBreakIn(text, at + 1)) {
        if (text.at(at) == u'\r' && at + 1 < text.size() && text.at(at + 1) == u'\n')
            ++at;
        ++breaks;
    }
    return breaks;
}

// Sets a flag for the time of a call and puts back what it was.
class Reprinting
{
public:
    explicit Reprinting(bool &flag)
        : m_flag(flag)
        , m_was(flag)
    {
        m_flag = true;
    }
    ~Reprinting() { m_flag = m_was; }

private:
    bool &m_flag;
    bool m_was;
};

} // namespace

Lookout::Lookout(QObject *parent)
    : QObject(parent)
{
    m_trimTimer.setSingleShot(true);
    m_trimTimer.setInterval(0);
    connect(&m_trimTimer, &QTimer::timeout, this, &Lookout::trim);
    m_waitingTimer.setSingleShot(true);
    m_waitingTimer.setInterval(0);
    connect(&m_waitingTimer, &QTimer::timeout, this, &Lookout::showWaiting);
}

Lookout::~Lookout()
{
    delete m_findBar;
}

QVariant Lookout::Name()
{
    return QStringLiteral("Lookout");
}

QVariant Lookout::Author()
{
    return QStringLiteral("Wrenlog");
}

QVariant Lookout::Version()
{
    return QStringLiteral("1.0.0");
}

QVariant Lookout::DateStamp()
{
    return QStringLiteral("07-December-2026");
}

QVariant Lookout::Comments()
{
    return QStringLiteral("Find, pause, time stamps, senders, highlight rules and a line cap for a busy window.");
}

QString Lookout::Key()
{
    return m_key;
}

bool Lookout::HasProperties()
{
    return true;
}

bool Lookout::IsRunning()
{
    return m_running;
}

void Lookout::Initialize(const QString &Key, PluginWindow *pluginWindow, PropertyStore *propertyStore)
{
    passOn(label("Initialize"), [&] {
        m_key = Key;
        moWindow = pluginWindow;
        m_store = propertyStore;
        if (!moWindow)
            RuntimeErrors::raise(RuntimeErrors::ObjectNotSet, Guard::defaultSource());
        if (m_store)
            m_settings = LookoutSettings::read(*m_store);
        m_rules.setRules(m_settings.rules);
        m_cap.setMaxLines(m_settings.maxLines);

        connect(moWindow, &PluginWindow::KeyPress, this, &Lookout::moWindow_KeyPress);
        connect(moWindow, &PluginWindow::BeforeQuit, this, &Lookout::moWindow_BeforeQuit);
        connect(moWindow, &PluginWindow::AfterEraseAll, this, &Lookout::moWindow_TextReplaced);
        connect(moWindow, &PluginWindow::AfterOpen, this, &Lookout::moWindow_TextReplaced);

        PluginMenu *menu = moWindow->Menu();
        menu->AddMenuItem(QStringLiteral("-"));
        moMnuFind = menu->AddMenuItem(QStringLiteral("Find..."));
        connect(moMnuFind, &PluginMenuItem::Click, this, [this] { OpenFind(); });
        moMnuPause = menu->AddMenuItem(QStringLiteral("Pause Output"));
        connect(moMnuPause, &PluginMenuItem::Click, this,
                [this] { reportFailure(label("moMnuPause_Click"), [&] { setPaused(!m_paused); }); });
        moMnuTimeStamps = menu->AddMenuItem(QStringLiteral("Time Stamps"));
        moMnuTimeStamps->setChecked(m_settings.timeStamps);
        connect(moMnuTimeStamps, &PluginMenuItem::Click, this, [this] {
            reportFailure(label("moMnuTimeStamps_Click"), [&] { setTimeStamps(!m_settings.timeStamps); });
        });
        moMnuShowSender = menu->AddMenuItem(QStringLiteral("Show Sender"));
        moMnuShowSender->setChecked(m_settings.showSender);
        connect(moMnuShowSender, &PluginMenuItem::Click, this, [this] {
            reportFailure(label("moMnuShowSender_Click"), [&] { setShowSender(!m_settings.showSender); });
        });
        updateListening();
        scheduleTrim();
    });
}

void Lookout::updateListening()
{
    // A window whose DebugPrint nobody hears does not raise it: with every
    // feature off Lookout does not listen, and printing costs what it costs
    // without the plug-in. Listening again, the next piece counts as the
    // start of a line.
    const bool needed = m_paused || changesPieces() || m_cap.maxLines() > 0;
    if (needed && !m_printHeard && moWindow) {
        m_atLineStart = true;
        m_line.clear();
        m_cap.forget();
        m_printHeard = connect(moWindow, &PluginWindow::DebugPrintEvent, this, &Lookout::moWindow_DebugPrint);
    } else if (!needed && m_printHeard) {
        disconnect(m_printHeard);
        m_printHeard = {};
    }
}

void Lookout::Splash() {}

void Lookout::Run()
{
    // Lookout works from the moment it is initialised; running it is the
    // manager's way to mark it as one of the window's tools.
    m_running = true;
}

void Lookout::Kill()
{
    passOn(label("Kill"), [&] {
        m_running = false;
        if (m_findBar)
            m_findBar->hide();
        if (m_paused)
            setPaused(false);
        else
            releaseHeld();
    });
}

void Lookout::ShowProperties()
{
    passOn(label("ShowProperties"), [&] {
        LookoutPropertiesForm form(m_settings);
        if (form.exec() == QDialog::Accepted)
            applySettings(form.settings());
    });
}

// ---- Commands ---------------------------------------------------------------

void Lookout::OpenFind()
{
    reportFailure(label("moMnuFind_Click"), [&] {
        if (!moWindow)
            return;
        if (!m_findBar) {
            m_findBar = new FindBar(moWindow);
            m_findBar->chkMatchCase()->setChecked(m_settings.findMatchCase);
            m_findBar->chkRegularExpression()->setChecked(m_settings.findRegularExpression);
            connect(m_findBar, &FindBar::optionsChanged, this, [this](bool matchCase, bool regularExpression) {
                m_settings.findMatchCase = matchCase;
                m_settings.findRegularExpression = regularExpression;
                reportFailure(label("FindBar_OptionsChanged"), [&] {
                    saveSetting(QStringLiteral("FindMatchCase"), matchCase);
                    saveSetting(QStringLiteral("FindRegularExpression"), regularExpression);
                });
            });
        }
        m_findBar->open();
    });
}

void Lookout::setPaused(bool paused)
{
    passOn(label("setPaused"), [&] {
        if (paused == m_paused || !moWindow)
            return;
        if (paused) {
            m_topTextBeforePause = moWindow->TopText();
            m_paused = true;
            showWaiting();
        } else {
            m_paused = false;
            m_waitingTimer.stop();
            releaseHeld();
            moWindow->setTopText(m_topTextBeforePause);
        }
        if (moMnuPause)
            moMnuPause->setChecked(m_paused);
        updateListening();
    });
}

void Lookout::setTimeStamps(bool on)
{
    m_settings.timeStamps = on;
    if (moMnuTimeStamps)
        moMnuTimeStamps->setChecked(on);
    updateListening();
    saveSetting(QStringLiteral("TimeStamps"), on);
}

void Lookout::setShowSender(bool on)
{
    m_settings.showSender = on;
    if (moMnuShowSender)
        moMnuShowSender->setChecked(on);
    updateListening();
    saveSetting(QStringLiteral("ShowSender"), on);
}

void Lookout::applySettings(const LookoutSettings &settings)
{
    passOn(label("applySettings"), [&] {
        m_settings = settings;
        m_rules.setRules(settings.rules);
        m_line.clear();
        m_cap.setMaxLines(settings.maxLines);
        if (moMnuTimeStamps)
            moMnuTimeStamps->setChecked(settings.timeStamps);
        if (moMnuShowSender)
            moMnuShowSender->setChecked(settings.showSender);
        updateListening();
        if (m_store)
            settings.write(*m_store);
        scheduleTrim();
    });
}

void Lookout::saveSetting(const QString &name, const QVariant &value)
{
    if (m_store)
        m_store->SetProperty(name, value);
}

// ---- Printing ---------------------------------------------------------------

QString Lookout::stampText(qint64 msecsSinceEpoch)
{
    // Working out local time costs more than printing a short line: the text
    // of the second is kept and only the milliseconds change within it.
    static qint64 second = -1;
    static QString secondText;
    const qint64 thisSecond = msecsSinceEpoch >= 0 ? msecsSinceEpoch / 1000 : (msecsSinceEpoch - 999) / 1000;
    if (thisSecond != second) {
        second = thisSecond;
        secondText = QDateTime::fromMSecsSinceEpoch(thisSecond * 1000).toString(QStringLiteral("hh:mm:ss."));
    }
    const qint64 millis = msecsSinceEpoch - thisSecond * 1000;
    return secondText + QString::number(millis).rightJustified(3, QLatin1Char('0')) + QLatin1Char(' ');
}

bool Lookout::changesPieces() const
{
    return m_settings.timeStamps || m_settings.showSender || !m_rules.isEmpty();
}

void Lookout::moWindow_DebugPrint(const QString &Text, qint32 Colour, bool CrLfAtEnd, bool &Cancel)
{
    // Lookout's own prints, and pieces another plug-in has already stopped, pass untouched.
    if (m_reprinting || Cancel)
        return;
    if (!m_paused && !changesPieces()) {
        if (!Text.isEmpty() || CrLfAtEnd)
            m_atLineStart = CrLfAtEnd || endsLine(Text);
        if (m_cap.maxLines() > 0) {
            m_cap.note(Text, CrLfAtEnd);
            if (m_cap.due())
                scheduleTrim();
        }
        return;
    }
    passOn(label("moWindow_DebugPrint"), [&] {
        Piece piece {Text, Colour, CrLfAtEnd, QDateTime::currentMSecsSinceEpoch(),
                     m_settings.showSender || m_paused ? moWindow->PrintSender() : QString()};
        if (m_paused) {
            Cancel = true;
            hold(std::move(piece));
            return;
        }
        Parts parts = shape(piece);
        if (parts.isEmpty())
            return; // an empty piece without a line break: nothing to show
        const Part &last = parts.back();
        if (parts.size() <= 2 && last.text == Text && last.colour == Colour && last.crLf == CrLfAtEnd) {
            // The piece itself goes in as it came, after its prefix: the window
            // appends it once this event is over, so the prefix printed now
            // stands in front of it. One print fewer per line.
            parts.removeLast();
            printParts(parts);
            return;
        }
        Cancel = true;
        printParts(parts);
    });
}

Lookout::Parts Lookout::shape(const Piece &piece)
{
    Parts parts;
    const bool prefixed = m_settings.timeStamps || m_settings.showSender;
    QString prefix;
    const QString &text = piece.text;
    qsizetype from = 0;
    for (;;) {
        const qsizetype lineBreak = lineBreakIn(text, from);
        const bool last = lineBreak < 0;
        const QString segment = last ? (from == 0 ? text : text.mid(from)) : text.mid(from, lineBreak - from);
        const bool ends = last ? piece.crLf : true;
        if (segment.isEmpty() && !ends)
            break;
        if (m_atLineStart) {
            m_line.clear();
            if (prefixed) {
                if (prefix.isEmpty()) {
                    if (m_settings.timeStamps)
                        prefix += stampText(piece.arrived);
                    if (m_settings.showSender)
                        prefix += QLatin1Char('[') + piece.sender + QStringLiteral("] ");
                }
                parts.append({prefix, prefixColour, false});
            }
        }
        qint32 colour = piece.colour;
        if (!m_rules.isEmpty()) {
            m_line += segment;
            if (const std::optional<qint32> ruleColour = m_rules.colourFor(m_line))
                colour = *ruleColour;
        }
        parts.append({segment, colour, ends});
        m_atLineStart = ends;
        if (last)
            break;
        from = lineBreak + 1;
        if (text.at(lineBreak) == u'\r' && from < text.size() && text.at(from) == u'\n')
            ++from;
    }
    return parts;
}

void Lookout::printParts(const Parts &parts)
{
    Reprinting reprinting(m_reprinting);
    for (const Part &part : parts) {
        moWindow->DebugPrint(part.text, part.colour, part.crLf);
        m_cap.note(part.text, part.crLf);
    }
    if (m_cap.due())
        scheduleTrim();
}

void Lookout::hold(Piece piece)
{
    m_heldLines += lineBreaks(piece.text) + (piece.crLf ? 1 : 0);
    m_held.append(std::move(piece));
    if (!m_waitingTimer.isActive())
        m_waitingTimer.start();
}

void Lookout::releaseHeld()
{
    // One piece at a time off the front: if a print fails, what is still
    // held stays held for the next release.
    while (!m_held.isEmpty() && moWindow) {
        const Piece piece = m_held.takeFirst();
        m_heldLines -= lineBreaks(piece.text) + (piece.crLf ? 1 : 0);
        printParts(shape(piece));
    }
    m_heldLines = 0;
}

void Lookout::showWaiting()
{
    reportFailure(label("ShowWaiting"), [&] {
        if (!m_paused || !moWindow)
            return;
        // A last piece without a line break is a line on its way too.
        const qint64 lines = m_heldLines + (!m_held.isEmpty() && !m_held.back().crLf && !endsLine(m_held.back().text) ? 1 : 0);
        moWindow->setTopText(QStringLiteral("Paused: %1 lines waiting").arg(lines));
    });
}

// ---- Window events ----------------------------------------------------------

void Lookout::moWindow_KeyPress(qint32 KeyCode, qint32 Shift)
{
    if (KeyCode == keyF && Shift == ctrlKey)
        OpenFind();
    else if (KeyCode == keyP && Shift == (ctrlKey | shiftKey))
        reportFailure(label("moWindow_KeyPress"), [&] { setPaused(!m_paused); });
}

void Lookout::moWindow_BeforeQuit(bool &Cancel)
{
    if (Cancel)
        return;
    // The window may be going away: what is held goes into the text now, so
    // that whoever keeps the text as the window closes keeps it too. The
    // pause itself goes on in case the close is refused.
    reportFailure(label("moWindow_BeforeQuit"), [&] {
        releaseHeld();
        showWaiting();
    });
}

void Lookout::moWindow_TextReplaced()
{
    m_atLineStart = true;
    m_line.clear();
    m_cap.forget();
    scheduleTrim();
}

void Lookout::scheduleTrim()
{
    if (m_cap.maxLines() > 0 && !m_trimTimer.isActive())
        m_trimTimer.start();
}

void Lookout::trim()
{
    reportFailure(label("TrimLines"), [&] {
        if (!moWindow)
            return;
        m_trimTimer.setInterval(0);
        if (!m_cap.trim(*moWindow)) {
            m_trimTimer.setInterval(trimRetryMs);
            m_trimTimer.start();
        }
    });
}
