#include "PrivateWindow.h"

#include "Guard.h"
#include "RuntimeErrors.h"
#include "WrenlogMainForm.h"

PrivateWindow::PrivateWindow(QObject *parent)
    : QObject(parent)
{
    passOn(QStringLiteral("PrivateWindow.Class_Initialize"), [this] {
        auto *form = new WrenlogMainForm;
        m_form = form;
        try {
            form->Load();
            form->MakePrivate();
        } catch (...) {
            m_form = nullptr;
            form->setRemoteUnload(false);
            delete form;
            throw;
        }
    });
}

PrivateWindow::~PrivateWindow()
{
    if (m_form) {
        // Nobody is left to hear about a failure here; the window goes anyway.
        if (captureFailure([this] { Release(); }) && m_form) {
            m_form->setRemoteUnload(false);
            delete m_form.data();
        }
    }
}

WrenlogMainForm *PrivateWindow::form() const
{
    return m_form;
}

WrenlogMainForm *PrivateWindow::requireForm() const
{
    if (!m_form)
        RuntimeErrors::raise(RuntimeErrors::ObjectNotSet, Guard::defaultSource());
    return m_form;
}

void PrivateWindow::DebugPrint(const QString &Text, qint32 Colour, bool CrLF)
{
    passOn(QStringLiteral("DebugText"), [&] { requireForm()->DebugPrint(Text, Colour, CrLF); });
}

void PrivateWindow::DebugPrintMany(const QList<DebugPiece> &Pieces)
{
    for (const DebugPiece &piece : Pieces)
        DebugPrint(piece.Text, piece.Colour, piece.CrLF);
}

void PrivateWindow::DebugShow(const QString &WindowName)
{
    passOn(QStringLiteral("PrivateWindow.DebugShow"), [&] {
        WrenlogMainForm *form = requireForm();
        form->setWindowTitle(WindowName);
        form->show();
    });
}

void PrivateWindow::Clear()
{
    passOn(QStringLiteral("PrivateWindow.Clear"), [&] { requireForm()->Clear(); });
}

void PrivateWindow::Release()
{
    passOn(QStringLiteral("PrivateWindow.Class_Terminate"), [&] {
        WrenlogMainForm *form = requireForm();
        form->setRemoteUnload(false);
        form->Unload();
        m_form = nullptr;
        // The window may still be inside one of its own event handlers.
        form->deleteLater();
    });
    emit released();
}
