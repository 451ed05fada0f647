// The menu backdrop: an ocean world lit from the upper left, with continents, clouds,
// ice caps, city lights on the night side and a blue atmosphere, set among stars.
#include <algorithm>
#include <cmath>
#include <vector>

#include "pictures.h"

namespace lumenvale::assets {

namespace {

// Shown 480 x 384 on screen, so the square texture is stretched 5:4.
constexpr float kStretch = 1.25f;
constexpr float kCentreU = 0.06f;
constexpr float kCentreV = -0.02f;
constexpr float kRadius = 0.36f;
constexpr std::uint32_t kSeed = 0x5eed1234U;
// The picture is drawn opaque on the menu's black screen: towards its edges the sky fades out
// over this many texels, down to pure black in the outermost ones, so no frame shows.
constexpr float kEdgeFade = 96.0f;

struct Vec3 {
    float x;
    float y;
    float z;
};

float dot(const Vec3& a, const Vec3& b) {
    return a.x * b.x + a.y * b.y + a.z * b.z;
}

Vec3 normalised(const Vec3& a) {
    const float n = std::sqrt(dot(a, a));
    return {a.x / n, a.y / n, a.z / n};
}

Vec3 rotateZ(const Vec3& p, float angle) {
    const float c = std::cos(angle);
    const float s = std::sin(angle);
    return {c * p.x - s * p.y, s * p.x + c * p.y, p.z};
}

Vec3 rotateX(const Vec3& p, float angle) {
    const float c = std::cos(angle);
    const float s = std::sin(angle);
    return {p.x, c * p.y - s * p.z, s * p.y + c * p.z};
}

Vec3 rotateY(const Vec3& p, float angle) {
    const float c = std::cos(angle);
    const float s = std::sin(angle);
    return {c * p.x + s * p.z, p.y, -s * p.x + c * p.z};
}

const Vec3 kLight = normalised({-0.78f, 0.42f, 0.50f});
const Colour kAtmosphere{0.30f, 0.58f, 1.0f};

float noiseAt(const Vec3& p, float frequency, int octaves, std::uint32_t salt) {
    return fbm(p.x * frequency, p.y * frequency, p.z * frequency, octaves, kSeed + salt);
}

Colour spaceBackground(float u, float v) {
    Colour c{0.006f, 0.008f, 0.020f};
    const float violet = smoothstep(0.48f, 0.80f, fbm(u * 2.2f, v * 2.2f, 3.0f, 5, kSeed + 1));
    const float teal = smoothstep(0.45f, 0.78f, fbm(u * 1.7f, v * 1.7f, 9.0f, 5, kSeed + 2));
    c = add(c, scale(Colour{0.10f, 0.035f, 0.15f}, 0.55f * violet));
    c = add(c, scale(Colour{0.02f, 0.06f, 0.11f}, 0.55f * teal));
    return c;
}

// Adds a few hundred stars of varied brightness and tint; the brightest get small spikes.
void scatterStars(std::vector<Colour>& sky, int size) {
    const Colour tints[] = {{0.75f, 0.85f, 1.0f}, {1.0f, 1.0f, 1.0f}, {1.0f, 0.88f, 0.70f}};
    Random random(kSeed);
    const int count = 650;
    for (int i = 0; i < count; ++i) {
        const float sx = random.range(0.0f, static_cast<float>(size));
        const float sy = random.range(0.0f, static_cast<float>(size));
        const float shine = random.unit();
        const float brightness = 0.12f + 0.88f * shine * shine * shine * shine;
        const Colour tint = tints[random.next() % 3];
        const bool spiky = brightness > 0.75f;
        const float sigma = 0.45f + 0.5f * brightness;
        const int reach = spiky ? 7 : 3;
        for (int dy = -reach; dy <= reach; ++dy) {
            for (int dx = -reach; dx <= reach; ++dx) {
                const int x = static_cast<int>(sx) + dx;
                const int y = static_cast<int>(sy) + dy;
                if (x < 0 || y < 0 || x >= size || y >= size) {
                    continue;
                }
                // Measured as it will look on screen, so stars stay round.
                const float ox = (static_cast<float>(x) + 0.5f - sx) * kStretch;
                const float oy = static_cast<float>(y) + 0.5f - sy;
                float light = std::exp(-(ox * ox + oy * oy) / (2.0f * sigma * sigma));
                if (spiky) {
                    light += 0.35f * std::exp(-std::fabs(ox) / 1.8f) * std::exp(-oy * oy / 0.25f);
                    light += 0.35f * std::exp(-std::fabs(oy) / 1.8f) * std::exp(-ox * ox / 0.25f);
                }
                Colour& c = sky[static_cast<std::size_t>(y) * size + x];
                c = add(c, scale(tint, brightness * light));
            }
        }
    }
}

struct Terrain {
    Colour colour;
    float ocean;  // 1 over open water, for reflections
    float land;   // 1 over inhabited land, for city lights
};

Terrain terrainAt(const Vec3& p) {
    // Warped continents, so coasts look organic rather than blobby.
    const Vec3 q{p.x * 1.6f, p.y * 1.6f, p.z * 1.6f};
    const Vec3 warped{q.x + 0.9f * (noiseAt(q, 1.0f, 4, 11) - 0.5f),
                      q.y + 0.9f * (noiseAt(q, 1.0f, 4, 12) - 0.5f),
                      q.z + 0.9f * (noiseAt(q, 1.0f, 4, 13) - 0.5f)};
    const float height = noiseAt(warped, 1.0f, 7, 21);
    const float seaLevel = 0.51f;
    const float landMix = smoothstep(seaLevel - 0.004f, seaLevel + 0.004f, height);
    const Colour deep{0.012f, 0.05f, 0.16f};
    const Colour shallow{0.03f, 0.22f, 0.34f};
    const Colour water = mix(deep, shallow, smoothstep(0.40f, seaLevel, height));

    const float latitude = std::fabs(p.y);
    const float elevation = clamp01((height - seaLevel) / 0.16f);
    const float moisture = noiseAt(p, 3.0f, 4, 31) + 0.35f * (latitude - 0.4f);
    const Colour forest{0.10f, 0.26f, 0.08f};
    const Colour plains{0.30f, 0.36f, 0.14f};
    const Colour desert{0.58f, 0.46f, 0.26f};
    const Colour rock{0.36f, 0.32f, 0.28f};
    Colour ground = mix(desert, plains, smoothstep(0.35f, 0.5f, moisture));
    ground = mix(ground, forest, smoothstep(0.5f, 0.65f, moisture));
    ground = mix(ground, rock, smoothstep(0.4f, 0.85f, elevation));
    ground = mix(ground, Colour{0.85f, 0.87f, 0.9f}, smoothstep(0.85f, 1.0f, elevation));

    const float iceEdge = 0.86f + 0.12f * (noiseAt(p, 4.0f, 4, 61) - 0.5f);
    const float ice = smoothstep(iceEdge - 0.02f, iceEdge + 0.02f, latitude);
    Terrain t;
    t.colour = mix(mix(water, ground, landMix), Colour{0.86f, 0.91f, 0.97f}, ice);
    t.ocean = (1.0f - landMix) * (1.0f - ice);
    t.land = landMix * (1.0f - ice) * (1.0f - elevation);
    return t;
}

float cloudsAt(const Vec3& p) {
    // Swirled by a warp field and stretched along the latitudes like weather bands.
    const float swirl = 1.6f * (noiseAt(p, 2.0f, 4, 42) - 0.5f);
    const float c = fbm(p.x * 3.0f + swirl, p.y * 6.5f - swirl, p.z * 3.0f + swirl, 7, kSeed + 41);
    return 0.9f * smoothstep(0.53f, 0.72f, c);
}

float cityLightsAt(const Vec3& p) {
    const float clusters = smoothstep(0.45f, 0.7f, noiseAt(p, 5.0f, 3, 52));
    const float towns = smoothstep(0.6f, 0.8f, noiseAt(p, 28.0f, 3, 51));
    return clusters * towns;
}

Colour planetSurface(const Vec3& n) {
    const Vec3 p = rotateY(rotateX(rotateZ(n, 0.35f), 0.25f), 2.1f);
    const Terrain terrain = terrainAt(p);
    const float clouds = cloudsAt(p);
    const float facing = dot(n, kLight);

    const float day = std::pow(clamp01((facing + 0.04f) / 1.04f), 1.1f);
    // A reddish band along the terminator, like a sunset seen from orbit.
    const float dusk = smoothstep(-0.06f, 0.04f, facing) * (1.0f - smoothstep(0.04f, 0.3f, facing));
    Colour c = mix(terrain.colour, Colour{0.95f, 0.96f, 1.0f}, clouds);
    c = scale(c, day);
    c.r *= 1.0f + 0.45f * dusk;
    c.g *= 1.0f - 0.05f * dusk;
    c.b *= 1.0f - 0.35f * dusk;

    const Vec3 half = normalised({kLight.x, kLight.y, kLight.z + 1.0f});
    const float glint = std::pow(std::max(0.0f, dot(n, half)), 90.0f);
    c = add(c, scale(Colour{1.0f, 0.95f, 0.85f}, 0.4f * glint * terrain.ocean * (1.0f - clouds)));

    const float night = 1.0f - smoothstep(-0.2f, 0.02f, facing);
    const float lights = cityLightsAt(p) * terrain.land * (1.0f - 0.8f * clouds) * night;
    c = add(c, scale(Colour{1.0f, 0.72f, 0.35f}, 0.95f * lights));

    const float rim = std::pow(1.0f - n.z, 2.5f);
    c = add(c, scale(kAtmosphere, rim * (0.04f + 0.9f * smoothstep(-0.3f, 0.6f, facing))));
    return add(c, Colour{0.006f, 0.008f, 0.014f});
}

// Thin blue haze just outside the limb, strongest on the sunlit side.
Colour atmosphereHalo(float px, float py, float distance) {
    const float sunward = (px * kLight.x + py * kLight.y) / (distance * length(kLight.x, kLight.y));
    const float haze = std::exp(-(distance - 1.0f) / 0.045f);
    return scale(kAtmosphere, 0.7f * haze * smoothstep(-0.5f, 0.8f, sunward));
}

// 0 on the picture's outermost texels, rising smoothly to 1 at kEdgeFade texels from every edge.
float edgeFade(int x, int y) {
    const auto fade = [](int texel, int size) {
        const int fromEdge = std::min(texel, size - 1 - texel);
        return smoothstep(0.0f, kEdgeFade, static_cast<float>(fromEdge));
    };
    return fade(x, kPlanetSize) * fade(y, kPlanetSize);
}

}  // namespace

Canvas makePlanet() {
    const ScreenSpace space{kPlanetSize, kPlanetSize, kStretch};
    std::vector<Colour> sky(static_cast<std::size_t>(kPlanetSize) * kPlanetSize);
    for (int y = 0; y < kPlanetSize; ++y) {
        for (int x = 0; x < kPlanetSize; ++x) {
            sky[static_cast<std::size_t>(y) * kPlanetSize + x] =
                spaceBackground(space.u(static_cast<float>(x)), space.v(static_cast<float>(y)));
        }
    }
    scatterStars(sky, kPlanetSize);

    Canvas canvas(kPlanetSize, kPlanetSize);
    const float pixel = space.pixel() / kRadius;
    for (int y = 0; y < kPlanetSize; ++y) {
        for (int x = 0; x < kPlanetSize; ++x) {
            const float px = (space.u(static_cast<float>(x)) - kCentreU) / kRadius;
            const float py = (space.v(static_cast<float>(y)) - kCentreV) / kRadius;
            const float distance = length(px, py);
            Colour background = sky[static_cast<std::size_t>(y) * kPlanetSize + x];
            if (distance >= 1.0f - pixel) {
                background = add(background, atmosphereHalo(px, py, std::max(distance, 1.0f)));
            }
            canvas.blend(x, y, scale(background, edgeFade(x, y)), 1.0f);
            const float cover = clamp01((1.0f - distance) / (1.2f * pixel) + 0.5f);
            if (cover > 0.0f) {
                const float inside = std::min(distance, 1.0f);
                const float z = std::sqrt(std::max(0.0f, 1.0f - inside * inside));
                const Vec3 normal{px / std::max(distance, 1e-6f) * inside,
                                  py / std::max(distance, 1e-6f) * inside, z};
                canvas.blend(x, y, planetSurface(normal), cover);
            }
        }
    }
    return canvas;
}

}  // namespace lumenvale::assets
