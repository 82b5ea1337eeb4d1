#include "wrenlog/MessageHandler.h"

#include "AutomationError.h"
#include "wrenlog/GlobalWindow.h"
#include "wrenlog/PieceStream.h"
#include "wrenlog/PrivateWindow.h"

#include <QCoreApplication>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <deque>
#include <memory>
#include <mutex>
#include <thread>

namespace Wrenlog {

namespace {

constexpr qint32 warningColour = 0x0080FF; // orange, 0x00BBGGRR
constexpr qint32 debugColour = 0x808080;   // grey
/// Messages waiting beyond this make the program wait for the window (a flood
/// must not eat the memory); far above what a second of logging queues.
constexpr std::size_t queueLimit = 500000;
/// How long qFatal waits for the window before it lets the program abort.
constexpr auto fatalWait = std::chrono::seconds(10);

/// A message with copies of everything its context pointed at, so that it can
/// still be handed to the previous handler later, from another thread.
struct Message
{
    QtMsgType type;
    QByteArray category;
    QByteArray file;
    QByteArray function;
    int line;
    QString text;

    void passTo(QtMessageHandler handler) const
    {
        if (!handler)
            return;
        const QMessageLogContext context(file.isNull() ? nullptr : file.constData(), line,
                                         function.isNull() ? nullptr : function.constData(),
                                         category.isNull() ? nullptr : category.constData());
        handler(type, context, text);
    }
};

qint32 colourOf(QtMsgType type)
{
    switch (type) {
    case QtDebugMsg: return debugColour;
    case QtInfoMsg: return wlogNormal;
    case QtWarningMsg: return warningColour;
    case QtCriticalMsg:
    case QtFatalMsg: return wlogFail;
    }
    return wlogNormal;
}

DebugPiece pieceOf(const Message &message)
{
    QString text = message.text;
    if (!message.category.isEmpty() && message.category != "default")
        text = QString::fromUtf8(message.category) + QStringLiteral(": ") + text;
    return {text, colourOf(message.type), true};
}

thread_local bool t_isSender = false;

class Router
{
public:
    explicit Router(MessageHandlerOptions options)
        : m_options(std::move(options))
    {
        m_sender = std::thread([this] { run(); });
    }

    QtMessageHandler previous() const { return m_previous; }
    void setPrevious(QtMessageHandler previous) { m_previous = previous; }
    bool stopped()
    {
        std::lock_guard lock(m_mutex);
        return m_stopping;
    }

    void handle(QtMsgType type, const QMessageLogContext &context, const QString &text)
    {
        // Qt's own warnings from the sending thread (the bus's) must not feed back into it.
        if (t_isSender) {
            if (m_previous)
                m_previous(type, context, text);
            return;
        }
        if (m_options.chain && m_previous)
            m_previous(type, context, text);
        Message message {type, QByteArray(context.category), QByteArray(context.file), QByteArray(context.function),
                         context.line, text};
        {
            std::unique_lock lock(m_mutex);
            if (m_gone) {
                lock.unlock();
                if (!m_options.chain)
                    message.passTo(m_previous);
                return;
            }
            if (m_queue.size() >= queueLimit)
                m_roomCondition.wait(lock, [this] { return m_queue.size() < queueLimit / 2 || m_gone; });
            m_queue.push_back(std::move(message));
        }
        m_condition.notify_one();
        if (type == QtFatalMsg)
            deliverAll(fatalWait);
    }

    /// Waits until everything queued up to now has been confirmed or handed on.
    void deliverAll(std::chrono::seconds limit)
    {
        std::unique_lock lock(m_mutex);
        const quint64 ticket = ++m_syncWanted;
        m_condition.notify_one();
        m_syncCondition.wait_for(lock, limit, [&] { return m_syncDone >= ticket; });
    }

    /// Delivers what is queued and ends the sending thread; later messages
    /// go to the previous handler.
    void stop()
    {
        {
            std::lock_guard lock(m_mutex);
            m_stopping = true;
        }
        m_condition.notify_one();
        m_sender.join();
        std::lock_guard lock(m_mutex);
        m_gone = true;
    }

private:
    void run()
    {
        t_isSender = true;
        std::unique_ptr<PrivateWindow> window;
        std::unique_ptr<PieceStream> stream;
        std::deque<Message> unconfirmed; // sent, not yet confirmed by the window
        qint64 added = 0;
        bool gone = false;
        auto forgetConfirmed = [&] {
            const qint64 waiting = added - stream->piecesDelivered();
            while (qint64(unconfirmed.size()) > waiting)
                unconfirmed.pop_front();
        };
        auto giveUp = [&](std::deque<Message> &rest) {
            {
                std::lock_guard lock(m_mutex);
                m_gone = true;
            }
            m_roomCondition.notify_all();
            gone = true;
            if (m_options.chain)
                return; // the previous handler has had them all already
            if (stream)
                forgetConfirmed();
            for (const Message &message : unconfirmed)
                message.passTo(m_previous);
            for (const Message &message : rest)
                message.passTo(m_previous);
            unconfirmed.clear();
        };
        for (;;) {
            std::deque<Message> taken;
            quint64 sync = 0;
            bool stopping = false;
            {
                std::unique_lock lock(m_mutex);
                m_condition.wait(lock, [this] { return !m_queue.empty() || m_stopping || m_syncWanted > m_syncDone; });
                taken.swap(m_queue);
                sync = m_syncWanted;
                stopping = m_stopping;
            }
            m_roomCondition.notify_all();
            if (gone) {
                if (!m_options.chain) {
                    for (const Message &message : taken)
                        message.passTo(m_previous);
                }
            } else {
                try {
                    if (!stream) {
                        QString path = QString::fromLatin1(WrenlogBus::globalWindowPath);
                        if (!m_options.privateWindowTitle.isEmpty()) {
                            window = std::make_unique<PrivateWindow>(m_options.bus);
                            window->DebugShow(m_options.privateWindowTitle);
                            path = window->objectPath();
                        }
                        stream = std::make_unique<PieceStream>(m_options.bus, path);
                    }
                    while (!taken.empty()) {
                        unconfirmed.push_back(std::move(taken.front()));
                        taken.pop_front();
                        ++added;
                        stream->add(pieceOf(unconfirmed.back()));
                    }
                    forgetConfirmed();
                    if (sync > 0 || stopping)
                        stream->finish();
                    else
                        stream->flush();
                } catch (const AutomationError &) {
                    giveUp(taken);
                }
            }
            {
                std::lock_guard lock(m_mutex);
                m_syncDone = sync;
            }
            m_syncCondition.notify_all();
            if (stopping) {
                std::lock_guard lock(m_mutex);
                if (m_queue.empty())
                    break;
            }
        }
        if (window) {
            try {
                window->Release();
            } catch (const AutomationError &) {
                // the window is gone with the server
            }
        }
    }

    MessageHandlerOptions m_options;
    std::atomic<QtMessageHandler> m_previous = nullptr;
    std::thread m_sender;
    std::mutex m_mutex;
    std::condition_variable m_condition;
    std::condition_variable m_roomCondition;
    std::condition_variable m_syncCondition;
    std::deque<Message> m_queue;
    quint64 m_syncWanted = 0;
    quint64 m_syncDone = 0;
    bool m_gone = false;
    bool m_stopping = false;
};

// Never deleted: another thread may be inside a router's handler at any
// time, up to the very end of the process. An uninstalled router passes
// every message on to the handler before it.
std::atomic<Router *> g_router = nullptr;
std::mutex g_installMutex;

void route(QtMsgType type, const QMessageLogContext &context, const QString &text)
{
    g_router.load()->handle(type, context, text);
}

} // namespace

void installMessageHandler(const MessageHandlerOptions &options)
{
    std::lock_guard lock(g_installMutex);
    if (Router *current = g_router.load(); current && !current->stopped())
        return;
    auto *router = new Router(options);
    g_router = router;
    router->setPrevious(qInstallMessageHandler(route));
    static bool postRoutineAdded = false;
    if (QCoreApplication::instance() && !postRoutineAdded) {
        qAddPostRoutine(uninstallMessageHandler);
        postRoutineAdded = true;
    }
}

void uninstallMessageHandler()
{
    std::lock_guard lock(g_installMutex);
    Router *router = g_router.load();
    if (!router || router->stopped())
        return;
    qInstallMessageHandler(router->previous());
    router->stop();
}

} // namespace Wrenlog
