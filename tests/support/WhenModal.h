#pragma once

#include <QApplication>
#include <QTimer>

#include <functional>
#include <memory>

namespace TestEnvironment {

/// Runs action on the next modal dialog of type Dialog once it is up, from
/// inside its own event loop (action must close it).
template<typename Dialog>
void whenModalShows(std::function<void(Dialog &)> action)
{
    auto poll = std::make_shared<std::function<void()>>();
    *poll = [action, poll] {
        if (auto *dialog = qobject_cast<Dialog *>(QApplication::activeModalWidget())) {
            action(*dialog);
            return;
        }
        QTimer::singleShot(5, *poll);
    };
    QTimer::singleShot(0, *poll);
}

} // namespace TestEnvironment
