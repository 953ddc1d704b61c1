// JpegLayout: what a JPEG file will make libjpeg do, read from the file's
// markers before anything is decoded.
//
// The frame (size, components and their sampling, progressive or not, Huffman
// or arithmetic coding) comes from libjpeg's own header read. WalkJpegScans
// then walks every marker of the in-memory file as libjpeg reads them and adds
// up the scans and the work each one asks.
//
// Blocks of a scan, as libjpeg visits them (ScanBlocks):
//   - a component's grid is ceil(W * h / (8 * hmax)) x ceil(H * v / (8 * vmax))
//     blocks, for its sampling factors h x v and the largest ones hmax, vmax;
//   - a scan of one component visits exactly that grid;
//   - a scan of several visits whole MCUs: ceil(W / (8 * hmax)) x
//     ceil(H / (8 * vmax)) of them, each holding h x v blocks of every
//     component listed, the padding past the image's edges included.
//
// Work is counted in units of about 6 ns of libjpeg's time on a current
// desktop processor, measured on each kind of scan (ScanWeight per block):
//   - a progressive first scan of AC coefficients, or a refinement of DC: 1
//     (end-of-band runs skip whole blocks);
//   - a sequential scan, or a progressive first scan of DC: 2;
//   - a refinement of n AC coefficients: 1 + ceil(n / 16), for it looks at
//     every coefficient of its band in every block, whatever the data says.
// The coded data costs work too, per byte of the file (DataWork): 3 for a
// sequential file, 6 for a progressive one; 20 and 40 with arithmetic coding.
//
// Arithmetic coding. libjpeg's arithmetic decoder spends about a unit on each
// binary decision it decodes, and a decision may cost next to no data: a
// coefficient of magnitude 1025 takes 25 decisions for the one bit of its
// sign, and the decoder goes on deciding after the data has run out. So a
// block of an arithmetic-coded scan costs, besides the weight above, the
// decisions it took, one unit each:
//   - its DC coefficient, counted before decoding: 32 (zero or not, sign, up
//     to 15 for the size of its magnitude and 14 for its bits), or 1 in a
//     refinement;
//   - its AC coefficients, which ArithmeticCoefficientWork counts from the
//     values the block holds once decoded, since no walk can know them:
//     1 for the end of the block, and for the coefficients of the scan's
//     band (1 to 63 in a sequential scan, whatever its header says) up to
//     the last that is not zero: in a sequential scan or a progressive first
//     scan 1 for each zero and for each value v 4 if |v| = 1, else 3 + 2b
//     for b the bit length of |v| - 1 (zero or not, end of block or not,
//     sign, size and bits of its magnitude); in a refinement 2 for each
//     zero, 3 for each value of magnitude 1 << Al (one this scan made), 1
//     for each other value. The decoder charges them as it goes
//     (JpegImage.h).
//
// The walk: after the start-of-image marker, each marker is found as libjpeg
// finds it, by skipping to the next 0xFF not followed by 0x00 or 0xFF, so the
// entropy-coded data between markers needs no decoding. Markers with a length
// are stepped over by it, scan headers are read. The walk ends at the
// end-of-image marker, at the end of the data, or at a marker after which
// libjpeg stops with an error (a second start of image or frame, an unknown
// marker, a scan header of the wrong length, cut short by the end of the
// data or naming no component); no byte a length covers is read before the
// length is checked against the data left. A sequential file whose first
// scan holds every component is decoded in that one scan; libjpeg refuses a
// second one, so it is not counted. Where libjpeg would fail anyway the walk
// may count more than it decodes, never less.
//
// Nothing here throws or allocates; every sum saturates instead of wrapping.
#pragma once

#include <cstddef>
#include <cstdint>

constexpr int MaxJpegComponents = 10;

struct TJpegComponent {
    int Id = 0;
    int H = 1; // sampling factors, 1 to 4
    int V = 1;
};

struct TJpegFrame {
    std::uint32_t Width = 0;
    std::uint32_t Height = 0;
    int Count = 0; // components, 1 to MaxJpegComponents
    TJpegComponent Components[MaxJpegComponents];
    bool Progressive = false;
    bool Arithmetic = false;
};

// One scan header: the frame indices of its components, its spectral band
// and its successive-approximation bits.
struct TJpegScan {
    int Count = 0;
    int Components[4] = {};
    int Ss = 0;
    int Se = 63;
    int Ah = 0;
    int Al = 0;
};

struct TJpegScanTotals {
    std::uint64_t Scans = 0;
    std::uint64_t Work = 0;  // the sum of ScanWork over the scans
    bool MultiScan = false;  // libjpeg keeps every coefficient of the image
};

std::uint64_t ScanBlocks(const TJpegFrame& frame, const TJpegScan& scan);
// The work of one block of the scan, whichever components it holds, as far
// as it is known before the block is decoded.
std::uint64_t ScanWeight(const TJpegFrame& frame, const TJpegScan& scan);
// The decisions of an arithmetic-coded scan's AC coefficients in one block,
// from the values libjpeg decoded into it (natural order, before any point
// transform is applied); 0 for a scan that has none or refines them, whose
// decisions ScanWeight counts.
std::uint64_t ArithmeticCoefficientWork(const TJpegFrame& frame, const TJpegScan& scan, const std::int16_t* block);
std::uint64_t ScanWork(const TJpegFrame& frame, const TJpegScan& scan);
std::uint64_t DataWork(const TJpegFrame& frame, std::uint64_t bytes);

// The bytes of libjpeg's whole-image coefficient arrays, which a multi-scan
// file needs: 128 per block, each component's grid rounded up to whole
// multiples of its sampling factors.
std::uint64_t CoefficientBytes(const TJpegFrame& frame);

TJpegScanTotals WalkJpegScans(const TJpegFrame& frame, const std::uint8_t* data, std::size_t size);
