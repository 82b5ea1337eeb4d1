#include "BatchAdaptor.h"

#include "BusReply.h"

BatchAdaptor::BatchAdaptor(QObject *parent, PrintMany printMany)
    : QDBusAbstractAdaptor(parent)
    , m_printMany(std::move(printMany))
{}

void BatchAdaptor::DebugPrintMany(const QList<DebugPiece> &Pieces)
{
    BusReply::runPrint(parent(), [&] { m_printMany(Pieces); });
}
