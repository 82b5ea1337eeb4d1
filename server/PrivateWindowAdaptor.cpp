#include "PrivateWindowAdaptor.h"

#include "BusReply.h"
#include "PrivateWindow.h"

PrivateWindowAdaptor::PrivateWindowAdaptor(PrivateWindow *parent)
    : QDBusAbstractAdaptor(parent)
{}

PrivateWindow *PrivateWindowAdaptor::window() const
{
    return static_cast<PrivateWindow *>(parent());
}

void PrivateWindowAdaptor::DebugPrint(const QString &Text, int Colour, bool CrLF)
{
    BusReply::runPrint(parent(), [&] { window()->DebugPrint(Text, Colour, CrLF); });
}

void PrivateWindowAdaptor::DebugShow(const QString &WindowName)
{
    BusReply::run(parent(), [&] { window()->DebugShow(WindowName); });
}

void PrivateWindowAdaptor::Clear()
{
    BusReply::run(parent(), [&] { window()->Clear(); });
}

void PrivateWindowAdaptor::Release()
{
    BusReply::run(parent(), [&] { window()->Release(); });
}
