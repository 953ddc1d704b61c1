// Publish: a map folder as a static web site in OUTDIR.
//
//   tiles/Z/X/Y.png   each level's picture exactly as the viewer shows it
//                     (MapLevels.h), cut into tiles (TileWriter.h)
//   places.geojson, places.js   the places (SiteData.h)
//   index.html, site.js, site.css, leaflet/   the page (SitePage.h)
//   .kelderwyn-publish   the marker that lets a later run replace the site
//
// The site is built in the staging folder inside OUTDIR and moved into place
// only when complete (SiteFolder.h); the map is decoded through a temporary
// BMP there. The levels are drawn on the calling thread, from level 6 down,
// each handed to the tile writer's threads as soon as it is drawn.
//
// Nothing is published when anything fails, and what the run wrote is
// removed. Errors: ELeafletMissing (checked first, before OUTDIR is
// touched); ESiteFolderError for OUTDIR, also when it holds the map folder,
// which replacing it would delete; ELevelSourceError for the map and the
// database, with the viewer's text; EPublishCancelled when the cancel flag
// was raised; EMapError for a file that could not be written. A
// QGuiApplication must exist, on the calling thread.
#pragma once

#include <QString>

#include <atomic>
#include <cstddef>
#include <filesystem>

struct TPublishOptions {
    std::filesystem::path OutDir;
    std::filesystem::path Folder = ".";
    QString Title = QStringLiteral("Kelderwyn Map");
    std::filesystem::path LeafletDir;  // empty: Debian's libjs-leaflet
    const std::atomic<bool>* Cancel = nullptr;
};

struct TPublishSummary {
    std::size_t Tiles = 0;
    std::size_t Places = 0;
};

TPublishSummary Publish(const TPublishOptions& options);

// The text of the marker file: the program's name and version.
const char* PublishMarkerText();
