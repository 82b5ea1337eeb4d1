#pragma once

#include <QString>

class AutomationError;

/**
 * One trapped failure as the error dialog shows it and the error log keeps
 * it: where it was trapped, its number and description, and its call stack.
 *
 * The call stack lists the procedures the error passed through, outermost
 * first, each prefixed with the error's first source:
 *
 *     source "Wrenlog\r\nWrenlogMainForm.ToggleOnTop\r\nWrenlogMainForm.OnTop (Let)"
 *     call stack "Wrenlog.WrenlogMainForm.OnTop (Let)\r\nWrenlog.WrenlogMainForm.ToggleOnTop\r\n"
 */
struct ErrorReport
{
    QString sourceName;
    qint32 number = 0;
    QString description;
    QString callStack;

    static ErrorReport from(const AutomationError &error, const QString &sourceName);
    static QString formatCallStack(const QString &source);

    /// "Error Code: ...", "Description: ..." and "Trapped In: ..." on three lines.
    QString descriptionText() const;
};
