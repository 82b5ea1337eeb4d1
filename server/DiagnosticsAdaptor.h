#pragma once

#include <QDBusAbstractAdaptor>
#include <QVariantMap>

class PrivateWindowFactory;
class WrenlogMainForm;

/**
 * org.wrenlog.Inspect on /Inspect: a read-mostly view into the running server
 * for the end-to-end tests, exported only when the environment variable
 * WRENLOG_TEST_INSPECT is 1. It is not part of the published interface.
 */
class DiagnosticsAdaptor : public QDBusAbstractAdaptor
{
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.wrenlog.Inspect")
public:
    DiagnosticsAdaptor(QObject *parent, PrivateWindowFactory *factory);

    static bool enabled();

public slots:
    /// State of the window at /GlobalWindow or /PrivateWindow/<n>: Loaded,
    /// Visible, Title, Text, Runs (the text by colour), and the controls a private window changes.
    QVariantMap Window(const QString &path);
    /// PrivateWindows, DebugWindows (main-window instances alive), VisibleWindows, ResidentKiB,
    /// WaitingCharacters and MostWaitingCharacters (printed text not yet in a
    /// window, now and at most so far), HeldReplies (print calls held back).
    QVariantMap Counts();
    /// The open modal dialog: Title, Text and the texts of its Buttons (empty map when none).
    QVariantMap ModalDialog();
    /// Clicks the modal dialog's button with this text; false when there is none.
    bool PressButton(const QString &text);
    /// Asks the window to close as the user's close box does; whether it closed.
    bool CloseWindow(const QString &path);
    /// Length, Lines and Sha1 (of its UTF-8) of the window's text, for texts
    /// too long to send whole.
    QVariantMap TextDigest(const QString &path);
    /// The window's text length, read as any member reads it (so whatever
    /// waits to go in goes in first); -1 when there is no such window.
    qint32 TextLength(const QString &path);
    /// Runs the window's Erase All command as its button does; whether the window exists.
    bool EraseAll(const QString &path);

private:
    WrenlogMainForm *form(const QString &path) const;

    PrivateWindowFactory *m_factory;
};
