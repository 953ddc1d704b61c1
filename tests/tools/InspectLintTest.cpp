#include "InspectProcess.h"
#include "TestJpeg.h"

#include <gtest/gtest.h>

#include <string>

namespace {

std::string Record(const std::string& name, const std::string& type, const std::string& pos)
{
    return "[loc]\nname: " + name + "\n\n\ntype: " + type + "\n\n\npos:  " + pos + "\n";
}

const std::string Harrowgate = Record("Harrowgate", "2", "-41250,18700");

} // namespace

TEST(InspectLint, ReportsEachMistakeAtItsLineAndGoesOnPastBadValues)
{
    TScratchDir dir;
    dir.Write("db.gdb", Harrowgate +                                           // 1
                            "; blocks of places\nname: Ash\n\n\ntype: 1\n\n\npos:  0,0\n" + // 9
                            Record("Gor", "1.5", "0,0 ") +                     // 17
                            Record("", "5", "0,0") +                           // 25
                            Record(" Fen ", "-1", "0,0") +                     // 33
                            Record("Harrowgate", "1", "200000,0") +            // 41
                            Record("Cr\xC3\xA9vanne", "1", "174600,0") +       // 49
                            Record("Bad\x81", "1", "0,0") +                    // 57
                            "[loc]\nname: Ok\n\n\nsize: 1\n\n\npos:  0,0\n" + // 65
                            std::string(300, '#') + "\n[loc]\nname: Cut\n\x1A" + Harrowgate);
    const TInspectRun run = RunInspect(dir, "lint db.gdb");
    EXPECT_EQ(run.Status, 1);
    EXPECT_EQ(run.Err, "");
    EXPECT_EQ(run.Out,
              "db.gdb:9: warning: this line starts a record because of \"blocks\" (every line holding \"loc\" does); "
              "markers normally begin with \"[loc\"\n"
              "db.gdb:21: error: the type '1.5' is not a valid integer value; the viewer stops reading the file here\n"
              "db.gdb:24: error: Y '0 ' is not a valid integer value; the viewer stops reading the file here\n"
              "db.gdb:26: warning: the name is empty: the place gets no label and an empty entry in the location list\n"
              "db.gdb:29: warning: type 5 is never drawn on the map, though Go still goes to the place; types run "
              "from 0 to 4\n"
              "db.gdb:34: warning: the name \" Fen \" begins and ends with a blank, which is part of the name\n"
              "db.gdb:37: warning: type -1 is drawn from level 1 on but never on the overview; types run from 0 to 4\n"
              "db.gdb:42: warning: the name \"Harrowgate\" is already used at line 2; Go always goes to that earlier "
              "place\n"
              "db.gdb:48: warning: the place lies off the 3300 x 3800 map, at pixel (3574, 2388)\n"
              "db.gdb:50: warning: the name \"Cr\xC3\xA9vanne\" looks like UTF-8, but the viewer reads Windows-1252 "
              "and shows \"Cr\xC3\x83\xC2\xA9vanne\"; save the file as Windows-1252\n"
              "db.gdb:56: warning: the marker at pixel (3295, 2388) is within 5 pixels of the right edge of the "
              "3300 x 3800 map, so its name falls off the map\n"
              "db.gdb:58: warning: the name \"Bad\\x81\" holds the byte 0x81, which Windows-1252 leaves undefined\n"
              "db.gdb:69: warning: the type line (line 5 of the record) begins with \"size: \" instead of \"type: \"; "
              "are the record's lines shifted?\n"
              "db.gdb:73: warning: the line is longer than 253 characters; the viewer reads it as several lines\n"
              "db.gdb:74: warning: the end of the data cuts this record short; the viewer drops it\n"
              "db.gdb:76: warning: a byte 0x1A (Ctrl-Z) ends the data here; the viewer reads nothing after it\n"
              "8 places, 2 errors, 14 warnings\n");
}

TEST(InspectLint, CleanFileHasNoFindingsAndTheMapSizeComesFromItsHeader)
{
    TScratchDir dir;
    dir.Write("knmain.gdb", "; places\r\n" + Harrowgate + "\x1A");
    const TInspectRun clean = RunInspect(dir, "lint");
    EXPECT_EQ(clean.Status, 0);
    EXPECT_EQ(clean.Out, "1 place, 0 errors, 0 warnings\n");

    WriteTestFile(dir.Path() / "small.jpg", EncodeTestJpeg(SmoothTestPicture(47, 38)));
    const TInspectRun small = RunInspect(dir, "lint --map small.jpg");
    EXPECT_EQ(small.Status, 1);
    EXPECT_EQ(small.Out, "knmain.gdb:9: warning: the place lies off the 47 x 38 map, at pixel (921, -1576)\n"
                         "1 place, 0 errors, 1 warning\n");
}

TEST(InspectLint, WrongCommandLineOrUnreadableFileExitsWithTwo)
{
    TScratchDir dir;
    dir.Write("text.jpg", "not a picture\n");
    EXPECT_EQ(RunInspect(dir, "lint --help").Status, 0);
    for (const std::string args : {"a b", "--bogus", "a --map", "--map x.jpg --map y.jpg"})
        EXPECT_EQ(RunInspect(dir, "lint " + args).Status, 2) << args;
    EXPECT_EQ(RunInspect(dir, "lint").Err, "kelderwyn-inspect: Cannot open file knmain.gdb: No such file or directory.\n");
    const TInspectRun map = RunInspect(dir, "lint text.jpg --map text.jpg");
    EXPECT_EQ(map.Status, 2);
    EXPECT_EQ(map.Err, "kelderwyn-inspect: text.jpg: JPEG error #53: Not a JPEG file: starts with 0x6e 0x6f.\n");
}
