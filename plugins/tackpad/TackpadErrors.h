#pragma once

#include "Guard.h"

#include <functional>

/**
 * The plug-in's own error dialog: failures of its window handlers are shown
 * under the library's name and logged beside the library, not the server.
 *
 *     trapFailure(QStringLiteral("TackpadPopupForm.mnuTrack_Click"), [&] { ... });
 */
namespace TackpadErrors {

using Presenter = std::function<void(const AutomationError &error, const QString &sourceName)>;

void show(const AutomationError &error, const QString &sourceName);
/// Tests catch what would be shown; an empty presenter restores the dialog.
Presenter setPresenter(Presenter presenter);

} // namespace TackpadErrors

template<typename Fn>
bool trapFailure(const QString &sourceName, Fn &&fn)
{
    try {
        std::forward<Fn>(fn)();
        return true;
    } catch (...) {
        TackpadErrors::show(Guard::translateCurrentException(Guard::defaultSource()), sourceName);
        return false;
    }
}
