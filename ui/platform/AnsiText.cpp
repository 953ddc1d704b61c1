#include "AnsiText.h"

#include "Windows1252.h"

namespace {

char UnitToByte(char16_t unit)
{
    if (unit < 0x80 || (unit >= 0xA0 && unit <= 0xFF))
        return static_cast<char>(unit);
    for (std::size_t i = 0; i < Windows1252HighRange.size(); ++i)
        if (Windows1252HighRange[i] == unit)
            return static_cast<char>(0x80 + i);
    return '?';
}

} // namespace

QString AnsiToQString(const std::string& bytes)
{
    QString text(static_cast<qsizetype>(bytes.size()), Qt::Uninitialized);
    AnsiToUnicode(bytes, reinterpret_cast<char16_t*>(text.data()));
    return text;
}

void AnsiToUnicode(std::string_view bytes, char16_t* out)
{
    for (const char byte : bytes)
        *out++ = Windows1252ToUnicode(static_cast<unsigned char>(byte));
}

std::string QStringToAnsi(const QString& text)
{
    std::string bytes;
    bytes.reserve(static_cast<std::size_t>(text.size()));
    for (const QChar unit : text)
        bytes.push_back(UnitToByte(unit.unicode()));
    return bytes;
}
