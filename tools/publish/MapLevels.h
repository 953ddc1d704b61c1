// TMapLevels: a map folder's pictures of the seven zoom levels, each exactly
// as the viewer shows it and as `kelderwyn-inspect render --markers` writes
// it: the start-up pipeline (the map JPEG through a temporary BMP to the
// picture and the master), ScaleMap of the level over a copy of the picture,
// then DrawLocations of the level with the window's fonts.
//
// The temporary BMP is the name the caller gives, never the folder's own
// "~temp.bmp", so a viewer starting in the folder meanwhile is not disturbed.
//
// Errors are the viewer's (Errors.h), with the file they concern:
// ELevelSourceError carries the file name as the user should read it, the
// line of the database where a value did not convert (0 for none), and the
// viewer's own text. A data file that does not exist is reported as
// "Cannot open file NAME". Drawing needs the fonts, so a QGuiApplication
// must exist, and every call is made on its thread.
#pragma once

#include "Bitmap.h"
#include "Locations.h"
#include "Markers.h"

#include <cstdint>
#include <stdexcept>
#include <string>

class ELevelSourceError : public std::runtime_error {
public:
    ELevelSourceError(std::string fileName, std::int64_t line, const std::string& viewerText);
    std::string FileName;
    std::int64_t Line = 0;
    // TEXT with its closing full stop; what() is "FILE[:LINE]: TEXT", or TEXT
    // alone where it names the file already.
    std::string ViewerText;
};

class TMapLevels {
public:
    // Reads mapName and locationsName (paths as the user should read them in
    // messages), decoding the map through tempName.
    TMapLevels(const std::string& mapName, const std::string& locationsName, const std::string& tempName);

    std::int32_t MasterWidth() const { return FMaster.Width(); }
    std::int32_t MasterHeight() const { return FMaster.Height(); }
    const TLocList& Locations() const { return FLocations; }
    const TMarkerFonts& Fonts() const { return FFonts; }

    // The picture of a level, 0 to 6, with its markers drawn.
    TBitmap Draw(int level) const;

private:
    TBitmap FPicture;
    TBitmap FMaster;
    TLocList FLocations;
    TMarkerFonts FFonts;
};
