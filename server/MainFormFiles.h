#pragma once

#include "FileCommandsLink.h"

#include <QDateTime>
#include <QMetaObject>
#include <QObject>
#include <QPointer>
#include <QString>

class FileType;
class FileTypeCollection;

/**
 * Saving and opening the debug text of one window: the Save As and Open
 * commands, the window's file types with its two built-in ones (".txt" plain
 * text and ".rtf" rich text, written and read through the rich-text view),
 * the default filter and the default file name.
 *
 * The window's settings live where the plug-in facade reaches them, as
 * properties of the window: "FileTypes" (this collection), "DefaultFilter"
 * (a FileType; setting it to nothing, or to something that is not a file
 * type, brings back the plain-text type) and "DefaultFileName" (empty means
 * the dated proposal "Wrenlog-dd-MMMM-yy hh-mm-ss").
 *
 * A chosen file goes to the type registered for its extension: the built-in
 * types write or read it here, a plug-in's type hears Saved or Opened and
 * does the work itself. A chosen name without an extension gets the
 * extension of the type selected in the dialog's list.
 */
class MainFormFiles : public QObject, public FileCommandsLink
{
    Q_OBJECT

public:
    explicit MainFormFiles(WrenlogMainForm &form);
    ~MainFormFiles() override;

    void SaveFile() override;
    void OpenFile() override;

    FileTypeCollection *FileTypes() const { return m_fileTypes; }
    FileType *textType() const { return m_textType; }
    FileType *richTextType() const { return m_richTextType; }
    /// The type preselected in the dialogs.
    FileType *DefaultFilter() const;
    /// The name proposed by Save As: the default file name, or the dated proposal.
    QString proposedFileName() const;

    static QString datedFileName(const QDateTime &when);
    /// Makes every debug window that loads use this class for its files.
    static void install();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void moTXTFileType_Opened(const QString &Path);
    void moTXTFileType_Saved(const QString &Path);
    void moRTFFileType_Opened(const QString &Path);
    void moRTFFileType_Saved(const QString &Path);
    void runBuiltIn(const char *handler, const std::function<void()> &work);

    /// The dialog's answer as a path, or empty after a cancel.
    QString askForPath(bool save);
    FileType *typeForPath(const QString &path) const;
    void watchDefaultFilter();

    WrenlogMainForm &m_form;
    FileTypeCollection *m_fileTypes = nullptr;
    FileType *m_textType = nullptr;
    FileType *m_richTextType = nullptr;
    QPointer<FileType> m_defaultFilter;
    QMetaObject::Connection m_defaultFilterWatch;
    bool m_builtInFailed = false;
};
