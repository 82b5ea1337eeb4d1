#include "PrivateWindowFactoryAdaptor.h"

#include "BusReply.h"
#include "PrivateWindowFactory.h"

#include <QDBusMessage>

PrivateWindowFactoryAdaptor::PrivateWindowFactoryAdaptor(PrivateWindowFactory *parent)
    : QDBusAbstractAdaptor(parent)
{
}

QDBusObjectPath PrivateWindowFactoryAdaptor::Create()
{
    QDBusObjectPath path;
    auto *factory = static_cast<PrivateWindowFactory *>(parent());
    BusReply::run(*this, [&] { path = QDBusObjectPath(factory->Create(message().service())); });
    return path;
}
