#pragma once

#include <QDBusAbstractAdaptor>

/**
 * org.wrenlog.GlobalWindow on /GlobalWindow. Every call creates a
 * GlobalWindow, so the first one loads the shared window and starts its
 * plug-ins, and a call after the user closed the window loads it again.
 */
class GlobalWindowAdaptor : public QDBusAbstractAdaptor
{
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.wrenlog.GlobalWindow")
    Q_CLASSINFO("D-Bus Introspection",
                "  <interface name=\"org.wrenlog.GlobalWindow\">\n"
                "    <annotation name=\"org.wrenlog.ClassId\" value=\"{a9edf37c-c204-4fcb-908e-33be88fd2bf0}\"/>\n"
                "    <annotation name=\"org.wrenlog.InterfaceId\" value=\"{f62dd412-0c88-4c5c-9846-b2eafad057fa}\"/>\n"
                "    <method name=\"DebugPrint\">\n"
                "      <arg name=\"Text\" type=\"s\" direction=\"in\"/>\n"
                "      <arg name=\"Colour\" type=\"i\" direction=\"in\"/>\n"
                "      <arg name=\"CrLF\" type=\"b\" direction=\"in\"/>\n"
                "    </method>\n"
                "    <method name=\"DebugShow\">\n"
                "      <arg name=\"Pass\" type=\"s\" direction=\"in\"/>\n"
                "    </method>\n"
                "  </interface>\n")
public:
    explicit GlobalWindowAdaptor(QObject *parent);

public slots:
    void DebugPrint(const QString &Text, int Colour, bool CrLF);
    void DebugShow(const QString &Pass);
};
