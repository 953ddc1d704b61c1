#include "Errors.h"
#include "FileIO.h"
#include "ScratchDir.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>

#include <sys/fsuid.h>

namespace fs = std::filesystem;

namespace {

std::string Contents(const fs::path& path)
{
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void WriteThrough(const TFilePtr& file, const std::string& text)
{
    ASSERT_EQ(std::fwrite(text.data(), 1, text.size(), file.get()), text.size());
}

} // namespace

TEST(FileIO, ReplacingANameNeverWritesThroughWhatStandsThere)
{
    const TScratchDir dir;
    const fs::path folder = dir.Path() / "work";
    fs::create_directory(folder);
    const std::string precious = dir.Write("precious.txt", "my notes");
    const std::string temp = (folder / "~temp.bmp").string();
    const fs::path outside = dir.Path() / "created-outside";

    const auto plant = [&](int kind) {
        if (kind == 0)
            fs::create_symlink("../precious.txt", temp);
        else if (kind == 1)
            fs::create_hard_link(precious, temp);
        else
            fs::create_symlink(outside, temp);
    };
    for (int kind = 0; kind < 3; ++kind) {
        SCOPED_TRACE("kind " + std::to_string(kind));
        plant(kind);
        {
            const TFilePtr file = CreateReplacing(temp);
            WriteThrough(file, "BM");
            EXPECT_FALSE(fs::is_symlink(temp));
            EXPECT_EQ(fs::hard_link_count(temp), 1u);
            RemoveIfStillNamed(temp, file.get());
        }
        EXPECT_FALSE(fs::exists(fs::symlink_status(temp)));
        EXPECT_EQ(Contents(precious), "my notes");
        EXPECT_FALSE(fs::exists(outside));
    }

    fs::create_directory(temp);
    EXPECT_THROW(CreateReplacing(temp), EFCreateError);
    EXPECT_TRUE(fs::is_directory(temp));
}

TEST(FileIO, OnlyTheFileItselfIsRemovedOrReadBack)
{
    const TScratchDir dir;
    const std::string temp = (dir.Path() / "~temp.bmp").string();
    const std::string other = dir.Write("other", "planted");
    const TFilePtr file = CreateReplacing(temp);
    WriteThrough(file, "written");

    // The name is taken over between the write and the read-back.
    fs::remove(temp);
    fs::create_symlink(other, temp);
    std::rewind(file.get());
    char back[7] = {};
    EXPECT_EQ(ReadFully(file.get(), back, sizeof back, temp), sizeof back);
    EXPECT_EQ(std::string(back, sizeof back), "written");
    RemoveIfStillNamed(temp, file.get());
    EXPECT_TRUE(fs::is_symlink(temp));
    EXPECT_EQ(Contents(other), "planted");

    EXPECT_THROW(OpenForReading(dir.Path().string()), EFOpenError);
}

TEST(FileIO, AFolderThatKeepsTheNameReusesOnlyABmpLeftThere)
{
    const TScratchDir dir;
    const fs::path folder = dir.Path() / "read-only";
    fs::create_directory(folder);
    // An earlier start's leftover: the signature and the file's own size.
    const std::string temp = dir.Write("read-only/~temp.bmp", std::string("BM\x08\0\0\0..", 8));
    fs::permissions(temp, fs::perms::all);
    fs::permissions(folder, fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write,
                    fs::perm_options::remove);
    {
        // Root passes over permission bits: for the file system this thread
        // acts as nobody until the block ends.
        const std::shared_ptr<void> nobody(nullptr, [user = ::setfsuid(65534)](void*) { ::setfsuid(user); });
        if (std::ofstream(folder / "probe"))
            GTEST_SKIP() << "this user may write in a read-only folder";
        {
            const TFilePtr file = CreateReplacing(temp);
            WriteThrough(file, "BM new");
            RemoveIfStillNamed(temp, file.get());
        }
        EXPECT_EQ(Contents(temp), "BM new");
        // Anything else stays as it is: text, or a BMP that states another size.
        for (const std::string& other : {std::string("my notes"), std::string("BM\x99\0\0\0..", 8)}) {
            std::ofstream(temp, std::ios::binary | std::ios::trunc) << other;
            EXPECT_THROW(CreateReplacing(temp), EFCreateError);
            EXPECT_EQ(Contents(temp), other);
        }
    }
    fs::permissions(folder, fs::perms::owner_all);
}
