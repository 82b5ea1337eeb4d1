#include "ErrorReport.h"

#include "AutomationError.h"

#include <QStringList>

ErrorReport ErrorReport::from(const AutomationError &error, const QString &sourceName)
{
    ErrorReport report;
    report.sourceName = sourceName;
    report.number = error.number();
    report.description = error.description();
    report.callStack = formatCallStack(error.source());
    return report;
}

QString ErrorReport::formatCallStack(const QString &source)
{
    if (source.isEmpty())
        return QString();
    const QString &lineBreak = AutomationError::lineBreak;
    const QStringList parts = source.split(lineBreak);
    if (parts.size() == 1)
        return parts.first() + lineBreak;
    QString stack;
    for (qsizetype i = parts.size() - 1; i >= 1; --i)
        stack += parts.first() + QLatin1Char('.') + parts.at(i) + lineBreak;
    return stack;
}

QString ErrorReport::descriptionText() const
{
    const QString &lineBreak = AutomationError::lineBreak;
    return QStringLiteral("Error Code: ") + QString::number(number) + lineBreak + QStringLiteral("Description: ")
        + description + lineBreak + QStringLiteral("Trapped In: ") + sourceName;
}
