#include "PrivateWindowFactoryAdaptor.h"

#include "BusReply.h"
#include "PrivateWindowFactory.h"

#include <QDBusMessage>

PrivateWindowFactoryAdaptor::PrivateWindowFactoryAdaptor(PrivateWindowFactory *parent)
    : QDBusAbstractAdaptor(parent)
{}

QDBusObjectPath PrivateWindowFactoryAdaptor::Create()
{
    QDBusObjectPath path;
    auto *factory = static_cast<PrivateWindowFactory *>(parent());
    BusReply::run(parent(), [&] {
        const QDBusContext *call = BusReply::context(parent());
        path = QDBusObjectPath(factory->Create(call ? call->message().service() : QString()));
    });
    return path;
}
