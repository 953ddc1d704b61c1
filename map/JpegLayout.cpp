#include "JpegLayout.h"

#include <algorithm>
#include <bit>
#include <cstdlib>
#include <cstring>
#include <limits>

namespace {

constexpr std::uint64_t Saturated = std::numeric_limits<std::uint64_t>::max();

// The most decisions the arithmetic decoder takes for a DC coefficient.
constexpr unsigned DcDecisions = 32;

// For each coefficient of a block, its place in the order a scan codes them.
constexpr int ZigzagIndex[64] = {
    0,  1,  5,  6,  14, 15, 27, 28, 2,  4,  7,  13, 16, 26, 29, 42, 3,  8,  12, 17, 25, 30,
    41, 43, 9,  11, 18, 24, 31, 40, 44, 53, 10, 19, 23, 32, 39, 45, 52, 54, 20, 22, 33, 38,
    46, 51, 55, 60, 21, 34, 37, 47, 50, 56, 59, 61, 35, 36, 48, 49, 57, 58, 62, 63};

std::uint64_t Add(std::uint64_t a, std::uint64_t b)
{
    std::uint64_t sum = 0;
    return __builtin_add_overflow(a, b, &sum) ? Saturated : sum;
}

std::uint64_t Multiply(std::uint64_t a, std::uint64_t b)
{
    std::uint64_t product = 0;
    return __builtin_mul_overflow(a, b, &product) ? Saturated : product;
}

std::uint64_t DivideRoundingUp(std::uint64_t a, std::uint64_t b)
{
    return a / b + (a % b != 0);
}

std::uint64_t RoundUp(std::uint64_t a, std::uint64_t b)
{
    return DivideRoundingUp(a, b) * b;
}

int MaxH(const TJpegFrame& frame)
{
    int h = 1;
    for (int c = 0; c < frame.Count; ++c)
        h = std::max(h, frame.Components[c].H);
    return h;
}

int MaxV(const TJpegFrame& frame)
{
    int v = 1;
    for (int c = 0; c < frame.Count; ++c)
        v = std::max(v, frame.Components[c].V);
    return v;
}

std::uint64_t GridWidth(const TJpegFrame& frame, int component)
{
    return DivideRoundingUp(std::uint64_t{frame.Width} * static_cast<unsigned>(frame.Components[component].H),
                            8 * static_cast<unsigned>(MaxH(frame)));
}

std::uint64_t GridHeight(const TJpegFrame& frame, int component)
{
    return DivideRoundingUp(std::uint64_t{frame.Height} * static_cast<unsigned>(frame.Components[component].V),
                            8 * static_cast<unsigned>(MaxV(frame)));
}

unsigned Read16(const std::uint8_t* at)
{
    return static_cast<unsigned>(at[0]) << 8 | at[1];
}

// The frame index of the component a scan's selector names, or -1 when no
// component carries that id (libjpeg refuses the scan). Like libjpeg, a
// selector that repeats one before it stands for the id one above the
// largest of those before it.
int ComponentIndex(const TJpegFrame& frame, const TJpegScan& scan, int selector)
{
    int id = selector;
    for (int i = 0; i < scan.Count; ++i)
        if (frame.Components[scan.Components[i]].Id == selector) {
            id = 0;
            for (int j = 0; j < scan.Count; ++j)
                id = std::max(id, frame.Components[scan.Components[j]].Id);
            ++id;
            break;
        }
    for (int c = 0; c < frame.Count; ++c)
        if (frame.Components[c].Id == id)
            return c;
    return -1;
}

// A scan header's fields after its length, or false when libjpeg would
// refuse its length or a component. at holds the length - 2 bytes of the
// header that follow the length field, and nothing beyond them is read.
bool ReadScan(const TJpegFrame& frame, const std::uint8_t* at, unsigned length, TJpegScan& scan)
{
    if (length < 3)
        return false;
    const int count = at[0];
    if (count < 1 || count > 4 || length != 2 * static_cast<unsigned>(count) + 6)
        return false;
    for (int i = 0; i < count; ++i) {
        const int component = ComponentIndex(frame, scan, at[1 + 2 * i]);
        if (component < 0)
            return false;
        scan.Components[scan.Count++] = component;
    }
    const std::uint8_t* band = at + 1 + 2 * count;
    scan.Ss = band[0];
    scan.Se = band[1];
    scan.Ah = band[2] >> 4;
    scan.Al = band[2] & 15;
    return true;
}

std::uint64_t ComponentBlocks(const TJpegFrame& frame, int component)
{
    return GridWidth(frame, component) * GridHeight(frame, component);
}

} // namespace

std::uint64_t ScanBlocks(const TJpegFrame& frame, const TJpegScan& scan)
{
    if (scan.Count == 1)
        return ComponentBlocks(frame, scan.Components[0]);
    const std::uint64_t mcus = DivideRoundingUp(frame.Width, 8 * static_cast<unsigned>(MaxH(frame))) *
                               DivideRoundingUp(frame.Height, 8 * static_cast<unsigned>(MaxV(frame)));
    std::uint64_t blocksPerMcu = 0;
    for (int i = 0; i < scan.Count; ++i) {
        const TJpegComponent& component = frame.Components[scan.Components[i]];
        blocksPerMcu += static_cast<unsigned>(component.H * component.V);
    }
    return mcus * blocksPerMcu;
}

std::uint64_t ScanWeight(const TJpegFrame& frame, const TJpegScan& scan)
{
    const bool dc = !frame.Progressive || scan.Ss == 0;
    const bool acRefinement = frame.Progressive && scan.Ss > 0 && scan.Ah > 0 && scan.Se >= scan.Ss;
    std::uint64_t weight = 1;
    if (!frame.Progressive || (scan.Ss == 0 && scan.Ah == 0))
        weight = 2;
    else if (acRefinement)
        weight = 1 + static_cast<unsigned>(scan.Se - scan.Ss + 16) / 16;
    if (!frame.Arithmetic)
        return weight;
    if (dc)
        weight += !frame.Progressive || scan.Ah == 0 ? DcDecisions : 1;
    return weight;
}

std::uint64_t ArithmeticCoefficientWork(const TJpegFrame& frame, const TJpegScan& scan, const std::int16_t* block)
{
    // A sequential scan decodes every coefficient, whatever its header says.
    const int start = frame.Progressive ? std::max(scan.Ss, 1) : 1;
    const int end = frame.Progressive ? std::min(scan.Se, 63) : 63;
    if (start > end)
        return 0;
    const bool refinement = frame.Progressive && scan.Ah > 0;
    const int added = refinement ? 1 << std::clamp(scan.Al, 0, 15) : 0;
    // The values' own decisions, and the zeros up to the last value, which
    // the end of the block follows. The sums do not depend on the order, so
    // the block is taken as it lies, without a branch on its values: the
    // compiler makes vector code of it.
    int values = 0;
    int count = 0;
    int last = start - 1;
    for (int n = 0; n < 64; ++n) {
        const int index = ZigzagIndex[n];
        const int magnitude = std::abs(static_cast<int>(block[n]));
        const int counted = (magnitude != 0) & (index >= start) & (index <= end);
        const int size = magnitude - (magnitude != 0);
        // The bit length of size, from the exponent of its float (exact).
        const int exponent = static_cast<int>(std::bit_cast<std::uint32_t>(static_cast<float>(size)) >> 23);
        const int bits = std::max(exponent - 126, 0);
        const int decisions = refinement ? 1 + 2 * (magnitude == added) : 3 + (size == 0) + 2 * bits;
        values += counted * decisions;
        count += counted;
        last = std::max(last, counted * index);
    }
    return static_cast<unsigned>(1 + values + (last - start + 1 - count) * (refinement ? 2 : 1));
}

std::uint64_t ScanWork(const TJpegFrame& frame, const TJpegScan& scan)
{
    return Multiply(ScanBlocks(frame, scan), ScanWeight(frame, scan));
}

std::uint64_t DataWork(const TJpegFrame& frame, std::uint64_t bytes)
{
    return Multiply(bytes, (frame.Progressive ? 2 : 1) * (frame.Arithmetic ? 20 : 3));
}

std::uint64_t CoefficientBytes(const TJpegFrame& frame)
{
    std::uint64_t bytes = 0;
    for (int c = 0; c < frame.Count; ++c) {
        const std::uint64_t blocks = RoundUp(GridWidth(frame, c), static_cast<unsigned>(frame.Components[c].H)) *
                                     RoundUp(GridHeight(frame, c), static_cast<unsigned>(frame.Components[c].V));
        bytes = Add(bytes, Multiply(blocks, 128));
    }
    return bytes;
}

TJpegScanTotals WalkJpegScans(const TJpegFrame& frame, const std::uint8_t* data, std::size_t size)
{
    TJpegScanTotals totals;
    if (size < 2 || data[0] != 0xFF || data[1] != 0xD8)
        return totals;
    int frames = 0;
    std::size_t at = 2;
    while (at < size) {
        const auto* found = static_cast<const std::uint8_t*>(std::memchr(data + at, 0xFF, size - at));
        if (!found)
            break;
        at = static_cast<std::size_t>(found - data) + 1;
        while (at < size && data[at] == 0xFF)
            ++at;
        if (at == size)
            break;
        const unsigned marker = data[at++];
        // Stuffed zero bytes, restart markers, TEM and the reserved codes
        // below 0xC0 have no length: libjpeg steps over them.
        if (marker < 0xC0 || (marker >= 0xD0 && marker <= 0xD7))
            continue;
        if (marker == 0xD8 || marker == 0xD9 || at + 2 > size)
            break;
        const unsigned length = Read16(data + at);
        const bool frameMarker = marker <= 0xCF && marker != 0xC4 && marker != 0xCC;
        const bool skipped = marker == 0xC4 || marker == 0xCC || marker == 0xDB || marker == 0xDC ||
                             marker == 0xDD || marker == 0xFE || (marker >= 0xE0 && marker <= 0xEF);
        if (frameMarker && ++frames > 1)
            break;
        if (marker == 0xDA) {
            TJpegScan scan;
            if (at + length > size || !ReadScan(frame, data + at + 2, length, scan))
                break;
            totals.Scans = Add(totals.Scans, 1);
            totals.Work = Add(totals.Work, ScanWork(frame, scan));
            if (totals.Scans == 1)
                totals.MultiScan = frame.Progressive || scan.Count < frame.Count;
            if (!totals.MultiScan)
                break;
        } else if (!frameMarker && !skipped) {
            break;
        }
        at += std::max(length, 2u);
    }
    return totals;
}
