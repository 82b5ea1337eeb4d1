#include "FileType.h"

#include "Guard.h"
#include "RuntimeErrors.h"

FileType::FileType(QObject *parent)
    : QObject(parent)
{
}

FileType::~FileType() = default;

void FileType::setExtention(const QString &extension)
{
    m_extension = extension.startsWith(QLatin1Char('.')) ? extension : QLatin1Char('.') + extension;
}

QVariant FileType::CheckFileType(const QString &Path) const
{
    if (!Path.contains(QLatin1Char('.')))
        RuntimeErrors::raise(RuntimeErrors::InvalidProcedureCall, Guard::defaultSource());
    return extensionOf(Path).compare(m_extension, Qt::CaseInsensitive) == 0;
}

void FileType::setName(const QString &name)
{
    m_name = name;
}

void FileType::RaiseOpened(const QString &Path)
{
    emit Opened(Path);
}

void FileType::RaiseSaved(const QString &Path)
{
    emit Saved(Path);
}

void FileType::setIndex(qint32 index)
{
    m_index = index;
}

QString FileType::extensionOf(const QString &path)
{
    const qsizetype dot = path.lastIndexOf(QLatin1Char('.'));
    return dot < 0 ? QString() : path.mid(dot);
}
