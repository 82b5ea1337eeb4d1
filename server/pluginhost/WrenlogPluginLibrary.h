#pragma once

#include <QObject>
#include <QString>
#include <QtPlugin>

/**
 * The root object of a plug-in library: it creates the library's classes by name.
 *
 * A plug-in library is a Qt plug-in whose metadata names its type library and
 * the classes it declares, in order; the host reads that metadata before any
 * code of the library runs, then asks the root object for each class:
 *
 *     // Hello.json
 *     { "TypeLibrary": "HelloLib", "Classes": ["Hello"] }
 *
 *     class HelloLibrary : public QObject, public WrenlogPluginLibrary
 *     {
 *         Q_OBJECT
 *         Q_PLUGIN_METADATA(IID WrenlogPluginLibrary_iid FILE "Hello.json")
 *         Q_INTERFACES(WrenlogPluginLibrary)
 *     public:
 *         QObject *CreateObject(const QString &className) override
 *         { return className == u"Hello" ? new Hello : nullptr; }
 *     };
 *
 * The key of a class is "HelloLib.Hello". A class the host asks for and the
 * library does not know gives nullptr; the caller owns every object returned.
 */
class WrenlogPluginLibrary
{
public:
    virtual ~WrenlogPluginLibrary();
    virtual QObject *CreateObject(const QString &className) = 0;
};

#define WrenlogPluginLibrary_iid "org.wrenlog.WrenlogPluginLibrary/{2c4e9a1d-58b7-4f03-a6e2-91d5c7b04f18}"
Q_DECLARE_INTERFACE(WrenlogPluginLibrary, WrenlogPluginLibrary_iid)
