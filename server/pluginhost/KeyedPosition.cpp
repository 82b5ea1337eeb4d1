#include "KeyedPosition.h"

#include "Guard.h"
#include "RuntimeErrors.h"

qsizetype keyedPosition(const QVariant &indexKey, qsizetype count, const std::function<QString(qsizetype)> &keyAt)
{
    if (indexKey.metaType() == QMetaType::fromType<QString>()) {
        const QString key = indexKey.toString();
        for (qsizetype i = 0; i < count; ++i) {
            if (keyAt(i).compare(key, Qt::CaseInsensitive) == 0)
                return i;
        }
        RuntimeErrors::raise(RuntimeErrors::InvalidProcedureCall, Guard::defaultSource());
    }
    bool ok = false;
    const qint64 position = indexKey.toLongLong(&ok);
    if (!ok)
        RuntimeErrors::raise(RuntimeErrors::TypeMismatch, Guard::defaultSource());
    if (position < 1 || position > count)
        RuntimeErrors::raise(RuntimeErrors::SubscriptOutOfRange, Guard::defaultSource());
    return qsizetype(position - 1);
}
