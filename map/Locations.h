// The location database reader: see the header of Locations.cpp for the file
// format. TLocation names are the raw 8-bit bytes of the file.
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

// A regular file of that (relative) name exists; a folder does not count.
bool FileExists(const std::string& fileName);
