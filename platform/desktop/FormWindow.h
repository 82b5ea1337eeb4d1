#pragma once

#include <QRect>
#include <QWidget>

/**
 * The base of every window of the system (the debug window, the plug-in
 * manager dialog, plug-in forms).
 *
 * It offers the window's position, size and state as properties that other
 * code reaches by name, the way the form-position helpers of the storage
 * library save and restore windows:
 *
 *     window->setProperty("WindowState", FormWindow::Maximized);
 *     const int top = window->property("Top").toInt();   // twips
 *
 * Top and Left are the position of the frame on the screen, Width and Height
 * the size of the window's client area; all four are in twips. While the
 * window is minimised or maximised they read its normal bounds, and writing
 * them changes the normal bounds it returns to. Name is the window's object
 * name, or its class name when it has none.
 */
class FormWindow : public QWidget
{
    Q_OBJECT
    Q_PROPERTY(int Top READ Top WRITE setTop)
    Q_PROPERTY(int Left READ Left WRITE setLeft)
    Q_PROPERTY(int Width READ Width WRITE setWidth)
    Q_PROPERTY(int Height READ Height WRITE setHeight)
    Q_PROPERTY(int WindowState READ WindowState WRITE setWindowStateValue)
    Q_PROPERTY(QString Name READ Name WRITE setName)

public:
    enum State {
        Normal = 0,
        Minimized = 1,
        Maximized = 2
    };
    Q_ENUM(State)

    explicit FormWindow(QWidget *parent = nullptr, Qt::WindowFlags flags = {});

    int Top() const;
    void setTop(int twips);
    int Left() const;
    void setLeft(int twips);
    int Width() const;
    void setWidth(int twips);
    int Height() const;
    void setHeight(int twips);

    int WindowState() const;
    void setWindowStateValue(int state);

    QString Name() const;
    void setName(const QString &name);

protected:
    void changeEvent(QEvent *event) override;

private:
    QRect boundsInPixels() const;
    void setBoundsInPixels(const QRect &bounds);

    // The normal bounds while minimised or maximised: the platform does not
    // always report them at once, and they must survive a state change.
    QRect m_normalBounds;
};
