#pragma once

#include <QDBusAbstractAdaptor>

class PrivateWindow;

/// org.wrenlog.PrivateWindow on /PrivateWindow/<n>, over its PrivateWindow.
class PrivateWindowAdaptor : public QDBusAbstractAdaptor
{
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.wrenlog.PrivateWindow")
    Q_CLASSINFO("D-Bus Introspection",
                "  <interface name=\"org.wrenlog.PrivateWindow\">\n"
                "    <annotation name=\"org.wrenlog.ClassId\" value=\"{eeee98fd-5cd9-4811-8372-01acc74a4aa0}\"/>\n"
                "    <annotation name=\"org.wrenlog.InterfaceId\" value=\"{acd9e22c-f2ac-4b19-8cce-fc4ba2a6dc71}\"/>\n"
                "    <method name=\"DebugPrint\">\n"
                "      <arg name=\"Text\" type=\"s\" direction=\"in\"/>\n"
                "      <arg name=\"Colour\" type=\"i\" direction=\"in\"/>\n"
                "      <arg name=\"CrLF\" type=\"b\" direction=\"in\"/>\n"
                "    </method>\n"
                "    <method name=\"DebugShow\">\n"
                "      <arg name=\"WindowName\" type=\"s\" direction=\"in\"/>\n"
                "    </method>\n"
                "    <method name=\"Clear\"/>\n"
                "    <method name=\"Release\"/>\n"
                "  </interface>\n")
public:
    explicit PrivateWindowAdaptor(PrivateWindow *parent);

public slots:
    void DebugPrint(const QString &Text, int Colour, bool CrLF);
    void DebugShow(const QString &WindowName);
    void Clear();
    void Release();

private:
    PrivateWindow *window() const;
};
