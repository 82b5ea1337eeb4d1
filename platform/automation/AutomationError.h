#pragma once

#include <QString>

#include <exception>

/**
 * The one error value of the system: a number, a description and a source.
 *
 * The source doubles as the call stack. Line 0 names whoever raised the error
 * first (a program or library name); every procedure that passes the error on
 * appends its own label as a new line, innermost first, lines joined by CR LF:
 *
 *     Ledgerix2
 *     KSINIFileHandler.PrepForGet
 *     KSINIFileHandler.GetValue
 *
 * It is thrown inside the system and caught by passOn() and reportFailure()
 * (Guard.h); it never reaches Qt's event loop or the bus.
 */
class AutomationError : public std::exception
{
public:
    AutomationError() = default;
    AutomationError(qint32 number, QString description, QString source = {},
                    QString helpFile = {}, qint32 helpContext = 0);

    qint32 number() const { return m_number; }
    const QString &description() const { return m_description; }
    const QString &source() const { return m_source; }
    const QString &helpFile() const { return m_helpFile; }
    qint32 helpContext() const { return m_helpContext; }

    /// Appends one procedure label as a new line of the source.
    void appendSource(const QString &label);
    /// The source split into its lines (an empty source gives no lines).
    QStringList sourceLines() const;

    const char *what() const noexcept override;

    static const QString lineBreak; ///< "\r\n", the separator of source lines

private:
    qint32 m_number = 0;
    QString m_description;
    QString m_source;
    QString m_helpFile;
    qint32 m_helpContext = 0;
    mutable QByteArray m_what;
};
