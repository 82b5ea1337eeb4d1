#pragma once

#include "FormWindow.h"

#include <QPointer>
#include <QTimer>

class PluginWindow;
class QLabel;

/**
 * The plug-in's card in the debug window's lower right corner: start-up
 * splash, About box and saving notice. It follows the debug window while
 * shown and closes itself (deleting itself) after the given number of ticks.
 *
 *     SplashForm *splash = SplashForm::card();
 *     splash->Execute(window, 3);
 *     splash->lblStatus()->setText(QStringLiteral("Saving..."));
 *
 * The plug-in has one card: splash, About and saving notice all show it, and
 * showing it while it is up restarts its count.
 */
class SplashForm : public FormWindow
{
    Q_OBJECT

public:
    explicit SplashForm(QWidget *parent = nullptr);
    ~SplashForm() override;

    /// The plug-in's one card, made when there is none (it deletes itself when closed).
    static SplashForm *card();

    /// Shows the card for nDelay ticks; a second call restarts the count.
    void Execute(PluginWindow *oWindow, qint32 nDelay);
    void PlaceSplash();
    QLabel *lblStatus() const { return m_lblStatus; }

    /// One tick of Timer1; the one that reaches the delay closes the card.
    Q_INVOKABLE void Timer1_Timer();
    qint32 ticks() const { return m_ticks; }
    qint32 delay() const { return m_delay; }

    /// The tick length for every card made afterwards (1000 ms; tests shorten it).
    static void setTickInterval(int milliseconds);

private:
    void moWindow_Move();
    void moWindow_Fold(bool IsFolded);
    void moWindow_OnTop(bool IsOnTop);
    void showOnTop();

    QPointer<PluginWindow> moWindow;
    QLabel *m_lblStatus;
    QTimer m_timer1;
    qint32 m_delay = 0;
    qint32 m_ticks = 0;
};
