#pragma once

#include "FormWindow.h"

#include <QTimer>

/**
 * The plug-in's splash: the product block in a small captionless window,
 * centred on the screen and kept above other windows, that closes itself
 * after about six seconds (and deletes itself when closed).
 *
 *     (new MySplashForm)->show();
 */
class MySplashForm : public FormWindow
{
    Q_OBJECT

public:
    explicit MySplashForm(QWidget *parent = nullptr);

    /// One tick of Timer1; the sixth closes the window.
    Q_INVOKABLE void Timer1_Timer();
    qint32 ticks() const { return m_ticks; }

protected:
    void showEvent(QShowEvent *event) override;

private:
    void Form_Load();

    QTimer m_timer1;
    qint32 m_ticks = 0;
    bool m_loaded = false;
};
