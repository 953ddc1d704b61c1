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
constexpr std::uintmax_t MaxReservedRecords = std::uintmax_t{1} << 22;

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

// What a load does with what it reads. LoadLocations and CheckLocations
// differ only here; the reading is the same code, and the viewer's load
// compiles to the same loop it would be without the checks.
struct TViewerLoad {
    static constexpr bool GoesPastBadValues = false;
    static constexpr bool LooksAtEveryLine = false;

    void LineRead(TTextReader&) {}
    void MarkerLine(const TTextReader&) {}
    void RecordLine(int, const TTextReader&) {}
    void Name(const std::string& name) { Window.AddName(name); }
    void BadValue(TLocationValue, std::string_view, std::int64_t line) { Report.FailedLine = line; }
    void Complete(TLocation& location) { List.push_back(std::move(location)); }
    void CutShort(std::int64_t markerLine) { Report.DroppedLine = markerLine; }

    TLocList& List;
    const TLocationWindow& Window;
    TLoadReport& Report;
};

struct TCheckingLoad {
    static constexpr bool GoesPastBadValues = true;
    static constexpr bool LooksAtEveryLine = true;

    void LineRead(TTextReader& reader)
    {
        if (reader.LineNumber() != LongLine && reader.LineContinues()) {
            LongLine = reader.LineNumber();
            Observer.LongLine(LongLine);
        }
    }
    void MarkerLine(const TTextReader& reader) { Observer.MarkerLine(reader.LineNumber(), reader.Line()); }
    void RecordLine(int position, const TTextReader& reader)
    {
        Observer.RecordLine(position, reader.LineNumber(), reader.Line());
    }
    void Name(const std::string&) {}
    void BadValue(TLocationValue value, std::string_view text, std::int64_t line)
    {
        Observer.BadValue(value, line, text);
    }
    void Complete(const TLocation& location) { Observer.Location(location); }
    void CutShort(std::int64_t markerLine) { Observer.CutShort(markerLine); }

    TLocationObserver& Observer;
    std::int64_t LongLine = 0;
};

template <class TSink>
std::int32_t Convert(std::string_view text, TLocationValue value, const TTextReader& reader, TSink& sink,
                     bool& converted)
{
    try {
        return StrToInt(text);
    } catch (const EConvertError&) {
        sink.BadValue(value, text, reader.LineNumber());
        if constexpr (!TSink::GoesPastBadValues)
            throw;
        converted = false;
        return 0;
    }
}

// Reads the lines first to last of the record, the text of the last one only
// unless the sink looks at every line; false when the end of the data cuts
// the record short.
template <class TSink>
bool ReadRecordLines(TTextReader& reader, TSink& sink, int first, int last)
{
    for (int position = first; position <= last; ++position) {
        const bool wanted = position == last || TSink::LooksAtEveryLine;
        if (!(wanted ? reader.ReadLine() : reader.SkipLine()))
            return false;
        sink.LineRead(reader);
        sink.RecordLine(position, reader);
    }
    return true;
}

enum class TRecordEnd { Complete, BadValue, CutShort };

// Reads the seven lines after a marker line into location.
template <class TSink>
TRecordEnd ReadRecord(TTextReader& reader, TLocation& location, TSink& sink)
{
    if (!ReadRecordLines(reader, sink, 2, 2))
        return TRecordEnd::CutShort;
    location.Name = ValueText(reader);
    sink.Name(location.Name);

    bool converted = true;
    if (!ReadRecordLines(reader, sink, 3, 5))
        return TRecordEnd::CutShort;
    location.Type = Convert(ValueText(reader), TLocationValue::Type, reader, sink, converted);

    if (!ReadRecordLines(reader, sink, 6, 8))
        return TRecordEnd::CutShort;
    const std::string_view line = reader.Line();
    const std::ptrdiff_t length = ValueLength(reader);
    const std::size_t comma = line.rfind(',');
    const std::ptrdiff_t c = comma == std::string_view::npos ? 0 : static_cast<std::ptrdiff_t>(comma) + 1;
    const std::string_view xText = Run(line, TagLength + 1, c - (TagLength + 1));
    const std::string_view yText = Run(line, c + 1, length - c - 1);
    location.X = Convert(xText, TLocationValue::X, reader, sink, converted);
    location.Y = Convert(yText, TLocationValue::Y, reader, sink, converted);
    return converted ? TRecordEnd::Complete : TRecordEnd::BadValue;
}

template <class TSink>
void ReadDatabase(TTextReader& reader, TSink& sink)
{
    for (;;) {
        // A line without an "l" holds no "loc"; such runs are passed over in bulk.
        reader.SkipLinesWithout('l');
        reader.ReadLine();
        if (reader.Eof())
            return;
        sink.LineRead(reader);
        if (reader.Line().find("loc") == std::string_view::npos)
            continue;
        const std::int64_t markerLine = reader.LineNumber();
        sink.MarkerLine(reader);
        TLocation location;
        switch (ReadRecord(reader, location, sink)) {
        case TRecordEnd::Complete:
            sink.Complete(location);
            break;
        case TRecordEnd::BadValue:
            break;
        case TRecordEnd::CutShort:
            sink.CutShort(markerLine);
            return;
        }
    }
}

// The open database, or null when there is no such file; throws EFOpenError
// when it exists but cannot be opened.
TFilePtr OpenDatabase(const std::string& fileName)
{
    return FileExists(fileName) ? OpenForReading(fileName) : nullptr;
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
    const auto file = OpenDatabase(fileName);
    if (!file) {
        window.CloseWindow();
        return;
    }
    // A record takes about a hundred bytes of the file: room for one per 64
    // bytes spares the list most of its regrowth. Room it does not fill is
    // never touched, or goes back when the load ends, also in an error.
    std::error_code sizeError;
    const std::uintmax_t bytes = std::filesystem::file_size(fileName, sizeError);
    if (!sizeError)
        list.reserve(list.size() + static_cast<std::size_t>(std::min<std::uintmax_t>(bytes / 64, MaxReservedRecords)));
    struct TRelease {
        TLocList& List;
        ~TRelease() { ReleaseUnusedCapacity(List); }
    } release{list};
    TTextReader reader(file.get());
    TViewerLoad load{list, window, report};
    ReadDatabase(reader, load);
}

void CheckLocations(const std::string& fileName, TLocationObserver& observer)
{
    const auto file = OpenDatabase(fileName);
    if (!file)
        throw EFOpenError(fileName, MissingFileReason(fileName));
    TTextReader reader(file.get());
    TCheckingLoad load{observer};
    ReadDatabase(reader, load);
    const std::int64_t endByte = reader.EndByteOffset();
    if (endByte >= 0 && FileSize(file.get(), fileName) > static_cast<std::uint64_t>(endByte) + 1)
        observer.EndByte(reader.NextLineNumber());
}
