#include "GlobalWindow.h"

#include "Guard.h"
#include "SharedWindow.h"
#include "WrenlogMainForm.h"

#include <QPointer>

#include <utility>

GlobalWindow::GlobalWindow(QObject *parent)
    : QObject(parent)
{
    passOn(QStringLiteral("GlobalWindow.Class_Initialize"), [this] {
        QPointer<WrenlogMainForm> form = SharedWindow::instance().ensureLoaded();
        form->InitPlugins();
        m_closedWhileStarting = !form || form->isUnloaded();
    });
}

WrenlogMainForm *GlobalWindow::form()
{
    if (std::exchange(m_closedWhileStarting, false))
        return nullptr;
    return SharedWindow::instance().ensureLoaded();
}

void GlobalWindow::DebugPrint(const QString &Text, qint32 Colour, bool CrLF)
{
    passOn(QStringLiteral("DebugText"), [&] {
        if (WrenlogMainForm *window = form())
            window->DebugPrint(Text, Colour, CrLF);
    });
}

void GlobalWindow::DebugShow(const QString &Pass)
{
    Q_UNUSED(Pass)
    passOn(QStringLiteral("GlobalWindow.DebugShow"), [&] {
        if (WrenlogMainForm *window = form())
            window->DebugShow();
    });
}

void GlobalWindow::DebugPrintMany(const QList<DebugPiece> &Pieces)
{
    WrenlogMainForm *window = form();
    if (!window)
        return;
    for (const DebugPiece &piece : Pieces)
        passOn(QStringLiteral("DebugText"), [&] { window->DebugPrint(piece.Text, piece.Colour, piece.CrLF); });
}
