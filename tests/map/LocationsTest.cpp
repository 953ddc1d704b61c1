#include "Locations.h"

#include "Errors.h"
#include "LocationsAhead.h"
#include "ScratchDir.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <string>
#include <sys/stat.h>
#include <vector>

namespace {

struct TLoaded {
    TLocList List;
    std::vector<std::string> Names;
    bool Closed = false;
    std::string Error; // the message of the exception that ended the load
    TLoadReport Report;
};

TLoaded LoadFile(const std::string& fileName)
{
    TLoaded loaded;
    const TLocationWindow window{[&loaded](const std::string& name) { loaded.Names.push_back(name); },
                                 [&loaded] { loaded.Closed = true; }};
    try {
        LoadLocations(fileName, loaded.List, window, loaded.Report);
    } catch (const EMapError& error) {
        loaded.Error = error.what();
    }
    return loaded;
}

TLoaded Load(const std::string& bytes)
{
    TScratchDir dir;
    return LoadFile(dir.Write("knmain.gdb", bytes));
}

std::string Record(const std::string& name, const std::string& type, const std::string& pos)
{
    return "[loc]\nname: " + name + "\narea: a\nsize: 1\ntype: " + type + "\nicon: 0\nnote: n\npos:  " + pos + "\n";
}

const char Harrowgate[] = "[loc 17]\n"
                          "name: Harrowgate\n"
                          "area: north shore\n"
                          "size: 3\n"
                          "type: 2\n"
                          "icon: 0\n"
                          "note: ferry crossing\n"
                          "pos:  -41250,18700\n";

void ExpectLocation(const TLocation& location, const std::string& name, int type, int x, int y)
{
    EXPECT_EQ(location.Name, name);
    EXPECT_EQ(location.Type, type);
    EXPECT_EQ(location.X, x);
    EXPECT_EQ(location.Y, y);
}

std::string WithCrLf(const std::string& text)
{
    std::string out;
    for (const char c : text)
        out += c == '\n' ? std::string("\r\n") : std::string(1, c);
    return out;
}

} // namespace

TEST(LoadLocations, ReadsTheRecordWithLfOrCrLfLineEnds)
{
    for (const std::string& bytes : {std::string(Harrowgate), WithCrLf(Harrowgate)}) {
        const TLoaded loaded = Load(bytes);
        ASSERT_EQ(loaded.List.size(), 1u);
        ExpectLocation(loaded.List[0], "Harrowgate", 2, -41250, 18700);
        EXPECT_EQ(loaded.Names, std::vector<std::string>{"Harrowgate"});
        EXPECT_EQ(loaded.Error, "");
        EXPECT_FALSE(loaded.Closed);
    }
}

TEST(LoadLocations, EmptyFileOrNoMarkerGivesNothingAndNoError)
{
    for (const char* bytes : {"", "name: x\ntype: 1\n", "LOC\nLoc\nlOc\n"}) {
        const TLoaded loaded = Load(bytes);
        EXPECT_TRUE(loaded.List.empty());
        EXPECT_TRUE(loaded.Names.empty());
        EXPECT_EQ(loaded.Error, "");
    }
}

TEST(LoadLocations, MarkerIsLowerCaseLocAnywhereOutsideARecord)
{
    const TLoaded loaded = Load("; Kelderwyn\n" "LOC Loc\n" + Record("A", "1", "1,2") + "comment\n" +
                                "allocation\nname: B\n\n\ntype: 3\n\n\npos:  5,6\n" +
                                std::string(300, '-') + "loc\nname: C\n\n\ntype: 4\n\n\npos:  7,8\n");
    ASSERT_EQ(loaded.Error, "");
    ASSERT_EQ(loaded.List.size(), 3u);
    ExpectLocation(loaded.List[0], "A", 1, 1, 2);
    ExpectLocation(loaded.List[1], "B", 3, 5, 6);
    ExpectLocation(loaded.List[2], "C", 4, 7, 8);
}

TEST(LoadLocations, LocInsideARecordStartsNoOtherRecord)
{
    const TLoaded loaded = Load("loc\nname: Blocky\nloc\nloc\ntype: 1\nloc\nloc\npos:  1,2\n"
                                "between\n" +
                                Record("Second", "2", "3,4"));
    ASSERT_EQ(loaded.Error, "");
    ASSERT_EQ(loaded.List.size(), 2u);
    ExpectLocation(loaded.List[0], "Blocky", 1, 1, 2);
    ExpectLocation(loaded.List[1], "Second", 2, 3, 4);
}

TEST(LoadLocations, FinalMarkerLineWithoutLineFeedStartsNoRecord)
{
    const TLoaded loaded = Load(std::string(Harrowgate) + "[loc 18]");
    EXPECT_EQ(loaded.List.size(), 1u);
    EXPECT_EQ(loaded.Names.size(), 1u);
    EXPECT_EQ(loaded.Report.DroppedLine, 0);
}

TEST(LoadLocations, ValueTextsAreTakenByPosition)
{
    const TLoaded loaded = Load("loc\nname:\n\n\ntype: 1\n\n\npos:  1,2\n"
                                "loc\nname: \n\n\ntype:1 2\n\n\npos:  1,2\n"
                                "loc\nname:   two  blanks \n\n\n12345   7\n\n\nXXXXXX  -3,  $10\n"
                                "loc\nn\n\n\ntype: 0\n\n\n,,,,, 9,-9\n");
    ASSERT_EQ(loaded.Error, "");
    ASSERT_EQ(loaded.List.size(), 4u);
    ExpectLocation(loaded.List[0], "", 1, 1, 2);
    ExpectLocation(loaded.List[1], "", 2, 1, 2);
    ExpectLocation(loaded.List[2], "  two  blanks ", 7, -3, 16);
    ExpectLocation(loaded.List[3], "", 0, 9, -9);
    EXPECT_EQ(loaded.Names, (std::vector<std::string>{"", "", "  two  blanks ", ""}));
}

TEST(LoadLocations, BadValueTextsFailWithTheWholeText)
{
    EXPECT_EQ(Load(Record("A", "", "1,2")).Error, "'' is not a valid integer value");
    EXPECT_EQ(Load("loc\nname: A\n\n\ntype\n\n\npos:  1,2\n").Error, "'' is not a valid integer value");
    EXPECT_EQ(Load(Record("A", "2 ", "1,2")).Error, "'2 ' is not a valid integer value");
    EXPECT_EQ(Load(Record("A", "2", "1,2,3")).Error, "'1,2' is not a valid integer value");
    EXPECT_EQ(Load(Record("A", "2", "1,")).Error, "'' is not a valid integer value");
    EXPECT_EQ(Load(Record("A", "2", "12")).Error, "'' is not a valid integer value");
    EXPECT_EQ(Load("loc\nname: A\n\n\ntype: 1\n\n\npos,:1,2\n").Error, "'' is not a valid integer value");
    EXPECT_EQ(Load("loc\nname: A\n\n\ntype: 1\n\n\np,s:  12\n").Error, "'' is not a valid integer value");
}

TEST(LoadLocations, ConvertsTypeThenXThenY)
{
    EXPECT_EQ(Load(Record("A", "t", "x,y")).Error, "'t' is not a valid integer value");
    EXPECT_EQ(Load(Record("A", "1", "x,y")).Error, "'x' is not a valid integer value");
    EXPECT_EQ(Load(Record("A", "1", "1,y")).Error, "'y' is not a valid integer value");
}

TEST(LoadLocations, FailureKeepsEarlierRecordsAndReadsNoFurther)
{
    const TLoaded loaded = Load(Record("First", "0", "1,1") + Record("Bad", "1", "2, 3 ") + Record("Later", "1", "4,4"));
    EXPECT_EQ(loaded.Error, "' 3 ' is not a valid integer value");
    ASSERT_EQ(loaded.List.size(), 1u);
    EXPECT_EQ(loaded.List[0].Name, "First");
    EXPECT_EQ(loaded.Names, (std::vector<std::string>{"First", "Bad"}));
    EXPECT_EQ(loaded.Report.FailedLine, 16);
}

TEST(LoadLocations, ReportsTheFileLineOfTheFailingValue)
{
    const std::string head = WithCrLf(std::string(600, '=') + "\n" + Record("A", "1", "1,1"));
    EXPECT_EQ(Load(head + Record("B", "?", "2,2")).Report.FailedLine, 14);
    EXPECT_EQ(Load(head + Record("B", "1", "2,?")).Report.FailedLine, 17);
    EXPECT_EQ(Load(head + Record("B", "1", "2,2")).Report.FailedLine, 0);
}

TEST(LoadLocations, DuplicateNamesGiveSeparateRecordsAndEntries)
{
    const TLoaded loaded = Load(Record("Ford", "1", "1,1") + Record("Ford", "2", "2,2"));
    ASSERT_EQ(loaded.List.size(), 2u);
    EXPECT_EQ(loaded.List[0].Type, 1);
    EXPECT_EQ(loaded.List[1].Type, 2);
    EXPECT_EQ(loaded.Names, (std::vector<std::string>{"Ford", "Ford"}));
}

TEST(LoadLocations, RefusedEntryDiscardsTheCurrentRecordOnly)
{
    TScratchDir dir;
    const std::string file = dir.Write("knmain.gdb", Record("A", "1", "1,1") + Record("B", "2", "2,2") + Record("C", "3", "3,3"));
    TLocList list;
    int added = 0;
    const TLocationWindow window{[&added](const std::string&) {
                                     if (++added == 2)
                                         throw EOutOfResources("Unable to insert a line");
                                 },
                                 [] {}};
    EXPECT_THROW(LoadLocations(file, list, window), EOutOfResources);
    ASSERT_EQ(list.size(), 1u);
    EXPECT_EQ(list[0].Name, "A");
}

TEST(LoadLocations, MissingFileOrFolderClosesTheWindowAndReadsNothing)
{
    TScratchDir dir;
    std::filesystem::create_directory(dir.Path() / "knmain.gdb");
    for (const std::filesystem::path& path : {dir.Path() / "absent.gdb", dir.Path() / "knmain.gdb"}) {
        const TLoaded loaded = LoadFile(path.string());
        EXPECT_TRUE(loaded.Closed);
        EXPECT_TRUE(loaded.List.empty());
        EXPECT_EQ(loaded.Error, "");
    }
}

TEST(FileExists, RegularFilesOnlyWhateverTheirTimeStamp)
{
    TScratchDir dir;
    const std::string file = dir.Write("knmain.gdb", "x");
    EXPECT_TRUE(FileExists(file));
    EXPECT_FALSE(FileExists((dir.Path() / "none").string()));
    EXPECT_FALSE(FileExists(dir.Path().string()));
    using namespace std::chrono;
    const auto now = std::filesystem::last_write_time(file);
    for (const auto shift : {-hours(24 * 365 * 60), hours(24 * 365 * 150)}) {
        std::filesystem::last_write_time(file, now + shift);
        EXPECT_TRUE(FileExists(file));
        const TLoaded loaded = LoadFile(dir.Write("knmain.gdb", Harrowgate));
        EXPECT_EQ(loaded.List.size(), 1u);
    }
}

TEST(LoadLocations, FileThatCannotBeOpenedRaisesCannotOpen)
{
    TScratchDir dir;
    std::string file = dir.Write("knmain.gdb", Harrowgate);
    ::chmod(file.c_str(), 0);
    if (std::FILE* probe = std::fopen(file.c_str(), "rb")) {
        // Privileged users read anything; a write-only kernel setting is still unreadable.
        std::fclose(probe);
        file = "/proc/sys/vm/drop_caches";
        probe = std::fopen(file.c_str(), "rb");
        if (probe || !FileExists(file)) {
            if (probe)
                std::fclose(probe);
            GTEST_SKIP() << "no unreadable regular file available";
        }
    }
    const TLoaded loaded = LoadFile(file);
    EXPECT_EQ(loaded.Error, "Cannot open file " + file);
    EXPECT_FALSE(loaded.Closed);
}

TEST(LoadLocations, LastValueLineWithoutLineFeedKeepsItsLastCharacter)
{
    std::string bytes = Harrowgate;
    bytes.pop_back();
    ExpectLocation(Load(bytes).List.at(0), "Harrowgate", 2, -41250, 18700);
    ExpectLocation(Load(WithCrLf(bytes)).List.at(0), "Harrowgate", 2, -41250, 18700);
    ExpectLocation(Load(bytes + "\x1A" "1\n").List.at(0), "Harrowgate", 2, -41250, 18700);
    EXPECT_EQ(Load(Record("A", "1", "5,") + "\x1A").Error, "'' is not a valid integer value");
}

TEST(LoadLocations, PiecesOfAnOverLongLineLoseTheirLastCharacter)
{
    const std::string name(300, 'n');
    const TLoaded loaded = Load("loc\nname: " + name + "\nx\ntype: 1\n\n\npos:  1,2\n");
    ASSERT_EQ(loaded.Error, "");
    ASSERT_EQ(loaded.List.size(), 1u);
    // The name line's first piece is 254 characters: tag, 247 name characters,
    // and a last one dropped. The rest of the line is the first filler line.
    EXPECT_EQ(loaded.List[0].Name, std::string(247, 'n'));
    EXPECT_EQ(loaded.List[0].Type, 1);
}

TEST(LoadLocations, RecordCutShortByTheEndIsDroppedNotCompleted)
{
    const std::string first = Record("First", "1", "1,1");
    struct TCase {
        std::string Tail;
        std::vector<std::string> Names;
    };
    // Without the drop, repeats of the last line read would complete each of
    // these ("type: 5" as type, X and Y), or fail on them.
    for (const TCase& c : {TCase{"loc\n", {"First"}},
                           TCase{"loc\nname: 5\n", {"First", "5"}},
                           TCase{"loc\nname: Cut\n\n\ntype: 5\n", {"First", "Cut"}},
                           TCase{"loc\nname: Cut\n\n\ntype: 5\n\n\x1A" "pos:  1,1\n", {"First", "Cut"}},
                           TCase{"loc\nname: Cut\n\n\ntype: 5", {"First", "Cut"}}}) {
        const TLoaded loaded = Load(first + c.Tail);
        EXPECT_EQ(loaded.Error, "") << c.Tail;
        ASSERT_EQ(loaded.List.size(), 1u) << c.Tail;
        EXPECT_EQ(loaded.Names, c.Names) << c.Tail;
        EXPECT_EQ(loaded.Report.DroppedLine, 9) << c.Tail;
    }
    EXPECT_EQ(Load(first + "loc\nname: Cut\n\n\ntype: ?\n").Error, "'?' is not a valid integer value");
}

TEST(LoadLocations, NulBytesAreOrdinaryCharacters)
{
    const std::string nul(1, '\0');
    const TLoaded named = Load("l" + nul + "oc\n" + nul + "loc\nname: a" + nul + "b\n\n\ntype: 1\n\n\npos:  1,2\n");
    ASSERT_EQ(named.List.size(), 1u);
    EXPECT_EQ(named.List[0].Name, "a" + nul + "b");
    EXPECT_EQ(Load(Record("A", "1" + nul, "1,2")).Error, "'1\\x00' is not a valid integer value");
    const TLoaded nuls = Load(std::string(600000, '\0'));
    EXPECT_TRUE(nuls.List.empty());
    EXPECT_EQ(nuls.Error, "");
}

namespace {

// A list that holds one record already, and a window that refuses name
// `refused` (from 1; 0 refuses none). The load runs ahead and is taken later,
// or runs at once.
TLoaded LoadRefusing(const std::string& file, int refused, bool ahead)
{
    TLoaded loaded;
    loaded.List.push_back({"Earlier", 0, 0, 0});
    const TLocationWindow window{[&loaded, refused](const std::string& name) {
                                     if (static_cast<int>(loaded.Names.size()) + 1 == refused)
                                         throw EOutOfResources("Unable to insert a line");
                                     loaded.Names.push_back(name);
                                 },
                                 [&loaded] { loaded.Closed = true; }};
    try {
        if (ahead) {
            TLocationsAhead early = LoadLocationsAhead(file);
            TakeLocations(early, loaded.List, window);
        } else {
            LoadLocations(file, loaded.List, window);
        }
    } catch (const EMapError& error) {
        loaded.Error = error.what();
    }
    return loaded;
}

} // namespace

TEST(LoadLocationsAhead, TakingItDoesWhatTheLoadDoes)
{
    TScratchDir dir;
    const std::string three = Record("A", "1", "1,1") + Record("B", "2", "2,2") + Record("C", "3", "3,3");
    for (const std::string& file :
         {dir.Write("good.gdb", three), dir.Write("bad.gdb", three + Record("D", "?", "4,4")),
          dir.Write("cut.gdb", three + "loc\nname: Cut\n"), (dir.Path() / "absent.gdb").string()})
        for (int refused = 0; refused <= 5; ++refused) {
            const TLoaded direct = LoadRefusing(file, refused, false);
            const TLoaded taken = LoadRefusing(file, refused, true);
            const std::string where = file + " refusing name " + std::to_string(refused);
            ASSERT_EQ(taken.List.size(), direct.List.size()) << where;
            for (std::size_t i = 0; i < direct.List.size(); ++i)
                EXPECT_EQ(taken.List[i].Name, direct.List[i].Name) << where;
            EXPECT_EQ(taken.Names, direct.Names) << where;
            EXPECT_EQ(taken.Closed, direct.Closed) << where;
            EXPECT_EQ(taken.Error, direct.Error) << where;
        }
}
