#include "ServerLifetime.h"

#include "PrivateWindowFactory.h"
#include "SharedWindow.h"

#include <QApplication>
#include <QWidget>

ServerLifetime::ServerLifetime(PrivateWindowFactory *factory, int periodMs, QObject *parent)
    : QObject(parent)
    , m_factory(factory)
{
    connect(&m_timer, &QTimer::timeout, this, &ServerLifetime::tick);
    m_timer.start(periodMs);
}

bool ServerLifetime::inUse() const
{
    if (SharedWindow::instance().form() || (m_factory && m_factory->windowCount() > 0))
        return true;
    const QList<QWidget *> windows = QApplication::topLevelWidgets();
    return std::any_of(windows.cbegin(), windows.cend(), [](const QWidget *w) { return w->isVisible(); });
}

void ServerLifetime::tick()
{
    if (inUse()) {
        m_idleBefore = false;
        return;
    }
    if (m_idleBefore)
        QCoreApplication::quit();
    m_idleBefore = true;
}
