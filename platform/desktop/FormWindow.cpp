#include "FormWindow.h"

#include "Twips.h"

#include <QEvent>

#include <cmath>

namespace {

int twipsX(int pixels)
{
    return int(std::lround(Twips::fromPixelsX(pixels)));
}

int twipsY(int pixels)
{
    return int(std::lround(Twips::fromPixelsY(pixels)));
}

bool isNormalState(Qt::WindowStates states)
{
    return !(states & (Qt::WindowMinimized | Qt::WindowMaximized | Qt::WindowFullScreen));
}

} // namespace

FormWindow::FormWindow(QWidget *parent, Qt::WindowFlags flags)
    : QWidget(parent, flags)
{}

QRect FormWindow::boundsInPixels() const
{
    if (isNormalState(windowState()))
        return QRect(pos(), size());
    if (m_normalBounds.isValid())
        return m_normalBounds;
    const QRect normal = normalGeometry();
    return normal.isValid() ? normal : QRect(pos(), size());
}

void FormWindow::setBoundsInPixels(const QRect &bounds)
{
    if (isNormalState(windowState())) {
        move(bounds.topLeft());
        resize(bounds.size().expandedTo(QSize(0, 0)));
    } else {
        m_normalBounds = bounds;
    }
}

int FormWindow::Top() const
{
    return twipsY(boundsInPixels().y());
}

void FormWindow::setTop(int twips)
{
    QRect bounds = boundsInPixels();
    bounds.moveTop(Twips::toPixelsY(twips));
    setBoundsInPixels(bounds);
}

int FormWindow::Left() const
{
    return twipsX(boundsInPixels().x());
}

void FormWindow::setLeft(int twips)
{
    QRect bounds = boundsInPixels();
    bounds.moveLeft(Twips::toPixelsX(twips));
    setBoundsInPixels(bounds);
}

int FormWindow::Width() const
{
    return twipsX(boundsInPixels().width());
}

void FormWindow::setWidth(int twips)
{
    QRect bounds = boundsInPixels();
    bounds.setWidth(std::max(0, Twips::toPixelsX(twips)));
    setBoundsInPixels(bounds);
}

int FormWindow::Height() const
{
    return twipsY(boundsInPixels().height());
}

void FormWindow::setHeight(int twips)
{
    QRect bounds = boundsInPixels();
    bounds.setHeight(std::max(0, Twips::toPixelsY(twips)));
    setBoundsInPixels(bounds);
}

int FormWindow::WindowState() const
{
    const Qt::WindowStates states = windowState();
    if (states & Qt::WindowMinimized)
        return Minimized;
    if (states & (Qt::WindowMaximized | Qt::WindowFullScreen))
        return Maximized;
    return Normal;
}

void FormWindow::setWindowStateValue(int state)
{
    if (state == WindowState())
        return;
    const QRect normal = boundsInPixels();
    Qt::WindowStates states = windowState() & ~(Qt::WindowMinimized | Qt::WindowMaximized | Qt::WindowFullScreen);
    if (state == Minimized)
        states |= Qt::WindowMinimized;
    else if (state == Maximized)
        states |= Qt::WindowMaximized;
    if (state != Normal) {
        m_normalBounds = normal;
        setWindowState(states);
        return;
    }
    setWindowState(states);
    // Put the normal bounds back at once, so they can be read straight after.
    m_normalBounds = {};
    move(normal.topLeft());
    resize(normal.size());
}

void FormWindow::changeEvent(QEvent *event)
{
    // Bounds kept for a minimised or maximised window go stale once the user
    // restores it through the window manager.
    if (event->type() == QEvent::WindowStateChange && isNormalState(windowState()))
        m_normalBounds = {};
    QWidget::changeEvent(event);
}

QString FormWindow::Name() const
{
    const QString name = objectName();
    return name.isEmpty() ? QString::fromLatin1(metaObject()->className()) : name;
}

void FormWindow::setName(const QString &name)
{
    setObjectName(name);
}
