// In-memory pictures: a floating-point RGBA canvas for composing layers, a grey
// coverage map for text effects, and the 8-bit image that gets written to disk.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "shading.h"

namespace lumenvale::assets {

// 8-bit RGBA pixels, rows top to bottom as the picture is displayed, alpha not premultiplied.
struct Image8 {
    int width = 0;
    int height = 0;
    std::vector<std::uint8_t> rgba;

    Image8() = default;
    Image8(int w, int h);
    std::uint8_t* pixel(int x, int y) {
        return &rgba[4 * (static_cast<std::size_t>(y) * width + x)];
    }
    const std::uint8_t* pixel(int x, int y) const {
        return &rgba[4 * (static_cast<std::size_t>(y) * width + x)];
    }
};

// Premultiplied RGBA in floating point; starts fully transparent.
class Canvas {
public:
    Canvas(int width, int height);

    int width() const { return width_; }
    int height() const { return height_; }

    // Source-over compositing of a straight colour with the given opacity.
    void blend(int x, int y, const Colour& colour, float alpha);
    // Adds light without changing opacity (for glows over opaque pictures).
    void addLight(int x, int y, const Colour& light);
    Colour colourAt(int x, int y) const;  // straight (unpremultiplied) colour
    float alphaAt(int x, int y) const;

    // Converts to 8 bits. Fully transparent pixels take the colour of nearby visible ones
    // so that texture filtering in the game does not pull dark fringes into edges.
    Image8 toImage() const;

private:
    struct Pixel {
        float r = 0.0f;
        float g = 0.0f;
        float b = 0.0f;
        float a = 0.0f;
    };
    Pixel& at(int x, int y) { return pixels_[static_cast<std::size_t>(y) * width_ + x]; }
    const Pixel& at(int x, int y) const {
        return pixels_[static_cast<std::size_t>(y) * width_ + x];
    }

    int width_;
    int height_;
    std::vector<Pixel> pixels_;
};

// A single-channel map of values in [0, 1], e.g. glyph coverage.
struct Coverage {
    int width = 0;
    int height = 0;
    std::vector<float> value;

    Coverage() = default;
    Coverage(int w, int h) : width(w), height(h), value(static_cast<std::size_t>(w) * h, 0.0f) {}
    float& at(int x, int y) { return value[static_cast<std::size_t>(y) * width + x]; }
    float at(int x, int y) const { return value[static_cast<std::size_t>(y) * width + x]; }
    // Value at (x, y), zero outside the map.
    float sample(int x, int y) const;
};

Coverage gaussianBlur(const Coverage& source, float sigma);
// Grows shapes by a round brush of the given radius (in pixels), keeping soft edges.
Coverage dilate(const Coverage& source, float radius);

}  // namespace lumenvale::assets
