#include "shading.h"

#include <algorithm>
#include <cmath>

namespace lumenvale::assets {

float clamp01(float v) {
    return std::min(1.0f, std::max(0.0f, v));
}

float mix(float a, float b, float t) {
    return a + (b - a) * t;
}

Colour mix(const Colour& a, const Colour& b, float t) {
    return {mix(a.r, b.r, t), mix(a.g, b.g, t), mix(a.b, b.b, t)};
}

Colour scale(const Colour& c, float k) {
    return {c.r * k, c.g * k, c.b * k};
}

Colour add(const Colour& a, const Colour& b) {
    return {a.r + b.r, a.g + b.g, a.b + b.b};
}

float luminance(const Colour& c) {
    return 0.2126f * c.r + 0.7152f * c.g + 0.0722f * c.b;
}

float smoothstep(float edge0, float edge1, float x) {
    const float t = clamp01((x - edge0) / (edge1 - edge0));
    return t * t * (3.0f - 2.0f * t);
}

float length(float x, float y) {
    return std::sqrt(x * x + y * y);
}

float ScreenSpace::u(float x) const {
    return ((x + 0.5f) / static_cast<float>(width) - 0.5f) * 2.0f * halfWidth();
}

float ScreenSpace::v(float y) const {
    return 0.5f - (y + 0.5f) / static_cast<float>(height);
}

float ScreenSpace::halfWidth() const {
    return 0.5f * stretchX * static_cast<float>(width) / static_cast<float>(height);
}

std::uint32_t hash32(std::uint32_t x) {
    x ^= x >> 16;
    x *= 0x7feb352dU;
    x ^= x >> 15;
    x *= 0x846ca68bU;
    x ^= x >> 16;
    return x;
}

std::uint32_t hash3(int x, int y, int z, std::uint32_t seed) {
    std::uint32_t h = hash32(seed ^ 0x9e3779b9U);
    h = hash32(h ^ static_cast<std::uint32_t>(x));
    h = hash32(h ^ static_cast<std::uint32_t>(y) * 0x85ebca6bU);
    h = hash32(h ^ static_cast<std::uint32_t>(z) * 0xc2b2ae35U);
    return h;
}

float hashUnit(int x, int y, int z, std::uint32_t seed) {
    return static_cast<float>(hash3(x, y, z, seed) >> 8) * (1.0f / 16777216.0f);
}

namespace {

float fade(float t) {
    return t * t * t * (t * (t * 6.0f - 15.0f) + 10.0f);
}

}  // namespace

float valueNoise(float x, float y, float z, std::uint32_t seed) {
    const float fx = std::floor(x);
    const float fy = std::floor(y);
    const float fz = std::floor(z);
    const int ix = static_cast<int>(fx);
    const int iy = static_cast<int>(fy);
    const int iz = static_cast<int>(fz);
    const float tx = fade(x - fx);
    const float ty = fade(y - fy);
    const float tz = fade(z - fz);
    float layer[2];
    for (int dz = 0; dz < 2; ++dz) {
        const float c00 = hashUnit(ix, iy, iz + dz, seed);
        const float c10 = hashUnit(ix + 1, iy, iz + dz, seed);
        const float c01 = hashUnit(ix, iy + 1, iz + dz, seed);
        const float c11 = hashUnit(ix + 1, iy + 1, iz + dz, seed);
        layer[dz] = mix(mix(c00, c10, tx), mix(c01, c11, tx), ty);
    }
    return mix(layer[0], layer[1], tz);
}

float fbm(float x, float y, float z, int octaves, std::uint32_t seed) {
    float sum = 0.0f;
    float amplitude = 1.0f;
    float total = 0.0f;
    for (int i = 0; i < octaves; ++i) {
        sum += amplitude * valueNoise(x, y, z, seed + static_cast<std::uint32_t>(i) * 101U);
        total += amplitude;
        amplitude *= 0.5f;
        // Rotate-ish shuffle between octaves hides the lattice.
        const float nx = 1.6f * x + 1.2f * z + 17.3f;
        const float nz = -1.2f * x + 1.6f * z + 5.1f;
        x = nx;
        y = 2.0f * y + 3.7f;
        z = nz;
    }
    return sum / total;
}

std::uint32_t Random::next() {
    // SplitMix64, truncated to 32 bits.
    state_ += 0x9e3779b97f4a7c15ULL;
    std::uint64_t z = state_;
    z = (z ^ (z >> 30)) * 0xbf58476d1ce4e5b9ULL;
    z = (z ^ (z >> 27)) * 0x94d049bb133111ebULL;
    return static_cast<std::uint32_t>((z ^ (z >> 31)) >> 32);
}

float Random::unit() {
    return static_cast<float>(next() >> 8) * (1.0f / 16777216.0f);
}

}  // namespace lumenvale::assets
