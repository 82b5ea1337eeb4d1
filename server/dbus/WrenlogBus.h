#pragma once

#include <QDBusArgument>
#include <QDBusMetaType>
#include <QList>
#include <QMetaType>
#include <QString>

/**
 * The names and the one compound type of the server's bus interface, shared by
 * the server and its clients. The introspection XML beside this header is the
 * contract; these constants only spell it for C++.
 */
namespace WrenlogBus {

inline constexpr char serviceName[] = "org.wrenlog.Wrenlog";

inline constexpr char globalWindowPath[] = "/GlobalWindow";
inline constexpr char globalLibraryPath[] = "/GlobalLibrary";
inline constexpr char privateWindowsPath[] = "/PrivateWindows";
/// A private window lives at this prefix followed by its number.
inline constexpr char privateWindowPathPrefix[] = "/PrivateWindow/";

inline constexpr char globalWindowInterface[] = "org.wrenlog.GlobalWindow";
inline constexpr char globalLibraryInterface[] = "org.wrenlog.GlobalLibrary";
inline constexpr char privateWindowFactoryInterface[] = "org.wrenlog.PrivateWindowFactory";
inline constexpr char privateWindowInterface[] = "org.wrenlog.PrivateWindow";
inline constexpr char batchInterface[] = "org.wrenlog.Batch";

/// Error name of every failure the system itself reports. Its arguments are
/// the description (s), the number (i) and the source text (s).
inline constexpr char errorName[] = "org.wrenlog.Error";

/// The published defaults, applied by clients (the bus itself has none).
inline constexpr qint32 defaultColour = -2;
inline constexpr bool defaultCrLF = true;
inline constexpr char defaultPrivateWindowName[] = "Wrenlog ! - Private Window";

} // namespace WrenlogBus

/// One piece of org.wrenlog.Batch.DebugPrintMany: the arguments of one DebugPrint.
struct DebugPiece
{
    QString Text;
    qint32 Colour = WrenlogBus::defaultColour;
    bool CrLF = WrenlogBus::defaultCrLF;

    bool operator==(const DebugPiece &) const = default;
};
Q_DECLARE_METATYPE(DebugPiece)

inline QDBusArgument &operator<<(QDBusArgument &argument, const DebugPiece &piece)
{
    argument.beginStructure();
    argument << piece.Text << piece.Colour << piece.CrLF;
    argument.endStructure();
    return argument;
}

inline const QDBusArgument &operator>>(const QDBusArgument &argument, DebugPiece &piece)
{
    argument.beginStructure();
    argument >> piece.Text >> piece.Colour >> piece.CrLF;
    argument.endStructure();
    return argument;
}

namespace WrenlogBus {

/// Makes DebugPiece and its list known to Qt D-Bus; call before the first
/// call or export that carries them (safe to call more than once).
inline void registerTypes()
{
    qDBusRegisterMetaType<DebugPiece>();
    qDBusRegisterMetaType<QList<DebugPiece>>();
}

} // namespace WrenlogBus
