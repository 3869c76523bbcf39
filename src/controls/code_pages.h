// Converting text to and from the Windows code pages that RTF files name,
// GBK (936) above all.
#pragma once

#include <QByteArray>
#include <QString>

namespace tizhi {

// The GBK bytes of `text`; empty and *ok false when a character has no place
// in GBK.
QByteArray encodeGbk(QStringView text, bool *ok);

// Writes the GBK bytes of one UTF-16 code unit to `bytes` and returns how
// many (1 or 2); 0 when it has no place in GBK.
int gbkBytesOf(char16_t u, char bytes[2]);

// Decodes bytes of Windows code page `codePage` (936, 1252, 932, ...);
// unknown code pages are read as Windows-1252.
QString decodeCodePage(int codePage, QByteArrayView bytes);

// The code page of an RTF font character set (\fcharsetN): 134 is GBK.
// `ansiCodePage` answers for charset 1 and unknown sets.
int codePageOfCharset(int charset, int ansiCodePage);

} // namespace tizhi
