#include "KSStorageString.h"

#include "Guard.h"
#include "LedgerixErrors.h"
#include "LedgerixVersion.h"
#include "NumericText.h"
#include "RuntimeErrors.h"
#include "StorageStringBinding.h"
#include "StorageStringFile.h"
#include "StorageStringImport.h"
#include "StorageStringScrambler.h"
#include "StorageStringText.h"
#include "ValueTyping.h"
#include "VariantHelpers.h"

#include <QScopeGuard>

#include <cmath>

using LedgerixErrors::RaiseLibraryError;

namespace {

bool isInteger(const QVariant &value)
{
    switch (value.metaType().id()) {
    case QMetaType::Short:
    case QMetaType::UShort:
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::LongLong:
    case QMetaType::ULongLong: return true;
    default: return false;
    }
}

bool isString(const QVariant &value)
{
    return value.metaType().id() == QMetaType::QString;
}

/// A value as text; arrays, objects and the missing marker have none (type mismatch).
QString textOf(const QVariant &value)
{
    std::optional<QString> text = Variants::toText(value);
    if (!text)
        RuntimeErrors::raise(RuntimeErrors::TypeMismatch, LedgerixErrors::libraryName());
    return std::move(*text);
}

/// The texts of an array, or the one text of a single value.
QStringList textsOf(const QVariant &value)
{
    if (Variants::isArray(value))
        return ValueTyping::VarToStrArray(value);
    return {textOf(value)};
}

} // namespace

KSStorageString::KSStorageString(QObject *parent)
    : LedgerixStdInterface(parent)
    , m_pages {PageData {}}
{
    // A to Z, tab-separated; made once, as a scan makes a storage string per file.
    static const QString letters = [] {
        QStringList each;
        for (char16_t letter = u'A'; letter <= u'Z'; ++letter)
            each.append(QString(QChar(letter)));
        return each.join(u'\t');
    }();
    m_toggleValues = letters;
}

KSStorageString::~KSStorageString() = default;

QVariant KSStorageString::missingValue()
{
    return Variants::missing();
}

QString KSStorageString::label(const char *procedure) const
{
    return QLatin1StringView(metaObject()->className()) + QLatin1StringView(procedure);
}

// ---------------------------------------------------------------- Value and binding

QVariant KSStorageString::Value()
{
    return passOn(label(".Value (Get)"), [&] {
        refresh();
        return QVariant(current().text);
    });
}

void KSStorageString::setValue(const QVariant &vValue)
{
    passOn(label(".Value (Let)"), [&] {
        if (m_protect)
            RaiseLibraryError(LedgerixErrors::DirectStringAccessProhibited);
        if (QObject *object = ValueTyping::ObjectOf(vValue)) {
            if (StorageStringImport::isStorageObject(object))
                importFrom(object);
            else
                setCurrentText(StorageStringBinding::read(object, ledgerix_BindModeDefaultProperty));
        } else {
            setCurrentText(textOf(vValue));
        }
        push();
    });
}

void KSStorageString::setBindMode(qint32 eBindMode)
{
    passOn(label(".BindMode (Let)"), [&] {
        if (eBindMode < ledgerix_BindModeNone || eBindMode > ledgerix_BindModeText)
            RuntimeErrors::raise(RuntimeErrors::InvalidProcedureCall, LedgerixErrors::libraryName());
        if (eBindMode == ledgerix_BindModeNone) {
            m_boundObject = nullptr;
            if (m_haveSavedMultiPage)
                m_multiPage = m_savedMultiPage;
            m_haveSavedMultiPage = false;
            m_bindMode = ledgerix_BindModeNone;
            return;
        }
        if (m_protect)
            RaiseLibraryError(LedgerixErrors::CantBindWhilstProtected);
        // Switching from one mode to another keeps the flag saved by the first,
        // or releasing would leave the store in single-page mode for good.
        if (!m_haveSavedMultiPage) {
            m_savedMultiPage = m_multiPage;
            m_haveSavedMultiPage = true;
        }
        m_multiPage = false;
        m_bindMode = eBindMode;
    });
}

qint32 KSStorageString::BindMode() const
{
    return m_bindMode;
}

void KSStorageString::setBoundObject(QObject *oObject)
{
    passOn(label(".BoundTagObject (Set)"), [&] {
        if (auto *other = qobject_cast<KSStorageString *>(oObject); other && other->BoundObject() == this)
            RaiseLibraryError(LedgerixErrors::StorageStringAlreadyBound);
        if (!oObject) {
            m_bindMode = ledgerix_BindModeNone;
            return;
        }
        if (m_bindMode == ledgerix_BindModeNone)
            setBindMode(ledgerix_BindModeDefaultProperty);
        m_boundObject = oObject;
        refresh();
    });
}

QObject *KSStorageString::BoundObject() const
{
    return m_boundObject.data();
}

bool KSStorageString::Protect() const
{
    return m_protect;
}

void KSStorageString::setProtect(bool bProtect)
{
    passOn(label(".Protect (Let)"), [&] {
        if (m_bindMode != ledgerix_BindModeNone)
            RaiseLibraryError(LedgerixErrors::CantProtectWhilstBound);
        m_protect = bProtect;
    });
}

void KSStorageString::refresh()
{
    if (m_bindMode == ledgerix_BindModeNone || !m_boundObject || m_syncing)
        return;
    m_syncing = true;
    const auto done = qScopeGuard([this] { m_syncing = false; });
    QString text = StorageStringBinding::read(m_boundObject, m_bindMode);
    current().text = std::move(text);
}

void KSStorageString::push()
{
    if (m_bindMode == ledgerix_BindModeNone || !m_boundObject || m_syncing)
        return;
    m_syncing = true;
    const auto done = qScopeGuard([this] { m_syncing = false; });
    StorageStringBinding::write(m_boundObject, m_bindMode, current().text);
}

void KSStorageString::importFrom(QObject *source)
{
    StorageStringImport::intoStorageString(*this, *source);
}

// ---------------------------------------------------------------- tags and toggles

QString KSStorageString::OuterTagStart() const
{
    return m_tags.outerStart;
}

void KSStorageString::setOuterTagStart(const QString &sTag)
{
    m_tags.outerStart = sTag;
}

QString KSStorageString::OuterTagEnd() const
{
    return m_tags.outerEnd;
}

void KSStorageString::setOuterTagEnd(const QString &sTag)
{
    m_tags.outerEnd = sTag;
}

QString KSStorageString::InnerTagStart() const
{
    return m_tags.innerStart;
}

void KSStorageString::setInnerTagStart(const QString &sTag)
{
    m_tags.innerStart = sTag;
}

QString KSStorageString::InnerTagEnd() const
{
    return m_tags.innerEnd;
}

void KSStorageString::setInnerTagEnd(const QString &sTag)
{
    m_tags.innerEnd = sTag;
}

QString KSStorageString::ToggleValues() const
{
    return m_toggleValues;
}

void KSStorageString::setToggleValues(const QString &sValues)
{
    if (!sValues.isEmpty())
        m_toggleValues = sValues;
}

QString KSStorageString::ToggleDelimiter() const
{
    return m_toggleDelimiter;
}

void KSStorageString::setToggleDelimiter(const QString &sDelimiter)
{
    if (!sDelimiter.isEmpty())
        m_toggleDelimiter = sDelimiter;
}

QString KSStorageString::Toggle(const QString &sFieldName, const QVariant &sToggle, const QString &sDelimiter,
                                bool bCaseSensitive)
{
    return passOn(label(".Toggle"), [&] {
        refresh();
        QStringList cycle;
        if (Variants::isArray(sToggle)) {
            cycle = ValueTyping::VarToStrArray(sToggle);
        } else {
            QString list = Variants::isMissing(sToggle) ? QString() : textOf(sToggle);
            if (list.isEmpty())
                list = m_toggleValues;
            cycle = sDelimiter.isEmpty() ? QStringList {list} : list.split(sDelimiter);
        }
        if (!bCaseSensitive) {
            for (QString &value : cycle)
                value = value.toUpper();
        }

        QString value = sFieldName.isEmpty()
            ? current().text
            : StorageStringFields::value(current().text, m_tags, sFieldName).value_or(QString());
        QString next;
        if (!value.isEmpty()) {
            if (!bCaseSensitive)
                value = value.toUpper();
            const qsizetype at = cycle.indexOf(value);
            if (at >= 0) {
                next = cycle.at((at + 1) % cycle.size());
                if (sFieldName.isEmpty())
                    current().text = next;
                else if (!SetValue(sFieldName, next, ValueTyping::tab()))
                    next.clear();
            }
        }
        push();
        return next;
    });
}

// ---------------------------------------------------------------- pages

QString KSStorageString::LastExtraction() const
{
    return m_lastExtraction;
}

QVariant KSStorageString::Page() const
{
    return m_page;
}

void KSStorageString::selectPage(qint32 nPage)
{
    m_page = nPage;
    m_cursor = 1;
}

qint32 KSStorageString::pageIndexOf(const QString &sName, Qt::CaseSensitivity cs) const
{
    for (qsizetype i = 0; i < m_pages.size(); ++i) {
        if (m_pages[i].name.compare(sName, cs) == 0)
            return qint32(i + 1);
    }
    return 0;
}

bool KSStorageString::nameTaken(const QString &sName) const
{
    return pageIndexOf(sName, Qt::CaseSensitive) != 0;
}

void KSStorageString::setCurrentText(QString text)
{
    current().text = std::move(text);
}

void KSStorageString::setPage(const QVariant &vPage)
{
    passOn(label(".Page (Let)"), [&] {
        if (!m_multiPage)
            RaiseLibraryError(LedgerixErrors::IllegalCallInSinglePageMode);
        const qsizetype count = m_pages.size();
        qint32 target = 0;
        if (isInteger(vPage)) {
            const qint64 number = vPage.toLongLong();
            if (number >= 1 && number <= count)
                target = qint32(number);
        } else if (isString(vPage)) {
            const QString text = vPage.toString();
            if (NumericText::isNumeric(text)) {
                const double number = std::nearbyint(text.trimmed().toDouble());
                if (number >= 1 && number <= double(count))
                    target = qint32(number);
            }
            if (target == 0)
                target = pageIndexOf(text, Qt::CaseInsensitive);
        }
        if (target != 0)
            m_page = target;
        m_cursor = 1;
        if (target == 0)
            RaiseLibraryError(LedgerixErrors::PageNotFound);
    });
}

QString KSStorageString::PageName() const
{
    return current().name;
}

void KSStorageString::setPageName(const QString &sPageName)
{
    passOn(label(".PageName (Let)"), [&] {
        if (!sPageName.isEmpty() && nameTaken(sPageName)) {
            RaiseLibraryError(LedgerixErrors::PageNameAlreadyExists);
            return;
        }
        current().name = sPageName;
    });
}

qint32 KSStorageString::PageCount() const
{
    return qint32(m_pages.size());
}

void KSStorageString::setMultiPage(bool bMultiPage)
{
    m_multiPage = bMultiPage;
}

bool KSStorageString::MultiPage() const
{
    return m_multiPage;
}

void KSStorageString::AddPage(const QString &sPageName, bool bMakeCurrentPage)
{
    passOn(label(".Add"), [&] {
        if (!m_multiPage)
            RaiseLibraryError(LedgerixErrors::IllegalCallInSinglePageMode);
        // A taken name is refused before the page exists, so a failed call adds nothing.
        const bool taken = !sPageName.isEmpty() && nameTaken(sPageName);
        if (taken)
            RaiseLibraryError(LedgerixErrors::PageNameAlreadyExists);
        const qint32 previous = m_page;
        m_pages.append(PageData {});
        m_page = qint32(m_pages.size());
        if (!taken)
            current().name = sPageName;
        if (!bMakeCurrentPage)
            m_page = previous;
    });
}

void KSStorageString::DeletePage(bool bAll)
{
    passOn(label(".DeletePage"), [&] {
        if (!m_multiPage)
            RaiseLibraryError(LedgerixErrors::IllegalCallInSinglePageMode);
        if (bAll) {
            m_pages = {PageData {}};
            m_page = 1;
            return;
        }
        if (m_pages.size() < 2)
            return;
        m_pages.removeAt(m_page - 1);
        m_page = std::min(m_page, qint32(m_pages.size()));
    });
}

QStringList KSStorageString::GetPageNames() const
{
    QStringList names;
    names.reserve(m_pages.size());
    for (const PageData &page : m_pages)
        names.append(page.name);
    return names;
}

void KSStorageString::Clear(bool bAll)
{
    passOn(label(".Clear"), [&] {
        if (bAll) {
            for (PageData &page : m_pages) {
                page.text.clear();
                page.name.clear();
            }
        } else {
            current().text.clear();
            current().name.clear();
        }
        m_lastExtraction.clear();
        push();
    });
}

// ---------------------------------------------------------------- fields

bool KSStorageString::SetValue(const QString &sField, const QVariant &vValue, const QString &sDelimiter)
{
    return passOn(label(".SetValue"), [&] {
        const QString name = ValueTyping::TrimBlanks(sField);
        if (name.isEmpty())
            RaiseLibraryError(LedgerixErrors::ZeroLengthFieldName);
        const QString text = ValueTyping::StoredText(vValue, sDelimiter);
        if (StorageStringFields::holdsDefaultTag(name) || StorageStringFields::holdsDefaultTag(text)
            || StorageStringFields::holdsDefaultTag(sDelimiter))
            RaiseLibraryError(LedgerixErrors::IllegalCharacters);
        // Re-read first so a change made in the bound object is not overwritten.
        refresh();
        StorageStringFields::set(current().text, m_tags, name, text);
        push();
        return true;
    });
}

QVariant KSStorageString::GetValue(const QString &sFieldName, const QString &sArrayDelim, bool bDetectArray,
                                   bool bDetectNum, const QVariant &vReturn)
{
    return passOn(label(".GetValue"), [&] {
        refresh();
        const std::optional<QString> text = StorageStringFields::value(current().text, m_tags, sFieldName);
        if (!text)
            return vReturn;
        return ValueTyping::PrepForGet(QVariant(*text), sArrayDelim, bDetectArray, bDetectNum);
    });
}

QStringList KSStorageString::GetFieldNames()
{
    return passOn(label(".GetFieldNames"), [&] {
        refresh();
        return StorageStringFields::names(current().text, m_tags);
    });
}

void KSStorageString::DeleteField(const QString &sFieldName)
{
    passOn(label(".DeleteValue"), [&] {
        refresh();
        if (!StorageStringFields::remove(current().text, m_tags, sFieldName))
            RaiseLibraryError(LedgerixErrors::FieldNotFound);
        push();
    });
}

QString KSStorageString::GetAndConcatenate(const QVariant &vFields, const QString &sSeparator)
{
    return passOn(label(".GetAndConcatenate"), [&] {
        QStringList names;
        if (isString(vFields)) {
            names.append(vFields.toString());
        } else if (vFields.metaType() == QMetaType::fromType<QStringList>()) {
            names = vFields.toStringList();
        } else if (vFields.metaType() == QMetaType::fromType<QVariantList>()) {
            const QVariantList items = vFields.toList();
            for (const QVariant &item : items) {
                if (!isString(item))
                    return QString();
                names.append(item.toString());
            }
        } else {
            return QString();
        }
        QStringList values;
        values.reserve(names.size());
        for (const QString &name : names) {
            // A missing field joins as empty text rather than failing the whole call.
            const QVariant value = GetValue(name, ValueTyping::tab(), false, true, QString());
            values.append(Variants::toText(value).value_or(QString()));
        }
        return values.join(sSeparator);
    });
}

// ---------------------------------------------------------------- cursor and lines

qint32 KSStorageString::clampedCursor()
{
    const qint32 length = qint32(std::min<qsizetype>(current().text.size(), std::numeric_limits<qint32>::max()));
    m_cursor = std::min(std::max(m_cursor, 1), length);
    return m_cursor;
}

qint32 KSStorageString::Cursor()
{
    return clampedCursor();
}

void KSStorageString::setCursor(qint32 nCursor)
{
    m_cursor = nCursor;
    clampedCursor();
}

qint32 KSStorageString::LineCount() const
{
    return StorageStringText::lineCount(current().text);
}

qint32 KSStorageString::LineNumber()
{
    return StorageStringText::lineNumberAt(current().text, clampedCursor());
}

void KSStorageString::setLineNumber(qint32 nLineNumber)
{
    passOn(label(".LineNumber (Let)"), [&] {
        const std::optional<qint32> cursor = StorageStringText::cursorForLine(current().text, nLineNumber);
        if (!cursor) {
            RaiseLibraryError(LedgerixErrors::InvalidLineNumber);
            return;
        }
        m_cursor = *cursor;
    });
}

QString KSStorageString::FetchLine(qint32 nLineNumber, bool bUseLastExtraction)
{
    return passOn(label(".FetchLine"), [&] {
        refresh();
        if (nLineNumber < 1)
            nLineNumber = LineNumber();
        const QString &source = bUseLastExtraction ? m_lastExtraction : current().text;
        std::optional<QString> line = StorageStringText::line(source, nLineNumber);
        if (!line) {
            RaiseLibraryError(LedgerixErrors::InvalidLineNumber);
            return QString();
        }
        return *line;
    });
}

// ---------------------------------------------------------------- text

void KSStorageString::InsertText(const QString &sText, qint32 nCursor)
{
    passOn(label(".InsertText"), [&] {
        refresh();
        if (nCursor < 0) {
            RaiseLibraryError(LedgerixErrors::ParameterOutOfBounds);
            return;
        }
        // On an empty page the cursor reads 0: insert at the start.
        const qint32 position = std::max(nCursor != 0 ? nCursor : clampedCursor(), 1);
        QString &text = current().text;
        text.insert(std::min<qsizetype>(position - 1, text.size()), sText);
        push();
    });
}

QString KSStorageString::ExtractText(const QVariant &vFirstPoint, const QVariant &vSecondPoint, bool bStartFromCursor)
{
    return passOn(label(".ExtractText"), [&] {
        refresh();
        if (Variants::isArray(vFirstPoint) || Variants::isArray(vSecondPoint))
            RuntimeErrors::raise(RuntimeErrors::TypeMismatch, LedgerixErrors::libraryName());
        const QString &text = current().text;
        const qint64 length = text.size();

        qint64 start = 0;
        if (isInteger(vFirstPoint)) {
            start = vFirstPoint.toLongLong();
        } else if (isString(vFirstPoint)) {
            const QString point = vFirstPoint.toString();
            const qint32 from = bStartFromCursor ? clampedCursor() : 1;
            const qint32 at = StorageStringText::findDown(text, point, from, Qt::CaseSensitive);
            start = at != 0 ? at + point.size() : 0;
        }

        qint64 end = 0;
        if (isInteger(vSecondPoint)) {
            end = vSecondPoint.toLongLong();
        } else if (isString(vSecondPoint)) {
            // The end is the second text itself (exclusive), so everything
            // between the two texts is extracted, also when they touch.
            const qint64 from = std::max<qint64>(start, 1);
            const qint32 at = from > length + 1
                ? 0
                : StorageStringText::findDown(text, vSecondPoint.toString(), qint32(from), Qt::CaseSensitive);
            end = at != 0 ? at : -1;
        }

        if (start < 0 || start > length || end < start || end > length) {
            RaiseLibraryError(LedgerixErrors::ParameterOutOfBounds);
            return QString();
        }
        if (start == 0 || end == 0)
            return QString();
        m_lastExtraction = text.mid(start - 1, end - start);
        m_cursor = qint32(start);
        return m_lastExtraction;
    });
}

QList<KSSSLookForResults> KSStorageString::LookFor(const QVariant &vText, bool bCaseSensitive, bool bStartFromCursor,
                                                   bool bUseLastExtraction)
{
    return passOn(label(".LookFor"), [&] {
        const QStringList texts = textsOf(vText);
        const QString &source = bUseLastExtraction ? m_lastExtraction : current().text;
        const qint32 start = (!bStartFromCursor || bUseLastExtraction) ? 1 : clampedCursor();
        const Qt::CaseSensitivity cs = bCaseSensitive ? Qt::CaseSensitive : Qt::CaseInsensitive;
        QStringList searched;
        searched.reserve(texts.size());
        for (const QString &each : texts)
            searched.append(bCaseSensitive ? each : each.toUpper());
        QList<QList<qint32>> hitsOfEach = StorageStringText::findEach(source, searched, start, cs);
        QList<KSSSLookForResults> results;
        for (qsizetype i = 0; i < searched.size(); ++i) {
            if (hitsOfEach[i].isEmpty())
                continue;
            const qint32 count = qint32(hitsOfEach[i].size());
            results.append(KSSSLookForResults {searched[i], count, std::move(hitsOfEach[i])});
        }
        return results;
    });
}

qint32 KSStorageString::Find(const QString &sSearchFor, bool bStartFromCursor, bool bCaseSensitive,
                             bool bUseLastExtraction, SearchDirectionEnum eSearchDirection)
{
    return passOn(label(".Find"), [&] {
        const bool up = eSearchDirection == ledgerix_SearchUp;
        QString searched = sSearchFor;
        std::optional<qint32> nextStart;
        if (searched.isEmpty() && !m_lastSearch.isEmpty()) {
            searched = m_lastSearch;
            // Find next steps off the last hit: forwards going down, backwards
            // going up (a step forwards would find the same hit again). The
            // search starts from the unclamped step, so a hit on the last
            // character is not found over and over.
            nextStart = clampedCursor() + (up ? -1 : 1);
            setCursor(*nextStart);
        }
        if (searched.isEmpty())
            return 0;
        m_lastSearch = searched;
        const QString &source = bUseLastExtraction ? m_lastExtraction : current().text;
        const qint32 start = (!bStartFromCursor || bUseLastExtraction) ? 1 : nextStart.value_or(clampedCursor());
        const Qt::CaseSensitivity cs = bCaseSensitive ? Qt::CaseSensitive : Qt::CaseInsensitive;
        const qint32 at = up ? StorageStringText::findUp(source, searched, start, cs)
                             : StorageStringText::findDown(source, searched, start, cs);
        if (at != 0) {
            m_found = true;
            m_cursor = at;
        }
        return at;
    });
}

qint32 KSStorageString::Replace(const QString &sSearchFor, const QString &sReplaceWith, bool bStartFromCursor,
                                bool bCaseSensitive, bool bReplaceAll, bool bUseLastExtraction,
                                SearchDirectionEnum eSearchDirection)
{
    return passOn(label(".Replace"), [&] {
        if (m_protect) {
            RaiseLibraryError(LedgerixErrors::DirectStringAccessProhibited);
            return 0;
        }
        const bool up = eSearchDirection == ledgerix_SearchUp;
        QString searched = sSearchFor;
        if (searched.isEmpty() && !m_lastSearch.isEmpty())
            searched = m_lastSearch;
        else
            m_found = false;
        if (searched.isEmpty())
            return 0;
        m_lastSearch = searched;

        QString &source = bUseLastExtraction ? m_lastExtraction : current().text;
        const bool fromCursor = bStartFromCursor && !bUseLastExtraction;
        qint32 start = fromCursor ? clampedCursor() : 1;
        // Right after a Find the cursor stands on the first character of the
        // hit; going up, the hit must end at the start to be replaced.
        if (up && fromCursor && m_found)
            start += qint32(searched.size()) - 1;
        const Qt::CaseSensitivity cs = bCaseSensitive ? Qt::CaseSensitive : Qt::CaseInsensitive;
        StorageStringText::Replacement result
            = StorageStringText::replace(source, searched, sReplaceWith, start, cs, bReplaceAll, up);
        if (result.count == 0)
            return 0;
        source = std::move(result.text);
        m_found = false;
        m_cursor = result.cursor;
        return result.count;
    });
}

// ---------------------------------------------------------------- files and scrambling

QVariant KSStorageString::Load(const QString &sFileName, bool bAppend)
{
    return passOn(label(".Load"), [&] {
        if (m_protect) {
            RaiseLibraryError(LedgerixErrors::DirectStringAccessProhibited);
            return QVariant();
        }
        // Read first: asking whether the file is there costs two more calls
        // to the system, worth it only to name what went wrong.
        std::optional<QString> text = StorageStringFile::read(sFileName);
        if (!text && !StorageStringFile::exists(sFileName)) {
            RaiseLibraryError(0, QString(), RuntimeErrors::FileNotFound);
            return QVariant();
        }
        if (!text)
            RuntimeErrors::raiseWithDetail(RuntimeErrors::PathFileAccessError, LedgerixErrors::libraryName(),
                                           sFileName);
        if (bAppend)
            current().text += *text;
        else
            current().text = std::move(*text);
        current().scrambled = false;
        push();
        return QVariant();
    });
}

QVariant KSStorageString::Save(const QString &sFileName, bool bAppend)
{
    return passOn(label(".Save"), [&] {
        refresh();
        if (!StorageStringFile::write(sFileName, current().text, bAppend))
            RuntimeErrors::raiseWithDetail(RuntimeErrors::PathFileAccessError, LedgerixErrors::libraryName(),
                                           sFileName);
        return QVariant();
    });
}

void KSStorageString::setEncryptionKey(const QString &sKey)
{
    m_encryptionKey = sKey;
}

void KSStorageString::setEncrypted(bool bEncrypted)
{
    passOn(label(".Encrypted (Let)"), [&] {
        if (m_encryptionKey.isEmpty()) {
            RaiseLibraryError(LedgerixErrors::EncryptionKeyNotSet);
            return;
        }
        refresh();
        if (current().text.isEmpty())
            return;
        StorageStringScrambler::apply(current().text, m_encryptionKey, bEncrypted);
        current().scrambled = bEncrypted;
        push();
    });
}

// ---------------------------------------------------------------- version and interface

QString KSStorageString::Version(bool bShow)
{
    return passOn(label(".Version"), [&] { return LedgerixVersion::report(this, bShow); });
}

void KSStorageString::interfaceSetPath(const QString &) {}

QString KSStorageString::interfacePath() const
{
    return {};
}

void KSStorageString::interfaceSetSection(const QString &sSection)
{
    passOn(label(".LedgerixStdInterface_Section (Let)"), [&] {
        if (sSection.isEmpty())
            return;
        if (const qint32 page = pageIndexOf(sSection, Qt::CaseSensitive))
            selectPage(page);
        else
            AddPage(sSection, true);
    });
}

QString KSStorageString::interfaceSection() const
{
    return PageName();
}

bool KSStorageString::interfaceSetValue(const QString &sFieldName, const QVariant &vValue, const QString &sDelimiter)
{
    return passOn(label(".LedgerixStdInterface_SetValue"), [&] { return SetValue(sFieldName, vValue, sDelimiter); });
}

QVariant KSStorageString::interfaceGetValue(const QString &sFieldName, const QString &sDelimiter)
{
    return passOn(label(".LedgerixStdInterface_GetValue"),
                  [&] { return GetValue(sFieldName, sDelimiter, true, true, QVariant(QString())); });
}

QVariant KSStorageString::interfaceVersion(bool bShow)
{
    return passOn(label(".LedgerixStdInterface_Version (Get)"),
                  [&] { return QVariant(LedgerixVersion::report(this, bShow)); });
}
