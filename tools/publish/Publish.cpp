#include "Publish.h"

#include "DataFiles.h"
#include "MapLevels.h"
#include "MarkerLayer.h"
#include "SiteData.h"
#include "SiteFolder.h"
#include "SitePage.h"
#include "TileWriter.h"

#include <system_error>

namespace fs = std::filesystem;

namespace {

// A data file's name as the user should read it: bare in the current folder.
std::string DataFileName(const fs::path& folder, const char* name)
{
    return folder == "." ? std::string(name) : (folder / name).string();
}

// Whether inner is outer or lies inside it, once both are resolved.
bool Within(const fs::path& inner, const fs::path& outer)
{
    const auto resolved = [](const fs::path& path) {
        std::error_code error;
        fs::path full = fs::weakly_canonical(fs::absolute(path, error), error).lexically_normal();
        return full.has_filename() ? full : full.parent_path();
    };
    const fs::path relative = resolved(inner).lexically_relative(resolved(outer));
    return !relative.empty() && *relative.begin() != "..";
}

void CheckCancel(const std::atomic<bool>* cancel)
{
    if (cancel && cancel->load())
        throw EPublishCancelled();
}

} // namespace

const char* PublishMarkerText()
{
    return "kelderwyn-publish " KELDERWYN_VERSION "\n";
}

TPublishSummary Publish(const TPublishOptions& options)
{
    const fs::path leafletDir = options.LeafletDir.empty() ? fs::path(DebianLeafletDir) : options.LeafletDir;
    CheckLeaflet(leafletDir);
    if (Within(options.Folder, options.OutDir))
        throw ESiteFolderError(options.OutDir.string() + ": the map folder " + options.Folder.string() +
                               " lies inside it, and publishing replaces everything there; name another folder");

    TSiteFolder site(options.OutDir);
    const fs::path& staging = site.Staging();
    const TMapLevels map(DataFileName(options.Folder, MapFileName), DataFileName(options.Folder, LocationsFileName),
                         (staging / TempFileName).string());
    CheckCancel(options.Cancel);

    TSiteLevels levels;
    TPublishSummary summary;
    summary.Places = map.Locations().size();
    TTileWriter tiles(staging / "tiles", options.Cancel);
    for (int level = MaxZoomLevel; level >= 0; --level) {
        TBitmap picture = map.Draw(level);
        TSiteLevel& facts = levels[static_cast<std::size_t>(level)];
        facts.Width = picture.Width();
        facts.Height = picture.Height();
        facts.Shown = FindShownMarkers(map.Locations(), level, facts.Width, facts.Height, map.Fonts()).Locations;
        summary.Tiles += static_cast<std::size_t>(TileCount(facts.Width)) * TileCount(facts.Height);
        tiles.Add(level, std::move(picture));
        CheckCancel(options.Cancel);
    }
    const std::string geoJson = PlacesGeoJson(map.Locations(), levels);
    WriteTextFile(staging / "places.geojson", geoJson);
    WriteTextFile(staging / "places.js", PlacesScript(options.Title, levels, map.Locations(), geoJson));
    WriteSitePage(staging, options.Title, leafletDir);
    tiles.Finish();
    CheckCancel(options.Cancel);
    site.Commit(PublishMarkerText());
    return summary;
}
