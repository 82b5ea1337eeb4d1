#pragma once

#include <QUuid>

/**
 * The fixed identifiers of the server's public classes and their default
 * interfaces. Clients and plug-ins built against the server depend on them:
 * once published they never change. The introspection data of each interface
 * carries the same values as the annotations org.wrenlog.ClassId and
 * org.wrenlog.InterfaceId.
 */
namespace WrenlogClassIds {

inline constexpr char GlobalWindow[] = "{a9edf37c-c204-4fcb-908e-33be88fd2bf0}";
inline constexpr char GlobalWindowInterface[] = "{f62dd412-0c88-4c5c-9846-b2eafad057fa}"; // _GlobalWindow
inline constexpr char PrivateWindow[] = "{eeee98fd-5cd9-4811-8372-01acc74a4aa0}";
inline constexpr char PrivateWindowInterface[] = "{acd9e22c-f2ac-4b19-8cce-fc4ba2a6dc71}"; // _PrivateWindow
inline constexpr char GlobalLibrary[] = "{49ba4395-ecf3-4341-bf5b-52c61e698bf0}";
inline constexpr char GlobalLibraryInterface[] = "{75e637eb-8aa5-4f81-8ece-0370e80c028d}"; // _GlobalLibrary

inline QUuid uuid(const char *id)
{
    return QUuid::fromString(QLatin1StringView(id));
}

} // namespace WrenlogClassIds
