#include "ErrorLog.h"

#include "ErrorReport.h"
#include "PrivateProfile.h"

#include <QLocale>

namespace {

// The rule before the call stack: 51 equals signs, so that with the key's
// own separator the line shows 52.
const int ruleLength = 51;

bool sectionExists(const QStringList &sections, const QString &name)
{
    for (const QString &section : sections) {
        if (section.trimmed().compare(name.trimmed(), Qt::CaseInsensitive) == 0)
            return true;
    }
    return false;
}

} // namespace

ErrorLog::ErrorLog(QString folder)
    : m_folder(std::move(folder))
{}

QString ErrorLog::path() const
{
    return m_folder + QStringLiteral("/error.log");
}

QString ErrorLog::sectionName(const QDateTime &when)
{
    const QLocale locale = QLocale::system();
    // The locale's long time format may name the time zone; the section keeps
    // to the local date and time of day.
    QString timeFormat = locale.timeFormat(QLocale::LongFormat);
    timeFormat.remove(QLatin1Char('t'));
    return QStringLiteral("Error Occurred:") + locale.toString(when.date(), QLocale::ShortFormat) + QLatin1Char(' ')
        + locale.toString(when.time(), timeFormat.trimmed());
}

bool ErrorLog::append(const ErrorReport &report, const QDateTime &when) const
{
    const QString file = path();
    const QString base = sectionName(when);
    const QStringList existing = PrivateProfile::sectionNames(file);
    QString section = base;
    for (int suffix = 2; sectionExists(existing, section); ++suffix)
        section = base + QStringLiteral(" (%1)").arg(suffix);

    // The call stack is written raw: each of its lines becomes a line of the
    // file, in the file's own line ending.
    QString stack = report.callStack;
    stack.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    const QList<std::pair<QString, QString>> entries = {
        {QStringLiteral("Trapped In"), report.sourceName},
        {QStringLiteral("Error Number"), QString::number(report.number)},
        {QStringLiteral("Error Description"), report.description},
        {QStringLiteral("CalStack "), QString(ruleLength, QLatin1Char('=')) + QLatin1Char('\n') + stack},
    };
    return PrivateProfile::writeStrings(section, entries, file);
}
