// Deterministic randomness for the sample world: a splitmix64 generator and 2-D
// gradient noise. Nothing here depends on the standard library's random engines
// or distributions, whose output may differ between library versions.
#pragma once

#include <array>
#include <cmath>
#include <cstdint>
#include <utility>

class TRandom {
public:
    explicit TRandom(std::uint64_t seed) : FState(seed) {}

    std::uint64_t Next()
    {
        std::uint64_t z = (FState += 0x9E3779B97F4A7C15ull);
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
        return z ^ (z >> 31);
    }
    // Uniform in [0, 1).
    double Uniform() { return static_cast<double>(Next() >> 11) * (1.0 / 9007199254740992.0); }
    // Uniform in [0, n), n > 0.
    std::uint32_t Below(std::uint32_t n) { return static_cast<std::uint32_t>((Next() >> 32) * n >> 32); }

private:
    std::uint64_t FState;
};

// A well-mixed hash of two integers and a seed, for per-cell jitter.
inline std::uint32_t HashCell(std::int32_t x, std::int32_t y, std::uint32_t seed)
{
    std::uint32_t h = static_cast<std::uint32_t>(x) * 0x8DA6B343u ^ static_cast<std::uint32_t>(y) * 0xD8163841u ^
                      seed * 0xCB1AB31Fu;
    h ^= h >> 15;
    h *= 0x2C1B3C6Du;
    h ^= h >> 12;
    h *= 0x297A2D39u;
    h ^= h >> 15;
    return h;
}

inline float HashUnit(std::int32_t x, std::int32_t y, std::uint32_t seed)
{
    return static_cast<float>(HashCell(x, y, seed) >> 8) * (1.0f / 16777216.0f);
}

// Gradient noise with a period of 256 lattice cells, values roughly in [-0.7, 0.7].
class TGradientNoise {
public:
    explicit TGradientNoise(std::uint64_t seed)
    {
        TRandom random(seed);
        for (int i = 0; i < 256; ++i)
            FPerm[i] = static_cast<std::uint8_t>(i);
        for (int i = 255; i > 0; --i)
            std::swap(FPerm[i], FPerm[random.Below(static_cast<std::uint32_t>(i) + 1)]);
        for (int i = 0; i < 256; ++i) {
            FPerm[256 + i] = FPerm[i];
            const double angle = random.Uniform() * 6.283185307179586;
            FGradX[i] = static_cast<float>(std::cos(angle));
            FGradY[i] = static_cast<float>(std::sin(angle));
        }
    }

    float operator()(float x, float y) const
    {
        const float fx = std::floor(x);
        const float fy = std::floor(y);
        const int ix = static_cast<int>(fx) & 255;
        const int iy = static_cast<int>(fy) & 255;
        const float dx = x - fx;
        const float dy = y - fy;
        const int a = FPerm[ix] + iy;
        const int b = FPerm[ix + 1] + iy;
        const float n00 = Dot(FPerm[a], dx, dy);
        const float n10 = Dot(FPerm[b], dx - 1.0f, dy);
        const float n01 = Dot(FPerm[a + 1], dx, dy - 1.0f);
        const float n11 = Dot(FPerm[b + 1], dx - 1.0f, dy - 1.0f);
        const float u = Fade(dx);
        const float v = Fade(dy);
        const float top = n00 + u * (n10 - n00);
        const float bottom = n01 + u * (n11 - n01);
        return top + v * (bottom - top);
    }

private:
    static float Fade(float t) { return t * t * t * (t * (t * 6.0f - 15.0f) + 10.0f); }
    float Dot(int h, float x, float y) const { return FGradX[h] * x + FGradY[h] * y; }

    std::array<std::uint8_t, 512> FPerm{};
    std::array<float, 256> FGradX{};
    std::array<float, 256> FGradY{};
};

// Fractal sum of gradient noise. Every octave is rotated and shifted so that
// the lattices of the octaves never line up.
class TFractalNoise {
public:
    static constexpr int MaxOctaves = 10;

    TFractalNoise(std::uint64_t seed, float wavelength, int octaves, float gain = 0.5f)
        : FNoise(seed), FOctaves(octaves < MaxOctaves ? octaves : MaxOctaves)
    {
        TRandom random(seed ^ 0x5851F42D4C957F2Dull);
        float frequency = 1.0f / wavelength;
        float amplitude = 1.0f;
        for (int i = 0; i < FOctaves; ++i) {
            const double angle = random.Uniform() * 6.283185307179586;
            FCos[i] = static_cast<float>(std::cos(angle)) * frequency;
            FSin[i] = static_cast<float>(std::sin(angle)) * frequency;
            FShiftX[i] = static_cast<float>(random.Uniform() * 256.0);
            FShiftY[i] = static_cast<float>(random.Uniform() * 256.0);
            FAmplitude[i] = amplitude;
            frequency *= 2.0f;
            amplitude *= gain;
        }
    }

    // Plain fractal sum, of the first `octaves` octaves when that is given.
    float operator()(float x, float y, int octaves = MaxOctaves) const
    {
        float sum = 0.0f;
        const int count = octaves < FOctaves ? octaves : FOctaves;
        for (int i = 0; i < count; ++i)
            sum += FAmplitude[i] * Octave(i, x, y);
        return sum;
    }

    // Ridged sum in [0, about 1]: sharp crests where the noise crosses zero,
    // each octave weighted by the one before so crests stay crisp.
    float Ridged(float x, float y, int octaves = MaxOctaves) const
    {
        float sum = 0.0f;
        float weight = 1.0f;
        float norm = 0.0f;
        const int count = octaves < FOctaves ? octaves : FOctaves;
        for (int i = 0; i < count; ++i) {
            float ridge = 1.0f - std::fabs(Octave(i, x, y)) * 1.6f;
            ridge = ridge < 0.0f ? 0.0f : ridge * ridge;
            sum += ridge * weight * FAmplitude[i];
            norm += FAmplitude[i];
            weight = ridge * 1.5f;
            weight = weight > 1.0f ? 1.0f : weight;
        }
        return sum / norm;
    }

private:
    float Octave(int i, float x, float y) const
    {
        return FNoise(FCos[i] * x - FSin[i] * y + FShiftX[i], FSin[i] * x + FCos[i] * y + FShiftY[i]);
    }

    TGradientNoise FNoise;
    int FOctaves;
    std::array<float, MaxOctaves> FCos{}, FSin{}, FShiftX{}, FShiftY{}, FAmplitude{};
};

inline float SmoothStep(float edge0, float edge1, float x)
{
    float t = (x - edge0) / (edge1 - edge0);
    t = t < 0.0f ? 0.0f : (t > 1.0f ? 1.0f : t);
    return t * t * (3.0f - 2.0f * t);
}

inline float Clamp01(float x) { return x < 0.0f ? 0.0f : (x > 1.0f ? 1.0f : x); }

inline float Mix(float a, float b, float t) { return a + (b - a) * t; }
