// The location database reader: see the header of Locations.cpp for the file
// format. TLocation names are the raw 8-bit bytes of the file.
//
// Throws EFOpenError when the file exists but cannot be opened, EConvertError
// (see Convert.h) for a number that does not convert, and whatever
// window.AddName throws (EOutOfResources). A record that the end of the data
// cuts short is dropped without an error; its name, when its name line was
// read, has already gone to window.AddName and stays there.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

struct TLocation {
    std::string Name;
    std::int32_t Type = 0;
    std::int32_t X = 0;
    std::int32_t Y = 0;
};

using TLocList = std::vector<TLocation>;

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

// A regular file of that (relative) name exists; a folder does not count.
bool FileExists(const std::string& fileName);
