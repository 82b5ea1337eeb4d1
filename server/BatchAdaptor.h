#pragma once

#include "dbus/WrenlogBus.h"

#include <QDBusAbstractAdaptor>

#include <functional>

/**
 * org.wrenlog.Batch beside the window interface of /GlobalWindow and of every
 * private window: many pieces in one call, each printed exactly as one
 * DebugPrint, in order. A failure stops the batch; what came before it stays
 * printed.
 */
class BatchAdaptor : public QDBusAbstractAdaptor
{
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.wrenlog.Batch")
    Q_CLASSINFO("D-Bus Introspection",
                "  <interface name=\"org.wrenlog.Batch\">\n"
                "    <method name=\"DebugPrintMany\">\n"
                "      <arg name=\"Pieces\" type=\"a(sib)\" direction=\"in\"/>\n"
                "      <annotation name=\"org.qtproject.QtDBus.QtTypeName.In0\" value=\"QList&lt;DebugPiece&gt;\"/>\n"
                "    </method>\n"
                "  </interface>\n")
public:
    using PrintMany = std::function<void(const QList<DebugPiece> &)>;
    BatchAdaptor(QObject *parent, PrintMany printMany);

public slots:
    void DebugPrintMany(const QList<DebugPiece> &Pieces);

private:
    PrintMany m_printMany;
};
