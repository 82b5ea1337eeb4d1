#pragma once

#include <QString>

/**
 * The numeric test the storage library types its values with.
 *
 * Accepts a plain decimal number: optional blanks around it, an optional sign,
 * digits with an optional decimal point (at least one digit in all) and an
 * optional exponent (E or e, optional sign, digits). Nothing else: no
 * thousands separators, currency symbols or hexadecimal forms.
 */
namespace NumericText {

bool isNumeric(const QString &text);

} // namespace NumericText
