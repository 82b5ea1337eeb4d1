#pragma once

#include <QVariant>

/**
 * Where a debug window sends what happens in it: the plug-in facade of its
 * plug-in manager. A window without plug-ins has no sink, and then nothing
 * happens and Cancel stays false.
 *
 * values holds the event's single value, or a QVariantList of its values in
 * the event's order; cancel is only looked at for the events that can be
 * cancelled.
 */
class NotificationSink
{
public:
    virtual ~NotificationSink() = default;
    virtual void Notify(qint32 code, const QVariant &values, bool &cancel) = 0;
    /// Whether anybody would hear the event of code; false lets the window
    /// skip the notification (and, for the view's Change and SelChange, print
    /// the fast way). A sink that cannot tell says true.
    virtual bool listensTo(qint32 code) const
    {
        Q_UNUSED(code)
        return true;
    }
};
