#include "canvas.h"

#include <algorithm>
#include <cmath>

namespace lumenvale::assets {

namespace {

std::uint8_t toByte(float v) {
    return static_cast<std::uint8_t>(std::lround(clamp01(v) * 255.0f));
}

}  // namespace

Image8::Image8(int w, int h) : width(w), height(h), rgba(static_cast<std::size_t>(w) * h * 4, 0) {}

Canvas::Canvas(int width, int height)
    : width_(width), height_(height), pixels_(static_cast<std::size_t>(width) * height) {}

void Canvas::blend(int x, int y, const Colour& colour, float alpha) {
    alpha = clamp01(alpha);
    if (alpha <= 0.0f) {
        return;
    }
    Pixel& p = at(x, y);
    const float keep = 1.0f - alpha;
    p.r = colour.r * alpha + p.r * keep;
    p.g = colour.g * alpha + p.g * keep;
    p.b = colour.b * alpha + p.b * keep;
    p.a = alpha + p.a * keep;
}

void Canvas::addLight(int x, int y, const Colour& light) {
    Pixel& p = at(x, y);
    p.r += light.r * p.a;
    p.g += light.g * p.a;
    p.b += light.b * p.a;
}

Colour Canvas::colourAt(int x, int y) const {
    const Pixel& p = at(x, y);
    if (p.a <= 0.0f) {
        return kBlack;
    }
    return {p.r / p.a, p.g / p.a, p.b / p.a};
}

float Canvas::alphaAt(int x, int y) const {
    return at(x, y).a;
}

Image8 Canvas::toImage() const {
    Image8 image(width_, height_);
    std::vector<Colour> colour(pixels_.size());
    std::vector<bool> known(pixels_.size(), false);
    for (int y = 0; y < height_; ++y) {
        for (int x = 0; x < width_; ++x) {
            const std::size_t i = static_cast<std::size_t>(y) * width_ + x;
            if (toByte(at(x, y).a) > 0) {
                colour[i] = colourAt(x, y);
                known[i] = true;
            }
        }
    }
    // Spread visible colours outwards a few pixels, one ring per pass.
    for (int pass = 0; pass < 8; ++pass) {
        std::vector<bool> next = known;
        for (int y = 0; y < height_; ++y) {
            for (int x = 0; x < width_; ++x) {
                const std::size_t i = static_cast<std::size_t>(y) * width_ + x;
                if (known[i]) {
                    continue;
                }
                Colour sum;
                int count = 0;
                for (int dy = -1; dy <= 1; ++dy) {
                    for (int dx = -1; dx <= 1; ++dx) {
                        const int nx = x + dx;
                        const int ny = y + dy;
                        if (nx < 0 || ny < 0 || nx >= width_ || ny >= height_) {
                            continue;
                        }
                        const std::size_t j = static_cast<std::size_t>(ny) * width_ + nx;
                        if (known[j]) {
                            sum = add(sum, colour[j]);
                            ++count;
                        }
                    }
                }
                if (count > 0) {
                    colour[i] = scale(sum, 1.0f / static_cast<float>(count));
                    next[i] = true;
                }
            }
        }
        known.swap(next);
    }
    for (int y = 0; y < height_; ++y) {
        for (int x = 0; x < width_; ++x) {
            const std::size_t i = static_cast<std::size_t>(y) * width_ + x;
            std::uint8_t* out = image.pixel(x, y);
            out[0] = toByte(colour[i].r);
            out[1] = toByte(colour[i].g);
            out[2] = toByte(colour[i].b);
            out[3] = toByte(at(x, y).a);
        }
    }
    return image;
}

float Coverage::sample(int x, int y) const {
    if (x < 0 || y < 0 || x >= width || y >= height) {
        return 0.0f;
    }
    return at(x, y);
}

Coverage gaussianBlur(const Coverage& source, float sigma) {
    const int radius = static_cast<int>(std::ceil(sigma * 3.0f));
    std::vector<float> kernel(2 * radius + 1);
    float total = 0.0f;
    for (int i = -radius; i <= radius; ++i) {
        kernel[i + radius] = std::exp(-0.5f * static_cast<float>(i * i) / (sigma * sigma));
        total += kernel[i + radius];
    }
    for (float& k : kernel) {
        k /= total;
    }
    Coverage across(source.width, source.height);
    for (int y = 0; y < source.height; ++y) {
        for (int x = 0; x < source.width; ++x) {
            float sum = 0.0f;
            for (int i = -radius; i <= radius; ++i) {
                sum += kernel[i + radius] * source.sample(x + i, y);
            }
            across.at(x, y) = sum;
        }
    }
    Coverage result(source.width, source.height);
    for (int y = 0; y < source.height; ++y) {
        for (int x = 0; x < source.width; ++x) {
            float sum = 0.0f;
            for (int i = -radius; i <= radius; ++i) {
                sum += kernel[i + radius] * across.sample(x, y + i);
            }
            result.at(x, y) = sum;
        }
    }
    return result;
}

Coverage dilate(const Coverage& source, float radius) {
    const int reach = static_cast<int>(std::ceil(radius)) + 1;
    Coverage result(source.width, source.height);
    for (int y = 0; y < source.height; ++y) {
        for (int x = 0; x < source.width; ++x) {
            float best = 0.0f;
            for (int dy = -reach; dy <= reach; ++dy) {
                for (int dx = -reach; dx <= reach; ++dx) {
                    // Soft brush edge: full weight inside the radius, fading over one pixel.
                    const float weight = clamp01(
                        radius + 0.5f - length(static_cast<float>(dx), static_cast<float>(dy)));
                    best = std::max(best, weight * source.sample(x + dx, y + dy));
                }
            }
            result.at(x, y) = best;
        }
    }
    return result;
}

}  // namespace lumenvale::assets
