#include "KSErrorForm.h"

#include "AutomationError.h"
#include "ErrorLog.h"
#include "Twips.h"

#include <QApplication>
#include <QCheckBox>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QStyle>
#include <QWindow>

namespace {

constexpr int dialogWidth = 5535; // twips

QRect twipsRect(int left, int top, int width, int height)
{
    return QRect(Twips::toPixelsX(left), Twips::toPixelsY(top), Twips::toPixelsX(width), Twips::toPixelsY(height));
}

QLineEdit *heading(const QString &text, QWidget *parent, const QRect &geometry)
{
    auto *line = new QLineEdit(text, parent);
    line->setReadOnly(true);
    line->setFrame(false);
    line->setFocusPolicy(Qt::NoFocus);
    QFont font = line->font();
    font.setBold(true);
    line->setFont(font);
    line->setGeometry(geometry);
    return line;
}

QPlainTextEdit *detailBox(QWidget *parent, const QRect &geometry, Qt::ScrollBarPolicy vertical)
{
    auto *box = new QPlainTextEdit(parent);
    box->setReadOnly(true);
    box->setLineWrapMode(QPlainTextEdit::WidgetWidth);
    box->setVerticalScrollBarPolicy(vertical);
    box->setGeometry(geometry);
    return box;
}

// The view shows the CR LF breaks of the system's texts as plain line breaks.
QString displayed(QString text)
{
    return text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
}

} // namespace

KSErrorForm::KSErrorForm(QString programName, QString folder, QWidget *parent)
    : QDialog(parent,
              Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint
                  | Qt::WindowCloseButtonHint)
    , m_programName(std::move(programName))
    , m_folder(std::move(folder))
{
    setObjectName(QStringLiteral("KSErrorForm"));
    setModal(true);

    auto *icon = new QLabel(this);
    icon->setGeometry(twipsRect(360, 240, 480, 480));
    icon->setPixmap(style()->standardIcon(QStyle::SP_MessageBoxWarning).pixmap(icon->size()));

    lblMessage = new QLabel(this);
    lblMessage->setObjectName(QStringLiteral("lblMessage"));
    lblMessage->setGeometry(twipsRect(960, 240, 4335, 375));
    lblMessage->setWordWrap(true);

    cmdOK = new QPushButton(QStringLiteral("Ok"), this);
    cmdOK->setObjectName(QStringLiteral("cmdOK"));
    cmdOK->setGeometry(twipsRect(2520, 840, 1335, 375));
    cmdOK->setDefault(true);
    connect(cmdOK, &QPushButton::clicked, this, &QDialog::accept);

    cmdDetails = new QPushButton(QStringLiteral("Details >>"), this);
    cmdDetails->setObjectName(QStringLiteral("cmdDetails"));
    cmdDetails->setGeometry(twipsRect(4080, 840, 1335, 375));
    cmdDetails->setAutoDefault(false);
    connect(cmdDetails, &QPushButton::clicked, this, &KSErrorForm::cmdDetails_Click);

    auto *rule = new QFrame(this);
    rule->setObjectName(QStringLiteral("rule"));
    rule->setFrameShape(QFrame::HLine);
    rule->setFrameShadow(QFrame::Sunken);
    rule->setGeometry(twipsRect(120, 1440, 5295, 30));

    QLineEdit *detailsHeading = heading(QStringLiteral("Error Details..."), this, twipsRect(120, 1680, 5295, 255));
    txtDescription = detailBox(this, twipsRect(120, 1920, 5295, 705), Qt::ScrollBarAsNeeded);
    txtDescription->setObjectName(QStringLiteral("txtDescription"));
    QLineEdit *stackHeading
        = heading(QStringLiteral("Call Stack Information..."), this, twipsRect(120, 2760, 5295, 255));
    txtCallStack = detailBox(this, twipsRect(120, 3000, 5295, 1095), Qt::ScrollBarAlwaysOn);
    txtCallStack->setObjectName(QStringLiteral("txtCallStack"));
    txtCallStack->setLineWrapMode(QPlainTextEdit::NoWrap);

    chkSaveToLog = new QCheckBox(QStringLiteral("Save Error To 'error.log'"), this);
    chkSaveToLog->setObjectName(QStringLiteral("chkSaveToLog"));
    chkSaveToLog->setGeometry(twipsRect(120, 4200, 2055, 255));

    // Folded, only the message, the icon and the buttons show, however thin
    // the window manager's frame leaves the client area.
    m_details = {rule, detailsHeading, txtDescription, stackHeading, txtCallStack, chkSaveToLog};
    setHeightTwips(collapsedHeight);
}

void KSErrorForm::Prepare(const AutomationError &oErr, const QString &sSourceName, bool bSaveLog)
{
    m_report = ErrorReport::from(oErr, sSourceName);
    m_logged = false;
    txtDescription->setPlainText(displayed(m_report.descriptionText()));
    txtCallStack->setPlainText(displayed(m_report.callStack));
    chkSaveToLog->setChecked(bSaveLog);
    lblMessage->setText(QStringLiteral("An error has occurred during runtime.\n"
                                       "Click the 'Details' button for more information."));
    setWindowTitle(m_programName + QStringLiteral(" - Error Warning"));
}

void KSErrorForm::showEvent(QShowEvent *event)
{
    setHeightTwips(collapsedHeight);
    // The window manager frames the dialog as it maps it; from its first
    // exposure on the height counts the real caption.
    if (QWindow *window = windowHandle())
        window->installEventFilter(this);
    QApplication::beep();
    QDialog::showEvent(event);
}

bool KSErrorForm::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == windowHandle() && (event->type() == QEvent::Expose || event->type() == QEvent::Move))
        setHeightTwips(m_heightTwips);
    return QDialog::eventFilter(watched, event);
}

void KSErrorForm::cmdDetails_Click()
{
    setHeightTwips(expandedHeight);
    cmdDetails->setEnabled(false);
    cmdOK->move(Twips::toPixelsX(4080), Twips::toPixelsY(4200));
}

int KSErrorForm::frameHeight() const
{
    // Asked of the window itself: the widget's own frame geometry is only
    // brought up to date by the next move or resize.
    if (const QWindow *window = windowHandle()) {
        const QMargins frame = window->frameMargins();
        if (frame.top() + frame.bottom() > 0)
            return frame.top() + frame.bottom();
    }
    // Not framed (yet): a caption and two borders of the style stand in.
    return style()->pixelMetric(QStyle::PM_TitleBarHeight, nullptr, this)
        + 2 * style()->pixelMetric(QStyle::PM_DefaultFrameWidth, nullptr, this);
}

void KSErrorForm::setHeightTwips(int twips)
{
    // The heights are the window's, frame and caption included.
    m_heightTwips = twips;
    setFixedSize(Twips::toPixelsX(dialogWidth), Twips::toPixelsY(twips) - frameHeight());
    for (QWidget *detail : m_details)
        detail->setVisible(twips == expandedHeight);
}

void KSErrorForm::done(int result)
{
    // Every way of closing ends here; the report is logged once. A log that
    // cannot be written is not reported: the dialog closes all the same.
    if (!m_logged && chkSaveToLog->isChecked()) {
        m_logged = true;
        ErrorLog(m_folder).append(m_report);
    }
    QDialog::done(result);
}
