// Small maths helpers shared by the picture generators: colours, interpolation,
// deterministic hashing and value noise.
#pragma once

#include <cstdint>

namespace lumenvale::assets {

struct Colour {
    float r = 0.0f;
    float g = 0.0f;
    float b = 0.0f;
};

constexpr Colour kWhite{1.0f, 1.0f, 1.0f};
constexpr Colour kBlack{0.0f, 0.0f, 0.0f};

float clamp01(float v);
float mix(float a, float b, float t);
Colour mix(const Colour& a, const Colour& b, float t);
Colour scale(const Colour& c, float k);
Colour add(const Colour& a, const Colour& b);
float luminance(const Colour& c);
float smoothstep(float edge0, float edge1, float x);
float length(float x, float y);

// Maps picture pixels to coordinates in which one unit is the picture's on-screen height.
// The game stretches every picture to a quad whose shape differs from the texture's
// (square lamps fill 5:4 board cells, for instance), so round things are drawn in these
// coordinates to stay round on screen. u grows to the right, v grows upwards, (0,0) is
// the centre.
struct ScreenSpace {
    int width;
    int height;
    float stretchX;  // on-screen width:height divided by texture width:height

    float u(float x) const;
    float v(float y) const;
    float halfWidth() const;
    float pixel() const { return 1.0f / static_cast<float>(height); }
};

std::uint32_t hash32(std::uint32_t x);
std::uint32_t hash3(int x, int y, int z, std::uint32_t seed);
float hashUnit(int x, int y, int z, std::uint32_t seed);  // in [0, 1)

// Smooth value noise in [0, 1] and its fractal sum (also normalised to [0, 1]).
float valueNoise(float x, float y, float z, std::uint32_t seed);
float fbm(float x, float y, float z, int octaves, std::uint32_t seed);

// Seeded generator for scattering things (stars) reproducibly.
class Random {
public:
    explicit Random(std::uint64_t seed) : state_(seed) {}
    std::uint32_t next();
    float unit();  // in [0, 1)
    float range(float lo, float hi) { return lo + (hi - lo) * unit(); }

private:
    std::uint64_t state_;
};

}  // namespace lumenvale::assets
