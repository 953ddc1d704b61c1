// The location database reader: see the header of Locations.cpp for the file
// format. TLocation names are the raw 8-bit bytes of the file.
//
// Throws EFOpenError when the file exists but cannot be opened, EConvertError
// (see Convert.h) for a number that does not convert, and whatever
// window.AddName throws (EOutOfResources). A record that the end of the data
// cuts short is dropped without an error; its name, when its name line was
// read, has already gone to window.AddName and stays there.
#pragma once

#include "HugePages.h"

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

struct TLocation {
    std::string Name;
    std::int32_t Type = 0;
    std::int32_t X = 0;
    std::int32_t Y = 0;
};

using TLocList = std::vector<TLocation, THugePageAllocator<TLocation>>;

// The two things the reader does to the window: add a name to the drop-down
// list (it may throw EOutOfResources), and close the window.
struct TLocationWindow {
    std::function<void(const std::string& name)> AddName;
    std::function<void()> CloseWindow;
};

// Reads fileName into list (appending, in file order) and hands every name to
// window.AddName as soon as its name line is read. A missing file closes the
// window and reads nothing. Throws EConvertError, EFOpenError, EOutOfResources;
// the records completed before the failure stay in list.
void LoadLocations(const std::string& fileName, TLocList& list, const TLocationWindow& window);

// Where the load stopped short, for tools that point the user at a line.
// Line numbers count line feeds from 1; 0 means "none".
struct TLoadReport {
    std::int64_t FailedLine = 0;  // the line holding the value that did not convert
    std::int64_t DroppedLine = 0; // the marker line of a record cut short by the end of the data
};

// As above, and fills report, also when it throws.
void LoadLocations(const std::string& fileName, TLocList& list, const TLocationWindow& window, TLoadReport& report);

// What the reader meets in a database, in file order, for tools that check
// one (kelderwyn-inspect lint). Line numbers count line feeds from 1; texts
// are the lines as read, line feed included when they have one.
enum class TLocationValue { Type, X, Y };

class TLocationObserver {
public:
    virtual ~TLocationObserver() = default;
    // A line with more than 253 characters before its line feed, which is
    // read as several lines; told once, when its first piece is read.
    virtual void LongLine(std::int64_t line) = 0;
    virtual void MarkerLine(std::int64_t line, std::string_view text) = 0;
    // Line `position` (2 to 8) of the record opened by the last marker line.
    virtual void RecordLine(int position, std::int64_t line, std::string_view text) = 0;
    // A value text that does not convert.
    virtual void BadValue(TLocationValue value, std::int64_t line, std::string_view text) = 0;
    // A record whose three values converted, after its last RecordLine.
    virtual void Location(const TLocation& location) = 0;
    // The end of the data cut short the record of this marker line.
    virtual void CutShort(std::int64_t markerLine) = 0;
    // A 0x1A byte ended the data at this line, and the file goes on after it.
    virtual void EndByte(std::int64_t line) = 0;
};

// Reads fileName by the rules of LoadLocations and tells observer what it
// meets, but goes past a value that does not convert: the record's other
// values are converted too, its remaining lines are read as its own (so the
// search for the next marker line resumes after its eight lines, as for any
// record), and the record is dropped. Throws EFOpenError when the file is
// missing, a folder or cannot be opened, and whatever observer throws.
void CheckLocations(const std::string& fileName, TLocationObserver& observer);

// A regular file of that (relative) name exists; a folder does not count.
bool FileExists(const std::string& fileName);
