#pragma once

#include <QString>

class AutomationError;

/**
 * Shows trapped failures in the error dialog, for one program: its name in the
 * dialog's caption and its folder for error.log.
 *
 * The server installs the one for its executable as the report hook, so that
 * every window handler guarded with reportFailure() ends up here:
 *
 *     ErrorReporter::forApplication().installAsReportHook();
 */
class ErrorReporter
{
public:
    ErrorReporter(QString programName, QString folder);

    /// The application's title (QCoreApplication::applicationName, which is the
    /// executable's name without extension unless the program set another) and
    /// the folder its error.log belongs in (AppFolders: beside the executable,
    /// or the user's data folder).
    static ErrorReporter forApplication();
    /// A library's file name without extension, and its folder (or that
    /// folder's writable counterpart), found from any address inside that
    /// library (for a plug-in's own copy).
    static ErrorReporter forLibraryContaining(const void *address);

    /// Fills the dialog and shows it modally; returns when it is closed.
    void ShowError(const AutomationError &oErr, const QString &sSourceName, bool bSaveLog = false) const;
    /// Makes this reporter the process's report hook.
    void installAsReportHook() const;

    const QString &programName() const { return m_programName; }
    const QString &folder() const { return m_folder; }

private:
    QString m_programName;
    QString m_folder;
};
