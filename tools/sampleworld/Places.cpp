// The sample world's places: positions on land, names from syllables, and the
// text of the place database.
#include "SampleWorld.h"

#include "Noise.h"
#include "ZoomGeometry.h"

#include <cmath>
#include <cstddef>
#include <set>
#include <stdexcept>
#include <string>

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

template <std::size_t N>
const char* Pick(TRandom& random, const char* const (&list)[N])
{
    return list[random.Below(static_cast<std::uint32_t>(N))];
}

std::string MakeName(TRandom& random, int type, std::set<std::string>& used)
{
    for (;;) {
        std::string name = Pick(random, Starts);
        if (type <= 1 || random.Below(3) == 0)
            name += Pick(random, Middles);
        name += Pick(random, Ends);
        if (type >= 2 && random.Below(12) == 0)
            name = random.Below(2) == 0 ? Pick(random, Prefixes) + name : name + Pick(random, Suffixes);
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

} // namespace

void GeneratePlaces(TSampleWorld& world)
{
    TRandom random(0x6B656C646572ull);
    std::set<std::string> used;
    std::vector<TMapPoint> pixels;
    world.Places.clear();
    for (int type = 0; type < PlaceTypeCount; ++type) {
        float spacing = Spacing[type];
        int misses = 0;
        for (int placed = 0; placed < PlacesPerType[type];) {
            if (misses > 1000000)
                throw std::runtime_error("the map has too little land for the places");
            const std::int32_t x = -125000 + 10 * static_cast<std::int32_t>(random.Below(30000));
            const std::int32_t y = -130000 + 10 * static_cast<std::int32_t>(random.Below(35000));
            const TMapPoint p = WorldToMap(x, y, MaxZoomLevel, SampleHeight);
            bool fits = p.X >= MarginLeft && p.X < SampleWidth - MarginRight && p.Y >= MarginTop &&
                        p.Y < SampleHeight - MarginBottom && LandAround(world, p, type != 0);
            for (std::size_t k = 0; fits && k < pixels.size(); ++k)
                fits = PixelDistance(p, pixels[k]) >= spacing;
            if (!fits) {
                if (++misses % 5000 == 0)
                    spacing *= 0.85f;
                continue;
            }
            pixels.push_back(p);
            world.Places.push_back({MakeName(random, type, used), type, x, y, {}});
            ++placed;
        }
    }

    // Two names in the accented letters of Windows-1252 (0xE9 e acute, 0xC9 E acute).
    world.Places[PlacesPerType[0] + 2].Name = "Cr\xE9vanne";
    world.Places[PlacesPerType[0] + PlacesPerType[1] + PlacesPerType[2] + 7].Name = "\xC9lmarth";

    for (std::size_t i = 0; i < world.Places.size(); ++i) {
        std::size_t nearest = 0;
        for (std::size_t k = 1; k < static_cast<std::size_t>(PlacesPerType[0]); ++k)
            if (PixelDistance(pixels[i], pixels[k]) < PixelDistance(pixels[i], pixels[nearest]))
                nearest = k;
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
