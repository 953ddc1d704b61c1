#include "NameText.h"

#include "Windows1252.h"

namespace {

void AppendUtf8(std::string& out, char16_t unit)
{
    if (unit < 0x80) {
        out += static_cast<char>(unit);
    } else if (unit < 0x800) {
        out += static_cast<char>(0xC0 | (unit >> 6));
        out += static_cast<char>(0x80 | (unit & 0x3F));
    } else {
        out += static_cast<char>(0xE0 | (unit >> 12));
        out += static_cast<char>(0x80 | ((unit >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (unit & 0x3F));
    }
}

void AppendEscaped(std::string& out, std::string_view bytes, bool shown)
{
    static const char Hex[] = "0123456789ABCDEF";
    for (const char c : bytes) {
        const auto byte = static_cast<unsigned char>(c);
        if (c == '\\') {
            out += "\\\\";
        } else if (c == '\t') {
            out += "\\t";
        } else if (byte < 0x20 || (shown && Windows1252Undefined(byte))) {
            out += "\\x";
            out += Hex[byte >> 4];
            out += Hex[byte & 15];
        } else if (shown) {
            AppendUtf8(out, Windows1252ToUnicode(byte));
        } else {
            out += c;
        }
    }
}

} // namespace

void AppendEscapedBytes(std::string& out, std::string_view bytes)
{
    AppendEscaped(out, bytes, false);
}

std::string ShownText(std::string_view bytes)
{
    std::string out;
    AppendEscaped(out, bytes, true);
    return out;
}
