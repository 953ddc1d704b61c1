// The fast paths and their plain twins.
//
// Each piece of machinery that makes the program faster than the plain
// reading of its rules has a plain twin that does the whole job by itself:
// whole rows in plain loops, one thread, ordinary allocation, every step in
// its turn, every marker drawn at once. The plain twin is the reference: it is
// what to read first, and the tests run both and compare the bytes. Each
// fast path's header names the figure it buys.
//
// One switch runs the plain twins:
//   - the CMake option KELDERWYN_PLAIN runs the plain twins in every run of
//     the build;
//   - the environment variable KELDERWYN_PLAIN, read once, when a fast path
//     is first asked for: "1" (or any text that is not a list of the names
//     below) runs every plain twin; a list of names separated by commas runs
//     the plain twins of those pieces only, which is how the benchmarks
//     measure what each piece buys; unset, empty or "0" runs the fast paths.
//
// TPlainTwins runs the plain twins of some pieces for as long as it lives, so
// that a test can run the same case both ways. Make one only while no other
// thread asks for a fast path. Nothing here throws.
#pragma once

#include <string_view>

// Each piece, and the name KELDERWYN_PLAIN knows it by.
enum class TFastPath : unsigned {
    Kernels = 1u << 0,    // "kernels": the scaler's vector kernels (Color.h)
    Blend = 1u << 1,      // "blend": the marker blend's vector loops (draw/MarkerBlend.h)
    Threads = 1u << 2,    // "threads": large memory work on two threads (TwoHalves.h)
    HugePages = 1u << 3,  // "hugepages": large arrays in huge pages (HugePages.h)
    Pool = 1u << 4,       // "pool": a freed picture's memory kept for the next (Bitmap.h)
    Ahead = 1u << 5,      // "ahead": the start-up's work beside the map's decode (LocationsAhead.h)
    Tiles = 1u << 6,      // "tiles": markers drawn by tile as they are shown (draw/MarkerLayer.h)
    LabelCache = 1u << 7, // "labels": each label rendered once and kept (draw/LabelMasks.h)
};

inline constexpr unsigned AllFastPaths = (1u << 8) - 1;

// Whether `path` runs its fast way now.
bool UseFastPath(TFastPath path);

// The pieces a value of KELDERWYN_PLAIN names, as a mask of TFastPath bits.
unsigned PlainPathsNamedBy(std::string_view value);

class TPlainTwins {
public:
    explicit TPlainTwins(unsigned paths = AllFastPaths);
    ~TPlainTwins();
    TPlainTwins(const TPlainTwins&) = delete;
    TPlainTwins& operator=(const TPlainTwins&) = delete;

private:
    unsigned FSaved;
};
