#pragma once

#include <QObject>
#include <QTimer>

class PrivateWindowFactory;

/**
 * Ends the process when no debug window is loaded and no client holds a
 * private window. It looks once per period and ends the process only when it
 * found nothing in use twice running, so a client that just started the
 * server (or is between two calls) makes its next call first; a visible window
 * of any kind (an open message box) keeps the process alive.
 */
class ServerLifetime : public QObject
{
    Q_OBJECT
public:
    ServerLifetime(PrivateWindowFactory *factory, int periodMs, QObject *parent = nullptr);

    bool inUse() const;

private:
    void tick();

    PrivateWindowFactory *m_factory;
    QTimer m_timer;
    bool m_idleBefore = false;
};
