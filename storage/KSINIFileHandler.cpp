#include "KSINIFileHandler.h"

#include "Guard.h"
#include "KSRegistryKey.h"
#include "KSStorageString.h"
#include "LedgerixErrors.h"
#include "LedgerixImport.h"
#include "LedgerixVersion.h"
#include "PrivateProfile.h"
#include "RegistryImport.h"
#include "RuntimeErrors.h"
#include "StorageStringImport.h"
#include "ValueTyping.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>

namespace {

const QString defaultSection = QStringLiteral("DEFAULT");

QString currentProgramFolder()
{
    QString program = QCoreApplication::instance() ? QCoreApplication::applicationFilePath() : QString();
    if (program.isEmpty())
        program = QFileInfo(QStringLiteral("/proc/self/exe")).symLinkTarget();
    const qsizetype slash = program.lastIndexOf(u'/');
    return slash >= 0 ? program.left(slash + 1) : QString();
}

bool pathExists(const QString &folder)
{
    return !folder.isEmpty() && QFileInfo(folder).isDir();
}

} // namespace

KSINIFileHandler::KSINIFileHandler(QObject *parent)
    : LedgerixStdInterface(parent)
    , m_section(defaultSection)
    , m_programFolder(currentProgramFolder())
{}

KSINIFileHandler::~KSINIFileHandler() = default;

QString KSINIFileHandler::label(const char *member) const
{
    return QLatin1StringView(metaObject()->className()) + QLatin1StringView(member);
}

QString KSINIFileHandler::resolvePath(const QString &sName, const QString &sProgramFolder)
{
    QString name = sName;
    if (!name.right(4).contains(u'.'))
        name += QStringLiteral(".INI");
    const qsizetype slash = name.lastIndexOf(u'/');
    const QString folderPart = name.left(slash + 1);
    const QString filePart = name.mid(slash + 1);
    if (name.startsWith(u'/'))
        return pathExists(folderPart) ? name : sProgramFolder + filePart;
    return pathExists(sProgramFolder + folderPart) ? sProgramFolder + name : sProgramFolder + filePart;
}

void KSINIFileHandler::setPath(const QString &sPath)
{
    passOn(label(".Path (Let)"), [&] {
        if (m_pathFixed)
            return;
        m_path = sPath;
        m_pathFixed = true;
    });
}

QString KSINIFileHandler::Path() const
{
    return m_path;
}

void KSINIFileHandler::setSection(const QString &sSection)
{
    passOn(label(".Section (Let)"), [&] {
        const QString name = ValueTyping::TrimBlanks(sSection);
        if (name.contains(u'[') || name.contains(u']'))
            LedgerixErrors::RaiseLibraryError(LedgerixErrors::IllegalCharacters);
        m_section = name.isEmpty() ? defaultSection : name;
    });
}

QString KSINIFileHandler::Section() const
{
    return m_section;
}

QVariant KSINIFileHandler::Value() const
{
    return m_value;
}

void KSINIFileHandler::setValue(const QVariant &vValue)
{
    passOn(label(".Import (Let)"), [&] {
        QObject *object = ValueTyping::ObjectOf(vValue);
        auto *source = qobject_cast<LedgerixStdInterface *>(object);
        const QByteArrayView kind = source ? QByteArrayView(source->metaObject()->className()) : QByteArrayView();
        // The class name decides, tested in this order: storage string, registry key, INI file.
        if (kind == "KSStorageString") {
            // One section per page (an unnamed page becomes "DEFAULT").
            if (LedgerixImport::acceptSourceVersion(*source))
                StorageStringImport::intoIni(*this, static_cast<KSStorageString &>(*source));
            return;
        }
        if (kind == "KSRegistryKey") {
            // The key's values, then each sub-key's, one section each.
            if (LedgerixImport::acceptSourceVersion(*source))
                RegistryImport::intoIni(*this, static_cast<KSRegistryKey &>(*source));
            return;
        }
        if (kind == "KSINIFileHandler") {
            if (LedgerixImport::acceptSourceVersion(*source))
                importIniFile(static_cast<KSINIFileHandler &>(*source));
            return;
        }
        SetValue(m_lastFieldName, vValue, m_lastDelimiter);
    });
}

void KSINIFileHandler::importIniFile(KSINIFileHandler &source)
{
    const QStringList sections = source.GetSectionNames();
    for (const QString &name : sections) {
        source.setSection(name);
        setSection(name);
        LedgerixImport::copyFields(source, source.GetFieldNames(), *this);
    }
}

QString KSINIFileHandler::Version(bool bShow)
{
    return passOn(label(".Version"), [&] { return LedgerixVersion::report(this, bShow); });
}

bool KSINIFileHandler::SetValue(const QString &sFieldName, const QVariant &vValue, const QString &sArrayDelim)
{
    return passOn(label(".SetValue"), [&] {
        const QString name = ValueTyping::TrimBlanks(sFieldName);
        if (name.isEmpty())
            LedgerixErrors::RaiseLibraryError(LedgerixErrors::ZeroLengthFieldName);
        const QString text = ValueTyping::StoredText(vValue, sArrayDelim);
        QString failure;
        if (!PrivateProfile::writeString(m_section, name, text, m_path, &failure))
            LedgerixErrors::raiseWriteFailure(failure);
        m_lastFieldName = name;
        m_lastDelimiter = sArrayDelim;
        return false;
    });
}

QVariant KSINIFileHandler::GetValue(const QString &sFieldName, const QString &sArrayDelim, bool bDetectArray,
                                    bool bDetectNum, const QVariant &vDefaultReturn)
{
    return passOn(label(".GetValue"), [&] {
        const std::optional<QString> text = PrivateProfile::lookup(m_section, sFieldName, m_path);
        m_value = text ? ValueTyping::PrepForGet(*text, sArrayDelim, bDetectArray, bDetectNum) : vDefaultReturn;
        m_lastFieldName = sFieldName;
        m_lastDelimiter = sArrayDelim;
        return m_value;
    });
}

QStringList KSINIFileHandler::GetSectionNames()
{
    return passOn(label(".GetSectionNames"), [&] { return PrivateProfile::sectionNames(m_path); });
}

QStringList KSINIFileHandler::GetFieldNames()
{
    return passOn(label(".GetFieldNames"), [&] { return PrivateProfile::keyNames(m_section, m_path); });
}

void KSINIFileHandler::DeleteFile()
{
    passOn(label(".DeleteFile"), [&] {
        QFile file(m_path);
        if (m_path.isEmpty() || !QFileInfo(m_path).isFile())
            return;
        if (!file.remove())
            LedgerixErrors::raiseWriteFailure(file.errorString() + QStringLiteral(": ") + m_path);
    });
}

void KSINIFileHandler::DeleteSection()
{
    passOn(label(".DeleteSection"), [&] {
        QString failure;
        if (!PrivateProfile::deleteSection(m_section, m_path, &failure))
            LedgerixErrors::raiseWriteFailure(failure);
        setSection(QString());
        forgetLastField();
    });
}

void KSINIFileHandler::DeleteField(const QString &sFieldName)
{
    passOn(label(".DeleteField"), [&] {
        QString failure;
        if (!PrivateProfile::deleteKey(m_section, sFieldName, m_path, &failure))
            LedgerixErrors::raiseWriteFailure(failure);
        if (QString::compare(sFieldName, m_lastFieldName, Qt::CaseInsensitive) == 0)
            forgetLastField();
    });
}

void KSINIFileHandler::forgetLastField()
{
    m_lastFieldName.clear();
    m_lastDelimiter = ValueTyping::tab();
}

void KSINIFileHandler::interfaceSetPath(const QString &sPath)
{
    passOn(label(".LedgerixStdInterface_Path (Let)"), [&] {
        if (!sPath.isEmpty())
            setPath(resolvePath(sPath, m_programFolder));
    });
}

QString KSINIFileHandler::interfacePath() const
{
    return m_path;
}

void KSINIFileHandler::interfaceSetSection(const QString &sSection)
{
    passOn(label(".LedgerixStdInterface_Section (Let)"), [&] { setSection(sSection); });
}

QString KSINIFileHandler::interfaceSection() const
{
    return m_section;
}

bool KSINIFileHandler::interfaceSetValue(const QString &sFieldName, const QVariant &vValue, const QString &sDelimiter)
{
    return passOn(label(".LedgerixStdInterface_SetValue"), [&] { return SetValue(sFieldName, vValue, sDelimiter); });
}

QVariant KSINIFileHandler::interfaceGetValue(const QString &sFieldName, const QString &sDelimiter)
{
    return passOn(label(".LedgerixStdInterface_GetValue"),
                  [&] { return GetValue(sFieldName, sDelimiter, true, true, QVariant(QString())); });
}

QVariant KSINIFileHandler::interfaceVersion(bool bShow)
{
    return passOn(label(".LedgerixStdInterface_Version"), [&] { return QVariant(Version(bShow)); });
}
