#pragma once

#include <QList>
#include <QObject>
#include <QString>
#include <QVariant>

class FileType;

/**
 * The file types of a debug window's Open and Save As dialogs, in the order
 * they were added, each filed under a text key. The window adds its own two
 * (".txt" and ".rtf") when it loads; plug-ins add theirs through
 * PluginWindow::FileTypes().
 *
 *     FileType *log = types->Add(QStringLiteral("log"), QStringLiteral("Log File"));
 *     types->FileTypesAsString(); // "...|Log File(*.log)|*.log"
 *
 * Keys are the Extention text as passed to Add() and compare ignoring case,
 * so ".log" and "log" are two keys. Remove() does not renumber: every type
 * keeps the Index it got when it was added. A removed type stays valid for
 * whoever still holds it, for as long as the collection lives.
 */
class FileTypeCollection : public QObject
{
    Q_OBJECT
    Q_MOC_INCLUDE("FileType.h")
    Q_PROPERTY(qint32 Count READ Count)
    Q_PROPERTY(QString FileTypesAsString READ FileTypesAsString)

public:
    explicit FileTypeCollection(QObject *parent = nullptr);
    ~FileTypeCollection() override;

    Q_INVOKABLE FileType *Add(const QString &Extention = QString(), const QString &Name = QString());
    /// The type at a 1-based position (a number) or filed under a key (text).
    Q_INVOKABLE FileType *Item(const QVariant &vntIndexKey) const;
    qint32 Count() const;
    Q_INVOKABLE void Remove(const QVariant &vntIndexKey);
    /// The dialogs' filter: "Name(*.ext)|*.ext" per type, joined by "|".
    QString FileTypesAsString() const;

    /// Host side: the type for a file's extension (with its full stop): the
    /// one filed under that key, else the first whose extension matches,
    /// ignoring case; nullptr when none does.
    FileType *findByExtension(const QString &extension) const;
    /// Host side: the 1-based position of a listed type, 0 when not listed.
    qint32 positionOf(const FileType *type) const;

signals:
    /// Never raised by the host; there for plug-ins that relay their own.
    void FileOpen(FileType *fileType);
    void FileSave(FileType *fileType);

private:
    struct Entry
    {
        QString key;
        FileType *type;
    };

    qsizetype find(const QVariant &indexKey) const;
    qsizetype findKey(const QString &key) const;

    QList<Entry> m_types;
};
