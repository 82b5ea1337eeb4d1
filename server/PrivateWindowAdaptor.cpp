#include "PrivateWindowAdaptor.h"

#include "BusReply.h"
#include "PrivateWindow.h"

PrivateWindowAdaptor::PrivateWindowAdaptor(PrivateWindow *parent)
    : QDBusAbstractAdaptor(parent)
{
}

PrivateWindow *PrivateWindowAdaptor::window() const
{
    return static_cast<PrivateWindow *>(parent());
}

void PrivateWindowAdaptor::DebugPrint(const QString &Text, int Colour, bool CrLF)
{
    BusReply::run(*this, [&] { window()->DebugPrint(Text, Colour, CrLF); });
}

void PrivateWindowAdaptor::DebugShow(const QString &WindowName)
{
    BusReply::run(*this, [&] { window()->DebugShow(WindowName); });
}

void PrivateWindowAdaptor::Clear()
{
    BusReply::run(*this, [&] { window()->Clear(); });
}

void PrivateWindowAdaptor::Release()
{
    BusReply::run(*this, [&] { window()->Release(); });
}
