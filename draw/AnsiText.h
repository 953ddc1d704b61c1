// Names in the location database are 8-bit text in Windows-1252. The window
// shows them as QString and the "Go" command compares the original bytes, so
// the conversion must be exact both ways: the five bytes that code page leaves
// undefined (0x81, 0x8D, 0x8F, 0x90, 0x9D) become the C1 control characters
// of the same value (Windows1252.h), which makes every byte string survive a
// round trip.
#pragma once

#include <QString>

#include <string>
#include <string_view>

QString AnsiToQString(std::string_view bytes);

// The inverse of AnsiToQString. A character outside Windows-1252 becomes '?'.
std::string QStringToAnsi(const QString& text);
