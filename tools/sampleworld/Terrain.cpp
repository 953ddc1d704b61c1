// The sample world's map picture: an elevation field (continents from warped
// ellipses and fractal noise, ridged mountain ranges), drainage on a coarse
// grid (depressions filled into lakes, rivers where enough rain collects), and
// a painter that turns it into a shaded, parchment-toned map.
#include "SampleWorld.h"

#include "Noise.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <queue>
#include <tuple>
#include <utility>
#include <vector>

namespace {

constexpr int W = SampleWidth;
constexpr int H = SampleHeight;
// The elevation is built on a grid of half the resolution and interpolated up;
// the drainage runs on a grid of a quarter of it.
constexpr int HalfW = W / 2;
constexpr int HalfH = H / 2;
constexpr int Cell = 4;
constexpr int CoarseW = W / Cell;
constexpr int CoarseH = H / Cell;

// Elevation thresholds (sea level is 0).
constexpr float HillLevel = 0.24f;
constexpr float MountainLevel = 0.40f;
constexpr float SnowLevel = 0.66f;

// Drainage: how much the land is tilted towards the sea per coarse cell of
// distance, the least depth and extent of a depression that shows as a lake,
// and the rain a river carries where it is first drawn and at its mouth.
constexpr float SeaTilt = 0.0005f;
constexpr float LakeDepth = 0.012f;
constexpr int MinLakeCells = 60;
constexpr float RiverRain = 260.0f;
constexpr float MouthRain = 2500.0f;

struct TContinent {
    float Cx, Cy, Rx, Ry, Angle, Weight;
};

// The large-scale layout: a main continent, a western isle, a northern land,
// southern islands. Noise and warping break up the ellipses.
constexpr TContinent Continents[] = {
    {1700.0f, 1850.0f, 880.0f, 1150.0f, 0.35f, 1.00f},
    {1250.0f, 1250.0f, 520.0f, 420.0f, -0.6f, 0.80f},
    {2150.0f, 2600.0f, 520.0f, 380.0f, 0.9f, 0.80f},
    {520.0f, 1450.0f, 280.0f, 560.0f, 0.15f, 0.85f},
    {2650.0f, 650.0f, 500.0f, 330.0f, -0.3f, 0.85f},
    {900.0f, 3230.0f, 380.0f, 210.0f, 0.4f, 0.70f},
    {2780.0f, 3150.0f, 260.0f, 320.0f, 0.0f, 0.65f},
    {400.0f, 550.0f, 220.0f, 170.0f, 0.7f, 0.55f},
};
constexpr std::size_t ContinentCount = sizeof(Continents) / sizeof(Continents[0]);

struct TFields {
    TFields()
    {
        for (std::size_t i = 0; i < ContinentCount; ++i) {
            Cos[i] = std::cos(Continents[i].Angle);
            Sin[i] = std::sin(Continents[i].Angle);
        }
    }

    float ContinentShape(float x, float y) const
    {
        float best = -1.0f;
        for (std::size_t i = 0; i < ContinentCount; ++i) {
            const TContinent& c = Continents[i];
            const float dx = x - c.Cx;
            const float dy = y - c.Cy;
            const float u = (Cos[i] * dx + Sin[i] * dy) / c.Rx;
            const float v = (-Sin[i] * dx + Cos[i] * dy) / c.Ry;
            best = std::max(best, c.Weight * (1.0f - std::sqrt(u * u + v * v)));
        }
        return best;
    }

    // Elevation at a full-size pixel position.
    float Elevation(float x, float y) const
    {
        const float wx = x + 280.0f * WarpX(x, y);
        const float wy = y + 280.0f * WarpY(x, y);
        float e = 0.58f * ContinentShape(wx, wy) + 0.48f * Base(wx, wy) - 0.10f;
        const float land = SmoothStep(-0.02f, 0.25f, e);
        const float ranges = SmoothStep(0.0f, 0.30f, Ranges(wx, wy) + 0.02f);
        const float ridge = Ridges.Ridged(wx, wy);
        e += land * (0.05f + 0.62f * ranges) * ridge * ridge;
        const float edge = std::min(std::min(x, W - x), std::min(y, H - y));
        return e - 0.7f * (1.0f - SmoothStep(40.0f, 340.0f, edge));
    }

    std::array<float, ContinentCount> Cos{}, Sin{};
    TFractalNoise WarpX{101, 1100.0f, 3};
    TFractalNoise WarpY{102, 1100.0f, 3};
    TFractalNoise Base{103, 620.0f, 6, 0.48f};
    TFractalNoise Ranges{104, 900.0f, 3};
    TFractalNoise Ridges{105, 420.0f, 5};
    TFractalNoise Moisture{106, 650.0f, 4};
    TFractalNoise Tint{107, 110.0f, 2};
    TFractalNoise Stains{108, 260.0f, 3};
    TFractalNoise Detail{109, 14.0f, 2};
    TFractalNoise Meander{111, 48.0f, 2};
    TGradientNoise Grain{110};
};

// Catmull-Rom weights for a fraction t in [0, 1).
void CubicWeights(float t, float w[4])
{
    const float t2 = t * t;
    const float t3 = t2 * t;
    w[0] = 0.5f * (-t3 + 2.0f * t2 - t);
    w[1] = 0.5f * (3.0f * t3 - 5.0f * t2 + 2.0f);
    w[2] = 0.5f * (-3.0f * t3 + 4.0f * t2 + t);
    w[3] = 0.5f * (t3 - t2);
}

// Catmull-Rom interpolation of the half grid up to full size; sample i of the
// half grid sits at full-size position 2i + 1.
std::vector<float> UpsampleHalf(const std::vector<float>& half)
{
    std::vector<float> full(static_cast<std::size_t>(W) * H);
    std::vector<int> colIndex(static_cast<std::size_t>(W) * 4);
    std::vector<float> colWeight(static_cast<std::size_t>(W) * 4);
    for (int x = 0; x < W; ++x) {
        const float u = (static_cast<float>(x) - 0.5f) * 0.5f;
        const int i0 = static_cast<int>(std::floor(u));
        float w[4];
        CubicWeights(u - static_cast<float>(i0), w);
        for (int k = 0; k < 4; ++k) {
            colIndex[x * 4 + k] = std::clamp(i0 - 1 + k, 0, HalfW - 1);
            colWeight[x * 4 + k] = w[k];
        }
    }
    std::vector<float> row(HalfW);
    for (int y = 0; y < H; ++y) {
        const float v = (static_cast<float>(y) - 0.5f) * 0.5f;
        const int j0 = static_cast<int>(std::floor(v));
        float w[4];
        CubicWeights(v - static_cast<float>(j0), w);
        std::fill(row.begin(), row.end(), 0.0f);
        for (int k = 0; k < 4; ++k) {
            const float* src = &half[static_cast<std::size_t>(std::clamp(j0 - 1 + k, 0, HalfH - 1)) * HalfW];
            for (int i = 0; i < HalfW; ++i)
                row[i] += w[k] * src[i];
        }
        float* out = &full[static_cast<std::size_t>(y) * W];
        for (int x = 0; x < W; ++x) {
            const int* ci = &colIndex[x * 4];
            const float* cw = &colWeight[x * 4];
            out[x] = cw[0] * row[ci[0]] + cw[1] * row[ci[1]] + cw[2] * row[ci[2]] + cw[3] * row[ci[3]];
        }
    }
    return full;
}

constexpr float Far = 1e30f;

// Exact squared Euclidean distance transform of one line (Felzenszwalb and
// Huttenlocher). f holds squared distances, Far where there is none; samples
// at Far never form part of the lower envelope, so the arithmetic stays exact.
void DistanceLine(const float* f, float* d, int n, int* v, double* z)
{
    int k = -1;
    for (int q = 0; q < n; ++q) {
        if (f[q] >= Far)
            continue;
        if (k < 0) {
            k = 0;
            v[0] = q;
            z[0] = -1e300;
            z[1] = 1e300;
            continue;
        }
        const double fq = static_cast<double>(f[q]) + static_cast<double>(q) * q;
        double s;
        for (;;) {
            const int p = v[k];
            s = (fq - (static_cast<double>(f[p]) + static_cast<double>(p) * p)) / (2.0 * (q - p));
            if (s > z[k])
                break;
            --k;
        }
        ++k;
        v[k] = q;
        z[k] = s;
        z[k + 1] = 1e300;
    }
    if (k < 0) {
        std::fill(d, d + n, Far);
        return;
    }
    k = 0;
    for (int q = 0; q < n; ++q) {
        while (z[k + 1] < q)
            ++k;
        const float dq = static_cast<float>(q - v[k]);
        d[q] = dq * dq + f[v[k]];
    }
}

// Distance in samples from every sample of a width x height grid to the
// nearest sample where feature is true.
std::vector<float> DistanceTo(const std::vector<std::uint8_t>& feature, int width, int height)
{
    std::vector<float> grid(feature.size());
    for (std::size_t i = 0; i < feature.size(); ++i)
        grid[i] = feature[i] ? 0.0f : Far;
    const int n = std::max(width, height);
    std::vector<float> f(n), d(n);
    std::vector<double> z(n + 1);
    std::vector<int> v(n);
    for (int x = 0; x < width; ++x) {
        for (int y = 0; y < height; ++y)
            f[y] = grid[static_cast<std::size_t>(y) * width + x];
        DistanceLine(f.data(), d.data(), height, v.data(), z.data());
        for (int y = 0; y < height; ++y)
            grid[static_cast<std::size_t>(y) * width + x] = d[y];
    }
    for (int y = 0; y < height; ++y) {
        float* line = &grid[static_cast<std::size_t>(y) * width];
        std::copy(line, line + width, f.begin());
        DistanceLine(f.data(), d.data(), width, v.data(), z.data());
        for (int x = 0; x < width; ++x)
            line[x] = std::sqrt(d[x]);
    }
    return grid;
}

struct TDrainage {
    std::vector<float> Elevation; // coarse, tilted towards the sea
    std::vector<float> Filled;    // water surface after filling depressions
    std::vector<std::int32_t> Down;
    std::vector<float> Rain;      // rain collected from upstream
    std::vector<float> MouthRain; // rain at the river mouth the cell drains to
    std::vector<float> Lake;      // depth of a lake large enough to show, else 0
};

// Calls visit(m, di, dj) for each of the up to eight coarse cells m around c,
// row by row, where (di, dj) is the step from c to m.
template <typename TVisit>
void ForEachNeighbour(std::int32_t c, TVisit visit)
{
    const int ci = c % CoarseW;
    const int cj = c / CoarseW;
    for (int dj = -1; dj <= 1; ++dj)
        for (int di = -1; di <= 1; ++di) {
            const int i = ci + di;
            const int j = cj + dj;
            if ((di != 0 || dj != 0) && i >= 0 && j >= 0 && i < CoarseW && j < CoarseH)
                visit(j * CoarseW + i, di, dj);
        }
}

// Priority flood from the sea: every land cell drains, through the neighbour
// that reached it first, downhill to the sea, and depressions fill to their
// spill level. Cells of equal water level are taken lowest ground first, so
// the path out of a depression runs along its floor, as a carved channel would.
TDrainage Drain(const TFields& fields, const std::vector<float>& half)
{
    const std::size_t n = static_cast<std::size_t>(CoarseW) * CoarseH;
    TDrainage d;
    d.Elevation.resize(n);
    std::vector<std::uint8_t> sea(n);
    for (int j = 0; j < CoarseH; ++j)
        for (int i = 0; i < CoarseW; ++i) {
            const std::size_t c = static_cast<std::size_t>(j) * CoarseW + i;
            const float* a = &half[static_cast<std::size_t>(2 * j) * HalfW + 2 * i];
            d.Elevation[c] = 0.25f * (a[0] + a[1] + a[HalfW] + a[HalfW + 1]);
            sea[c] = d.Elevation[c] <= 0.0f;
            // Small bumps that bend the paths on even slopes, which would
            // otherwise run straight along one of the eight directions.
            if (!sea[c])
                d.Elevation[c] += 0.006f * fields.Meander(static_cast<float>(i * Cell), static_cast<float>(j * Cell)) +
                                  0.0015f * HashUnit(i, j, 22);
        }
    const std::vector<float> inland = DistanceTo(sea, CoarseW, CoarseH);
    for (std::size_t c = 0; c < n; ++c)
        if (!sea[c])
            d.Elevation[c] += SeaTilt * inland[c];

    d.Filled = d.Elevation;
    d.Down.assign(n, -1);
    std::vector<std::uint8_t> seen(n, 0);
    using TEntry = std::tuple<float, float, std::int32_t>;
    std::priority_queue<TEntry, std::vector<TEntry>, std::greater<TEntry>> open;
    for (std::size_t c = 0; c < n; ++c)
        if (sea[c]) {
            seen[c] = 1;
            open.push({d.Elevation[c], d.Elevation[c], static_cast<std::int32_t>(c)});
        }
    std::vector<std::int32_t> order;
    order.reserve(n);
    while (!open.empty()) {
        const std::int32_t c = std::get<2>(open.top());
        open.pop();
        order.push_back(c);
        ForEachNeighbour(c, [&](std::int32_t m, int, int) {
            if (seen[m])
                return;
            seen[m] = 1;
            d.Filled[m] = std::max(d.Elevation[m], d.Filled[c]);
            d.Down[m] = c;
            open.push({d.Filled[m], d.Elevation[m], m});
        });
    }

    // Where the ground falls away, send the water down the steepest drop to a
    // cell flooded earlier (so the tree stays free of cycles). Diagonal steps
    // count as a random length between 1 and 2, as in the Rho8 rule: on even
    // slopes plain steepest descent runs in straight, parallel lines.
    std::vector<std::int32_t> rank(n);
    for (std::size_t k = 0; k < n; ++k)
        rank[order[k]] = static_cast<std::int32_t>(k);
    for (std::int32_t c : order) {
        if (sea[c])
            continue;
        const int ci = c % CoarseW;
        const int cj = c / CoarseW;
        float best = 0.0f;
        ForEachNeighbour(c, [&](std::int32_t m, int di, int dj) {
            if (rank[m] >= rank[c])
                return;
            const float length = di != 0 && dj != 0 ? 2.0f - HashUnit(ci * 8 + di, cj * 8 + dj, 23) : 1.0f;
            const float drop = (d.Filled[c] - d.Filled[m]) / length;
            if (drop > best) {
                best = drop;
                d.Down[c] = m;
            }
        });
    }

    // Rain falls mostly on the mountains and runs down the tree.
    d.Rain.assign(n, 0.0f);
    for (std::size_t c = 0; c < n; ++c)
        if (!sea[c])
            d.Rain[c] = 1.0f + 2.0f * SmoothStep(HillLevel * 0.5f, MountainLevel, d.Elevation[c]);
    for (auto it = order.rbegin(); it != order.rend(); ++it)
        if (d.Down[*it] >= 0)
            d.Rain[d.Down[*it]] += d.Rain[*it];
    d.MouthRain.assign(n, 0.0f);
    for (std::int32_t c : order)
        d.MouthRain[c] = d.Down[c] < 0 || sea[d.Down[c]] ? d.Rain[c] : d.MouthRain[d.Down[c]];

    // Lakes: connected depressions deep and large enough to show.
    d.Lake.assign(n, 0.0f);
    std::vector<std::uint8_t> done(n, 0);
    std::vector<std::int32_t> region;
    auto isDepression = [&](std::size_t c) { return !sea[c] && d.Filled[c] - d.Elevation[c] >= LakeDepth; };
    for (std::size_t start = 0; start < n; ++start) {
        if (done[start] || !isDepression(start))
            continue;
        region.assign(1, static_cast<std::int32_t>(start));
        done[start] = 1;
        for (std::size_t k = 0; k < region.size(); ++k) {
            const int ci = region[k] % CoarseW;
            const int cj = region[k] / CoarseW;
            for (int j = std::max(cj - 1, 0); j <= std::min(cj + 1, CoarseH - 1); ++j)
                for (int i = std::max(ci - 1, 0); i <= std::min(ci + 1, CoarseW - 1); ++i) {
                    const std::int32_t m = j * CoarseW + i;
                    if (!done[m] && isDepression(m)) {
                        done[m] = 1;
                        region.push_back(m);
                    }
                }
        }
        if (static_cast<int>(region.size()) >= MinLakeCells)
            for (std::int32_t c : region)
                d.Lake[c] = d.Filled[c] - d.Elevation[c];
    }
    return d;
}

struct TPoint {
    float X, Y;
};

TPoint Mid(TPoint a, TPoint b) { return {0.5f * (a.X + b.X), 0.5f * (a.Y + b.Y)}; }

// Thick antialiased segment from a (width wa) to b (width wb), kept as the
// maximum coverage per pixel.
void StrokeSegment(std::vector<float>& cover, TPoint a, TPoint b, float wa, float wb)
{
    const float reach = 0.5f * std::max(wa, wb) + 1.0f;
    const int x0 = std::max(0, static_cast<int>(std::floor(std::min(a.X, b.X) - reach)));
    const int x1 = std::min(W - 1, static_cast<int>(std::ceil(std::max(a.X, b.X) + reach)));
    const int y0 = std::max(0, static_cast<int>(std::floor(std::min(a.Y, b.Y) - reach)));
    const int y1 = std::min(H - 1, static_cast<int>(std::ceil(std::max(a.Y, b.Y) + reach)));
    const float vx = b.X - a.X;
    const float vy = b.Y - a.Y;
    const float len2 = vx * vx + vy * vy;
    for (int y = y0; y <= y1; ++y)
        for (int x = x0; x <= x1; ++x) {
            const float px = static_cast<float>(x) + 0.5f - a.X;
            const float py = static_cast<float>(y) + 0.5f - a.Y;
            const float t = len2 > 0.0f ? Clamp01((px * vx + py * vy) / len2) : 0.0f;
            const float dx = px - t * vx;
            const float dy = py - t * vy;
            const float dist = std::sqrt(dx * dx + dy * dy);
            const float c = Clamp01(0.5f * Mix(wa, wb, t) + 0.5f - dist);
            float& slot = cover[static_cast<std::size_t>(y) * W + x];
            slot = std::max(slot, c);
        }
}

void StrokeCurve(std::vector<float>& cover, TPoint a, TPoint control, TPoint b, float wa, float wb)
{
    constexpr int Pieces = 4;
    TPoint previous = a;
    for (int k = 1; k <= Pieces; ++k) {
        const float t = static_cast<float>(k) / Pieces;
        const float s = 1.0f - t;
        const TPoint p{s * s * a.X + 2.0f * s * t * control.X + t * t * b.X,
                       s * s * a.Y + 2.0f * s * t * control.Y + t * t * b.Y};
        StrokeSegment(cover, previous, p, Mix(wa, wb, static_cast<float>(k - 1) / Pieces), Mix(wa, wb, t));
        previous = p;
    }
}

// Rivers follow the drainage tree. Each river cell contributes a curve from the
// middle of the leg it comes in by to the middle of the leg it leaves by, bent
// through its own (jittered) centre; tributaries join at the middle of the curve
// of the cell they flow into.
std::vector<float> DrawRivers(const TDrainage& d)
{
    const std::size_t n = d.Down.size();
    std::vector<float> cover(static_cast<std::size_t>(W) * H, 0.0f);
    auto isRiver = [&](std::int32_t c) {
        return d.Down[c] >= 0 && d.Rain[c] >= RiverRain && d.MouthRain[c] >= MouthRain && d.Elevation[c] > 0.0f;
    };
    auto centre = [&](std::int32_t c) {
        const int i = c % CoarseW;
        const int j = c / CoarseW;
        return TPoint{static_cast<float>(i * Cell) + 2.0f + 2.6f * (HashUnit(i, j, 11) - 0.5f),
                      static_cast<float>(j * Cell) + 2.0f + 2.6f * (HashUnit(i, j, 12) - 0.5f)};
    };
    auto width = [&](std::int32_t c) { return std::min(0.7f + 0.55f * std::sqrt(d.Rain[c] / RiverRain), 4.5f); };
    std::vector<std::int32_t> mainUp(n, -1);
    for (std::size_t c = 0; c < n; ++c) {
        const std::int32_t i = static_cast<std::int32_t>(c);
        if (!isRiver(i))
            continue;
        std::int32_t& up = mainUp[d.Down[i]];
        if (up < 0 || d.Rain[i] > d.Rain[up])
            up = i;
    }
    auto curveEnds = [&](std::int32_t c, TPoint& a, TPoint& b, float& wa, float& wb) {
        const TPoint p = centre(c);
        const std::int32_t up = mainUp[c];
        a = up >= 0 ? Mid(centre(up), p) : p;
        wa = up >= 0 ? 0.5f * (width(up) + width(c)) : 0.6f;
        b = Mid(p, centre(d.Down[c]));
        wb = 0.5f * (width(c) + width(d.Down[c]));
    };
    for (std::size_t c = 0; c < n; ++c) {
        const std::int32_t i = static_cast<std::int32_t>(c);
        if (!isRiver(i) || d.Lake[c] > 0.0f)
            continue;
        TPoint a, b;
        float wa, wb;
        curveEnds(i, a, b, wa, wb);
        StrokeCurve(cover, a, centre(i), b, wa, wb);
        const std::int32_t next = d.Down[i];
        if (isRiver(next)) {
            if (mainUp[next] != i) {
                TPoint na, nb;
                float nwa, nwb;
                curveEnds(next, na, nb, nwa, nwb);
                const TPoint pn = centre(next);
                const TPoint join{0.25f * na.X + 0.5f * pn.X + 0.25f * nb.X, 0.25f * na.Y + 0.5f * pn.Y + 0.25f * nb.Y};
                StrokeSegment(cover, b, join, wb, wb);
            }
        } else {
            StrokeSegment(cover, b, centre(next), wb, wb * 1.3f);
        }
    }
    return cover;
}

struct TColor {
    float R, G, B;
};

TColor MixColor(TColor a, TColor b, float t) { return {Mix(a.R, b.R, t), Mix(a.G, b.G, t), Mix(a.B, b.B, t)}; }
TColor Scale(TColor a, float s) { return {a.R * s, a.G * s, a.B * s}; }

constexpr TColor DeepSea{24.0f, 46.0f, 84.0f};
constexpr TColor OpenSea{38.0f, 74.0f, 116.0f};
constexpr TColor ShallowSea{76.0f, 124.0f, 142.0f};
constexpr TColor LakeWater{56.0f, 100.0f, 138.0f};
constexpr TColor RiverWater{36.0f, 74.0f, 126.0f};
constexpr TColor Grass{98.0f, 136.0f, 64.0f};
constexpr TColor Meadow{124.0f, 150.0f, 76.0f};
constexpr TColor DryGrass{160.0f, 148.0f, 90.0f};
constexpr TColor Forest{46.0f, 82.0f, 42.0f};
constexpr TColor HillGround{116.0f, 114.0f, 70.0f};
constexpr TColor Rock{118.0f, 104.0f, 92.0f};
constexpr TColor Snow{236.0f, 236.0f, 240.0f};
constexpr TColor Sand{178.0f, 160.0f, 112.0f};
constexpr TColor CoastInk{62.0f, 52.0f, 38.0f};
constexpr TColor Parchment{142.0f, 112.0f, 72.0f};
constexpr TColor FrameInk{74.0f, 54.0f, 34.0f};

// Canopy of the tree nearest to (x, y) on a jittered grid: coverage, and a
// brightness that is lit from the top left.
std::pair<float, float> Canopy(int x, int y, float forestness)
{
    constexpr int Spacing = 7;
    const int ci = x / Spacing;
    const int cj = y / Spacing;
    float bestCover = 0.0f;
    float bestLight = 1.0f;
    for (int j = cj - 1; j <= cj + 1; ++j)
        for (int i = ci - 1; i <= ci + 1; ++i) {
            if (HashUnit(i, j, 31) > forestness)
                continue;
            const float tx = static_cast<float>(i * Spacing) + 1.0f + 5.0f * HashUnit(i, j, 32);
            const float ty = static_cast<float>(j * Spacing) + 1.0f + 5.0f * HashUnit(i, j, 33);
            const float r = 2.6f + 1.2f * HashUnit(i, j, 34);
            const float dx = static_cast<float>(x) + 0.5f - tx;
            const float dy = static_cast<float>(y) + 0.5f - ty;
            const float dist = std::sqrt(dx * dx + dy * dy);
            const float cover = Clamp01(r + 0.5f - dist);
            if (cover > bestCover) {
                bestCover = cover;
                bestLight = 1.12f - 0.22f * (dx + dy) / (1.41f * r);
            }
        }
    return {bestCover, bestLight};
}

std::uint8_t ToByte(float v) { return static_cast<std::uint8_t>(std::clamp(v, 0.0f, 255.0f) + 0.5f); }

// Bilinear sampling of a grid whose sample (i, j) sits at full-size position
// (step * i + offset, step * j + offset).
struct TGridSampler {
    TGridSampler(int width, int height, float step, float offset)
        : Width(width), Height(height), Step(step), Offset(offset) {}

    void MoveTo(int x, int y)
    {
        const float u = std::clamp((static_cast<float>(x) + 0.5f - Offset) / Step, 0.0f, static_cast<float>(Width - 1));
        const float v = std::clamp((static_cast<float>(y) + 0.5f - Offset) / Step, 0.0f, static_cast<float>(Height - 1));
        const int i = std::min(static_cast<int>(u), Width - 2);
        const int j = std::min(static_cast<int>(v), Height - 2);
        Tx = u - static_cast<float>(i);
        Ty = v - static_cast<float>(j);
        Index = static_cast<std::size_t>(j) * Width + i;
    }

    float operator()(const std::vector<float>& grid) const
    {
        const float* a = &grid[Index];
        const float top = Mix(a[0], a[1], Tx);
        const float bottom = Mix(a[Width], a[Width + 1], Tx);
        return Mix(top, bottom, Ty);
    }

    int Width, Height;
    float Step, Offset;
    float Tx = 0.0f, Ty = 0.0f;
    std::size_t Index = 0;
};

} // namespace

TSampleWorld GenerateTerrain()
{
    const TFields fields;
    const std::size_t halfSize = static_cast<std::size_t>(HalfW) * HalfH;
    std::vector<float> halfElevation(halfSize);
    for (int j = 0; j < HalfH; ++j)
        for (int i = 0; i < HalfW; ++i)
            halfElevation[static_cast<std::size_t>(j) * HalfW + i] =
                fields.Elevation(static_cast<float>(2 * i + 1), static_cast<float>(2 * j + 1));
    // Smooth fields for the painter, sampled on the coarse grid.
    const std::size_t coarseSize = static_cast<std::size_t>(CoarseW) * CoarseH;
    std::vector<float> moisture(coarseSize), tint(coarseSize), stains(coarseSize);
    for (int j = 0; j < CoarseH; ++j)
        for (int i = 0; i < CoarseW; ++i) {
            const float x = static_cast<float>(i * Cell + Cell / 2);
            const float y = static_cast<float>(j * Cell + Cell / 2);
            const std::size_t k = static_cast<std::size_t>(j) * CoarseW + i;
            moisture[k] = fields.Moisture(x, y);
            tint[k] = fields.Tint(x, y);
            stains[k] = fields.Stains(x, y);
        }
    const TDrainage drainage = Drain(fields, halfElevation);
    const std::vector<float> river = DrawRivers(drainage);

    std::vector<float> elevation = UpsampleHalf(halfElevation);
    halfElevation = std::vector<float>();
    std::vector<std::uint8_t> isLand(elevation.size());
    for (int y = 0; y < H; ++y)
        for (int x = 0; x < W; ++x) {
            const std::size_t p = static_cast<std::size_t>(y) * W + x;
            elevation[p] += 0.005f * fields.Detail(static_cast<float>(x), static_cast<float>(y));
            isLand[p] = elevation[p] > 0.0f;
        }
    const std::vector<float> seaDistance = DistanceTo(isLand, W, H);
    isLand = std::vector<std::uint8_t>();

    TSampleWorld world;
    world.Rgb.resize(static_cast<std::size_t>(W) * H * 3);
    world.Ground.resize(static_cast<std::size_t>(W) * H);
    TGridSampler coarse(CoarseW, CoarseH, static_cast<float>(Cell), 0.5f * Cell);
    for (int y = 0; y < H; ++y) {
        const int ym = std::max(y - 1, 0);
        const int yp = std::min(y + 1, H - 1);
        for (int x = 0; x < W; ++x) {
            const std::size_t p = static_cast<std::size_t>(y) * W + x;
            const float e = elevation[p];
            const float gx = 0.5f * (elevation[p - x + std::min(x + 1, W - 1)] - elevation[p - x + std::max(x - 1, 0)]);
            const float gy = 0.5f * (elevation[static_cast<std::size_t>(yp) * W + x] - elevation[static_cast<std::size_t>(ym) * W + x]);
            const float slope = std::max(std::sqrt(gx * gx + gy * gy), 1e-5f);
            coarse.MoveTo(x, y);

            // Sea: darker with depth, lighter and banded with lines near the coast.
            const float dist = seaDistance[p];
            TColor sea = MixColor(OpenSea, DeepSea, SmoothStep(-0.05f, -0.45f, e));
            sea = MixColor(sea, ShallowSea, 0.75f * std::exp(-dist / 18.0f));
            for (int k = 1; k <= 3; ++k) {
                const float line = Clamp01(1.0f - std::fabs(dist - 9.0f * k) / 0.9f) * (1.0f - 0.28f * k);
                sea = MixColor(sea, ShallowSea, 0.55f * line);
            }

            // Land: meadows, dry grass and forest in the lowlands, hills, rock and
            // snow above, then shaded relief lit from the top left.
            const float m = coarse(moisture);
            const float h = std::max(e, 0.0f);
            const float variation = coarse(tint);
            TColor land = MixColor(Grass, Meadow, SmoothStep(-0.15f, 0.25f, variation));
            land = MixColor(land, DryGrass, SmoothStep(-0.22f, -0.40f, m));
            land = MixColor(land, HillGround, SmoothStep(HillLevel - 0.07f, HillLevel + 0.05f, h));
            const float forestness = SmoothStep(0.04f, 0.18f, m + 0.1f * variation) *
                                     (1.0f - SmoothStep(HillLevel - 0.02f, MountainLevel - 0.04f, h)) *
                                     SmoothStep(0.004f, 0.03f, h);
            if (forestness > 0.0f) {
                const auto [cover, light] = Canopy(x, y, forestness);
                land = MixColor(land, Scale(Forest, 0.9f), 0.6f * forestness);
                land = MixColor(land, Scale(Forest, light), cover);
            }
            land = MixColor(land, Rock, SmoothStep(MountainLevel - 0.05f, MountainLevel + 0.08f, h));
            land = MixColor(land, Snow, SmoothStep(SnowLevel - 0.03f, SnowLevel + 0.06f, h));
            const float relief = 150.0f + 500.0f * SmoothStep(HillLevel * 0.6f, MountainLevel, h);
            const float nx = -gx * relief;
            const float ny = -gy * relief;
            const float lit = (-0.55f * nx - 0.55f * ny + 0.63f) / std::sqrt(nx * nx + ny * ny + 1.0f);
            land = Scale(land, std::clamp(1.0f + 1.1f * (lit - 0.63f), 0.5f, 1.4f));
            const float shore = e / slope;
            land = MixColor(land, Sand, 0.45f * Clamp01(1.0f - std::fabs(shore - 2.2f) / 1.6f) *
                                            (1.0f - SmoothStep(0.02f, 0.06f, h)));

            const float landCover = Clamp01(shore + 0.5f);
            TColor c = MixColor(sea, land, landCover);
            c = MixColor(c, CoastInk, 0.75f * Clamp01(1.0f - std::fabs(shore - 0.3f) / 0.9f));
            bool water = landCover < 0.5f;

            const float lake = coarse(drainage.Lake);
            if (lake > 0.0f && e > 0.0f) {
                // Lake shore where the interpolated depth crosses half the least depth.
                TGridSampler next = coarse;
                next.MoveTo(x + 1, y);
                const float lx = next(drainage.Lake) - lake;
                next.MoveTo(x, y + 1);
                const float ly = next(drainage.Lake) - lake;
                const float inside = (lake - 0.5f * LakeDepth) / std::max(std::sqrt(lx * lx + ly * ly), 1e-6f);
                const float cover = Clamp01(inside + 0.5f);
                c = MixColor(c, LakeWater, cover);
                c = MixColor(c, CoastInk, 0.6f * Clamp01(1.0f - std::fabs(inside + 0.2f) / 0.9f));
                water = water || cover >= 0.5f;
            }
            if (river[p] > 0.0f && e > 0.0f) {
                c = MixColor(c, RiverWater, river[p]);
                water = water || river[p] >= 0.3f;
            }

            // Parchment: a sepia tone that deepens towards the stained, darkened edges.
            const float fx = static_cast<float>(x);
            const float fy = static_cast<float>(y);
            const float stain = coarse(stains);
            const float edge = static_cast<float>(std::min(std::min(x, W - 1 - x), std::min(y, H - 1 - y)));
            const float vignette = 1.0f - SmoothStep(0.0f, 330.0f, edge + 90.0f * stain + 30.0f);
            const float luma = 0.30f * c.R + 0.59f * c.G + 0.11f * c.B;
            const TColor sepia{luma * 1.10f + 28.0f, luma * 0.95f + 16.0f, luma * 0.70f};
            c = MixColor(c, sepia, 0.10f + 0.55f * vignette);
            c = MixColor(c, Parchment, 0.6f * vignette * vignette);
            c = Scale(c, (1.0f - 0.3f * vignette * vignette * vignette) * (1.0f + 0.06f * stain) *
                             (1.0f + 0.035f * fields.Grain(fx * 0.4f, fy * 0.4f)));
            for (const float at : {22.0f, 30.0f}) {
                const float ink = Clamp01(1.25f - std::fabs(edge + 0.5f - at));
                c = MixColor(c, FrameInk, 0.85f * ink);
            }

            std::uint8_t* rgb = &world.Rgb[p * 3];
            rgb[0] = ToByte(c.R);
            rgb[1] = ToByte(c.G);
            rgb[2] = ToByte(c.B);
            world.Ground[p] = water                 ? GroundWater
                              : h >= MountainLevel ? GroundMountains
                              : h >= HillLevel     ? GroundHills
                                                   : GroundLowland;
        }
    }
    return world;
}
