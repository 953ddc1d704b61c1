#include "MapLevels.h"

#include "Color.h"
#include "Errors.h"
#include "FileIO.h"
#include "ImagePipeline.h"

#include <exception>

namespace {

// A text that names the file already ("Cannot open file NAME.") is not
// prefixed with it once more.
std::string Located(const std::string& fileName, std::int64_t line, const std::string& text)
{
    if (line == 0 && text.find(fileName) != std::string::npos)
        return text;
    std::string located = fileName;
    if (line > 0)
        located.append(":").append(std::to_string(line));
    return located.append(": ").append(text);
}

} // namespace

ELevelSourceError::ELevelSourceError(std::string fileName, std::int64_t line, const std::string& viewerText)
    : std::runtime_error(Located(fileName, line, UserMessage(viewerText))), FileName(std::move(fileName)),
      Line(line), ViewerText(UserMessage(viewerText))
{
}

TMapLevels::TMapLevels(const std::string& mapName, const std::string& locationsName, const std::string& tempName)
{
    for (const std::string& name : {mapName, locationsName})
        if (!FileExists(name))
            throw ELevelSourceError(name, 0, ErrorLine(EFOpenError(name, MissingFileReason(name))));
    try {
        TMapPictures pictures = LoadMapPictures(mapName, tempName);
        FPicture = std::move(pictures.Picture);
        FMaster = std::move(pictures.Master);
    } catch (const EMapError& error) {
        throw ELevelSourceError(mapName, 0, ErrorLine(error));
    }
    TLoadReport report;
    try {
        LoadLocations(locationsName, FLocations, {[](const std::string&) {}, [] {}}, report);
    } catch (const EMapError& error) {
        throw ELevelSourceError(locationsName, report.FailedLine, ErrorLine(error));
    }
    FFonts.Load();
}

TBitmap TMapLevels::Draw(int level) const
{
    TBitmap view = FPicture;
    ScaleMap(level, FMaster, view);
    DrawLocations(view, FLocations, level, FFonts);
    return view;
}
