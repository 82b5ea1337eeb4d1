#pragma once

#include <QString>

/**
 * The reversible scrambling of a page with a key.
 *
 * Walking the text from its last character to its first, with the key's
 * characters taken in turn (wrapping round), each character code c becomes
 * (c - k) mod 256 to scramble and (c + k) mod 256 to unscramble. Characters
 * above 255 keep their high byte and only their low byte moves that way, so
 * every character stays in its own block of 256, surrogate pairs stay pairs
 * and unscrambling with the same key restores any text exactly.
 *
 * Key characters count by their Windows-1252 code, so a key gives the numbers
 * it gave on Windows; one outside that code page counts by its low byte.
 */
namespace StorageStringScrambler {

/// Does nothing when the key is empty.
void apply(QString &text, const QString &key, bool scramble);

} // namespace StorageStringScrambler
