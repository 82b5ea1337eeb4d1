#include "LookoutSettings.h"

#include "PropertyStore.h"

namespace {

bool readFlag(PropertyStore &store, const QString &name)
{
    const QVariant value = store.GetProperty(name);
    const QString text = value.toString().trimmed();
    if (text.compare(QLatin1String("True"), Qt::CaseInsensitive) == 0)
        return true;
    bool isNumber = false;
    const int number = text.toInt(&isNumber);
    return isNumber && number != 0;
}

// A missing entry reads as empty text; an array is never empty unless damaged.
bool isEmptyValue(const QVariant &value)
{
    if (value.metaType() == QMetaType::fromType<QString>())
        return value.toString().isEmpty();
    return value.toStringList().join(QString()).isEmpty();
}

QString ruleName(int n)
{
    return QStringLiteral("Rule%1").arg(n);
}

} // namespace

LookoutSettings LookoutSettings::read(PropertyStore &store)
{
    LookoutSettings settings;
    settings.timeStamps = readFlag(store, QStringLiteral("TimeStamps"));
    settings.showSender = readFlag(store, QStringLiteral("ShowSender"));
    settings.findMatchCase = readFlag(store, QStringLiteral("FindMatchCase"));
    settings.findRegularExpression = readFlag(store, QStringLiteral("FindRegularExpression"));
    bool isNumber = false;
    const qint32 maxLines = store.GetProperty(QStringLiteral("MaxLines")).toString().trimmed().toInt(&isNumber);
    settings.maxLines = isNumber && maxLines > 0 ? maxLines : 0;
    for (int n = 1;; ++n) {
        const QVariant stored = store.GetProperty(ruleName(n));
        if (isEmptyValue(stored))
            break;
        // A damaged rule is skipped, not the ones after it.
        if (const std::optional<HighlightRule> rule = HighlightRule::decoded(stored))
            settings.rules.append(*rule);
    }
    return settings;
}

void LookoutSettings::write(PropertyStore &store) const
{
    store.SetProperty(QStringLiteral("TimeStamps"), timeStamps);
    store.SetProperty(QStringLiteral("ShowSender"), showSender);
    store.SetProperty(QStringLiteral("MaxLines"), maxLines);
    store.SetProperty(QStringLiteral("FindMatchCase"), findMatchCase);
    store.SetProperty(QStringLiteral("FindRegularExpression"), findRegularExpression);
    writeRules(store);
}

void LookoutSettings::writeRules(PropertyStore &store) const
{
    int n = 1;
    for (const HighlightRule &rule : rules)
        store.SetProperty(ruleName(n++), rule.encoded());
    // Rules that were there before and are no more: emptied, which ends the list.
    while (!isEmptyValue(store.GetProperty(ruleName(n))))
        store.SetProperty(ruleName(n++), QString());
}
