#pragma once

#include <QDateTime>
#include <QString>

struct ErrorReport;

/**
 * The file error.log in a program's folder: one INI section per report,
 * named "Error Occurred:" and the local date and time, with the keys
 * "Trapped In", "Error Number", "Error Description" and "CalStack " (with its
 * blank), whose value is a rule of equals signs followed by the call stack,
 * one procedure a line.
 *
 * A report written in the same second as an earlier one gets a section of
 * its own: the name takes " (2)", " (3)" ... so no report replaces another.
 */
class ErrorLog
{
public:
    explicit ErrorLog(QString folder);

    QString path() const;
    /// Appends the report; false when the file could not be written.
    bool append(const ErrorReport &report, const QDateTime &when = QDateTime::currentDateTime()) const;

    /// The section name for a report written at when, before any suffix.
    static QString sectionName(const QDateTime &when);

private:
    QString m_folder;
};
