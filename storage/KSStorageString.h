#pragma once

#include "KSSSLookForResults.h"
#include "LedgerixStdInterface.h"
#include "StorageStringEnums.h"
#include "StorageStringFields.h"

#include <QList>
#include <QPointer>
#include <QStringList>
#include <QVariant>

namespace StorageStringImport {
class Access;
}

/**
 * A text store of named pages, each one string that is read both as a
 * document (lines, a cursor, searches, extraction) and as a set of named
 * values kept in tagged records mixed into the text:
 *
 *     KSStorageString store;
 *     store.SetValue("A", 1);
 *     store.SetValue("B", "two words");   // page: <\A={1};/><\B={two words};/>
 *     store.GetValue("A");                // qint32 1
 *     store.setSection("Second");         // a new page, now current
 *
 * The page can mirror a property of another object (BoundObject), refuse
 * direct writes (Protect) and be scrambled with a key (Encrypted). Assigning
 * another storage object to Value copies its pages, sections or keys in.
 *
 * Properties read as Name() and write as setName(); members keep their order
 * and their names. Positions are 1-based UTF-16 character positions.
 */
class KSStorageString : public LedgerixStdInterface
{
    Q_OBJECT
    Q_CLASSINFO("DefaultProperty", "Value")
    Q_PROPERTY(QVariant Value READ Value WRITE setValue)

public:
    Q_INVOKABLE explicit KSStorageString(QObject *parent = nullptr);
    ~KSStorageString() override;

    QVariant Value();
    void setValue(const QVariant &vValue);
    void setBindMode(qint32 eBindMode);
    qint32 BindMode() const;
    void setBoundObject(QObject *oObject);
    QObject *BoundObject() const;
    bool Protect() const;
    void setProtect(bool bProtect);
    QString OuterTagStart() const;
    void setOuterTagStart(const QString &sTag);
    QString OuterTagEnd() const;
    void setOuterTagEnd(const QString &sTag);
    QString InnerTagStart() const;
    void setInnerTagStart(const QString &sTag);
    QString InnerTagEnd() const;
    void setInnerTagEnd(const QString &sTag);
    QString ToggleValues() const;
    void setToggleValues(const QString &sValues);
    QString ToggleDelimiter() const;
    void setToggleDelimiter(const QString &sDelimiter);
    QString LastExtraction() const;
    QVariant Page() const;
    /// A page number (integer, or numeric text) or a page name (any case).
    void setPage(const QVariant &vPage);
    QString PageName() const;
    void setPageName(const QString &sPageName);
    qint32 PageCount() const;
    void setEncryptionKey(const QString &sKey);
    void setEncrypted(bool bEncrypted);
    qint32 Cursor();
    void setCursor(qint32 nCursor);
    qint32 LineCount() const;
    qint32 LineNumber();
    void setLineNumber(qint32 nLineNumber);
    void setMultiPage(bool bMultiPage);
    bool MultiPage() const;

    QString Version(bool bShow = false);
    void Clear(bool bAll = false);
    void AddPage(const QString &sPageName = QString(), bool bMakeCurrentPage = true);
    void DeletePage(bool bAll = false);
    QStringList GetPageNames() const;
    bool SetValue(const QString &sField, const QVariant &vValue, const QString &sDelimiter = QStringLiteral("\t"));
    /// vReturn is what a missing field reads as (the omitted-argument marker by default).
    QVariant GetValue(const QString &sFieldName, const QString &sArrayDelim = QStringLiteral("\t"),
                      bool bDetectArray = true, bool bDetectNum = true, const QVariant &vReturn = missingValue());
    QStringList GetFieldNames();
    void DeleteField(const QString &sFieldName);
    QString FetchLine(qint32 nLineNumber = -1, bool bUseLastExtraction = false);
    /// Inserts at nCursor, or at the cursor when nCursor is 0.
    void InsertText(const QString &sText, qint32 nCursor = 0);
    QString GetAndConcatenate(const QVariant &vFields, const QString &sSeparator = QString());
    QString ExtractText(const QVariant &vFirstPoint, const QVariant &vSecondPoint, bool bStartFromCursor = false);
    QList<KSSSLookForResults> LookFor(const QVariant &vText, bool bCaseSensitive = true, bool bStartFromCursor = true,
                                      bool bUseLastExtraction = false);
    qint32 Find(const QString &sSearchFor = QString(), bool bStartFromCursor = true, bool bCaseSensitive = true,
                bool bUseLastExtraction = false, SearchDirectionEnum eSearchDirection = ledgerix_SearchDown);
    qint32 Replace(const QString &sSearchFor = QString(), const QString &sReplaceWith = QString(),
                   bool bStartFromCursor = true, bool bCaseSensitive = true, bool bReplaceAll = false,
                   bool bUseLastExtraction = false, SearchDirectionEnum eSearchDirection = ledgerix_SearchDown);
    QVariant Load(const QString &sFileName, bool bAppend = false);
    QVariant Save(const QString &sFileName, bool bAppend = false);
    QString Toggle(const QString &sFieldName = QString(), const QVariant &sToggle = QString(),
                   const QString &sDelimiter = QStringLiteral("\t"), bool bCaseSensitive = true);

    /// The interface's own members answer by the interface's rules.
    using LedgerixStdInterface::Path;
    using LedgerixStdInterface::Section;
    using LedgerixStdInterface::setPath;
    using LedgerixStdInterface::setSection;

protected:
    void interfaceSetPath(const QString &sPath) override;
    QString interfacePath() const override;
    void interfaceSetSection(const QString &sSection) override;
    QString interfaceSection() const override;
    bool interfaceSetValue(const QString &sFieldName, const QVariant &vValue, const QString &sDelimiter) override;
    QVariant interfaceGetValue(const QString &sFieldName, const QString &sDelimiter) override;
    QVariant interfaceVersion(bool bShow) override;

private:
    friend class StorageStringImport::Access;

    struct PageData
    {
        QString text;
        QString name;
        bool scrambled = false;
    };

    static QVariant missingValue();

    QString label(const char *procedure) const;
    PageData &current() { return m_pages[m_page - 1]; }
    const PageData &current() const { return m_pages[m_page - 1]; }
    qint32 clampedCursor();
    /// The first page of that name: exact, or ignoring case.
    qint32 pageIndexOf(const QString &sName, Qt::CaseSensitivity cs) const;
    bool nameTaken(const QString &sName) const;
    void selectPage(qint32 nPage);
    void setCurrentText(QString text);

    void refresh();
    void push();

    void importFrom(QObject *source);

    QList<PageData> m_pages;
    qint32 m_page = 1;
    StorageStringTags m_tags;
    bool m_multiPage = true;
    QString m_toggleValues;
    QString m_toggleDelimiter = QStringLiteral("\t");
    bool m_protect = false;
    QString m_encryptionKey;
    qint32 m_cursor = 0;
    QString m_lastExtraction;
    QString m_lastSearch;
    bool m_found = false;
    QPointer<QObject> m_boundObject;
    qint32 m_bindMode = ledgerix_BindModeNone;
    bool m_savedMultiPage = true;
    bool m_haveSavedMultiPage = false;
    /// Set while reading from or writing to the bound object, so an object
    /// bound to itself, or to a store bound back, cannot recurse.
    bool m_syncing = false;
};
