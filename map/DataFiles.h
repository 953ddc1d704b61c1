// The files of a map folder, looked up by these names in the working
// directory: the map, the location database, and the temporary copy of the
// decoded map that exists only while the viewer starts.
#pragma once

inline constexpr const char* MapFileName = "bigmap_hi.jpg";
inline constexpr const char* TempFileName = "~temp.bmp";
inline constexpr const char* LocationsFileName = "knmain.gdb";
