#include "GlobalLibraryAdaptor.h"

#include "BusReply.h"
#include "GlobalLibrary.h"

GlobalLibraryAdaptor::GlobalLibraryAdaptor(GlobalLibrary *parent)
    : QDBusAbstractAdaptor(parent)
{}

GlobalLibrary *GlobalLibraryAdaptor::library() const
{
    return static_cast<GlobalLibrary *>(parent());
}

int GlobalLibraryAdaptor::ShowMessage(int WindowType, const QString &Caption, const QString &Text)
{
    qint32 button = 0;
    BusReply::run(parent(), [&] { button = library()->ShowMessage(WindowType, Caption, Text); });
    return button;
}

void GlobalLibraryAdaptor::MakeTranslucent(qulonglong hWnd)
{
    BusReply::run(parent(), [&] { library()->MakeTranslucent(hWnd); });
}

void GlobalLibraryAdaptor::ClearTranslucency(qulonglong hWnd)
{
    BusReply::run(parent(), [&] { library()->ClearTranslucency(hWnd); });
}

void GlobalLibraryAdaptor::FormOnTop(bool bOnTop, qulonglong hWnd, int Left, int Top, int Width, int Height)
{
    BusReply::run(parent(), [&] { library()->FormOnTop(bOnTop, hWnd, Left, Top, Width, Height); });
}
