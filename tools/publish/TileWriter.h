// The web map's tiles: each level's picture cut into squares of TileSide
// pixels, written as PNG files DIR/Z/X/Y.png (X the column, Y the row, from
// the top-left corner).
//
// Every tile is TileSide x TileSide, because a browser draws each tile at its
// full size. A tile that the picture fills is a 24-bit RGB PNG of its pixels;
// one that the picture's right or bottom edge cuts is a 32-bit RGBA PNG whose
// pixels beyond the edge are transparent (0, 0, 0, 0) and whose others are
// opaque. Either way a pixel's red, green and blue are the picture's bytes.
//
// TTileWriter encodes the tiles of the levels it is given on worker threads,
// one per processor core, while the caller goes on to draw the next level
// (QImage and its PNG writer are reentrant; nothing here touches fonts or a
// QPainter). The tiles cost about 1.1 times the CPU time of whole-level PNGs
// (zlib's deflate is four fifths of either), so the threads pay where cores
// are free; where other sessions fill the machine they buy no extra share of
// it (bench_publish gives the figures). Add hands over a
// level's picture, which the writer keeps until its tiles are written; it
// throws EFCreateError "Cannot create file NAME" for a folder it cannot
// make. Finish waits for every tile and throws the first failure: EWriteError
// "Cannot write file NAME" for a tile that could not be written, or
// EPublishCancelled when the cancel flag was raised. After a failure the
// remaining tiles are dropped. Destroying a writer without Finish cancels it
// and waits for the workers. The plain twin (the "threads" piece of
// FastPaths.h) has no workers: Add writes the level's tiles itself, in turn.
#pragma once

#include "Bitmap.h"

#include <QImage>

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <exception>
#include <filesystem>
#include <memory>
#include <mutex>
#include <stdexcept>
#include <thread>
#include <vector>

inline constexpr std::int32_t TileSide = 256;

class EPublishCancelled : public std::runtime_error {
public:
    EPublishCancelled() : std::runtime_error("interrupted") {}
};

// The count of tiles along a side of a picture.
std::int32_t TileCount(std::int32_t side);

// Tile (column, row) of a picture, as it is written.
QImage TileImage(const TBitmap& picture, std::int32_t column, std::int32_t row);

class TTileWriter {
public:
    // cancel, when given, is polled between tiles.
    TTileWriter(std::filesystem::path dir, const std::atomic<bool>* cancel = nullptr);
    ~TTileWriter();
    TTileWriter(const TTileWriter&) = delete;
    TTileWriter& operator=(const TTileWriter&) = delete;

    // Creates the level's folders and queues its tiles.
    void Add(int level, TBitmap picture);
    void Finish();

private:
    struct TJob {
        std::shared_ptr<const TBitmap> Picture;
        int Level;
        std::int32_t Column;
        std::int32_t Row;
    };

    void Work();
    void Write(const TJob& job) const;
    void Fail(std::exception_ptr error);
    void Stop();

    std::filesystem::path FDir;
    const std::atomic<bool>* FCancel;
    std::mutex FMutex;
    std::condition_variable FWake;
    std::condition_variable FIdle;
    std::deque<TJob> FJobs;
    std::size_t FBusy = 0;
    bool FClosing = false;
    std::exception_ptr FError;
    std::vector<std::thread> FWorkers;
};
