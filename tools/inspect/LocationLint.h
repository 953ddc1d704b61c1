// TLocationLint: the checks of kelderwyn-inspect lint, fed by CheckLocations.
//
// Each finding is written to the output as "FILE:LINE: warning: text" or
// "FILE:LINE: error: text", in the order of the file's lines. Errors are
// values that do not convert, which stop the viewer's reading; everything
// else the viewer reads without complaint, so it is a warning. Only the
// records whose values converted, the places, are checked for their name,
// type and position.
#pragma once

#include "Locations.h"

#include <cstdint>
#include <cstdio>
#include <string>
#include <unordered_map>
#include <vector>

class TLocationLint : public TLocationObserver {
public:
    // The map is mapWidth x mapHeight pixels at full size.
    TLocationLint(std::string fileName, std::int32_t mapWidth, std::int32_t mapHeight, std::FILE* out);

    // Writes the findings held back and the summary line
    // "N places, E errors, W warnings".
    void Finish();
    bool Clean() const { return FErrors == 0 && FWarnings == 0; }

    void LongLine(std::int64_t line) override;
    void MarkerLine(std::int64_t line, std::string_view text) override;
    void RecordLine(int position, std::int64_t line, std::string_view text) override;
    void BadValue(TLocationValue value, std::int64_t line, std::string_view text) override;
    void Location(const TLocation& location) override;
    void CutShort(std::int64_t markerLine) override;
    void EndByte(std::int64_t line) override;

private:
    struct TFinding {
        std::int64_t Line;
        bool Error;
        std::string Text;
    };

    void Add(std::int64_t line, bool error, std::string text);
    void Flush();
    void CheckName(const std::string& name, std::int64_t line);
    void CheckType(std::int32_t type, std::int64_t line);
    void CheckPosition(const TLocation& location, std::int64_t line);

    std::string FFileName;
    std::int32_t FMapWidth;
    std::int32_t FMapHeight;
    std::FILE* FOut;
    // Findings of the current record, which come in out of line order.
    std::vector<TFinding> FHeld;
    std::unordered_map<std::string, std::int64_t> FNameLines;
    std::int64_t FRecordLines[9] = {};
    std::int64_t FPlaces = 0;
    std::int64_t FErrors = 0;
    std::int64_t FWarnings = 0;
};
