#include "BmpFile.h"
#include "Color.h"
#include "JpegImage.h"
#include "ScratchDir.h"
#include "TestJpeg.h"
#include "ZoomGeometry.h"

#include <QImage>

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>
#include <string>
#include <sys/wait.h>

namespace {

struct TRenderRun {
    int Status;
    std::string Err;
};

TRenderRun Render(const TScratchDir& dir, const std::string& args)
{
    const std::string command =
        "cd '" + dir.Path().string() + "' && '" KELDERWYN_INSPECT "' render " + args + " 2>err.txt";
    const int status = std::system(command.c_str());
    std::ifstream err(dir.Path() / "err.txt");
    return {WIFEXITED(status) ? WEXITSTATUS(status) : -1,
            {std::istreambuf_iterator<char>(err), std::istreambuf_iterator<char>()}};
}

} // namespace

TEST(InspectRender, WritesTheScaledMapOfTheLevelAndNoTemporaryFile)
{
    TScratchDir dir;
    const std::vector<std::uint8_t> jpeg = EncodeTestJpeg(SmoothTestPicture(47, 38));
    WriteTestFile(dir.Path() / "map.jpg", jpeg);
    TJPEGImage image;
    image.LoadFromMemory(jpeg.data(), jpeg.size());
    TBitmap master;
    image.DecodeInto(master);

    for (int level : {0, 5, 6}) {
        const TRenderRun run = Render(dir, "map.jpg " + std::to_string(level) + " out.bmp");
        ASSERT_EQ(run.Status, 0) << run.Err;
        TBitmap expected = master;
        ScaleMap(level, master, expected);
        EXPECT_EQ(LoadBitmapFromFile((dir.Path() / "out.bmp").string()), expected) << "level " << level;
    }
    int files = 0;
    for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator(dir.Path()))
        ++files;
    EXPECT_EQ(files, 3);
}

TEST(InspectRender, ReportsTheViewersMessageAndUsage)
{
    TScratchDir dir;
    dir.Write("text.jpg", "not a picture\n");
    EXPECT_EQ(Render(dir, "text.jpg 0 out.bmp").Err,
              "kelderwyn-inspect: text.jpg: JPEG error #53: Not a JPEG file: starts with 0x6e 0x6f.\n");
    EXPECT_EQ(Render(dir, "text.jpg 0 out.bmp").Status, 1);
    EXPECT_EQ(Render(dir, "missing.jpg 0 out.bmp").Err,
              "kelderwyn-inspect: Cannot open file missing.jpg: No such file or directory.\n");
    const std::pair<std::string, std::string> wrong[] = {
        {"text.jpg 7 out.bmp", "invalid level '7' (0 to 6)"}, {"text.jpg 0", "missing OUT.bmp or OUT.png"},
        {"text.jpg 0 out.jpg", "cannot write 'out.jpg': the name must end in .bmp or .png"}};
    for (const auto& [args, what] : wrong) {
        const TRenderRun run = Render(dir, args);
        EXPECT_EQ(run.Status, 2) << args;
        EXPECT_EQ(run.Err, "kelderwyn-inspect render: " + what +
                               "\nTry 'kelderwyn-inspect render --help' for more information.\n");
    }
}

// --markers draws the level's markers for the places of a database over the
// same picture; a database the viewer cannot read is reported as it would be.
TEST(InspectRender, WithMarkersDrawsThePlacesTheLevelShows)
{
    TScratchDir dir;
    WriteTestFile(dir.Path() / "map.jpg", EncodeTestJpeg(SmoothTestPicture(330, 380)));
    const std::string place = "[loc]\nname: Harrowgate\n-\n-\ntype: 4\n-\n-\npos:  -120000,-";
    dir.Write("places.gdb", place + "104000\n");
    dir.Write("bad.gdb", place + "2x\n");
    const TMapPoint point = WorldToMap(-120000, -104000, 6, 380);
    ASSERT_TRUE(point.X >= 0 && point.X < 300 && point.Y >= 0 && point.Y < 350);

    for (const int level : {5, 6}) {
        const std::string args = " map.jpg " + std::to_string(level) + " ";
        ASSERT_EQ(Render(dir, args + "plain.bmp").Status, 0);
        const TRenderRun run = Render(dir, "--markers places.gdb" + args + "marked.bmp");
        ASSERT_EQ(run.Status, 0) << run.Err;
        EXPECT_EQ(run.Err, "");
        const TBitmap plain = LoadBitmapFromFile((dir.Path() / "plain.bmp").string());
        const TBitmap marked = LoadBitmapFromFile((dir.Path() / "marked.bmp").string());
        if (level == 5) {
            EXPECT_EQ(marked, plain) << "level 5 shows no village";
            continue;
        }
        const std::uint8_t* corner = marked.ScanLine(point.Y) + 3 * point.X;
        EXPECT_EQ(std::vector<int>(corner, corner + 3), (std::vector<int>{155, 241, 255}));
        EXPECT_NE(std::memcmp(marked.ScanLine(point.Y + 9), plain.ScanLine(point.Y + 9), plain.RowStride()), 0)
            << "the label";
    }
    EXPECT_EQ(Render(dir, "--markers bad.gdb map.jpg 6 out.bmp").Err,
              "kelderwyn-inspect: bad.gdb: '-2x' is not a valid integer value.\n");
    const TRenderRun missing = Render(dir, "--markers none.gdb map.jpg 6 out.bmp");
    EXPECT_EQ(missing.Status, 1);
    EXPECT_EQ(missing.Err, "kelderwyn-inspect: Cannot open file none.gdb: No such file or directory.\n");
    EXPECT_EQ(Render(dir, "--markers map.jpg 6 out.bmp").Status, 2);
}

TEST(InspectRender, APngNameGetsThePictureAsPng)
{
    TScratchDir dir;
    WriteTestFile(dir.Path() / "map.jpg", EncodeTestJpeg(SmoothTestPicture(47, 38)));
    ASSERT_EQ(Render(dir, "map.jpg 6 out.bmp").Status, 0);
    ASSERT_EQ(Render(dir, "map.jpg 6 out.PNG").Status, 0);
    const TBitmap bmp = LoadBitmapFromFile((dir.Path() / "out.bmp").string());
    QImage png;
    ASSERT_TRUE(png.load(QString::fromStdString((dir.Path() / "out.PNG").string()), "PNG"));
    png.convertTo(QImage::Format_BGR888);
    ASSERT_EQ(png.size(), QSize(bmp.Width(), bmp.Height()));
    for (int y = 0; y < bmp.Height(); ++y)
        ASSERT_EQ(std::memcmp(png.constScanLine(y), bmp.ScanLine(y), 3 * static_cast<std::size_t>(bmp.Width())), 0) << y;
}
