// A plug-in library that needs a symbol no library provides: it cannot be
// loaded, although its metadata reads fine.

#include "WrenlogPluginLibrary.h"

extern "C" QObject *wrenlog_test_symbol_nobody_defines();

class MissingSymbolLibrary : public QObject, public WrenlogPluginLibrary
{
    Q_OBJECT
    Q_PLUGIN_METADATA(IID WrenlogPluginLibrary_iid FILE "MissingSymbol.json")
    Q_INTERFACES(WrenlogPluginLibrary)

public:
    QObject *CreateObject(const QString &) override { return wrenlog_test_symbol_nobody_defines(); }
};

#include "MissingSymbol.moc"
