#include "MySplashForm.h"

#include "GlobalLibrary.h"
#include "Guard.h"
#include "ProductFrame.h"
#include "Twips.h"

#include <QGuiApplication>
#include <QScreen>

MySplashForm::MySplashForm(QWidget *parent)
    : FormWindow(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::MSWindowsFixedSizeDialogHint)
{
    setObjectName(QStringLiteral("MySplashForm"));
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(QString());
    setFont(tahoma(8.25));
    setFixedSize(Twips::toPixelsX(3825), Twips::toPixelsY(1830));
    placeInTwips(new ProductFrame(QStringLiteral("Label1"), this), 120, 60, 3465, 1605);

    if (const QScreen *screen = QGuiApplication::primaryScreen()) {
        QRect bounds = rect();
        bounds.moveCenter(screen->availableGeometry().center());
        move(bounds.topLeft());
    }

    m_timer1.setObjectName(QStringLiteral("Timer1"));
    m_timer1.setInterval(1000);
    connect(&m_timer1, &QTimer::timeout, this, &MySplashForm::Timer1_Timer);
}

void MySplashForm::showEvent(QShowEvent *event)
{
    FormWindow::showEvent(event);
    if (!m_loaded) {
        m_loaded = true;
        Form_Load();
    }
}

void MySplashForm::Form_Load()
{
    reportFailure(QStringLiteral("MySplashForm.Form_Load"), [&] {
        m_ticks = 0;
        m_timer1.start();
        GlobalLibrary().FormOnTop(true, this);
    });
}

void MySplashForm::Timer1_Timer()
{
    ++m_ticks;
    if (m_ticks > 5) {
        m_timer1.stop();
        close();
    }
}
