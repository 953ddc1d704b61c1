#include "JpegLayout.h"
#include "TestJpeg.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <iterator>
#include <numeric>

namespace {

TJpegScan Scan(std::initializer_list<int> components)
{
    TJpegScan scan;
    for (int c : components)
        scan.Components[scan.Count++] = c;
    return scan;
}

TJpegScanTotals Walk(const TJpegFrame& frame, const std::vector<std::uint8_t>& jpeg)
{
    return WalkJpegScans(frame, jpeg.data(), jpeg.size());
}

std::uint64_t TotalWork(const TJpegFrame& frame, const std::vector<TJpegScan>& scans)
{
    return std::accumulate(scans.begin(), scans.end(), std::uint64_t{0},
                           [&](std::uint64_t sum, const TJpegScan& scan) { return sum + ScanWork(frame, scan); });
}

} // namespace

TEST(JpegLayout, CountsTheBlocksLibjpegVisitsPaddingIncluded)
{
    // Two MCUs of 16 x 16 pixels, each of four luminance and two colour blocks.
    const TJpegFrame frame = TestJpegFrame(17, 9, {{2, 2}, {1, 1}, {1, 1}}, true);
    EXPECT_EQ(ScanBlocks(frame, Scan({0, 1, 2})), 2u * 6);
    EXPECT_EQ(ScanBlocks(frame, Scan({0})), 3u * 2);
    EXPECT_EQ(ScanBlocks(frame, Scan({2})), 2u * 1);
    EXPECT_EQ(CoefficientBytes(frame), (4u * 2 + 2 + 2) * 128);

    // One pixel high, luminance sampled 4 x 4: every MCU holds 16 + 1 blocks,
    // of which one row of luminance lies in the image.
    const TJpegFrame strip = TestJpegFrame(100, 1, {{4, 4}, {1, 1}}, true);
    EXPECT_EQ(ScanBlocks(strip, Scan({0, 1})), 4u * 17);
    EXPECT_EQ(ScanBlocks(strip, Scan({0})), 13u);
    EXPECT_EQ(CoefficientBytes(strip), (16u * 4 + 4) * 128);
}

TEST(JpegLayout, TheWalkCountsTheScansLibjpegReadsAndNothingElse)
{
    const TJpegFrame frame = TestJpegFrame(40, 24, {{2, 2}, {1, 1}, {1, 1}}, true);
    const std::vector<TJpegScan> scans = SimpleProgression(3);
    std::vector<std::uint8_t> jpeg = FlatTestJpeg(frame, scans);
    TJpegScanTotals totals = Walk(frame, jpeg);
    EXPECT_EQ(totals.Scans, scans.size());
    EXPECT_EQ(totals.Work, TotalWork(frame, scans));
    EXPECT_TRUE(totals.MultiScan);

    // A comment holding a scan header, and one after the end of the image,
    // count for nothing.
    const std::vector<std::uint8_t> sos{0xFF, 0xDA, 0, 8, 1, 1, 0, 1, 63, 0};
    std::vector<std::uint8_t> comment{0xFF, 0xFE, 0, static_cast<std::uint8_t>(sos.size() + 2)};
    comment.insert(comment.end(), sos.begin(), sos.end());
    jpeg.insert(jpeg.begin() + 2, comment.begin(), comment.end());
    jpeg.insert(jpeg.end(), sos.begin(), sos.end());
    totals = Walk(frame, jpeg);
    EXPECT_EQ(totals.Scans, scans.size());
    EXPECT_EQ(totals.Work, TotalWork(frame, scans));

    // A sequential file whose first scan holds every component has one scan.
    const TJpegFrame baseline = TestJpegFrame(40, 24, {{2, 2}, {1, 1}, {1, 1}}, false);
    totals = Walk(baseline, WithLastScanRepeated(FlatTestJpeg(baseline, OneScan(3)), 5));
    EXPECT_EQ(totals.Scans, 1u);
    EXPECT_EQ(totals.Work, ScanWork(baseline, OneScan(3)[0]));
    EXPECT_FALSE(totals.MultiScan);
    const std::vector<TJpegScan> perComponent{Scan({0}), Scan({1}), Scan({2})};
    totals = Walk(baseline, FlatTestJpeg(baseline, perComponent));
    EXPECT_EQ(totals.Scans, 3u);
    EXPECT_TRUE(totals.MultiScan);
}

TEST(JpegLayout, ARepeatedSelectorStandsForTheNextIdAsInLibjpeg)
{
    const TJpegFrame frame = TestJpegFrame(64, 64, {{1, 1}, {2, 2}}, false);
    std::vector<std::uint8_t> jpeg = FlatTestJpeg(frame, {Scan({0, 1})});
    // The second selector of the scan header: FF DA, length, count, id, table, id.
    const std::uint8_t marker[] = {0xFF, 0xDA};
    const auto sos = std::search(jpeg.begin(), jpeg.end(), std::begin(marker), std::end(marker));
    sos[7] = 1;
    EXPECT_EQ(Walk(frame, jpeg).Work, ScanWork(frame, Scan({0, 1})));
}

TEST(JpegLayout, AScanHeaderCutShortByTheEndOfTheDataIsNotReadPastIt)
{
    // The fuzzer's find: FF DA and a length of 0 to 3 as the file's last
    // bytes. The copy holds exactly those bytes, so that a read past them is
    // caught under the address sanitizer.
    const TJpegFrame frame = TestJpegFrame(16, 16, {{1, 1}}, true);
    std::vector<std::uint8_t> jpeg = FlatTestJpeg(frame, SimpleProgression(1));
    jpeg.resize(jpeg.size() - 2);
    const TJpegScanTotals whole = Walk(frame, jpeg);
    for (std::uint8_t length = 0; length < 4; ++length) {
        std::vector<std::uint8_t> cut = jpeg;
        cut.insert(cut.end(), {0xFF, 0xDA, 0, length});
        cut.shrink_to_fit();
        EXPECT_EQ(Walk(frame, cut).Scans, whole.Scans) << int{length};
    }
}

TEST(JpegLayout, ArithmeticCodingChargesTheDecisionsOfEachBlock)
{
    TJpegFrame frame = TestJpegFrame(8, 8, {{1, 1}}, false);
    frame.Arithmetic = true;
    // Before decoding: the block, and 32 decisions for its DC coefficient.
    EXPECT_EQ(ScanWeight(frame, Scan({0})), 2u + 32);
    // Zigzag positions 1 (natural 1), 3 (natural 8) and 7 (natural 10): the
    // end 1, the zeros at 2, 4, 5 and 6 one each, then 4 for |1|, 3 + 2 for
    // |-2| and 3 + 2 * 11 for 1025.
    std::int16_t block[64] = {};
    block[1] = 1;
    block[8] = -2;
    block[10] = 1025;
    EXPECT_EQ(ArithmeticCoefficientWork(frame, Scan({0}), block), 1u + 4 + 4 + 5 + 25);
    // A progressive band from position 6 holds one zero and 1025; a
    // refinement with Al = 1 costs 2 a zero, 3 for the new value -2 and 1 for
    // each other value.
    frame.Progressive = true;
    TJpegScan scan = Scan({0});
    scan.Ss = 6;
    EXPECT_EQ(ArithmeticCoefficientWork(frame, scan, block), 1u + 1 + 25);
    scan.Ss = 1;
    scan.Ah = 2;
    scan.Al = 1;
    EXPECT_EQ(ArithmeticCoefficientWork(frame, scan, block), 1u + 8 + 3 + 1 + 1);
}
