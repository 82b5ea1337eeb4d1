#pragma once

#include <QString>
#include <QStringList>

#include <optional>
#include <utility>

/**
 * The private-profile (INI file) functions, with the semantics programs of the
 * system rely on:
 *
 * - section and key names are compared trimmed of surrounding blanks and
 *   without regard to case ("[ Section1 ]" answers to "section1");
 * - values read back trimmed of surrounding blanks, and without one pair of
 *   matching single or double quotes around them;
 * - CR, LF and CR LF all end a line; lines without "=" are not keys;
 * - a write creates the file, the section and the key as needed and writes
 *   the key and the value exactly as given (a value holding line breaks is
 *   written raw, so its later lines become lines of their own);
 * - every write replaces the file through a temporary file renamed over it
 *   while holding an advisory lock, so readers and other writers never see a
 *   half-written or mixed file, and bytes the write does not touch stay as
 *   they were.
 *
 * Reads never fail: a missing or unreadable file, section or key gives the
 * default. Writes report failure through their result (and the optional
 * error text), leaving the file as it was.
 *
 *     PrivateProfile::writeString("Window", "Left", "120", iniFile);
 *     QString left = PrivateProfile::readString("window", "LEFT", "0", iniFile);
 */
namespace PrivateProfile {

/// The value of a key, or nullopt when the file, the section or the key is missing.
std::optional<QString> lookup(const QString &section, const QString &key, const QString &fileName);

/// The value of a key, or the default (with its trailing blanks dropped) when missing.
QString readString(const QString &section, const QString &key, const QString &defaultValue, const QString &fileName);

/// Section names in file order, each listed once, as spelt by its first header.
QStringList sectionNames(const QString &fileName);

/// Key names of a section in file order, each listed once.
QStringList keyNames(const QString &section, const QString &fileName);

/// Writes key=value, creating the file, the section and the key when missing.
bool writeString(const QString &section, const QString &key, const QString &value, const QString &fileName,
                 QString *errorText = nullptr);

/// Writes several keys of one section in one replacement of the file.
bool writeStrings(const QString &section, const QList<std::pair<QString, QString>> &entries, const QString &fileName,
                  QString *errorText = nullptr);

/// Removes a key; a missing file, section or key counts as success.
bool deleteKey(const QString &section, const QString &key, const QString &fileName, QString *errorText = nullptr);

/// Removes a section with all its keys; a missing file or section counts as success.
bool deleteSection(const QString &section, const QString &fileName, QString *errorText = nullptr);

} // namespace PrivateProfile
