#include "BmpFile.h"
#include "Color.h"
#include "JpegImage.h"
#include "ScratchDir.h"
#include "TestJpeg.h"

#include <gtest/gtest.h>

#include <cstdlib>
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
    EXPECT_EQ(Render(dir, "text.jpg 0 out.bmp").Err, "JPEG error #53.\n");
    EXPECT_EQ(Render(dir, "text.jpg 0 out.bmp").Status, 1);
    EXPECT_EQ(Render(dir, "missing.jpg 0 out.bmp").Err, "Cannot open file missing.jpg.\n");
    for (const std::string args : {"text.jpg 7 out.bmp", "text.jpg -1 out.bmp", "text.jpg 00 out.bmp", "text.jpg 0"}) {
        const TRenderRun run = Render(dir, args);
        EXPECT_EQ(run.Status, 2) << args;
        EXPECT_EQ(run.Err.rfind("usage: ", 0), 0u) << args;
    }
}
