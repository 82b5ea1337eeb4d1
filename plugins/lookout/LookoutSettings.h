#pragma once

#include "HighlightRule.h"

#include <QList>

class PropertyStore;

/**
 * Lookout's settings in its property store ("KSLookout.Lookout" in
 * PluginProperties.ini): "TimeStamps", "ShowSender", "MaxLines", the find
 * bar's "FindMatchCase" and "FindRegularExpression", and the highlight rules
 * "Rule1", "Rule2" ... in their order (the first empty one ends the list).
 */
struct LookoutSettings
{
    bool timeStamps = false;
    bool showSender = false;
    qint32 maxLines = 0;
    bool findMatchCase = false;
    bool findRegularExpression = false;
    QList<HighlightRule> rules;

    /// Reads every setting; a missing or unreadable one keeps its default.
    static LookoutSettings read(PropertyStore &store);
    void write(PropertyStore &store) const;
    void writeRules(PropertyStore &store) const;
};
