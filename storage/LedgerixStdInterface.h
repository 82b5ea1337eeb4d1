#pragma once

#include <QObject>
#include <QString>
#include <QVariant>

/**
 * The one small interface the three storage back ends share, so a client can
 * be handed a storage object without knowing which kind it is.
 *
 * The seven public members are the interface, in slot order. They are not
 * virtual: each forwards to a protected hook that a back end overrides. A
 * back end's own members of the same names (with more arguments, or with
 * other rules, like KSINIFileHandler's Path write that does not resolve the
 * name) hide these, so the object answers by its own rules when used as
 * itself and by the interface's rules when used through this class:
 *
 *     KSINIFileHandler ini;
 *     LedgerixStdInterface &store = ini;
 *     store.setPath("settings");          // resolved beside the program
 *     QVariant v = store.GetValue("Top"); // missing reads as empty text
 *
 * Properties read as Name() and write as setName(). The class itself is
 * creatable and does nothing: Path and Section read empty and ignore writes,
 * SetValue returns false, GetValue an empty value, Version "2.0".
 *
 * Storage objects are QObjects so that their class name
 * (metaObject()->className()) identifies them when one is assigned to
 * another's Value as a QVariant holding the object pointer.
 */
class LedgerixStdInterface : public QObject
{
    Q_OBJECT

public:
    Q_INVOKABLE explicit LedgerixStdInterface(QObject *parent = nullptr);
    ~LedgerixStdInterface() override;

    /// The version text every class of the library reports.
    static QString versionText();

    void setPath(const QString &sPath);
    QString Path() const;
    void setSection(const QString &sSection);
    QString Section() const;
    bool SetValue(const QString &sFieldName, const QVariant &vValue, const QString &sDelimiter = QStringLiteral("\t"));
    QVariant GetValue(const QString &sFieldName, const QString &sDelimiter = QStringLiteral("\t"));
    /// Returns "2.0"; with bShow it first shows the version report.
    QVariant Version(bool bShow = false);

protected:
    virtual void interfaceSetPath(const QString &sPath);
    virtual QString interfacePath() const;
    virtual void interfaceSetSection(const QString &sSection);
    virtual QString interfaceSection() const;
    virtual bool interfaceSetValue(const QString &sFieldName, const QVariant &vValue, const QString &sDelimiter);
    virtual QVariant interfaceGetValue(const QString &sFieldName, const QString &sDelimiter);
    virtual QVariant interfaceVersion(bool bShow);
};
