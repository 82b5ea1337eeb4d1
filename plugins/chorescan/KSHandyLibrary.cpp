#include "KSHandyLibrary.h"

#include "FolderBrowser.h"
#include "Guard.h"

namespace KSHandyLibrary {

QString BrowseDir(quint64 hWnd, const QString &sTitle)
{
    return passOn(QStringLiteral("BrowseDir"), [&] {
        QString path = FolderBrowser::browse(hWnd, sTitle);
        // A path is a C string to whoever stores it: it ends at its first NUL.
        const qsizetype nul = path.indexOf(QChar(u'\0'));
        if (nul >= 0)
            path.truncate(nul);
        return path;
    });
}

} // namespace KSHandyLibrary
