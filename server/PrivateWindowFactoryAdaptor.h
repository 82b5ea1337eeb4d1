#pragma once

#include <QDBusAbstractAdaptor>
#include <QDBusObjectPath>

class PrivateWindowFactory;

/// org.wrenlog.PrivateWindowFactory on /PrivateWindows.
class PrivateWindowFactoryAdaptor : public QDBusAbstractAdaptor
{
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.wrenlog.PrivateWindowFactory")
    Q_CLASSINFO("D-Bus Introspection",
                "  <interface name=\"org.wrenlog.PrivateWindowFactory\">\n"
                "    <method name=\"Create\">\n"
                "      <arg type=\"o\" direction=\"out\"/>\n"
                "    </method>\n"
                "  </interface>\n")
public:
    explicit PrivateWindowFactoryAdaptor(PrivateWindowFactory *parent);

public slots:
    /// The new window's object path; the window belongs to the caller's connection.
    QDBusObjectPath Create();
};
