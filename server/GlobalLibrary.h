#pragma once

#include <QObject>
#include <QString>
#include <QWidget>

/**
 * Small window functions for client programs and plug-ins: a message box,
 * translucency and topmost windows for any window handle.
 *
 * The bus adaptor of /GlobalLibrary wraps one instance; plug-ins call the same
 * class in process. Its members report nothing: a window call that fails has
 * no effect beyond its own result.
 *
 *     GlobalLibrary library;
 *     library.MakeTranslucent(someWidget->winId());
 */
class GlobalLibrary : public QObject
{
    Q_OBJECT
public:
    explicit GlobalLibrary(QObject *parent = nullptr);

    /// Shows a message box without owner; WindowType carries the Windows style
    /// flags unchanged and the result is the Windows id of the button pressed.
    /// An empty Caption shows the application title.
    Q_INVOKABLE qint32 ShowMessage(qint32 WindowType, const QString &Caption, const QString &Text);
    Q_INVOKABLE void MakeTranslucent(qulonglong hWnd);
    Q_INVOKABLE void ClearTranslucency(qulonglong hWnd);
    /// Left, Top, Width and Height in twips.
    Q_INVOKABLE void FormOnTop(bool bOnTop, qulonglong hWnd, qint32 Left, qint32 Top, qint32 Width, qint32 Height);
    /// The same for any object with the properties hWnd (or a widget's own
    /// handle), Left, Top, Width and Height.
    Q_INVOKABLE void FormOnTop(bool bOnTop, QObject *frmForm);

    /// The title shown by ShowMessage for an empty caption.
    static QString applicationTitle();
};
