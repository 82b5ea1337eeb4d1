#pragma once

#include <QString>
#include <QtGlobal>

/**
 * Small helpers of the scanner plug-in.
 */
namespace KSHandyLibrary {

/// Asks for a folder over the window hWnd; the empty text when the user cancels.
QString BrowseDir(quint64 hWnd, const QString &sTitle);

} // namespace KSHandyLibrary
