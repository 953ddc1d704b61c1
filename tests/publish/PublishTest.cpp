// The web publisher in-process, on the offscreen platform, and the built
// program as a process.
#include "Bitmap.h"
#include "BmpFile.h"
#include "MapLevels.h"
#include "Publish.h"
#include "SampleWorld.h"
#include "ScratchDir.h"
#include "SiteFolder.h"
#include "SitePage.h"
#include "TestJpeg.h"
#include "TileWriter.h"
#include "ZoomGeometry.h"

#include <QFile>
#include <QGuiApplication>
#include <QImage>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <gtest/gtest.h>

#include <sys/wait.h>

#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>

namespace {

namespace fs = std::filesystem;

std::string Slurp(const fs::path& path)
{
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

struct TRun {
    int Status;
    std::string Out;
    std::string Err;
};

TRun RunCommand(const TScratchDir& dir, const std::string& command)
{
    const std::string at = std::string("'").append(dir.Path().string()).append("'");
    const std::string line = "cd " + at + " && (" + command + ") >" + at + "/out.txt 2>" + at + "/err.txt";
    const int status = std::system(line.c_str());
    return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, Slurp(dir.Path() / "out.txt"),
            Slurp(dir.Path() / "err.txt")};
}

TPublishOptions Options(const fs::path& outDir, const fs::path& folder)
{
    TPublishOptions options;
    options.OutDir = outDir;
    options.Folder = folder;
    return options;
}

std::string ErrorOf(const TPublishOptions& options)
{
    try {
        Publish(options);
    } catch (const std::exception& error) {
        return error.what();
    }
    return "no error";
}

// A small map with places whose names hold Windows-1252 bytes, and types
// that no level draws or that level 0 leaves out.
void WriteSmallWorld(const TScratchDir& dir, const std::string& type = "5")
{
    fs::create_directories(dir.Path() / "world");
    WriteTestFile(dir.Path() / "world" / "bigmap_hi.jpg", EncodeTestJpeg(SmoothTestPicture(700, 600)));
    std::ofstream(dir.Path() / "world" / "knmain.gdb", std::ios::binary)
        << "[loc]\nname: Cr\xE9vanne\n-\n-\ntype: 0\n-\n-\npos:  -100000,-90000\n"
           "[loc]\nname: \x80 \"Q\"\\\x81\n-\n-\ntype: " << type << "\n-\n-\npos:  -110000,-100000\n";
}

} // namespace

// Every tile of the sample world's site is 256 x 256 and holds the pixels of
// `kelderwyn-inspect render --markers` of its level, byte for byte, and
// nothing beyond the picture's edges.
TEST(Publish, TilesReassembleIntoTheRenderOfEveryLevel)
{
    TScratchDir dir;
    WriteSampleWorld(dir.Path() / "world");
    const TPublishSummary summary = Publish(Options(dir.Path() / "site", dir.Path() / "world"));
    EXPECT_EQ(summary.Places, 200u);
    std::size_t tiles = 0;
    for (int level = 0; level < ZoomLevelCount; ++level) {
        const std::string level_text = std::to_string(level);
        ASSERT_EQ(RunCommand(dir, "'" KELDERWYN_INSPECT "' render --markers world/knmain.gdb world/bigmap_hi.jpg " +
                               level_text + " render.bmp")
                      .Status,
                  0);
        const TBitmap render = LoadBitmapFromFile((dir.Path() / "render.bmp").string());
        const fs::path folder = dir.Path() / "site" / "tiles" / level_text;
        for (const auto& entry : fs::recursive_directory_iterator(folder))
            tiles += entry.is_regular_file();
        for (std::int32_t column = 0; column < TileCount(render.Width()); ++column)
            for (std::int32_t row = 0; row < TileCount(render.Height()); ++row) {
                const fs::path file = folder / std::to_string(column) / (std::to_string(row) + ".png");
                const QImage tile =
                    QImage(QString::fromStdString(file.string())).convertToFormat(QImage::Format_ARGB32);
                ASSERT_EQ(tile.size(), QSize(TileSide, TileSide)) << file;
                int differing = 0;
                for (std::int32_t y = 0; y < TileSide; ++y)
                    for (std::int32_t x = 0; x < TileSide; ++x) {
                        const std::int32_t px = column * TileSide + x;
                        const std::int32_t py = row * TileSide + y;
                        QRgb expected = 0;
                        if (px < render.Width() && py < render.Height()) {
                            const std::uint8_t* pixel = render.ScanLine(py) + 3 * px;
                            expected = qRgb(pixel[2], pixel[1], pixel[0]);
                        }
                        differing += reinterpret_cast<const QRgb*>(tile.constScanLine(y))[x] != expected;
                    }
                EXPECT_EQ(differing, 0) << file;
            }
    }
    EXPECT_EQ(tiles, summary.Tiles);
}

TEST(Publish, PlacesCarryTheViewersNamesPixelsAndLevels)
{
    TScratchDir dir;
    WriteSmallWorld(dir);
    TPublishOptions options = Options(dir.Path() / "site", dir.Path() / "world");
    options.Title = QStringLiteral("A <b>&</b> \"map\"");
    Publish(options);

    const QJsonArray places =
        QJsonDocument::fromJson(QByteArray::fromStdString(Slurp(dir.Path() / "site" / "places.geojson")))
            .object()["features"]
            .toArray();
    ASSERT_EQ(places.size(), 2);
    const QJsonObject first = places[0].toObject()["properties"].toObject();
    EXPECT_EQ(first["name"].toString(), QStringLiteral("Cr\u00E9vanne"));
    const TMapPoint full = WorldToMap(-100000, -90000, MaxZoomLevel, 600);
    EXPECT_EQ(first["mapX"].toInt(), full.X);
    EXPECT_EQ(first["mapY"].toInt(), full.Y);
    EXPECT_EQ(first["firstLevel"].toInt(-1), 0);
    EXPECT_EQ(first["goLevel"].toInt(), 0);
    const QJsonObject second = places[1].toObject()["properties"].toObject();
    EXPECT_EQ(second["name"].toString(), QStringLiteral("\u20AC \"Q\"\\\u0081"));
    EXPECT_EQ(places[1].toObject()["geometry"].toObject()["coordinates"].toArray(), (QJsonArray{-110000, -100000}));
    EXPECT_TRUE(second["firstLevel"].isNull());
    EXPECT_EQ(second["goLevel"].toInt(), 6);

    std::string script = Slurp(dir.Path() / "site" / "places.js");
    ASSERT_EQ(script.rfind("window.KelderwynSite = {", 0), 0u);
    script = script.substr(script.find('{'), script.rfind('}') - script.find('{') + 1);
    const QJsonObject site = QJsonDocument::fromJson(QByteArray::fromStdString(script)).object();
    EXPECT_EQ(site["title"].toString(), options.Title);
    const QJsonArray points = site["points"].toArray()[0].toArray();
    ASSERT_EQ(points.size(), 2 * ZoomLevelCount);
    const TMapPoint overview = WorldToMap(-100000, -90000, 0, 60);
    EXPECT_EQ(points[0].toInt(), overview.X);
    EXPECT_EQ(points[1].toInt(), overview.Y);
    const QJsonObject level0 = site["levels"].toArray()[0].toObject();
    EXPECT_EQ(level0["width"].toInt(), 70);
    EXPECT_EQ(level0["shown"].toArray(), QJsonArray{0});
    EXPECT_NE(Slurp(dir.Path() / "site" / "index.html").find("<title>A &lt;b&gt;&amp;&lt;/b&gt; &quot;map&quot;</title>"),
              std::string::npos);
}

// A map or database the viewer reports is reported with its text and
// publishes nothing; a folder that is not ours is refused untouched; ours is
// replaced whole, and a failure keeps it as it was.
TEST(Publish, RefusesWhatTheViewerReportsAndFoldersNotItsOwn)
{
    TScratchDir dir;
    WriteSmallWorld(dir, "x");
    const fs::path site = dir.Path() / "site";
    const fs::path world = dir.Path() / "world";
    EXPECT_EQ(ErrorOf(Options(site, world)), (world / "knmain.gdb").string() + ":13: 'x' is not a valid integer value.");
    EXPECT_FALSE(fs::exists(site));

    WriteSmallWorld(dir);
    Publish(Options(site, world));
    dir.Write("site/stale.txt", "from before\n");
    fs::create_directories(site / "tiles" / "9");
    Publish(Options(site, world));
    EXPECT_FALSE(fs::exists(site / "stale.txt"));
    EXPECT_FALSE(fs::exists(site / "tiles" / "9"));
    EXPECT_FALSE(fs::exists(site / TSiteFolder::StagingName));
    EXPECT_EQ(Slurp(site / TSiteFolder::MarkerName), PublishMarkerText());
    EXPECT_EQ(std::distance(fs::directory_iterator(world), fs::directory_iterator()), 2) << "only the map and places";

    dir.Write("world/bigmap_hi.jpg", "not a picture\n");
    EXPECT_EQ(ErrorOf(Options(site, world)),
              (world / "bigmap_hi.jpg").string() + ": JPEG error #53: Not a JPEG file: starts with 0x6e 0x6f.");
    EXPECT_TRUE(fs::exists(site / "tiles" / "6" / "0" / "0.png"));
    EXPECT_FALSE(fs::exists(site / TSiteFolder::StagingName));

    fs::create_directory(dir.Path() / "theirs");
    dir.Write("theirs/notes.txt", "mine\n");
    EXPECT_NE(ErrorOf(Options(dir.Path() / "theirs", world)).find("not written by kelderwyn-publish"), std::string::npos);
    EXPECT_EQ(Slurp(dir.Path() / "theirs" / "notes.txt"), "mine\n");
    EXPECT_NE(ErrorOf(Options(dir.Path(), world)).find("the map folder"), std::string::npos);

    TPublishOptions noLeaflet = Options(dir.Path() / "new", world);
    noLeaflet.LeafletDir = dir.Path() / "nowhere";
    EXPECT_EQ(ErrorOf(noLeaflet), std::string("Leaflet is not installed (")
                                      .append((dir.Path() / "nowhere" / "leaflet.js").string())
                                      .append(" is missing): install the package libjs-leaflet"));
    EXPECT_FALSE(fs::exists(dir.Path() / "new"));
}

TEST(Publish, ProgramNamesTheWrongPartAndTheFile)
{
    TScratchDir dir;
    WriteSmallWorld(dir);
    for (const char* wrong : {"", "site world more", "--title", "site missing"}) {
        const TRun run = RunCommand(dir, std::string("'" KELDERWYN_PUBLISH "' ").append(wrong));
        EXPECT_EQ(run.Status, 2) << wrong;
        EXPECT_EQ(run.Err.rfind("kelderwyn-publish: ", 0), 0u) << wrong;
    }
    dir.Write("world/knmain.gdb", "[loc]\nname: A\n-\n-\ntype: 0 \n-\n-\npos:  0,0\n");
    const TRun bad = RunCommand(dir, "cd world && '" KELDERWYN_PUBLISH "' ../site");
    EXPECT_EQ(bad.Status, 1);
    EXPECT_EQ(bad.Err, "kelderwyn-publish: knmain.gdb:5: '0 ' is not a valid integer value.\n");
    EXPECT_EQ(RunCommand(dir, "ldd '" KELDERWYN_PUBLISH "' | grep -c Widgets").Out, "0\n");
}

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    const QGuiApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
