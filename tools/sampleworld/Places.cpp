// The sample world's places: positions on land, names from syllables, and the
// text of the place database.
#include "SampleWorld.h"

#include "Noise.h"
#include "ZoomGeometry.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstddef>
#include <set>
#include <stdexcept>
#include <string>
#include <vector>

namespace {

const char* const Starts[] = {
    "Kel",  "Dar",  "Mor",  "Thal", "Bri",  "Ash",  "Fen",  "Gor",  "Ul",   "Ith",  "Rav",  "Sel",  "Dun",
    "Hol",  "Bel",  "Cor",  "Eld",  "Fal",  "Gal",  "Har",  "Ist",  "Kor",  "Lun",  "Mal",  "Nor",  "Or",
    "Quel", "Ros",  "Syl",  "Tor",  "Val",  "Wyn",  "Yr",   "Zan",  "Brae", "Cael", "Drim", "Ess",  "Glen",
    "Hael", "Ker",  "Lor",  "Mir",  "Nim",  "Ost",  "Pel",  "Rhu",  "Stav", "Tarn", "Vel",  "Aer",  "Bran",
};
const char* const Middles[] = {"a", "e", "i", "o", "an", "en", "ar", "er", "or", "il", "ir", "u", "ae", "ath"};
const char* const Ends[] = {
    "wyn",  "dor",   "mere",  "ford",   "holt", "stead", "wick",  "by",    "gard",  "mar",  "heim",
    "ton",  "dale",  "fell",  "moor",   "brook", "haven", "crest", "spire", "rith", "dun",  "gate",
    "marsh", "thorn", "ridge", "wood",  "vale",  "mouth", "keep",  "hollow", "ham",  "garth", "wold",
};
const char* const Prefixes[] = {"Old ", "Upper ", "Lower ", "Fort ", "East ", "West "};
const char* const Suffixes[] = {" Cross", " Hollow", " Green", " End"};
const char* const Kinds[PlaceTypeCount] = {"capital", "city", "town", "hamlet", "village"};

// Minimum distance in full-size pixels from a new place of each type to any
// place already chosen; relaxed step by step if the land runs out.
constexpr float Spacing[PlaceTypeCount] = {650.0f, 300.0f, 170.0f, 100.0f, 60.0f};
// Room for the label to the right of and below the marker, and the framed border.
constexpr std::int32_t MarginLeft = 120;
constexpr std::int32_t MarginRight = 190;
constexpr std::int32_t MarginTop = 120;
constexpr std::int32_t MarginBottom = 150;
constexpr int NumberAfterTries = 100;
template <std::size_t N>
const char* Pick(TRandom& random, const char* const (&list)[N])
{
    return list[random.Below(static_cast<std::uint32_t>(N))];
}

std::string MakeName(TRandom& random, int type, std::set<std::string>& used)
{
    for (int tries = 1;; ++tries) {
        std::string name = Pick(random, Starts);
        if (type <= 1 || random.Below(3) == 0)
            name += Pick(random, Middles);
        name += Pick(random, Ends);
        if (type >= 2 && random.Below(12) == 0)
            name = random.Below(2) == 0 ? Pick(random, Prefixes) + name : name + Pick(random, Suffixes);
        // A large world runs out of syllables; a number keeps its names apart.
        if (tries > NumberAfterTries)
            name.append(1, ' ').append(std::to_string(used.size()));
        // "loc" inside a record is harmless to the viewer, but keeping it out
        // of names lets a plain text search find exactly the marker lines.
        if (name.find("loc") == std::string::npos && used.insert(name).second)
            return name;
    }
}

bool LandAround(const TSampleWorld& world, TMapPoint p, bool allowHills)
{
    for (std::int32_t dy = -PlaceLandRadius; dy <= PlaceLandRadius; ++dy)
        for (std::int32_t dx = -PlaceLandRadius; dx <= PlaceLandRadius; ++dx) {
            if (dx * dx + dy * dy > PlaceLandRadius * PlaceLandRadius)
                continue;
            const TGround g = world.Ground[static_cast<std::size_t>(p.Y + dy) * SampleWidth + (p.X + dx)];
            if (g == GroundWater || g == GroundMountains || (g == GroundHills && !allowHills))
                return false;
        }
    return true;
}

float PixelDistance(TMapPoint a, TMapPoint b)
{
    const float dx = static_cast<float>(a.X - b.X);
    const float dy = static_cast<float>(a.Y - b.Y);
    return std::sqrt(dx * dx + dy * dy);
}

// The places chosen so far, by full-size pixel, in square cells, so that the
// spacing test looks only at the cells within reach.
class TPlaceGrid {
public:
    static constexpr std::int32_t Cell = 64;

    void Add(TMapPoint p) { FCells[Index(p.X / Cell, p.Y / Cell)].push_back(p); }

    // Whether every place so far is at least `spacing` from p.
    bool KeepsApart(TMapPoint p, float spacing) const
    {
        const std::int32_t reach = static_cast<std::int32_t>(std::ceil(spacing / Cell));
        for (std::int32_t cy = std::max(0, p.Y / Cell - reach); cy <= std::min(Rows - 1, p.Y / Cell + reach); ++cy)
            for (std::int32_t cx = std::max(0, p.X / Cell - reach); cx <= std::min(Columns - 1, p.X / Cell + reach); ++cx)
                for (const TMapPoint other : FCells[Index(cx, cy)])
                    if (PixelDistance(p, other) < spacing)
                        return false;
        return true;
    }

private:
    static constexpr std::int32_t Columns = (SampleWidth + Cell - 1) / Cell;
    static constexpr std::int32_t Rows = (SampleHeight + Cell - 1) / Cell;
    static std::size_t Index(std::int32_t cx, std::int32_t cy) { return static_cast<std::size_t>(cy) * Columns + cx; }

    std::vector<std::vector<TMapPoint>> FCells = std::vector<std::vector<TMapPoint>>(static_cast<std::size_t>(Columns) * Rows);
};

} // namespace

std::array<int, PlaceTypeCount> PlacesOfEachType(int count)
{
    std::array<int, PlaceTypeCount> counts{};
    int placed = 0;
    for (int type = 0; type + 1 < PlaceTypeCount; ++type) {
        counts[type] = static_cast<int>(std::int64_t{count} * PlacesPerType[type] / DefaultPlaceCount);
        placed += counts[type];
    }
    if (counts[0] == 0) {
        counts[0] = 1;
        ++placed;
    }
    counts[PlaceTypeCount - 1] = count - placed;
    return counts;
}

void GeneratePlaces(TSampleWorld& world, int count)
{
    if (count < 1 || count > MaxPlaceCount)
        throw std::out_of_range("the number of places must be 1 to " + std::to_string(MaxPlaceCount));
    const std::array<int, PlaceTypeCount> counts = PlacesOfEachType(count);
    // The same share of the land per place as in the default world.
    const float closer = count > DefaultPlaceCount ? std::sqrt(static_cast<float>(DefaultPlaceCount) / count) : 1.0f;
    const int missLimit = 1000000 + 20 * count;
    TRandom random(0x6B656C646572ull);
    std::set<std::string> used;
    std::vector<TMapPoint> pixels;
    TPlaceGrid grid;
    world.Places.clear();
    for (int type = 0; type < PlaceTypeCount; ++type) {
        float spacing = Spacing[type] * closer;
        int misses = 0;
        for (int placed = 0; placed < counts[type];) {
            if (misses > missLimit)
                throw std::runtime_error("the map has too little land for the places");
            const std::int32_t x = -125000 + 10 * static_cast<std::int32_t>(random.Below(30000));
            const std::int32_t y = -130000 + 10 * static_cast<std::int32_t>(random.Below(35000));
            const TMapPoint p = WorldToMap(x, y, MaxZoomLevel, SampleHeight);
            const bool fits = p.X >= MarginLeft && p.X < SampleWidth - MarginRight && p.Y >= MarginTop &&
                              p.Y < SampleHeight - MarginBottom && LandAround(world, p, type != 0) &&
                              grid.KeepsApart(p, spacing);
            if (!fits) {
                if (++misses % 5000 == 0)
                    spacing *= 0.85f;
                continue;
            }
            pixels.push_back(p);
            grid.Add(p);
            world.Places.push_back({MakeName(random, type, used), type, x, y, {}});
            ++placed;
        }
    }

    // Two names in the accented letters of Windows-1252 (0xE9 e acute, 0xC9 E acute).
    if (counts[1] > 2)
        world.Places[counts[0] + 2].Name = "Cr\xE9vanne";
    if (counts[3] > 7)
        world.Places[counts[0] + counts[1] + counts[2] + 7].Name = "\xC9lmarth";

    for (std::size_t i = 0; i < world.Places.size(); ++i) {
        std::size_t nearest = 0;
        float nearestDistance = PixelDistance(pixels[i], pixels[0]);
        for (std::size_t k = 1; k < static_cast<std::size_t>(counts[0]); ++k) {
            const float distance = PixelDistance(pixels[i], pixels[k]);
            if (distance < nearestDistance) {
                nearest = k;
                nearestDistance = distance;
            }
        }
        world.Places[i].Realm = world.Places[nearest].Name;
    }
}

std::string PlaceDatabaseText(const std::vector<TSamplePlace>& places)
{
    // None of these header lines may contain the three letters that open an
    // entry (so no "block", "local" or the like).
    std::string text =
        "; Kelderwyn: places of the sample world, written by kelderwyn-make-sample-world.\n"
        "; Eight lines per entry: marker, name, area, kind, type, size, icon, pos.\n"
        "; type: 0 capital, 1 city, 2 town, 3 hamlet, 4 village.\n"
        "; pos: world X,Y; X grows eastwards, Y northwards.\n"
        "\n";
    TRandom random(0x706C61636573ull);
    constexpr int BaseSize[PlaceTypeCount] = {60000, 18000, 5000, 900, 200};
    int index = 0;
    for (const TSamplePlace& place : places) {
        const int size = BaseSize[place.Type] + static_cast<int>(random.Below(static_cast<std::uint32_t>(BaseSize[place.Type])));
        text += "[loc " + std::to_string(++index) + "]\n";
        text += "name: " + place.Name + "\n";
        text += "area: " + place.Realm + "\n";
        text += "kind: " + std::string(Kinds[place.Type]) + "\n";
        text += "type: " + std::to_string(place.Type) + "\n";
        text += "size: " + std::to_string(size) + "\n";
        text += "icon: " + std::to_string(place.Type) + "\n";
        text += "pos:  " + std::to_string(place.X) + "," + std::to_string(place.Y) + "\n";
        text += "\n";
    }
    return text;
}
