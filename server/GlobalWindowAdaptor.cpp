#include "GlobalWindowAdaptor.h"

#include "BusReply.h"
#include "GlobalWindow.h"

GlobalWindowAdaptor::GlobalWindowAdaptor(QObject *parent)
    : QDBusAbstractAdaptor(parent)
{}

void GlobalWindowAdaptor::DebugPrint(const QString &Text, int Colour, bool CrLF)
{
    BusReply::runPrint(parent(), [&] { GlobalWindow().DebugPrint(Text, Colour, CrLF); });
}

void GlobalWindowAdaptor::DebugShow(const QString &Pass)
{
    BusReply::run(parent(), [&] { GlobalWindow().DebugShow(Pass); });
}
