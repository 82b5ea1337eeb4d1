#include "E2eSession.h"

#include <QCoreApplication>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDBusReply>
#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QThread>
#include <QXmlStreamReader>

#include <csignal>
#include <sys/types.h>

namespace {

QAtomicInt g_sessionNumber;

QString readLine(QProcess &process, int timeoutMs)
{
    QDeadlineTimer deadline(timeoutMs);
    while (!process.canReadLine() && !deadline.hasExpired()) {
        if (!process.waitForReadyRead(int(qMax<qint64>(1, deadline.remainingTime()))))
            break;
    }
    return QString::fromUtf8(process.readLine()).trimmed();
}

} // namespace

E2eSession::E2eSession()
    : m_root(QDir::tempPath() + QStringLiteral("/wrenlog-e2e-XXXXXX"))
{}

E2eSession::~E2eSession()
{
    if (const qint64 pid = serverPid(); pid > 0) {
        ::kill(pid_t(pid), SIGTERM);
        // The server is the bus's child, not ours: its name going away is the sign.
        if (!waitFor([this] { return serverPid() == 0; }, 3000))
            ::kill(pid_t(pid), SIGKILL);
    }
    for (auto &process : m_launched)
        stopProcess(process.get());
    if (!m_connectionName.isEmpty())
        QDBusConnection::disconnectFromBus(m_connectionName);
    stopProcess(m_busDaemon.get());
    stopProcess(m_display.get());
}

void E2eSession::stopProcess(QProcess *process)
{
    if (!process || process->state() == QProcess::NotRunning)
        return;
    process->terminate();
    if (!process->waitForFinished(3000)) {
        process->kill();
        process->waitForFinished(3000);
    }
}

QString E2eSession::wrenlogProgram()
{
    return QStringLiteral(WRENLOG_EXE);
}

QString E2eSession::sendProgram()
{
    return QStringLiteral(WRENLOG_SEND_EXE);
}

bool E2eSession::start()
{
    if (!m_root.isValid()) {
        m_error = QStringLiteral("no temporary folder");
        return false;
    }
    const QString root = m_root.path();
    for (const char *name : {"config", "data", "home", "runtime"})
        QDir(root).mkpath(QString::fromLatin1(name));
    QFile::setPermissions(root + QStringLiteral("/runtime"),
                          QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);

    // The display: Xvfb picks a free number and tells it on the given descriptor.
    m_display = std::make_unique<QProcess>();
    m_display->setProcessChannelMode(QProcess::SeparateChannels);
    m_display->setStandardErrorFile(QProcess::nullDevice());
    m_display->setChildProcessModifier([] { ::dup2(1, 3); });
    m_display->start(QStringLiteral("Xvfb"),
                     {QStringLiteral("-displayfd"), QStringLiteral("3"), QStringLiteral("-screen"), QStringLiteral("0"),
                      QStringLiteral("1280x1024x24"), QStringLiteral("-nolisten"), QStringLiteral("tcp")});
    if (!m_display->waitForStarted(10000)) {
        m_error = QStringLiteral("Xvfb did not start: %1").arg(m_display->errorString());
        return false;
    }
    const QString displayNumber = readLine(*m_display, 15000);
    if (displayNumber.isEmpty()) {
        m_error = QStringLiteral("Xvfb named no display");
        return false;
    }

    m_environment = QProcessEnvironment::systemEnvironment();
    m_environment.insert(QStringLiteral("DISPLAY"), QLatin1Char(':') + displayNumber);
    m_environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("xcb"));
    m_environment.insert(QStringLiteral("XDG_CONFIG_HOME"), root + QStringLiteral("/config"));
    m_environment.insert(QStringLiteral("XDG_DATA_HOME"), root + QStringLiteral("/data"));
    m_environment.insert(QStringLiteral("XDG_RUNTIME_DIR"), root + QStringLiteral("/runtime"));
    m_environment.insert(QStringLiteral("HOME"), root + QStringLiteral("/home"));
    m_environment.insert(QStringLiteral("WRENLOG_TEST_INSPECT"), QStringLiteral("1"));
    m_environment.remove(QStringLiteral("DBUS_SESSION_BUS_ADDRESS"));

    QByteArray err;
    if (run(wrenlogProgram(), {QStringLiteral("--register")}, nullptr, &err) != 0) {
        m_error = QStringLiteral("wrenlog --register failed: %1").arg(QString::fromLocal8Bit(err));
        return false;
    }

    const QString config = root + QStringLiteral("/bus.conf");
    QFile configFile(config);
    if (!configFile.open(QIODevice::WriteOnly))
        return false;
    configFile.write(
        QStringLiteral("<!DOCTYPE busconfig PUBLIC \"-//freedesktop//DTD D-Bus Bus Configuration 1.0//EN\"\n"
                       " \"http://www.freedesktop.org/standards/dbus/1.0/busconfig.dtd\">\n"
                       "<busconfig>\n"
                       "  <type>session</type>\n"
                       "  <listen>unix:dir=%1</listen>\n"
                       "  <servicedir>%2</servicedir>\n"
                       "  <policy context=\"default\">\n"
                       "    <allow send_destination=\"*\" eavesdrop=\"true\"/>\n"
                       "    <allow eavesdrop=\"true\"/>\n"
                       "    <allow own=\"*\"/>\n"
                       "  </policy>\n"
                       "</busconfig>\n")
            .arg(root + QStringLiteral("/runtime"), root + QStringLiteral("/data/dbus-1/services"))
            .toUtf8());
    configFile.close();

    m_busDaemon = std::make_unique<QProcess>();
    m_busDaemon->setProcessEnvironment(m_environment);
    m_busDaemon->setStandardErrorFile(root + QStringLiteral("/bus.log"));
    m_busDaemon->start(
        QStringLiteral("dbus-daemon"),
        {QStringLiteral("--nofork"), QStringLiteral("--print-address=1"), QStringLiteral("--config-file=") + config});
    if (!m_busDaemon->waitForStarted(10000)) {
        m_error = QStringLiteral("dbus-daemon did not start");
        return false;
    }
    m_busAddress = readLine(*m_busDaemon, 10000);
    if (m_busAddress.isEmpty()) {
        m_error = QStringLiteral("dbus-daemon gave no address");
        return false;
    }
    m_environment.insert(QStringLiteral("DBUS_SESSION_BUS_ADDRESS"), m_busAddress);

    m_connectionName = QStringLiteral("e2e-%1").arg(g_sessionNumber.fetchAndAddRelaxed(1));
    const QDBusConnection connection = QDBusConnection::connectToBus(m_busAddress, m_connectionName);
    if (!connection.isConnected()) {
        m_error = QStringLiteral("cannot connect to the test bus: %1").arg(connection.lastError().message());
        return false;
    }
    return true;
}

QDBusConnection E2eSession::bus() const
{
    return QDBusConnection(m_connectionName);
}

int E2eSession::run(const QString &program, const QStringList &arguments, QByteArray *out, QByteArray *err,
                    const QByteArray &input, int timeoutMs)
{
    QProcess process;
    process.setProcessEnvironment(m_environment);
    process.start(program, arguments);
    if (!process.waitForStarted(10000))
        return -1;
    if (!input.isEmpty())
        process.write(input);
    process.closeWriteChannel();
    if (!process.waitForFinished(timeoutMs)) {
        process.kill();
        process.waitForFinished();
        return -1;
    }
    if (out)
        *out = process.readAllStandardOutput();
    if (err)
        *err = process.readAllStandardError();
    return process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
}

QProcess *E2eSession::launch(const QString &program, const QStringList &arguments)
{
    auto process = std::make_unique<QProcess>();
    process->setProcessEnvironment(m_environment);
    process->start(program, arguments);
    process->waitForStarted(10000);
    m_launched.push_back(std::move(process));
    return m_launched.back().get();
}

QVariantMap E2eSession::inspect(const QString &method, const QVariantList &arguments)
{
    QDBusMessage call
        = QDBusMessage::createMethodCall(QStringLiteral("org.wrenlog.Wrenlog"), QStringLiteral("/Inspect"),
                                         QStringLiteral("org.wrenlog.Inspect"), method);
    call.setArguments(arguments);
    const QDBusMessage reply = bus().call(call, QDBus::Block, 60000);
    if (reply.type() != QDBusMessage::ReplyMessage)
        return {{QStringLiteral("Error"), reply.errorMessage()}};
    const QVariant value = reply.arguments().value(0);
    if (value.canConvert<QDBusArgument>())
        return qdbus_cast<QVariantMap>(value);
    return {{QStringLiteral("Value"), value}};
}

QVariantMap E2eSession::window(const QString &path)
{
    return inspect(QStringLiteral("Window"), {path});
}

QVariantMap E2eSession::counts()
{
    return inspect(QStringLiteral("Counts"), {});
}

QVariantMap E2eSession::modalDialog()
{
    return inspect(QStringLiteral("ModalDialog"), {});
}

bool E2eSession::pressButton(const QString &text)
{
    return inspect(QStringLiteral("PressButton"), {text}).value(QStringLiteral("Value")).toBool();
}

bool E2eSession::closeWindow(const QString &path)
{
    return inspect(QStringLiteral("CloseWindow"), {path}).value(QStringLiteral("Value")).toBool();
}

bool E2eSession::eraseAll(const QString &path)
{
    return inspect(QStringLiteral("EraseAll"), {path}).value(QStringLiteral("Value")).toBool();
}

bool E2eSession::waitFor(const std::function<bool()> &predicate, int timeoutMs)
{
    QDeadlineTimer deadline(timeoutMs);
    while (!predicate()) {
        if (deadline.hasExpired())
            return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
        QThread::msleep(20);
    }
    return true;
}

QStringList E2eSession::privateWindowPaths()
{
    const QDBusMessage call = QDBusMessage::createMethodCall(
        QStringLiteral("org.wrenlog.Wrenlog"), QStringLiteral("/PrivateWindow"),
        QStringLiteral("org.freedesktop.DBus.Introspectable"), QStringLiteral("Introspect"));
    // The node is there while at least one private window is.
    const QDBusMessage reply = bus().call(call, QDBus::Block, 60000);
    QStringList paths;
    QXmlStreamReader xml(reply.arguments().value(0).toString());
    while (!xml.atEnd()) {
        if (xml.readNext() == QXmlStreamReader::StartElement && xml.name() == u"node"
            && xml.attributes().hasAttribute(QStringLiteral("name")))
            paths.append(QStringLiteral("/PrivateWindow/") + xml.attributes().value(QStringLiteral("name")).toString());
    }
    return paths;
}

qint64 E2eSession::serverPid()
{
    if (m_connectionName.isEmpty() || !bus().isConnected())
        return 0;
    QDBusConnectionInterface *interface = bus().interface();
    const QDBusReply<uint> pid = interface->servicePid(QStringLiteral("org.wrenlog.Wrenlog"));
    return pid.isValid() ? qint64(pid.value()) : 0;
}
