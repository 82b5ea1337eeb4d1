#include "GlobalWindow.h"

#include "Guard.h"
#include "SharedWindow.h"
#include "WrenlogMainForm.h"

GlobalWindow::GlobalWindow(QObject *parent)
    : QObject(parent)
{
    passOn(QStringLiteral("GlobalWindow.Class_Initialize"), [] {
        WrenlogMainForm *form = SharedWindow::instance().ensureLoaded();
        form->InitPlugins();
    });
}

WrenlogMainForm *GlobalWindow::form() const
{
    return SharedWindow::instance().ensureLoaded();
}

void GlobalWindow::DebugPrint(const QString &Text, qint32 Colour, bool CrLF)
{
    passOn(QStringLiteral("DebugText"), [&] { form()->DebugPrint(Text, Colour, CrLF); });
}

void GlobalWindow::DebugShow(const QString &Pass)
{
    Q_UNUSED(Pass)
    passOn(QStringLiteral("GlobalWindow.DebugShow"), [&] { form()->DebugShow(); });
}

void GlobalWindow::DebugPrintMany(const QList<DebugPiece> &Pieces)
{
    WrenlogMainForm *window = form();
    for (const DebugPiece &piece : Pieces)
        passOn(QStringLiteral("DebugText"), [&] { window->DebugPrint(piece.Text, piece.Colour, piece.CrLF); });
}
