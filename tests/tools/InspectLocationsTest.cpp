#include "InspectProcess.h"

#include <gtest/gtest.h>

#include <string>

namespace {

TInspectRun Inspect(const TScratchDir& dir, const std::string& args)
{
    return RunInspect(dir, "locations " + args);
}

} // namespace

TEST(InspectLocations, ListsRecordsWithEscapedNames)
{
    TScratchDir dir;
    dir.Write("knmain.gdb", "[loc 1]\r\nname: Harrowgate\r\n\r\n\r\ntype: 2\r\n\r\n\r\npos:  -41250,18700\r\n"
                            "loc\nname: a\\b\tc\x01\x1f\x7f\xe9 \n\n\ntype: $FFFFFFFF\n\n\npos:  0x10,-2147483648");
    const TInspectRun run = Inspect(dir, "");
    EXPECT_EQ(run.Status, 0);
    EXPECT_EQ(run.Out, "Harrowgate\t2\t-41250\t18700\n"
                       "a\\\\b\\tc\\x01\\x1F\x7f\xe9 \t-1\t16\t-2147483648\n");
    EXPECT_EQ(run.Err, "");
}

TEST(InspectLocations, BadValuePrintsEarlierRecordsAndItsLine)
{
    TScratchDir dir;
    dir.Write("db.gdb", std::string(300, '#') + "\nloc\nname: A\n\n\ntype: 1\n\n\npos:  1,2\n"
                        "loc\nname: B\n\n\ntype: 1\n\n\npos:  3,4 \nloc\nname: C\n\n\ntype: 1\n\n\npos:  5,6\n");
    const TInspectRun run = Inspect(dir, "db.gdb");
    EXPECT_EQ(run.Status, 1);
    EXPECT_EQ(run.Out, "A\t1\t1\t2\n");
    EXPECT_EQ(run.Err, "kelderwyn-inspect: db.gdb:17: '4 ' is not a valid integer value.\n");
}

TEST(InspectLocations, MissingFileOrFolder)
{
    TScratchDir dir;
    std::filesystem::create_directory(dir.Path() / "folder");
    for (const std::string name : {"knmain.gdb", "folder"}) {
        const TInspectRun run = Inspect(dir, name == "knmain.gdb" ? "" : name);
        EXPECT_EQ(run.Status, 1);
        EXPECT_EQ(run.Out, "");
        EXPECT_EQ(run.Err, "kelderwyn-inspect: Cannot open file " + name +
                               (name == "folder" ? ": Is a directory.\n" : ": No such file or directory.\n"));
    }
}

TEST(InspectLocations, CutShortRecordIsWarnedAboutButLoads)
{
    TScratchDir dir;
    dir.Write("knmain.gdb", "loc\nname: A\n\n\ntype: 1\n\n\npos:  1,2\nloc\nname: B\n");
    const TInspectRun run = Inspect(dir, "knmain.gdb");
    EXPECT_EQ(run.Status, 0);
    EXPECT_EQ(run.Out, "A\t1\t1\t2\n");
    EXPECT_EQ(run.Err, "kelderwyn-inspect: knmain.gdb:9: warning: record cut short by the end of the data, dropped\n");
}

TEST(InspectLocations, HelpAndUsageErrors)
{
    TScratchDir dir;
    const TInspectRun help = Inspect(dir, "--help");
    EXPECT_EQ(help.Status, 0);
    EXPECT_NE(help.Out.find("usage: kelderwyn-inspect locations [FILE]"), std::string::npos);
    EXPECT_EQ(Inspect(dir, "a b").Status, 2);
    EXPECT_EQ(Inspect(dir, "--bogus").Status, 2);
}
