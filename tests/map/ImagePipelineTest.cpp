#include "Errors.h"
#include "ImagePipeline.h"
#include "TestJpeg.h"

#include <gtest/gtest.h>

#include <csignal>
#include <filesystem>
#include <future>

#include <sys/resource.h>

namespace {

class ImagePipelineTest : public ::testing::Test {
protected:
    void SetUp() override { std::filesystem::create_directory(Folder); }
    void TearDown() override { std::filesystem::remove_all(Folder); }

    std::filesystem::path Folder =
        TempTestPath(std::string("pipeline-") + ::testing::UnitTest::GetInstance()->current_test_info()->name());
    std::string JpegName = (Folder / "bigmap_hi.jpg").string();
    std::string TempName = (Folder / "~temp.bmp").string();
};

} // namespace

TEST_F(ImagePipelineTest, GivesTheDecodedMapTwiceAndRemovesTheTemporaryFile)
{
    const std::vector<std::uint8_t> jpeg = EncodeTestJpeg(SmoothTestPicture(71, 45));
    WriteTestFile(JpegName, jpeg);
    WriteTestFile(TempName, {'o', 'l', 'd'});

    const TMapPictures pictures = LoadMapPictures(JpegName, TempName);
    EXPECT_FALSE(std::filesystem::exists(TempName));
    EXPECT_TRUE(pictures.Picture == ReferenceDecode(jpeg));
    EXPECT_TRUE(pictures.Master == pictures.Picture);
    EXPECT_TRUE(pictures.Master.SharesPixelsWith(pictures.Picture));

    // A link under the temporary name is replaced, not written through.
    std::filesystem::create_symlink("bigmap_hi.jpg", TempName);
    EXPECT_TRUE(LoadMapPictures(JpegName, TempName).Picture == pictures.Picture);
    EXPECT_EQ(ReadTestFile(JpegName), jpeg);
    EXPECT_FALSE(std::filesystem::exists(std::filesystem::symlink_status(TempName)));
}

TEST_F(ImagePipelineTest, StopsAtTheFailingStep)
{
    const std::string unwritable = (Folder / "missing" / "~temp.bmp").string();
    WriteTestFile(JpegName, EncodeTestJpeg(SmoothTestPicture(8, 8)));
    try {
        LoadMapPictures(JpegName, unwritable);
        ADD_FAILURE() << "no error";
    } catch (const EFCreateError& error) {
        EXPECT_EQ(error.what(), "Cannot create file " + unwritable);
    }

    WriteTestFile(JpegName, {'n', 'o', 't', ' ', 'a', ' ', 'm', 'a', 'p'});
    try {
        LoadMapPictures(JpegName, TempName);
        ADD_FAILURE() << "no error";
    } catch (const EJPEG& error) {
        EXPECT_STREQ(error.what(), "JPEG error #53");
    }
    EXPECT_FALSE(std::filesystem::exists(TempName));

    std::filesystem::remove(JpegName);
    EXPECT_THROW(LoadMapPictures(JpegName, TempName), EFOpenError);
}

TEST_F(ImagePipelineTest, AFailedWriteRemovesThePartialFile)
{
    WriteTestFile(JpegName, EncodeTestJpeg(SmoothTestPicture(200, 100)));
    // A file size limit makes the write fail half way, as a full disk would.
    rlimit old{};
    ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &old), 0);
    const auto previous = std::signal(SIGXFSZ, SIG_IGN);
    rlimit small = old;
    small.rlim_cur = 16384;
    ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &small), 0);
    EXPECT_THROW(LoadMapPictures(JpegName, TempName), EWriteError);
    ::setrlimit(RLIMIT_FSIZE, &old);
    std::signal(SIGXFSZ, previous);
    EXPECT_FALSE(std::filesystem::exists(TempName));
}

TEST_F(ImagePipelineTest, WithoutAWorkerTheMapLoadsOnTheCallingThread)
{
    const std::vector<std::uint8_t> jpeg = EncodeTestJpeg(SmoothTestPicture(9, 7));
    WriteTestFile(JpegName, jpeg);
    std::future<TMapPictures> none;
    EXPECT_TRUE(FinishLoadingMapPictures(none, JpegName, TempName).Picture == ReferenceDecode(jpeg));
}
