#include "HighlightRule.h"

namespace {

const QString textWord = QStringLiteral("Text");
const QString expressionWord = QStringLiteral("RegExp");
const QString caseWord = QStringLiteral("MatchCase");
const QString anyCaseWord = QStringLiteral("AnyCase");

QRegularExpression expressionOf(const HighlightRule &rule)
{
    QRegularExpression expression(rule.pattern, rule.matchCase ? QRegularExpression::NoPatternOption
                                                               : QRegularExpression::CaseInsensitiveOption);
    return expression;
}

} // namespace

QString HighlightRule::encoded() const
{
    return QString::number(colour) + QLatin1Char('\t') + (regularExpression ? expressionWord : textWord)
        + QLatin1Char('\t') + (matchCase ? caseWord : anyCaseWord) + QLatin1Char('\t') + pattern;
}

std::optional<HighlightRule> HighlightRule::decoded(const QVariant &stored)
{
    // The store hands TAB-joined text back as an array; a value without a TAB
    // (written by hand) stays text.
    QStringList parts = stored.toStringList();
    if (parts.isEmpty() && stored.canConvert<QString>())
        parts = stored.toString().split(QLatin1Char('\t'));
    if (parts.size() < 4)
        return std::nullopt;
    bool isNumber = false;
    HighlightRule rule;
    rule.colour = parts.at(0).trimmed().toInt(&isNumber);
    if (!isNumber || rule.colour < 0)
        return std::nullopt;
    const QString mode = parts.at(1).trimmed();
    const QString caseMode = parts.at(2).trimmed();
    if (mode.compare(textWord, Qt::CaseInsensitive) != 0 && mode.compare(expressionWord, Qt::CaseInsensitive) != 0)
        return std::nullopt;
    rule.regularExpression = mode.compare(expressionWord, Qt::CaseInsensitive) == 0;
    rule.matchCase = caseMode.compare(caseWord, Qt::CaseInsensitive) == 0;
    rule.pattern = parts.mid(3).join(QLatin1Char('\t'));
    if (rule.pattern.isEmpty())
        return std::nullopt;
    return rule;
}

QString HighlightRule::problem() const
{
    if (!regularExpression)
        return {};
    const QRegularExpression expression = expressionOf(*this);
    return expression.isValid() ? QString() : expression.errorString();
}

void HighlightRules::setRules(const QList<HighlightRule> &rules)
{
    m_rules = rules;
    m_compiled.clear();
    for (const HighlightRule &rule : rules) {
        if (rule.pattern.isEmpty())
            continue;
        Compiled compiled;
        compiled.colour = rule.colour;
        compiled.regularExpression = rule.regularExpression;
        if (rule.regularExpression) {
            compiled.expression = expressionOf(rule);
            if (!compiled.expression.isValid())
                continue;
            compiled.expression.optimize();
        } else {
            compiled.text = QStringMatcher(rule.pattern, rule.matchCase ? Qt::CaseSensitive : Qt::CaseInsensitive);
        }
        m_compiled.append(std::move(compiled));
    }
}

std::optional<qint32> HighlightRules::colourFor(QStringView line) const
{
    for (const Compiled &rule : m_compiled) {
        const bool found = rule.regularExpression ? rule.expression.match(line).hasMatch()
                                                  : rule.text.indexIn(line) >= 0;
        if (found)
            return rule.colour;
    }
    return std::nullopt;
}
