#include "GlobalLibrary.h"

#include "Guard.h"
#include "MessageBox.h"
#include "TranslucentWindows.h"

#include <QApplication>

namespace {

template<typename Fn>
void quietly(Fn &&fn)
{
    // Nothing is reported to the caller; a failure only means the call had no effect.
    (void)captureFailure(std::forward<Fn>(fn));
}

} // namespace

GlobalLibrary::GlobalLibrary(QObject *parent)
    : QObject(parent)
{}

QString GlobalLibrary::applicationTitle()
{
    return QStringLiteral("Wrenlog !");
}

qint32 GlobalLibrary::ShowMessage(qint32 WindowType, const QString &Caption, const QString &Text)
{
    qint32 answer = 0;
    quietly([&] { answer = MessageBox::show(WindowType, Caption.isEmpty() ? applicationTitle() : Caption, Text); });
    return answer;
}

void GlobalLibrary::MakeTranslucent(qulonglong hWnd)
{
    quietly([&] { TranslucentWindows::SetWindowTranslucency(WId(hWnd), TranslucentWindows::translucentAlpha); });
}

void GlobalLibrary::ClearTranslucency(qulonglong hWnd)
{
    quietly([&] { TranslucentWindows::ClearWindowTranslucency(WId(hWnd)); });
}

void GlobalLibrary::FormOnTop(bool bOnTop, qulonglong hWnd, qint32 Left, qint32 Top, qint32 Width, qint32 Height)
{
    quietly([&] { ::FormOnTop(bOnTop, WId(hWnd), Left, Top, Width, Height); });
}

void GlobalLibrary::FormOnTop(bool bOnTop, QObject *frmForm)
{
    quietly([&] {
        if (!frmForm)
            return;
        if (auto *widget = qobject_cast<QWidget *>(frmForm)) {
            ::FormOnTop(bOnTop, widget);
            return;
        }
        const QVariant handle = frmForm->property("hWnd");
        ::FormOnTop(bOnTop, WId(handle.toULongLong()), frmForm->property("Left").toInt(),
                    frmForm->property("Top").toInt(), frmForm->property("Width").toInt(),
                    frmForm->property("Height").toInt());
    });
}
