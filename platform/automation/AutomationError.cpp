#include "AutomationError.h"

#include <QStringList>

const QString AutomationError::lineBreak = QStringLiteral("\r\n");

AutomationError::AutomationError(qint32 number, QString description, QString source,
                                 QString helpFile, qint32 helpContext)
    : m_number(number)
    , m_description(std::move(description))
    , m_source(std::move(source))
    , m_helpFile(std::move(helpFile))
    , m_helpContext(helpContext)
{
}

void AutomationError::appendSource(const QString &label)
{
    m_source += lineBreak + label;
}

QStringList AutomationError::sourceLines() const
{
    if (m_source.isEmpty())
        return {};
    return m_source.split(lineBreak);
}

const char *AutomationError::what() const noexcept
{
    m_what = QStringLiteral("%1 (%2)").arg(m_description).arg(m_number).toUtf8();
    return m_what.constData();
}
