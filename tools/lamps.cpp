// Board lamps and the tall indicator lamp: glass bulbs in dark metal sockets.
#include <algorithm>
#include <cmath>

#include "pictures.h"

namespace lumenvale::assets {

namespace {

// Board cells and the indicator slot are 5:4 wider on screen than their textures.
constexpr float kStretch = 1.25f;
constexpr float kPi = 3.14159265f;

// Direction towards the light, upper left, in picture coordinates.
constexpr float kLightU = -0.6f;
constexpr float kLightV = 0.8f;

float edgeCoverage(float signedDistance, float pixel) {
    return clamp01(0.5f - signedDistance / (1.2f * pixel));
}

// Rounded metal ring. t runs across the ring from 0 (inside) to 1 (outside);
// (nu, nv) is the unit direction pointing away from the bulb.
Colour socketColour(float t, float nu, float nv, const Colour& spill) {
    const Colour metal{0.40f, 0.42f, 0.46f};
    const float facing = nu * kLightU + nv * kLightV;
    // Across a rounded ring the surface tilts inwards then outwards.
    const float tilt = -std::cos(kPi * t);
    const float shade = 0.30f + 0.35f * tilt * facing + 0.20f * std::sin(kPi * t);
    Colour c = scale(metal, std::max(0.05f, shade));
    c = add(c, scale(spill, 1.0f - t));
    // Dark seams on both sides keep neighbouring lamps and the bulb apart.
    const float seam = std::min(smoothstep(0.0f, 0.22f, t), 1.0f - smoothstep(0.82f, 1.0f, t));
    return scale(c, 0.15f + 0.85f * seam);
}

// Soft elliptical spot: 1 in the middle, 0 outside the ellipse.
float softSpot(float u, float v, float cu, float cv, float ru, float rv) {
    const float d = length((u - cu) / ru, (v - cv) / rv);
    return 1.0f - smoothstep(0.35f, 1.0f, d);
}

// A dark lamp keeps a hint of its hue but loses most of its colour and light.
Colour darkGlass(const Colour& hue) {
    const Colour grey = scale(kWhite, luminance(hue));
    const Colour c = mix(grey, hue, 0.5f);
    const float peak = std::max(c.r, std::max(c.g, c.b));
    return scale(c, 0.34f / peak);
}

Colour litBulb(const Colour& hue, float r) {
    const Colour core = mix(hue, kWhite, 0.42f);
    Colour c = mix(core, hue, smoothstep(0.08f, 0.72f, r));
    c = mix(c, scale(hue, 0.45f), smoothstep(0.7f, 1.0f, r));
    return c;
}

Colour darkBulb(const Colour& hue, float r) {
    const Colour glass = darkGlass(hue);
    return mix(glass, scale(glass, 0.35f), smoothstep(0.15f, 1.0f, r));
}

}  // namespace

Colour lampHue(LampColour colour) {
    switch (colour) {
        case LampColour::Green:
            return {0.18f, 1.0f, 0.32f};
        case LampColour::Red:
            return {1.0f, 0.16f, 0.12f};
        case LampColour::Blue:
            return {0.20f, 0.48f, 1.0f};
    }
    return kWhite;
}

Canvas makeLamp(LampColour colour, bool lit) {
    const Colour hue = lampHue(colour);
    const ScreenSpace space{kLampSize, kLampSize, kStretch};
    const float bulbRadius = 0.315f;
    const float socketRadius = 0.38f;
    const float glowRadius = 0.5f;
    Canvas canvas(kLampSize, kLampSize);
    for (int y = 0; y < kLampSize; ++y) {
        for (int x = 0; x < kLampSize; ++x) {
            const float u = space.u(static_cast<float>(x));
            const float v = space.v(static_cast<float>(y));
            const float d = length(u, v);
            if (lit && d > socketRadius - 0.02f) {
                const float t = clamp01((d - socketRadius) / (glowRadius - socketRadius));
                canvas.blend(x, y, hue, 0.9f * std::pow(1.0f - t, 1.8f));
            }
            const float nu = d > 0.0f ? u / d : 0.0f;
            const float nv = d > 0.0f ? v / d : 0.0f;
            const float ring = clamp01((d - bulbRadius) / (socketRadius - bulbRadius));
            const Colour spill = lit ? scale(hue, 0.35f) : kBlack;
            canvas.blend(x, y, socketColour(ring, nu, nv, spill),
                         edgeCoverage(d - socketRadius, space.pixel()));

            const float r = d / bulbRadius;
            Colour glass = lit ? litBulb(hue, r) : darkBulb(hue, r);
            // Fine concentric ridges of a pressed-glass lens.
            const float ridges = 0.5f + 0.5f * std::cos(r * 2.0f * kPi * 4.5f);
            glass = scale(glass, 1.0f - (lit ? 0.05f : 0.12f) * ridges * smoothstep(0.3f, 0.9f, r));
            canvas.blend(x, y, glass, edgeCoverage(d - bulbRadius, space.pixel()));

            if (d < bulbRadius) {
                const float shine = softSpot(u, v, -0.12f, 0.14f, 0.10f, 0.065f);
                canvas.blend(x, y, kWhite, (lit ? 0.7f : 0.4f) * shine);
                // Light bouncing back inside the glass along the lower right rim.
                const float rim = smoothstep(0.7f, 0.95f, r) * (1.0f - smoothstep(0.95f, 1.0f, r));
                const float away = clamp01(-(nu * kLightU + nv * kLightV));
                const Colour bounce = lit ? mix(hue, kWhite, 0.5f) : darkGlass(hue);
                canvas.blend(x, y, bounce, 0.45f * rim * away);
            }
        }
    }
    return canvas;
}

namespace {

// Signed distance to a vertical capsule, plus the outward direction from its axis.
struct CapsuleHit {
    float distance;
    float nu;
    float nv;
};

CapsuleHit capsule(float u, float v, float halfLength, float radius) {
    const float dv = v - std::clamp(v, -halfLength, halfLength);
    const float d = length(u, dv);
    if (d <= 0.0f) {
        return {-radius, 1.0f, 0.0f};
    }
    return {d - radius, u / d, dv / d};
}

Colour litTube(float depth, float u, float v, float halfLength) {
    const Colour rim{0.85f, 0.40f, 0.05f};
    const Colour gold{1.0f, 0.76f, 0.22f};
    const Colour core{1.0f, 0.97f, 0.86f};
    Colour c = mix(rim, gold, smoothstep(0.0f, 0.45f, depth));
    c = mix(c, core, smoothstep(0.4f, 0.95f, depth));
    // A white-hot filament down the middle.
    const float filament = std::exp(-(u / 0.025f) * (u / 0.025f)) *
                           (1.0f - smoothstep(halfLength * 0.7f, halfLength * 1.1f, std::fabs(v)));
    return mix(c, kWhite, 0.6f * filament);
}

Colour darkTube(float depth) {
    const Colour edge{0.09f, 0.08f, 0.07f};
    const Colour middle{0.34f, 0.25f, 0.12f};
    return mix(edge, middle, smoothstep(0.0f, 0.9f, depth));
}

}  // namespace

Canvas makeTrueLamp(bool lit) {
    const ScreenSpace space{kTrueLampWidth, kTrueLampHeight, kStretch};
    const float halfLength = 0.20f;
    const float bulbRadius = 0.16f;
    const float bezelWidth = 0.04f;
    const float glowWidth = 0.10f;
    const Colour glowColour{1.0f, 0.72f, 0.25f};
    Canvas canvas(kTrueLampWidth, kTrueLampHeight);
    for (int y = 0; y < kTrueLampHeight; ++y) {
        for (int x = 0; x < kTrueLampWidth; ++x) {
            const float u = space.u(static_cast<float>(x));
            const float v = space.v(static_cast<float>(y));
            const CapsuleHit hit = capsule(u, v, halfLength, bulbRadius);
            const float outside = hit.distance - bezelWidth;
            if (lit && outside > -0.02f) {
                const float t = clamp01(outside / glowWidth);
                canvas.blend(x, y, glowColour, 0.85f * std::pow(1.0f - t, 2.2f));
            }
            const float ring = clamp01(hit.distance / bezelWidth);
            const Colour spill = lit ? scale(glowColour, 0.35f) : kBlack;
            canvas.blend(x, y, socketColour(ring, hit.nu, hit.nv, spill),
                         edgeCoverage(outside, space.pixel()));

            const float depth = clamp01(-hit.distance / bulbRadius);
            Colour glass = lit ? litTube(depth, u, v, halfLength) : darkTube(depth);
            // Horizontal ribs moulded into the glass.
            const float ribs = 0.5f + 0.5f * std::cos(v * 2.0f * kPi * 14.0f);
            glass = scale(glass, 1.0f - (lit ? 0.04f : 0.18f) * ribs);
            canvas.blend(x, y, glass, edgeCoverage(hit.distance, space.pixel()));

            if (hit.distance < 0.0f) {
                const float stripe = softSpot(u, v, -0.105f, 0.04f, 0.022f, halfLength + 0.06f);
                canvas.blend(x, y, kWhite, (lit ? 0.45f : 0.3f) * stripe);
            }
        }
    }
    return canvas;
}

}  // namespace lumenvale::assets
