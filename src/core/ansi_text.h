#pragma once
// Single-byte text in the Windows-1252 code page, as the fixed-layout records
// (settings file, set records) store it: one byte per character, padded on the
// right with spaces.
#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QStringView>

namespace nubivista::core {

// Every byte decodes to one character. The five bytes the code page leaves
// undefined decode to the C1 control of the same value, so any byte survives a
// round trip.
QString decodeWindows1252(QByteArrayView bytes);

// One byte per character; a character outside the code page is written as '?'.
// With a width of 0 or more the result is cut to that many bytes or padded on
// the right with spaces to it.
QByteArray encodeWindows1252(QStringView text, qsizetype width = -1);

// Removes leading and trailing spaces only: other white space belongs to the value.
QString trimSpaces(QStringView text);

} // namespace nubivista::core
