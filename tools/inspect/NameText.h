// How kelderwyn-inspect writes the 8-bit text of a database on one line of
// output: a backslash as \\, a tab as \t and any other byte below 0x20 as
// \xHH (two upper-case hexadecimal digits).
#pragma once

#include <string>
#include <string_view>

// Every other byte as it stands.
void AppendEscapedBytes(std::string& out, std::string_view bytes);

// The text as the viewer shows it, in UTF-8: each byte read as Windows-1252,
// and the five bytes that code page leaves undefined written as \xHH too.
std::string ShownText(std::string_view bytes);
