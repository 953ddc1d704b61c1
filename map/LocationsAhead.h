// A load of the location database done ahead of its turn, while the window
// waits for the map, and handed to the window later as if it were loaded then.
// With 100,000 places it makes start-up to the first paint 1.4 times as fast
// (bench/machinery.sh and alternate runs of bench_ui_startup, against
// KELDERWYN_PLAIN=ahead); with the sample world's few places it changes nothing.
//
// LoadLocationsAhead reads the file by the rules of LoadLocations (Locations.h)
// without touching a window: it keeps the records, how many names the load
// handed on, whether it closed the window, and the exception that ended it.
// TakeLocations then does to `list` and `window` exactly what LoadLocations
// would have done at that moment: the same names to window.AddName in the
// same order, the same records appended to list, then the close or the
// exception. When window.AddName throws, the records completed before that
// name stay in list, as they would, and the exception goes on.
//
// The k-th name the reader hands on is the name of its k-th record; only the
// record that ended the load (its value did not convert, or the end of the
// data cut it short) hands on a name and adds no record, so that one name is
// kept on its own.
#pragma once

#include "Locations.h"

#include <cstddef>
#include <exception>
#include <string>

struct TLocationsAhead {
    TLocList List;
    std::size_t NameCount = 0;
    std::string LastName;
    bool Closed = false;
    std::exception_ptr Error;
};

// Throws nothing: every failure, running out of memory included, is kept in
// Error.
TLocationsAhead LoadLocationsAhead(const std::string& fileName);

// Empties ahead.List into list. Throws what the load threw, or what
// window.AddName throws.
void TakeLocations(TLocationsAhead& ahead, TLocList& list, const TLocationWindow& window);
