#include "TileWriter.h"

#include "Errors.h"
#include "FastPaths.h"
#include "PngFile.h"


#include <algorithm>
#include <system_error>

std::int32_t TileCount(std::int32_t side)
{
    return side <= 0 ? 0 : (side - 1) / TileSide + 1;
}

QImage TileImage(const TBitmap& picture, std::int32_t column, std::int32_t row)
{
    const std::int32_t left = column * TileSide;
    const std::int32_t top = row * TileSide;
    const std::int32_t width = std::min(TileSide, picture.Width() - left);
    const std::int32_t height = std::min(TileSide, picture.Height() - top);
    if (width == TileSide && height == TileSide) {
        // The picture's own rows, blue, green, red: no copy until the writer converts them.
        return QImage(picture.ScanLine(top) + 3 * std::size_t(left), TileSide, TileSide,
                      static_cast<qsizetype>(picture.RowStride()), QImage::Format_BGR888);
    }
    QImage tile(TileSide, TileSide, QImage::Format_ARGB32);
    tile.fill(Qt::transparent);
    for (std::int32_t y = 0; y < height; ++y) {
        const std::uint8_t* from = picture.ScanLine(top + y) + 3 * std::size_t(left);
        auto* to = reinterpret_cast<QRgb*>(tile.scanLine(y));
        for (std::int32_t x = 0; x < width; ++x, from += 3)
            to[x] = qRgb(from[2], from[1], from[0]);
    }
    return tile;
}

TTileWriter::TTileWriter(std::filesystem::path dir, const std::atomic<bool>* cancel)
    : FDir(std::move(dir)), FCancel(cancel)
{
    const unsigned cores = UseFastPath(TFastPath::Threads) ? std::max(1u, std::thread::hardware_concurrency()) : 0;
    for (unsigned i = 0; i < cores; ++i)
        FWorkers.emplace_back(&TTileWriter::Work, this);
}

TTileWriter::~TTileWriter()
{
    Stop();
}

void TTileWriter::Add(int level, TBitmap picture)
{
    const auto shared = std::make_shared<const TBitmap>(std::move(picture));
    const std::int32_t columns = TileCount(shared->Width());
    const std::int32_t rows = TileCount(shared->Height());
    for (std::int32_t column = 0; column < columns; ++column) {
        const std::filesystem::path folder = FDir / std::to_string(level) / std::to_string(column);
        std::error_code error;
        std::filesystem::create_directories(folder, error);
        if (error)
            throw EFCreateError(folder.string());
    }
    if (FWorkers.empty()) {
        for (std::int32_t column = 0; column < columns; ++column)
            for (std::int32_t row = 0; row < rows; ++row)
                Write({shared, level, column, row});
        return;
    }
    const std::lock_guard lock(FMutex);
    if (FError)
        return;
    for (std::int32_t column = 0; column < columns; ++column)
        for (std::int32_t row = 0; row < rows; ++row)
            FJobs.push_back({shared, level, column, row});
    FWake.notify_all();
}

void TTileWriter::Write(const TJob& job) const
{
    if (FCancel && FCancel->load())
        throw EPublishCancelled();
    SavePng(TileImage(*job.Picture, job.Column, job.Row),
            (FDir / std::to_string(job.Level) / std::to_string(job.Column) / (std::to_string(job.Row) + ".png")).native());
}

void TTileWriter::Work()
{
    std::unique_lock lock(FMutex);
    for (;;) {
        FWake.wait(lock, [this] { return FClosing || !FJobs.empty(); });
        if (FJobs.empty())
            return;
        const TJob job = std::move(FJobs.front());
        FJobs.pop_front();
        ++FBusy;
        lock.unlock();
        try {
            Write(job);
        } catch (...) {
            Fail(std::current_exception());
        }
        lock.lock();
        --FBusy;
        if (FJobs.empty() && FBusy == 0)
            FIdle.notify_all();
    }
}

void TTileWriter::Fail(std::exception_ptr error)
{
    const std::lock_guard lock(FMutex);
    if (!FError)
        FError = error;
    FJobs.clear();
}

void TTileWriter::Finish()
{
    {
        std::unique_lock lock(FMutex);
        FIdle.wait(lock, [this] { return FJobs.empty() && FBusy == 0; });
    }
    Stop();
    if (FError)
        std::rethrow_exception(FError);
}

void TTileWriter::Stop()
{
    {
        const std::lock_guard lock(FMutex);
        FClosing = true;
        if (!FError && !FJobs.empty())
            FError = std::make_exception_ptr(EPublishCancelled());
        FJobs.clear();
    }
    FWake.notify_all();
    for (std::thread& worker : FWorkers)
        if (worker.joinable())
            worker.join();
}
