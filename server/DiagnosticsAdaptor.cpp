#include "DiagnosticsAdaptor.h"

#include "PrivateWindow.h"
#include "PrivateWindowFactory.h"
#include "RichTextFormat.h"
#include "PrintBackPressure.h"
#include "RichTextView.h"
#include "SharedWindow.h"
#include "WrenlogMainForm.h"

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QCryptographicHash>
#include <QFile>
#include <QMenu>
#include <QMessageBox>
#include <QTextBlock>
#include <QTextDocument>
#include <QWidget>

#include <unistd.h>

namespace {

QMessageBox *openMessageBox()
{
    const QList<QWidget *> windows = QApplication::topLevelWidgets();
    for (QWidget *widget : windows) {
        if (auto *box = qobject_cast<QMessageBox *>(widget); box && box->isVisible())
            return box;
    }
    return nullptr;
}

/// The text as runs of one colour, "colour<TAB>text" each (colour 0x00BBGGRR
/// in decimal, -1 for the default), paragraphs ending in a line feed.
QStringList colourRuns(const QTextDocument &document)
{
    QStringList runs;
    qint32 current = 0;
    QString text;
    auto add = [&](qint32 colour, const QString &piece) {
        if (!text.isEmpty() && colour != current) {
            runs.append(QString::number(current) + QLatin1Char('\t') + text);
            text.clear();
        }
        current = colour;
        text += piece;
    };
    for (QTextBlock block = document.begin(); block.isValid(); block = block.next()) {
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            const QTextCharFormat format = it.fragment().charFormat();
            add(format.hasProperty(QTextFormat::ForegroundBrush) ? RichTextFormat::toColourRef(format.foreground().color()) : -1,
                it.fragment().text());
        }
        if (block.next().isValid())
            add(current, QStringLiteral("\n"));
    }
    if (!text.isEmpty())
        runs.append(QString::number(current) + QLatin1Char('\t') + text);
    return runs;
}

qint64 residentKiB()
{
    QFile statm(QStringLiteral("/proc/self/statm"));
    if (!statm.open(QIODevice::ReadOnly))
        return -1;
    const QList<QByteArray> fields = statm.readAll().split(' ');
    return fields.value(1).toLongLong() * (sysconf(_SC_PAGESIZE) / 1024);
}

} // namespace

DiagnosticsAdaptor::DiagnosticsAdaptor(QObject *parent, PrivateWindowFactory *factory)
    : QDBusAbstractAdaptor(parent)
    , m_factory(factory)
{}

bool DiagnosticsAdaptor::enabled()
{
    return qEnvironmentVariableIntValue("WRENLOG_TEST_INSPECT") == 1;
}

WrenlogMainForm *DiagnosticsAdaptor::form(const QString &path) const
{
    if (path == QLatin1String("/GlobalWindow"))
        return SharedWindow::instance().form();
    if (PrivateWindow *window = m_factory->window(path))
        return window->form();
    return nullptr;
}

bool DiagnosticsAdaptor::CloseWindow(const QString &path)
{
    WrenlogMainForm *window = form(path);
    return window && window->close();
}

QVariantMap DiagnosticsAdaptor::TextDigest(const QString &path)
{
    WrenlogMainForm *form = this->form(path);
    if (!form)
        return {};
    const QString text = form->rtbDetails()->Text();
    return {
        {QStringLiteral("Length"), qint64(text.size())},
        {QStringLiteral("Lines"), qint64(text.count(QLatin1Char('\n')))},
        {QStringLiteral("Sha1"),
         QString::fromLatin1(QCryptographicHash::hash(text.toUtf8(), QCryptographicHash::Sha1).toHex())},
    };
}

qint32 DiagnosticsAdaptor::TextLength(const QString &path)
{
    WrenlogMainForm *form = this->form(path);
    return form ? form->rtbDetails()->TextLength() : -1;
}

bool DiagnosticsAdaptor::EraseAll(const QString &path)
{
    WrenlogMainForm *form = this->form(path);
    if (!form)
        return false;
    form->tbrMainToolbar_ButtonClick(QStringLiteral("btnEraseAll"));
    return true;
}

QVariantMap DiagnosticsAdaptor::Window(const QString &path)
{
    WrenlogMainForm *form = this->form(path);
    QVariantMap state;
    state.insert(QStringLiteral("Loaded"), form != nullptr);
    if (!form)
        return state;
    state.insert(QStringLiteral("Visible"), form->isVisible());
    state.insert(QStringLiteral("Title"), form->windowTitle());
    state.insert(QStringLiteral("Text"), form->rtbDetails()->Text());
    state.insert(QStringLiteral("Runs"), colourRuns(form->rtbDetails()->document()));
    for (const char *key : {"btnClose", "btnPlugins", "btnOpen"})
        state.insert(QString::fromLatin1(key) + QStringLiteral(".Visible"),
                     form->toolbarButton(QString::fromLatin1(key))->isVisible());
    for (const char *name : {"mnuSep3", "mnuQuit"})
        state.insert(QString::fromLatin1(name) + QStringLiteral(".Visible"),
                     form->menuItem(QString::fromLatin1(name))->isVisible());
    state.insert(QStringLiteral("mnuPlugins.Visible"), form->mnuPlugins()->menuAction()->isVisible());
    QAction *quit = form->menuItem(QStringLiteral("mnuQuit"));
    state.insert(QStringLiteral("mnuQuit.Enabled"), quit->isEnabled());
    state.insert(QStringLiteral("mnuQuit.Caption"), quit->text());
    return state;
}

QVariantMap DiagnosticsAdaptor::Counts()
{
    int debugWindows = 0;
    int visibleWindows = 0;
    const QList<QWidget *> windows = QApplication::topLevelWidgets();
    for (QWidget *widget : windows) {
        if (qobject_cast<WrenlogMainForm *>(widget))
            ++debugWindows;
        if (widget->isVisible())
            ++visibleWindows;
    }
    return {
        {QStringLiteral("PrivateWindows"), m_factory->windowCount()},
        {QStringLiteral("DebugWindows"), debugWindows},
        {QStringLiteral("VisibleWindows"), visibleWindows},
        {QStringLiteral("ResidentKiB"), residentKiB()},
        {QStringLiteral("WaitingCharacters"), RichTextView::waitingCharacters()},
        {QStringLiteral("MostWaitingCharacters"), RichTextView::mostWaitingCharacters()},
        {QStringLiteral("HeldReplies"), qint64(PrintBackPressure::instance().heldReplies())},
    };
}

QVariantMap DiagnosticsAdaptor::ModalDialog()
{
    QMessageBox *box = openMessageBox();
    if (!box)
        return {};
    QStringList buttons;
    const QList<QAbstractButton *> all = box->buttons();
    for (QAbstractButton *button : all)
        buttons.append(button->text().remove(QLatin1Char('&')));
    return {
        {QStringLiteral("Title"), box->windowTitle()},
        {QStringLiteral("Text"), box->text()},
        {QStringLiteral("Buttons"), buttons},
    };
}

bool DiagnosticsAdaptor::PressButton(const QString &text)
{
    QMessageBox *box = openMessageBox();
    if (!box)
        return false;
    const QList<QAbstractButton *> all = box->buttons();
    for (QAbstractButton *button : all) {
        if (button->text().remove(QLatin1Char('&')).compare(text, Qt::CaseInsensitive) == 0) {
            // After this call has been answered: the box's own loop ends the
            // ShowMessage call that is waiting on it.
            QMetaObject::invokeMethod(button, &QAbstractButton::click, Qt::QueuedConnection);
            return true;
        }
    }
    return false;
}
