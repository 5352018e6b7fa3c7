#pragma once

#include <QByteArrayView>
#include <QString>

// The Windows Western code page (1252), in which FS2000-era files were saved. It is Latin-1 but
// for bytes 0x80 to 0x9F, which hold the euro sign, typographic quotes and dashes, Š, Ž, œ, ™ and
// more. Decoded by a table of our own, the same on every platform (neither the system's 8-bit
// codec nor a codec looked up by name); the five bytes the code page leaves undefined become
// U+FFFD, never control characters.
namespace codepage {

QString fromWindows1252(QByteArrayView bytes);

} // namespace codepage
