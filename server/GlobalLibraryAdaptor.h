#pragma once

#include <QDBusAbstractAdaptor>

class GlobalLibrary;

/// org.wrenlog.GlobalLibrary on /GlobalLibrary, over the in-process GlobalLibrary.
class GlobalLibraryAdaptor : public QDBusAbstractAdaptor
{
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.wrenlog.GlobalLibrary")
    Q_CLASSINFO("D-Bus Introspection",
                "  <interface name=\"org.wrenlog.GlobalLibrary\">\n"
                "    <annotation name=\"org.wrenlog.ClassId\" value=\"{49ba4395-ecf3-4341-bf5b-52c61e698bf0}\"/>\n"
                "    <annotation name=\"org.wrenlog.InterfaceId\" value=\"{75e637eb-8aa5-4f81-8ece-0370e80c028d}\"/>\n"
                "    <method name=\"ShowMessage\">\n"
                "      <arg name=\"WindowType\" type=\"i\" direction=\"in\"/>\n"
                "      <arg name=\"Caption\" type=\"s\" direction=\"in\"/>\n"
                "      <arg name=\"Text\" type=\"s\" direction=\"in\"/>\n"
                "      <arg type=\"i\" direction=\"out\"/>\n"
                "    </method>\n"
                "    <method name=\"MakeTranslucent\">\n"
                "      <arg name=\"hWnd\" type=\"t\" direction=\"in\"/>\n"
                "    </method>\n"
                "    <method name=\"ClearTranslucency\">\n"
                "      <arg name=\"hWnd\" type=\"t\" direction=\"in\"/>\n"
                "    </method>\n"
                "    <method name=\"FormOnTop\">\n"
                "      <arg name=\"bOnTop\" type=\"b\" direction=\"in\"/>\n"
                "      <arg name=\"hWnd\" type=\"t\" direction=\"in\"/>\n"
                "      <arg name=\"Left\" type=\"i\" direction=\"in\"/>\n"
                "      <arg name=\"Top\" type=\"i\" direction=\"in\"/>\n"
                "      <arg name=\"Width\" type=\"i\" direction=\"in\"/>\n"
                "      <arg name=\"Height\" type=\"i\" direction=\"in\"/>\n"
                "    </method>\n"
                "  </interface>\n")
public:
    explicit GlobalLibraryAdaptor(GlobalLibrary *parent);

public slots:
    int ShowMessage(int WindowType, const QString &Caption, const QString &Text);
    void MakeTranslucent(qulonglong hWnd);
    void ClearTranslucency(qulonglong hWnd);
    void FormOnTop(bool bOnTop, qulonglong hWnd, int Left, int Top, int Width, int Height);

private:
    GlobalLibrary *library() const;
};
