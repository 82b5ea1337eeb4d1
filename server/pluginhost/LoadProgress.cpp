#include "LoadProgress.h"

#include "TranslucentWindows.h"
#include "Twips.h"

#include <QGuiApplication>
#include <QLabel>
#include <QProgressBar>
#include <QScreen>
#include <QVersionNumber>

namespace {

QRect twipsRect(int left, int top, int width, int height)
{
    return QRect(Twips::toPixelsX(left), Twips::toPixelsY(top), Twips::toPixelsX(width), Twips::toPixelsY(height));
}

QLabel *makeLabel(QWidget *parent, const QString &text, const QRect &geometry, const QFont &font)
{
    auto *label = new QLabel(text, parent);
    label->setGeometry(geometry);
    label->setFont(font);
    return label;
}

QFont tahoma(double points, bool bold = false)
{
    QFont font(QStringLiteral("Tahoma"));
    font.setPointSizeF(points);
    font.setBold(bold);
    return font;
}

} // namespace

LoadProgress::LoadProgress(QWidget *parent)
    : QWidget(parent, Qt::FramelessWindowHint | Qt::Tool)
{
    setObjectName(QStringLiteral("LoadProgress"));
    setFixedSize(Twips::toPixelsX(3495), Twips::toPixelsY(1245));
    setAutoFillBackground(true);

    m_title = makeLabel(this, QStringLiteral(" Wrenlog ! "), twipsRect(0, 0, 3495, 495), tahoma(14.25, true));
    m_title->setAutoFillBackground(true);
    m_title->setStyleSheet(QStringLiteral("color: rgb(192, 192, 255); background-color: rgb(128, 128, 128);"));
    m_version = makeLabel(this, QString(), twipsRect(1050, 285, 705, 165), tahoma(6.75));
    m_version->setStyleSheet(QStringLiteral("color: white;"));
    m_subTitle = makeLabel(this, QStringLiteral("Debug output window"), twipsRect(120, 495, 3255, 195), tahoma(6.75));
    lblStatus
        = makeLabel(this, QStringLiteral("Initializing Plugins..."), twipsRect(120, 720, 2655, 255), tahoma(8.25));
    lblStatus->setObjectName(QStringLiteral("lblStatus"));
    prbProgress = new QProgressBar(this);
    prbProgress->setObjectName(QStringLiteral("prbProgress"));
    prbProgress->setGeometry(twipsRect(120, 930, 3195, 165));
    prbProgress->setTextVisible(false);
    prbProgress->setRange(0, 100);
    prbProgress->setValue(0);
}

LoadProgress::~LoadProgress() = default;

QString LoadProgress::versionText()
{
    const QVersionNumber version = QVersionNumber::fromString(QStringLiteral(WRENLOG_VERSION));
    return QStringLiteral("Version %1.%2.%3")
        .arg(version.majorVersion())
        .arg(version.minorVersion())
        .arg(version.microVersion());
}

void LoadProgress::Load()
{
    m_version->setText(versionText());
    if (const QScreen *screen = QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());
    formOnTop(true);
}

void LoadProgress::Unload()
{
    formOnTop(false);
    close();
}

void LoadProgress::formOnTop(bool onTop)
{
    // The server's own topmost switch, which also shows the window without
    // taking the focus from whatever the user is working in.
    FormOnTop(onTop, this);
}

qint32 LoadProgress::Value() const
{
    return prbProgress->value();
}

void LoadProgress::setValue(qint32 value)
{
    if (value >= prbProgress->minimum() && value <= prbProgress->maximum())
        prbProgress->setValue(value);
}

qint32 LoadProgress::Min() const
{
    return prbProgress->minimum();
}
void LoadProgress::setMin(qint32 value)
{
    prbProgress->setMinimum(value);
}
qint32 LoadProgress::Max() const
{
    return prbProgress->maximum();
}
void LoadProgress::setMax(qint32 value)
{
    prbProgress->setMaximum(value);
}
QString LoadProgress::StatusText() const
{
    return lblStatus->text();
}
void LoadProgress::setStatusText(const QString &text)
{
    lblStatus->setText(text);
}
