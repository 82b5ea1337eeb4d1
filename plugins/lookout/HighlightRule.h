#pragma once

#include <QList>
#include <QRegularExpression>
#include <QString>
#include <QStringMatcher>
#include <QVariant>

#include <optional>

/**
 * One highlight rule: a line whose text holds the pattern (plain text or a
 * regular expression, with or without regard to case) prints in the rule's
 * colour, a colour reference 0x00BBGGRR.
 *
 * In the property store a rule is one value, its four parts joined by TAB so
 * that the INI file reads as "Rule1=255<TAB>Text<TAB>AnyCase<TAB>error". The
 * pattern comes last: a TAB inside it only adds parts, which are joined again.
 */
struct HighlightRule
{
    QString pattern;
    bool regularExpression = false;
    bool matchCase = false;
    qint32 colour = 0x0000FF;

    QString encoded() const;
    /// The rule a stored value holds; nothing for an empty or damaged value.
    static std::optional<HighlightRule> decoded(const QVariant &stored);
    /// Why the pattern cannot be used (an invalid regular expression), or empty.
    QString problem() const;

    bool operator==(const HighlightRule &other) const = default;
};

/**
 * The rules in their order, made ready for matching: the first rule whose
 * pattern occurs in a line decides its colour. Rules with an empty or invalid
 * pattern never match.
 */
class HighlightRules
{
public:
    void setRules(const QList<HighlightRule> &rules);
    const QList<HighlightRule> &rules() const { return m_rules; }
    bool isEmpty() const { return m_compiled.isEmpty(); }

    /// The colour of the first rule that matches the line, if any.
    std::optional<qint32> colourFor(QStringView line) const;

private:
    struct Compiled
    {
        QStringMatcher text;
        QRegularExpression expression;
        bool regularExpression = false;
        qint32 colour = 0;
    };

    QList<HighlightRule> m_rules;
    QList<Compiled> m_compiled;
};
