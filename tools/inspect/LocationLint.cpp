#include "LocationLint.h"

#include "Convert.h"
#include "LevelRules.h"
#include "NameText.h"
#include "Windows1252.h"
#include "ZoomGeometry.h"

#include <algorithm>
#include <utility>

namespace {

// The label starts this far right of and below the marker's point: the
// marker is a square of this side.
constexpr std::int32_t MarkerSide = 5;

// The usual tags of the name, type and coordinate lines, by record line.
const char* UsualTag(int position)
{
    switch (position) {
    case 2:
        return "name: ";
    case 5:
        return "type: ";
    case 8:
        return "pos:  ";
    default:
        return nullptr;
    }
}

const char* LineRole(int position)
{
    return position == 2 ? "name" : position == 5 ? "type" : "coordinate";
}

std::string Quoted(const std::string& text)
{
    return '"' + text + '"';
}

bool IsWordByte(char c)
{
    const auto byte = static_cast<unsigned char>(c);
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_' || byte >= 0x80;
}

// The word around the first "loc" of a marker line.
std::string_view MarkerWord(std::string_view text)
{
    const std::size_t at = text.find("loc");
    std::size_t begin = at;
    std::size_t end = at + 3;
    while (begin > 0 && IsWordByte(text[begin - 1]))
        --begin;
    while (end < text.size() && IsWordByte(text[end]))
        ++end;
    return text.substr(begin, end - begin);
}

bool IsBlank(char c)
{
    return c == ' ' || c == '\t';
}

// Holds at least one multi-byte UTF-8 sequence and no byte above 0x7F that
// is not part of a well-formed one.
bool LooksLikeUtf8(std::string_view text)
{
    static constexpr char32_t Least[] = {0, 0, 0x80, 0x800, 0x10000};
    bool multiByte = false;
    for (std::size_t i = 0; i < text.size();) {
        const auto lead = static_cast<unsigned char>(text[i]);
        if (lead < 0x80) {
            ++i;
            continue;
        }
        std::size_t length = 0;
        if (lead >= 0xC2 && lead <= 0xDF)
            length = 2;
        else if (lead >= 0xE0 && lead <= 0xEF)
            length = 3;
        else if (lead >= 0xF0 && lead <= 0xF4)
            length = 4;
        if (length == 0 || i + length > text.size())
            return false;
        char32_t point = lead & (0x7F >> length);
        for (std::size_t k = 1; k < length; ++k) {
            const auto next = static_cast<unsigned char>(text[i + k]);
            if ((next & 0xC0) != 0x80)
                return false;
            point = point << 6 | (next & 0x3F);
        }
        if (point < Least[length] || (point >= 0xD800 && point <= 0xDFFF) || point > 0x10FFFF)
            return false;
        multiByte = true;
        i += length;
    }
    return multiByte;
}

// The first byte of text that Windows-1252 leaves undefined, or -1.
int FirstUndefinedByte(std::string_view text)
{
    for (const char c : text)
        if (Windows1252Undefined(static_cast<unsigned char>(c)))
            return static_cast<unsigned char>(c);
    return -1;
}

std::string Pixel(TMapPoint p)
{
    return "pixel (" + std::to_string(p.X) + ", " + std::to_string(p.Y) + ")";
}

} // namespace

TLocationLint::TLocationLint(std::string fileName, std::int32_t mapWidth, std::int32_t mapHeight, std::FILE* out)
    : FFileName(std::move(fileName)), FMapWidth(mapWidth), FMapHeight(mapHeight), FOut(out)
{
}

void TLocationLint::Add(std::int64_t line, bool error, std::string text)
{
    ++(error ? FErrors : FWarnings);
    FHeld.push_back({line, error, std::move(text)});
}

void TLocationLint::Flush()
{
    std::stable_sort(FHeld.begin(), FHeld.end(),
                     [](const TFinding& a, const TFinding& b) { return a.Line < b.Line; });
    std::string out;
    for (const TFinding& finding : FHeld)
        out += FFileName + ':' + std::to_string(finding.Line) + (finding.Error ? ": error: " : ": warning: ") +
               finding.Text + '\n';
    std::fputs(out.c_str(), FOut);
    FHeld.clear();
}

void TLocationLint::Finish()
{
    Flush();
    const auto count = [](std::int64_t n, const char* noun) {
        return std::to_string(n) + ' ' + noun + (n == 1 ? "" : "s");
    };
    std::fprintf(FOut, "%s, %s, %s\n", count(FPlaces, "place").c_str(), count(FErrors, "error").c_str(),
                 count(FWarnings, "warning").c_str());
    std::fflush(FOut);
}

void TLocationLint::LongLine(std::int64_t line)
{
    Add(line, false, "the line is longer than 253 characters; the viewer reads it as several lines");
}

// Everything held back lies before a marker line, so it can go out.
void TLocationLint::MarkerLine(std::int64_t line, std::string_view text)
{
    Flush();
    if (text.starts_with("[loc"))
        return;
    Add(line, false,
        "this line starts a record because of " + Quoted(ShownText(MarkerWord(text))) +
            " (every line holding \"loc\" does); markers normally begin with \"[loc\"");
}

void TLocationLint::RecordLine(int position, std::int64_t line, std::string_view text)
{
    FRecordLines[position] = line;
    const char* tag = UsualTag(position);
    if (!tag)
        return;
    std::string_view begin = text.substr(0, 6);
    begin = begin.substr(0, begin.find('\n'));
    if (begin != tag)
        Add(line, false,
            std::string("the ") + LineRole(position) + " line (line " + std::to_string(position) +
                " of the record) begins with " + Quoted(ShownText(begin)) + " instead of " + Quoted(tag) +
                "; are the record's lines shifted?");
}

void TLocationLint::BadValue(TLocationValue value, std::int64_t line, std::string_view text)
{
    const char* what = value == TLocationValue::Type ? "the type " : value == TLocationValue::X ? "X " : "Y ";
    Add(line, true,
        what + InvalidIntegerMessage(ShownText(text)) + "; the viewer stops reading the file here");
}

void TLocationLint::Location(const TLocation& location)
{
    ++FPlaces;
    CheckName(location.Name, FRecordLines[2]);
    CheckType(location.Type, FRecordLines[5]);
    CheckPosition(location, FRecordLines[8]);
}

void TLocationLint::CheckName(const std::string& name, std::int64_t line)
{
    if (name.empty()) {
        Add(line, false, "the name is empty: the place gets no label and an empty entry in the location list");
        return;
    }
    const std::string shown = Quoted(ShownText(name));
    const bool leading = IsBlank(name.front());
    const bool trailing = IsBlank(name.back());
    if (leading || trailing)
        Add(line, false,
            "the name " + shown + (leading && trailing ? " begins and ends" : leading ? " begins" : " ends") +
                " with a blank, which is part of the name");
    if (LooksLikeUtf8(name)) {
        std::string raw;
        AppendEscapedBytes(raw, name);
        Add(line, false,
            "the name " + Quoted(raw) + " looks like UTF-8, but the viewer reads Windows-1252 and shows " + shown +
                "; save the file as Windows-1252");
    } else if (const int byte = FirstUndefinedByte(name); byte >= 0) {
        char hex[8];
        std::snprintf(hex, sizeof hex, "0x%02X", byte);
        Add(line, false, "the name " + shown + " holds the byte " + hex + ", which Windows-1252 leaves undefined");
    }
    const auto [first, added] = FNameLines.try_emplace(name, line);
    if (!added)
        Add(line, false,
            "the name " + shown + " is already used at line " + std::to_string(first->second) +
                "; Go always goes to that earlier place");
}

void TLocationLint::CheckType(std::int32_t type, std::int64_t line)
{
    const std::string what = "type " + std::to_string(type);
    if (!LevelShowsType(MaxZoomLevel, type))
        Add(line, false, what + " is never drawn on the map, though Go still goes to the place; types run from 0 to 4");
    else if (type < 0)
        Add(line, false, what + " is drawn from level 1 on but never on the overview; types run from 0 to 4");
}

void TLocationLint::CheckPosition(const TLocation& location, std::int64_t line)
{
    const TMapPoint p = WorldToMap(location.X, location.Y, MaxZoomLevel, FMapHeight);
    const std::string map = std::to_string(FMapWidth) + " x " + std::to_string(FMapHeight) + " map";
    if (p.X < 0 || p.X >= FMapWidth || p.Y < 0 || p.Y >= FMapHeight) {
        Add(line, false, "the place lies off the " + map + ", at " + Pixel(p));
        return;
    }
    const bool right = p.X >= FMapWidth - MarkerSide;
    const bool bottom = p.Y >= FMapHeight - MarkerSide;
    if (right || bottom)
        Add(line, false,
            "the marker at " + Pixel(p) + " is within 5 pixels of the " +
                (right && bottom ? "right and bottom edges" : right ? "right edge" : "bottom edge") + " of the " + map +
                ", so its name falls off the map");
}

void TLocationLint::CutShort(std::int64_t markerLine)
{
    Add(markerLine, false, "the end of the data cuts this record short; the viewer drops it");
}

void TLocationLint::EndByte(std::int64_t line)
{
    Add(line, false, "a byte 0x1A (Ctrl-Z) ends the data here; the viewer reads nothing after it");
}
