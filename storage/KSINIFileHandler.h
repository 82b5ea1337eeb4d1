#pragma once

#include "LedgerixStdInterface.h"

#include <QStringList>

/**
 * Keeps named values in an INI file: "[section]" headers followed by
 * "name=value" lines. Every read and write goes to the file at once through
 * the private-profile functions, so several objects and programs can share
 * one file; nothing but the last value, field name and delimiter is kept.
 *
 *     KSINIFileHandler ini;
 *     ini.setPath(folder + "/settings.ini");  // fixed by the first write
 *     ini.setSection("Window");
 *     ini.SetValue("Size", QVariant::fromValue(QList<qint32>{640, 480}), ",");
 *     QVariant size = ini.GetValue("Size", ",");  // QList<qint32>{640, 480}
 *
 * Assigning another storage object to Value (a QVariant holding its pointer)
 * copies that object's sections and fields into this file; any other value
 * is written with SetValue under the last field name and delimiter.
 *
 * Used through LedgerixStdInterface, Path resolves short and relative names
 * beside the running program and GetValue always detects arrays and numbers
 * and reads a missing field as empty text.
 */
class KSINIFileHandler : public LedgerixStdInterface
{
    Q_OBJECT
    Q_CLASSINFO("DefaultProperty", "Value")
    Q_PROPERTY(QString Path READ Path WRITE setPath)
    Q_PROPERTY(QString Section READ Section WRITE setSection)
    Q_PROPERTY(QVariant Value READ Value WRITE setValue)

public:
    Q_INVOKABLE explicit KSINIFileHandler(QObject *parent = nullptr);
    ~KSINIFileHandler() override;

    /// Sets the file once; later writes are ignored. The name is used as given.
    void setPath(const QString &sPath);
    QString Path() const;
    /// Selects the section (trimmed; empty selects "DEFAULT"); "[" or "]" raise 10023.
    void setSection(const QString &sSection);
    QString Section() const;
    /// The last value GetValue returned.
    QVariant Value() const;
    /// Imports a storage object, or writes any other value under the last field name.
    void setValue(const QVariant &vValue);
    QString Version(bool bShow = false);

    /// Writes a value (arrays joined with sArrayDelim). Returns false, always:
    /// the result carries no success information; a failed write raises 75.
    bool SetValue(const QString &sFieldName, const QVariant &vValue, const QString &sArrayDelim = QStringLiteral("\t"));
    /// Reads a value, typed by PrepForGet; vDefaultReturn, unchanged, when the field is missing.
    QVariant GetValue(const QString &sFieldName, const QString &sArrayDelim = QStringLiteral("\t"),
                      bool bDetectArray = true, bool bDetectNum = true,
                      const QVariant &vDefaultReturn = QVariant(QString()));
    QStringList GetSectionNames();
    /// Field names of the current section (empty when it has none or is missing).
    QStringList GetFieldNames();
    /// Deletes the file when there is one; the path stays set.
    void DeleteFile();
    /// Removes the current section and selects "DEFAULT".
    void DeleteSection();
    void DeleteField(const QString &sFieldName);

    /// The folder of the running program, ending in "/".
    QString programFolder() const { return m_programFolder; }
    /**
     * Where a name given through the interface points: ".INI" is appended
     * when the last four characters hold no "."; an absolute name stays when
     * its folder exists, a relative one goes beside the program (with its
     * sub-folder when that exists there); otherwise the file name alone goes
     * into the program folder.
     */
    static QString resolvePath(const QString &sName, const QString &sProgramFolder);

protected:
    void interfaceSetPath(const QString &sPath) override;
    QString interfacePath() const override;
    void interfaceSetSection(const QString &sSection) override;
    QString interfaceSection() const override;
    bool interfaceSetValue(const QString &sFieldName, const QVariant &vValue, const QString &sDelimiter) override;
    QVariant interfaceGetValue(const QString &sFieldName, const QString &sDelimiter) override;
    QVariant interfaceVersion(bool bShow) override;

private:
    QString label(const char *member) const;
    void forgetLastField();
    void importIniFile(KSINIFileHandler &source);

    QString m_path;
    bool m_pathFixed = false;
    QString m_section;
    QVariant m_value;
    QString m_programFolder;
    QString m_lastFieldName;
    QString m_lastDelimiter;
};
