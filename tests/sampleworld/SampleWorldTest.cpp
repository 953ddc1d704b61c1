#include "SampleWorld.h"
#include "ZoomGeometry.h"

#include <gtest/gtest.h>

#include <jpeglib.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <set>
#include <sstream>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;

std::string ReadFile(const fs::path& fileName)
{
    std::ifstream in(fileName, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

std::string Quoted(const fs::path& path)
{
    std::string text = path.string();
    text.insert(0, 1, '\'');
    text.push_back('\'');
    return text;
}

// Runs the generator with the given argument text; returns its exit code.
int RunTool(const std::string& arguments)
{
    std::string command = SAMPLE_WORLD_TOOL;
    command.insert(0, 1, '\'');
    command.append("' ").append(arguments).append(" >/dev/null 2>&1");
    const int status = std::system(command.c_str());
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

class TTempDir {
public:
    TTempDir() : Path(fs::temp_directory_path() / ("kelderwyn-sampleworld-" + std::to_string(::getpid()))) {}
    ~TTempDir()
    {
        std::error_code ignored;
        fs::remove_all(Path, ignored);
    }
    fs::path Path;
};

struct TDecoded {
    int Width = 0;
    int Height = 0;
    int Components = 0;
    bool Progressive = true;
    std::vector<std::uint8_t> Rgb;
};

TDecoded DecodeJpeg(const std::string& bytes)
{
    jpeg_decompress_struct info;
    jpeg_error_mgr error;
    info.err = jpeg_std_error(&error);
    jpeg_create_decompress(&info);
    jpeg_mem_src(&info, reinterpret_cast<const unsigned char*>(bytes.data()), static_cast<unsigned long>(bytes.size()));
    jpeg_read_header(&info, TRUE);
    TDecoded decoded;
    decoded.Components = info.num_components;
    decoded.Progressive = info.progressive_mode;
    info.out_color_space = JCS_RGB;
    jpeg_start_decompress(&info);
    decoded.Width = static_cast<int>(info.output_width);
    decoded.Height = static_cast<int>(info.output_height);
    decoded.Rgb.resize(static_cast<std::size_t>(decoded.Width) * decoded.Height * 3);
    while (info.output_scanline < info.output_height) {
        JSAMPROW row = &decoded.Rgb[static_cast<std::size_t>(info.output_scanline) * decoded.Width * 3];
        jpeg_read_scanlines(&info, &row, 1);
    }
    jpeg_finish_decompress(&info);
    jpeg_destroy_decompress(&info);
    return decoded;
}

// The records of a place database, read by the viewer's rule: a line holding
// "loc" outside a record opens eight lines; values start at position 7.
std::vector<TSamplePlace> ParseDatabase(const std::string& text)
{
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);)
        lines.push_back(line);
    std::vector<TSamplePlace> places;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        if (lines[i].find("loc") == std::string::npos)
            continue;
        EXPECT_LE(i + 8, lines.size()) << "record cut short at line " << i + 1;
        if (i + 8 > lines.size())
            break;
        EXPECT_EQ(lines[i + 1].substr(0, 6), "name: ") << "line " << i + 2;
        EXPECT_EQ(lines[i + 4].substr(0, 6), "type: ") << "line " << i + 5;
        EXPECT_EQ(lines[i + 7].substr(0, 6), "pos:  ") << "line " << i + 8;
        TSamplePlace place;
        place.Name = lines[i + 1].substr(6);
        place.Type = std::stoi(lines[i + 4].substr(6));
        const std::string& pos = lines[i + 7];
        const std::size_t comma = pos.rfind(',');
        place.X = std::stoi(pos.substr(6, comma - 6));
        place.Y = std::stoi(pos.substr(comma + 1));
        places.push_back(place);
        i += 7;
    }
    return places;
}

// Uniquely named places in the given mix of types, all on land in the map,
// with a name holding a blank and one with an accented letter among them.
void ExpectPlacesOnLand(const std::vector<TSamplePlace>& places, const TDecoded& map, const int* perTypeExpected)
{
    int perType[PlaceTypeCount] = {};
    std::set<std::string> names;
    bool spaced = false;
    bool accented = false;
    for (const TSamplePlace& place : places) {
        ASSERT_GE(place.Type, 0);
        ASSERT_LT(place.Type, PlaceTypeCount);
        ++perType[place.Type];
        EXPECT_TRUE(names.insert(place.Name).second) << place.Name;
        spaced = spaced || place.Name.find(' ') != std::string::npos;
        accented = accented || std::any_of(place.Name.begin(), place.Name.end(),
                                           [](char c) { return static_cast<unsigned char>(c) >= 0x80; });

        const TMapPoint p = WorldToMap(place.X, place.Y, MaxZoomLevel, SampleHeight);
        ASSERT_TRUE(p.X >= 0 && p.X < map.Width && p.Y >= 0 && p.Y < map.Height) << place.Name;
        // Sea, lakes and rivers are the only blue in the picture.
        const std::uint8_t* rgb = &map.Rgb[(static_cast<std::size_t>(p.Y) * map.Width + p.X) * 3];
        EXPECT_LE(rgb[2], std::max(rgb[0], rgb[1]) + 8) << place.Name << " lies in water at " << p.X << "," << p.Y;
    }
    for (int type = 0; type < PlaceTypeCount; ++type)
        EXPECT_EQ(perType[type], perTypeExpected[type]) << "type " << type;
    EXPECT_TRUE(spaced);
    EXPECT_TRUE(accented);
}

} // namespace

TEST(SampleWorld, ToolRefusesBadArgumentsAndAFolderItCannotMake)
{
    TTempDir temp;
    fs::create_directories(temp.Path);
    EXPECT_EQ(RunTool(""), 2);
    EXPECT_EQ(RunTool("a b"), 2);
    for (const char* count : {"0", "-5", "1000001", "12x", ""})
        EXPECT_EQ(RunTool(std::string("--places '") + count + "' " + Quoted(temp.Path / "out")), 2) << count;
    EXPECT_FALSE(fs::exists(temp.Path / "out"));
    const fs::path file = temp.Path / "plain-file";
    std::ofstream(file) << "x";
    EXPECT_EQ(RunTool(Quoted(file)), 1);
    EXPECT_EQ(RunTool(Quoted(file / "below")), 1);
    EXPECT_EQ(ReadFile(file), "x");
}

// One test, because each run of the generator takes seconds: the same bytes
// on every run, a full-size baseline colour JPEG, and a database of 200 places
// in the intended mix, uniquely named, all on land in that picture, and
// without a finding of kelderwyn-inspect lint.
TEST(SampleWorld, ToolWritesTheSameMapAndPlacesEveryRun)
{
    TTempDir temp;
    const fs::path first = temp.Path / "first";
    const fs::path second = temp.Path / "nested" / "second";
    ASSERT_EQ(RunTool(Quoted(first)), 0);
    ASSERT_EQ(RunTool(Quoted(second)), 0);
    const std::string jpeg = ReadFile(first / "bigmap_hi.jpg");
    const std::string database = ReadFile(first / "knmain.gdb");
    EXPECT_TRUE(jpeg == ReadFile(second / "bigmap_hi.jpg"));
    EXPECT_TRUE(database == ReadFile(second / "knmain.gdb"));
    EXPECT_EQ(std::distance(fs::directory_iterator(first), fs::directory_iterator()), 2);
    const std::string lint = "'" KELDERWYN_INSPECT "' lint " + Quoted(first / "knmain.gdb") + " --map " +
                             Quoted(first / "bigmap_hi.jpg") + " >" + Quoted(temp.Path / "lint.txt");
    EXPECT_EQ(std::system(lint.c_str()), 0) << ReadFile(temp.Path / "lint.txt");

    ASSERT_GT(jpeg.size(), 100000u);
    const TDecoded map = DecodeJpeg(jpeg);
    EXPECT_EQ(map.Width, SampleWidth);
    EXPECT_EQ(map.Height, SampleHeight);
    EXPECT_EQ(map.Components, 3);
    EXPECT_FALSE(map.Progressive);

    EXPECT_EQ(database.find('\r'), std::string::npos);
    const std::vector<TSamplePlace> places = ParseDatabase(database);
    ASSERT_EQ(places.size(), 200u);
    ExpectPlacesOnLand(places, map, PlacesPerType);
}

TEST(SampleWorld, ALargerWorldKeepsTheMixOfTypes)
{
    EXPECT_EQ(PlacesOfEachType(100000), (std::array<int, PlaceTypeCount>{2500, 7500, 17500, 30000, 42500}));
    EXPECT_EQ(PlacesOfEachType(1), (std::array<int, PlaceTypeCount>{1, 0, 0, 0, 0}));
    EXPECT_EQ(PlacesOfEachType(39), (std::array<int, PlaceTypeCount>{1, 2, 6, 11, 19}));

    TTempDir temp;
    ASSERT_EQ(RunTool("--places 3000 " + Quoted(temp.Path)), 0);
    const std::vector<TSamplePlace> places = ParseDatabase(ReadFile(temp.Path / "knmain.gdb"));
    ASSERT_EQ(places.size(), 3000u);
    ExpectPlacesOnLand(places, DecodeJpeg(ReadFile(temp.Path / "bigmap_hi.jpg")), PlacesOfEachType(3000).data());
}
