#pragma once

#include <QPluginLoader>
#include <QString>
#include <QStringList>

class QObject;

/**
 * One candidate plug-in library file: the type library its metadata declares
 * (a library name and its classes, in order) and the creation of those classes.
 *
 * The metadata is read without running any of the library's code; the library
 * is loaded only when the first object is created. Every failure is raised as
 * AutomationError: a file without the metadata of a plug-in library fails in
 * open(), a library that cannot be loaded or does not know a class fails in
 * createObject().
 */
class PluginLibraryFile
{
public:
    explicit PluginLibraryFile(const QString &path);

    /// Reads the type library; fails when the file carries none.
    void open();

    const QString &libraryName() const { return m_libraryName; }
    qint32 classCount() const { return qint32(m_classes.size()); }
    /// The n-th class declared, counted from 1.
    QString className(qint32 n) const;

    /// Creates the class by name; the caller owns the object.
    QObject *createObject(const QString &className);

private:
    QString m_path;
    QPluginLoader m_loader;
    QString m_libraryName;
    QStringList m_classes;
};
