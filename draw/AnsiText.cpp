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

QString AnsiToQString(std::string_view bytes)
{
    QString text(static_cast<qsizetype>(bytes.size()), Qt::Uninitialized);
    QChar* out = text.data();
    for (const char byte : bytes)
        *out++ = QChar(Windows1252ToUnicode(static_cast<unsigned char>(byte)));
    return text;
}

std::string QStringToAnsi(const QString& text)
{
    std::string bytes;
    bytes.reserve(static_cast<std::size_t>(text.size()));
    for (const QChar unit : text)
        bytes.push_back(UnitToByte(unit.unicode()));
    return bytes;
}
