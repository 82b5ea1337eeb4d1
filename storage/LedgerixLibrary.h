#pragma once

#include <QObject>
#include <QString>
#include <QVariant>

class LedgerixStdInterface;

/**
 * The library's global class: where a program's window positions live, the
 * saving and restoring of a window's position, size and state there, centring
 * a window, the version report and the process-wide error switch.
 *
 *     LedgerixLibrary &library = LedgerixLibrary::predeclared();
 *     library.KSSetFormSaveParams(LedgerixLibrary::ledgerix_Registry, "Kestrane");
 *     QVariant extra;
 *     library.KSRestoreFormParams(window, &extra); // when the window opens
 *     library.KSSaveFormParams(window, 0);         // when it closes
 *     library.setLedgerixRaiseErrors(false);       // silences library errors process-wide
 *
 * A window is any QObject with the properties Top, Left, Width, Height and
 * WindowState (read and write) and Name (read), reached by name, as
 * FormWindow offers them; a missing one fails with run-time error 438.
 * Positions are kept under the window's Name in the section "WindowParams":
 * Top, Left, Width and Height of its normal bounds and its state, joined by
 * Tab, and the caller's extra value under Name + ".XtrParams".
 */
class LedgerixLibrary : public QObject
{
    Q_OBJECT

public:
    enum StorageTypeEnum : qint32 {
        ledgerix_INIFile = 0, ///< program folder + program name + ".ini"
        ledgerix_Registry = 1, ///< Software\<vendor>\<program> of the current user
        ledgerix_StorageString = 2, ///< in memory only, lost when the program ends
    };
    Q_ENUM(StorageTypeEnum)

    Q_INVOKABLE explicit LedgerixLibrary(QObject *parent = nullptr);
    ~LedgerixLibrary() override;

    /// The instance a program uses without creating one.
    static LedgerixLibrary &predeclared();

    QString Version(bool bShow = false);
    /// Centres a normal (neither minimised nor maximised) window on the screen,
    /// or within another window's size when one is given (for child windows).
    void KSCenterForm(QObject *oFormToCentred, QObject *oCentreWithinForm = nullptr);
    /// Chooses where window positions live and returns the new storage object
    /// (nullptr when none was made: no vendor yet, or an unknown type). The
    /// object stays owned by this library object, also after a later call
    /// replaces it. An empty vendor keeps the one given before.
    LedgerixStdInterface *KSSetFormSaveParams(qint32 eStorageTypeEnum, const QString &sSoftwareVendor);
    /// Stores the window's normal bounds and state (and vExtraParams when it is
    /// given and neither an object nor empty). A maximised or minimised window
    /// is normalised to read its bounds, then put back unless
    /// bRestoreWindowAfterNormalize is false.
    void KSSaveFormParams(QObject *oTheForm, const QVariant &vExtraParams = missingArgument(),
                          bool bRestoreWindowAfterNormalize = true);
    /// Applies a saved record of five numbers (anything else leaves the window
    /// as it is) and hands back the saved extra value through vExtraParams.
    void KSRestoreFormParams(QObject *oTheForm, QVariant *vExtraParams = nullptr);
    /// Write-only: turns the library's own errors on or off for the whole process.
    void setLedgerixRaiseErrors(bool bRaise);

    /// The storage object of the last KSSetFormSaveParams, or nullptr.
    LedgerixStdInterface *storage() const;

    static QVariant missingArgument();

private:
    QString m_vendor;
    QString m_storagePath;
    LedgerixStdInterface *m_storage = nullptr;
};
