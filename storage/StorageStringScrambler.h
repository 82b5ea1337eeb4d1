#pragma once

#include <QString>

/**
 * The reversible scrambling of a page with a key.
 *
 * Walking the text from its last character to its first, with the key's
 * characters taken in turn (wrapping round), each character code c becomes
 * (c - k) mod 256 to scramble and (c + k) mod 256 to unscramble. Key and page
 * characters both count by their Windows-1252 code, and a page character's new
 * code becomes the Windows-1252 character of that code ("€" scrambled with the
 * key "€" gives code 0), so a text scrambled on Windows unscrambles here.
 *
 * A page character outside Windows-1252 keeps its high byte and moves by k
 * within its own block of 256: by its low byte where no character of the
 * block belongs to the code page, among the block's characters outside the
 * code page where some do. Every character thus stays in its class, surrogate
 * pairs stay pairs and unscrambling with the same key restores any text
 * exactly. A key character outside the code page counts by its low byte.
 */
namespace StorageStringScrambler {

/// Does nothing when the key is empty.
void apply(QString &text, const QString &key, bool scramble);

} // namespace StorageStringScrambler
