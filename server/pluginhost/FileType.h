#pragma once

#include <QObject>
#include <QString>
#include <QVariant>

/**
 * A kind of file the debug window's Open and Save As commands offer: an
 * extension (always with its leading full stop) and a name for the dialogs'
 * list. Whoever registered the type does the reading and writing, in the
 * Opened and Saved signals the window raises with the chosen file's full path.
 *
 *     FileType *log = window->FileTypes()->Add("log", "Log File");  // ".log"
 *     connect(log, &FileType::Saved, this, [](const QString &path) { ... });
 *
 * Failures of the members reach the caller unchanged. Its properties and
 * CheckFileType can also be reached by name (Qt properties, an invokable).
 */
class FileType : public QObject
{
    Q_OBJECT
    Q_PROPERTY(QString Extention READ Extention WRITE setExtention)
    Q_PROPERTY(QString Name READ Name WRITE setName)
    Q_PROPERTY(qint32 Index READ Index)

public:
    explicit FileType(QObject *parent = nullptr);
    ~FileType() override;

    QString Extention() const { return m_extension; }
    /// "txt" and ".txt" both store ".txt"; the empty text stores ".".
    void setExtention(const QString &extension);
    QString Name() const { return m_name; }
    /// True (as a variant) when the text of Path from its last full stop on
    /// equals the extension, ignoring case. A path without a full stop fails
    /// with run-time error 5.
    Q_INVOKABLE QVariant CheckFileType(const QString &Path) const;
    void setName(const QString &name);
    /// 1-based position in the collection when the type was added; 0 outside one.
    qint32 Index() const { return m_index; }

    // Host side.
    void RaiseOpened(const QString &Path);
    void RaiseSaved(const QString &Path);
    void setIndex(qint32 index);

    /// The text of path from its last full stop to the end (empty when it has none).
    static QString extensionOf(const QString &path);

signals:
    void Opened(const QString &Path);
    void Saved(const QString &Path);

private:
    QString m_extension;
    QString m_name;
    qint32 m_index = 0;
};
