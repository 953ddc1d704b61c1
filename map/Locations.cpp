// The location database, "knmain.gdb".
//
// 8-bit text read through TTextReader (carriage returns removed, 0x1A ends the
// data, lines of at most 254 characters). Between records any lines may stand
// that do not contain "loc". A record is eight consecutive lines; its first,
// the marker line, is any line read outside a record that contains "loc"
// (case-sensitive, also inside a word). The other seven are never tested for
// "loc":
//   2 name line         name := value text
//   3, 4                ignored
//   5 type line         type := StrToInt(value text)
//   6, 7                ignored
//   8 coordinate line   X, Y split at the last comma
//
// Positions count from 1 and L is the line's length, line feed included. The
// first six characters are a tag, never looked at; the value text is the run
// from position 7 with count L - 7, so it drops the line feed, and blanks at
// either end are kept. With c the position of the last comma (0 if none), X
// is the run from 7 with count c - 7 and Y the run from c + 1 with count
// L - c - 1. A run from p with count n is empty when p < 1, p > L or n < 0,
// and otherwise the min(n, L - p + 1) characters from p.
//
// A value line that ends the data without a line feed keeps its last
// character (it is counted as if the line feed were there); a piece of an
// over-long line still loses its last character, as the rule reads.
//
// The numbers convert in the order type, X, Y; the first failure ends the
// load. The name goes to the window as soon as the name line is read, so the
// name of a record that fails later stays in the drop-down without a record.
// The same holds for a record that the end of the data cuts short: it is
// dropped rather than completed from stale lines, the load ends normally, and
// its name, if its name line was read, stays in the drop-down (the window
// offers no way to take an entry back); "Go" on that name finds no record
// unless an earlier or later record has the same name.
#include "Locations.h"

#include "Convert.h"
#include "Errors.h"
#include "FileIO.h"
#include "TextReader.h"

#include <algorithm>
#include <filesystem>
#include <string_view>
#include <system_error>

namespace {

constexpr std::ptrdiff_t TagLength = 6;

std::string_view Run(std::string_view line, std::ptrdiff_t p, std::ptrdiff_t n)
{
    const auto length = static_cast<std::ptrdiff_t>(line.size());
    if (p < 1 || p > length || n < 0)
        return {};
    return line.substr(static_cast<std::size_t>(p - 1), static_cast<std::size_t>(std::min(n, length - p + 1)));
}

// L of the value rules: the line's length, plus the line feed that the last
// line of the data may lack.
std::ptrdiff_t ValueLength(TTextReader& reader)
{
    const auto length = static_cast<std::ptrdiff_t>(reader.Line().size());
    return reader.LineEndsData() ? length + 1 : length;
}

std::string_view ValueText(TTextReader& reader)
{
    return Run(reader.Line(), TagLength + 1, ValueLength(reader) - (TagLength + 1));
}

std::int32_t Convert(std::string_view text, std::int64_t line, TLoadReport& report)
{
    try {
        return StrToInt(text);
    } catch (const EConvertError&) {
        report.FailedLine = line;
        throw;
    }
}

bool SkipLines(TTextReader& reader, int count)
{
    for (int i = 0; i < count; ++i)
        if (!reader.ReadLine())
            return false;
    return true;
}

// Reads the seven lines after a marker line into location. False when the
// end of the data cuts the record short.
bool ReadRecord(TTextReader& reader, TLocation& location, const TLocationWindow& window, TLoadReport& report)
{
    if (!reader.ReadLine())
        return false;
    location.Name = ValueText(reader);
    window.AddName(location.Name);

    if (!SkipLines(reader, 2) || !reader.ReadLine())
        return false;
    location.Type = Convert(ValueText(reader), reader.LineNumber(), report);

    if (!SkipLines(reader, 2) || !reader.ReadLine())
        return false;
    const std::string_view line = reader.Line();
    const std::ptrdiff_t length = ValueLength(reader);
    const std::size_t comma = line.rfind(',');
    const std::ptrdiff_t c = comma == std::string_view::npos ? 0 : static_cast<std::ptrdiff_t>(comma) + 1;
    const std::string_view xText = Run(line, TagLength + 1, c - (TagLength + 1));
    const std::string_view yText = Run(line, c + 1, length - c - 1);
    location.X = Convert(xText, reader.LineNumber(), report);
    location.Y = Convert(yText, reader.LineNumber(), report);
    return true;
}

} // namespace

bool FileExists(const std::string& fileName)
{
    // Only the kind of file matters; its time stamps, whatever they are, do not.
    std::error_code error;
    return std::filesystem::is_regular_file(std::filesystem::path(fileName), error);
}

void LoadLocations(const std::string& fileName, TLocList& list, const TLocationWindow& window)
{
    TLoadReport report;
    LoadLocations(fileName, list, window, report);
}

void LoadLocations(const std::string& fileName, TLocList& list, const TLocationWindow& window, TLoadReport& report)
{
    report = TLoadReport();
    if (!FileExists(fileName)) {
        window.CloseWindow();
        return;
    }
    const TFilePtr file = OpenForReading(fileName);

    TTextReader reader(file.get());
    for (;;) {
        // A line without an "l" holds no "loc"; such runs are passed over in bulk.
        reader.SkipLinesWithout('l');
        reader.ReadLine();
        if (reader.Eof())
            return;
        if (reader.Line().find("loc") == std::string_view::npos)
            continue;
        const std::int64_t markerLine = reader.LineNumber();
        TLocation location;
        if (!ReadRecord(reader, location, window, report)) {
            report.DroppedLine = markerLine;
            return;
        }
        list.push_back(std::move(location));
    }
}
