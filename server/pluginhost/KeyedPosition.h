#pragma once

#include <QString>
#include <QVariant>

#include <functional>

/**
 * The look-up of a keyed collection: a 1-based position, or a key given as
 * text and matched without regard to case. Returns the 0-based index; a key
 * that is not there fails with run-time error 5, a position outside the
 * collection with 9, anything that is neither with 13.
 */
qsizetype keyedPosition(const QVariant &indexKey, qsizetype count, const std::function<QString(qsizetype)> &keyAt);
