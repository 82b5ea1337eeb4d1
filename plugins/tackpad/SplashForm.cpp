#include "SplashForm.h"

#include "GlobalLibrary.h"
#include "Guard.h"
#include "PluginWindow.h"
#include "TackpadErrors.h"
#include "Twips.h"

#include <QLabel>
#include <QPainter>

namespace {

int &tickInterval()
{
    static int interval = 1000;
    return interval;
}

QLabel *label(QWidget *parent, const char *name, const QString &text, int left, int top, int width, int height)
{
    auto *control = new QLabel(text, parent);
    control->setObjectName(QLatin1StringView(name));
    control->setAttribute(Qt::WA_TranslucentBackground);
    control->setGeometry(Twips::toPixelsX(left), Twips::toPixelsY(top), Twips::toPixelsX(width),
                         Twips::toPixelsY(height));
    return control;
}

// A pinned note drawn in place of a bitmap, so the library carries no image files.
QPixmap notePicture()
{
    QPixmap picture(80, 80);
    picture.fill(Qt::transparent);
    QPainter painter(&picture);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QColor(0x8a, 0x7a, 0x30));
    painter.setBrush(QColor(0xfb, 0xfd, 0xdb).darker(104));
    painter.drawRect(10, 12, 58, 60);
    painter.setPen(QColor(0xb0, 0xa8, 0x79));
    for (int y = 28; y < 68; y += 9)
        painter.drawLine(16, y, 62, y);
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(0xc0, 0x20, 0x20));
    painter.drawEllipse(QPoint(39, 14), 6, 6);
    return picture;
}

} // namespace

SplashForm::SplashForm(QWidget *parent)
    : FormWindow(parent, Qt::Tool | Qt::FramelessWindowHint | Qt::WindowDoesNotAcceptFocus)
{
    setObjectName(QStringLiteral("SplashForm"));
    setAttribute(Qt::WA_DeleteOnClose);
    setAttribute(Qt::WA_ShowWithoutActivating);
    setWindowTitle(QStringLiteral("Tackpad Feel"));
    setAutoFillBackground(true);
    QPalette colours = palette();
    colours.setColor(QPalette::Window, QColor(0xfb, 0xfd, 0xdb));
    setPalette(colours);
    setFixedSize(Twips::toPixelsX(2475), Twips::toPixelsY(1395));

    auto *image = new QLabel(this);
    image->setObjectName(QStringLiteral("Image1"));
    image->setPixmap(notePicture());
    image->setGeometry(0, 0, 80, 80);

    QLabel *title = label(this, "Title", QStringLiteral("KS Tackpad"), 480, 0, 1935, 495);
    QFont titleFont(QStringLiteral("Tahoma"));
    titleFont.setPointSizeF(15.75);
    titleFont.setBold(true);
    title->setFont(titleFont);
    label(this, "Label1", QStringLiteral("by Kestrane Software"), 960, 360, 1455, 255);
    m_lblStatus = label(this, "lblStatus", QString(), 960, 600, 1455, 255);
    QPalette blue = m_lblStatus->palette();
    blue.setColor(QPalette::WindowText, QColor(0, 0, 0xff));
    m_lblStatus->setPalette(blue);

    m_timer1.setObjectName(QStringLiteral("Timer1"));
    m_timer1.setInterval(tickInterval());
    connect(&m_timer1, &QTimer::timeout, this, &SplashForm::Timer1_Timer);
    m_timer1.start();
}

SplashForm::~SplashForm() = default;

SplashForm *SplashForm::card()
{
    static QPointer<SplashForm> theCard;
    if (!theCard)
        theCard = new SplashForm;
    return theCard;
}

void SplashForm::setTickInterval(int milliseconds)
{
    tickInterval() = milliseconds;
}

void SplashForm::Execute(PluginWindow *oWindow, qint32 nDelay)
{
    passOn(QStringLiteral("SplashForm.Execute"), [&] {
        if (moWindow != oWindow) {
            if (moWindow)
                disconnect(moWindow, nullptr, this, nullptr);
            moWindow = oWindow;
            if (moWindow) {
                connect(moWindow, &PluginWindow::Move, this, &SplashForm::moWindow_Move);
                connect(moWindow, &PluginWindow::FoldEvent, this, &SplashForm::moWindow_Fold);
                connect(moWindow, &PluginWindow::OnTopEvent, this, &SplashForm::moWindow_OnTop);
            }
        }
        m_delay = nDelay;
        m_ticks = 0;
        if (!m_timer1.isActive())
            m_timer1.start();
        if (moWindow)
            moWindow->setFold(false);
        show();
        PlaceSplash();
        showOnTop();
    });
}

void SplashForm::PlaceSplash()
{
    // A card that cannot be placed stays where it is.
    captureFailure([&] {
        if (!moWindow)
            return;
        const int left = moWindow->Left() + moWindow->Width() - int(27 * Twips::perPixelX() + Width());
        const int top = moWindow->Top() + moWindow->Height() - int(27 * Twips::perPixelY() + Height());
        setLeft(left);
        setTop(top);
    });
}

void SplashForm::showOnTop()
{
    GlobalLibrary().FormOnTop(true, this);
    show();
}

void SplashForm::Timer1_Timer()
{
    captureFailure([&] {
        ++m_ticks;
        if (m_ticks == m_delay) {
            m_timer1.stop();
            moWindow = nullptr;
            close();
        }
    });
}

void SplashForm::moWindow_Move()
{
    PlaceSplash();
}

void SplashForm::moWindow_Fold(bool IsFolded)
{
    trapFailure(QStringLiteral("SplashForm.moWindow_Fold"), [&] {
        if (IsFolded) {
            hide();
            return;
        }
        PlaceSplash();
        showOnTop();
    });
}

void SplashForm::moWindow_OnTop(bool IsOnTop)
{
    trapFailure(QStringLiteral("SplashForm.moWindow_OnTop"), [&] {
        if (!IsOnTop) {
            hide();
            return;
        }
        PlaceSplash();
        showOnTop();
    });
}
