#include "SiteData.h"

#include "AnsiText.h"
#include "LevelRules.h"
#include "TileWriter.h"

#include <charconv>
#include <optional>
#include <cstdio>

namespace {

std::string Number(double value)
{
    char text[32];
    const auto result = std::to_chars(text, text + sizeof text, value);
    return {text, result.ptr};
}

std::string Integers(const std::vector<std::int64_t>& values)
{
    std::string text = "[";
    for (std::size_t i = 0; i < values.size(); ++i) {
        if (i)
            text += ',';
        text += std::to_string(values[i]);
    }
    return text + "]";
}

std::optional<int> FirstLevel(std::int32_t type)
{
    for (int level = 0; level < ZoomLevelCount; ++level)
        if (LevelShowsType(level, type))
            return level;
    return std::nullopt;
}

} // namespace

std::string JsonString(const QString& text)
{
    QString escaped;
    escaped.reserve(text.size() + 2);
    escaped += u'"';
    for (const QChar c : text) {
        const char16_t unit = c.unicode();
        if (unit == u'"' || unit == u'\\') {
            escaped += u'\\';
            escaped += c;
        } else if (unit < 0x20 || (unit >= 0x7F && unit <= 0x9F) || unit == 0x2028 || unit == 0x2029) {
            char code[8];
            std::snprintf(code, sizeof code, "\\u%04X", unsigned{unit});
            escaped += QString::fromLatin1(code);
        } else {
            escaped += c;
        }
    }
    escaped += u'"';
    return escaped.toStdString();
}

std::string PlacesGeoJson(const TLocList& places, const TSiteLevels& levels)
{
    std::string text = "{\"type\":\"FeatureCollection\",\"features\":[\n";
    for (std::size_t i = 0; i < places.size(); ++i) {
        const TLocation& place = places[i];
        const TMapPoint full = WorldToMap(place.X, place.Y, MaxZoomLevel, levels[MaxZoomLevel].Height);
        const std::optional<int> first = FirstLevel(place.Type);
        text += "{\"type\":\"Feature\",\"geometry\":{\"type\":\"Point\",\"coordinates\":[" + std::to_string(place.X) +
                "," + std::to_string(place.Y) + "]},\"properties\":{\"name\":" +
                JsonString(AnsiToQString(place.Name)) + ",\"type\":" + std::to_string(place.Type) +
                ",\"worldX\":" + std::to_string(place.X) + ",\"worldY\":" + std::to_string(place.Y) +
                ",\"mapX\":" + std::to_string(full.X) + ",\"mapY\":" + std::to_string(full.Y) +
                ",\"firstLevel\":" + (first ? std::to_string(*first) : "null") +
                ",\"goLevel\":" + std::to_string(GoTargetLevel(place.Type)) + "}}" +
                (i + 1 < places.size() ? ",\n" : "\n");
    }
    return text + "]}\n";
}

std::string PlacesScript(const QString& title, const TSiteLevels& levels, const TLocList& places,
                         const std::string& geoJson)
{
    std::string text = "window.KelderwynSite = {\n\"title\": " + JsonString(title) + ",\n\"factors\": [";
    for (int level = 0; level < ZoomLevelCount; ++level) {
        if (level)
            text += ',';
        text += Number(ZoomScale[static_cast<std::size_t>(level)]);
    }
    text += "],\n\"levels\": [\n";
    for (int level = 0; level < ZoomLevelCount; ++level) {
        const TSiteLevel& facts = levels[static_cast<std::size_t>(level)];
        text += "{\"width\":" + std::to_string(facts.Width) + ",\"height\":" + std::to_string(facts.Height) +
                ",\"columns\":" + std::to_string(TileCount(facts.Width)) +
                ",\"rows\":" + std::to_string(TileCount(facts.Height)) + ",\"shown\":" +
                Integers({facts.Shown.begin(), facts.Shown.end()}) + (level < MaxZoomLevel ? "},\n" : "}\n");
    }
    text += "],\n\"points\": [\n";
    for (std::size_t i = 0; i < places.size(); ++i) {
        std::vector<std::int64_t> points;
        for (int level = 0; level < ZoomLevelCount; ++level) {
            const TMapPoint point =
                WorldToMap(places[i].X, places[i].Y, level, levels[static_cast<std::size_t>(level)].Height);
            points.insert(points.end(), {point.X, point.Y});
        }
        text += Integers(points) + (i + 1 < places.size() ? ",\n" : "\n");
    }
    return text + "],\n\"places\": " + geoJson + "};\n";
}
