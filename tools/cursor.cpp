// The pointer: a ring with crosshair ticks, bright core inside a dark outline so it
// stays visible over both lit and dark lamps.
#include <algorithm>
#include <cmath>

#include "pictures.h"

namespace lumenvale::assets {

namespace {

// The pointer is shown 38 x 31 pixels, wider than its square texture.
constexpr float kStretch = (38.0f / 31.0f);

float segmentDistance(float u, float v, float u0, float v0, float u1, float v1) {
    const float du = u1 - u0;
    const float dv = v1 - v0;
    const float t = clamp01(((u - u0) * du + (v - v0) * dv) / (du * du + dv * dv));
    return length(u - (u0 + t * du), v - (v0 + t * dv));
}

// Distance from a point to the reticle's centre lines.
float reticleDistance(float u, float v) {
    const float ringRadius = 0.27f;
    const float tickInner = 0.13f;
    const float tickOuter = 0.40f;
    float d = std::fabs(length(u, v) - ringRadius);
    d = std::min(d, segmentDistance(u, v, tickInner, 0.0f, tickOuter, 0.0f));
    d = std::min(d, segmentDistance(u, v, -tickInner, 0.0f, -tickOuter, 0.0f));
    d = std::min(d, segmentDistance(u, v, 0.0f, tickInner, 0.0f, tickOuter));
    d = std::min(d, segmentDistance(u, v, 0.0f, -tickInner, 0.0f, -tickOuter));
    d = std::min(d, length(u, v) - 0.015f);  // centre dot
    return d;
}

}  // namespace

Canvas makeCursor() {
    const ScreenSpace space{kCursorSize, kCursorSize, kStretch};
    const float coreHalfWidth = 0.035f;
    const float outlineWidth = 0.035f;
    const Colour core{1.0f, 0.96f, 0.82f};
    const Colour outline{0.02f, 0.02f, 0.04f};
    const float aa = 1.2f * space.pixel();
    Canvas canvas(kCursorSize, kCursorSize);
    for (int y = 0; y < kCursorSize; ++y) {
        for (int x = 0; x < kCursorSize; ++x) {
            const float u = space.u(static_cast<float>(x));
            const float v = space.v(static_cast<float>(y));
            const float d = reticleDistance(u, v);
            canvas.blend(x, y, outline,
                         0.85f * clamp01(0.5f - (d - coreHalfWidth - outlineWidth) / aa));
            canvas.blend(x, y, core, clamp01(0.5f - (d - coreHalfWidth) / aa));
        }
    }
    return canvas;
}

}  // namespace lumenvale::assets
