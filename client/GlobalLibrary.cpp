#include "wrenlog/GlobalLibrary.h"

#include "WrenlogBus.h"
#include "wrenlog/BusCall.h"

#include <QScreen>
#include <QWidget>

#include <cmath>
#include <limits>

namespace Wrenlog {

namespace {

QDBusMessage callLibrary(const QDBusConnection &bus, const char *method, const QVariantList &arguments,
                         int timeoutMs = -1)
{
    return BusCall::call(bus, QString::fromLatin1(WrenlogBus::globalLibraryPath),
                         QString::fromLatin1(WrenlogBus::globalLibraryInterface), QString::fromLatin1(method),
                         arguments, timeoutMs);
}

double twipsPerPixel(const QWidget *widget)
{
    const QScreen *screen = widget->screen();
    const double dpi = screen ? screen->logicalDotsPerInch() : 96.0;
    return dpi > 0 ? 1440.0 / dpi : 15.0;
}

} // namespace

GlobalLibrary::GlobalLibrary(const QDBusConnection &bus)
    : m_bus(bus)
{}

qint32 GlobalLibrary::ShowMessage(qint32 WindowType, const QString &Caption, const QString &Text)
{
    // A message box waits for a person, so the call waits without a limit.
    const QDBusMessage reply
        = callLibrary(m_bus, "ShowMessage", {WindowType, Caption, Text}, std::numeric_limits<int>::max());
    return reply.arguments().value(0).toInt();
}

void GlobalLibrary::MakeTranslucent(quint64 hWnd)
{
    callLibrary(m_bus, "MakeTranslucent", {QVariant::fromValue<qulonglong>(hWnd)});
}

void GlobalLibrary::ClearTranslucency(quint64 hWnd)
{
    callLibrary(m_bus, "ClearTranslucency", {QVariant::fromValue<qulonglong>(hWnd)});
}

void GlobalLibrary::FormOnTop(bool bOnTop, quint64 hWnd, qint32 Left, qint32 Top, qint32 Width, qint32 Height)
{
    callLibrary(m_bus, "FormOnTop", {bOnTop, QVariant::fromValue<qulonglong>(hWnd), Left, Top, Width, Height});
}

void GlobalLibrary::FormOnTop(bool bOnTop, QWidget *frmForm)
{
    QWidget *window = frmForm->window();
    const double perPixel = twipsPerPixel(window);
    const QRect frame = window->geometry();
    auto twips = [perPixel](int pixels) { return qint32(std::lround(pixels * perPixel)); };
    FormOnTop(bOnTop, quint64(window->winId()), twips(frame.left()), twips(frame.top()), twips(frame.width()),
              twips(frame.height()));
}

} // namespace Wrenlog
