#include "icons.h"

#include <algorithm>
#include <cmath>
#include <string>

#include "ico_writer.h"
#include "pictures.h"
#include "png_writer.h"

namespace lumenvale::assets {

namespace {

// On the board a lamp texture fills a cell 5:4 wider than the texture; the icon's cells are
// square, so they show the middle of the stretched lamp, which keeps it round.
constexpr float kLampStretch = 1.25f;
constexpr float kMargin = 0.06f;      // around the block, in icon widths
constexpr float kFrameWidth = 0.03f;  // the hover frame's line, in icon widths
constexpr int kSubsamples = 4;        // per pixel and axis

struct Premultiplied {
    float r = 0, g = 0, b = 0, a = 0;
};

Premultiplied texel(const Canvas& lamp, int x, int y) {
    x = std::clamp(x, 0, lamp.width() - 1);
    y = std::clamp(y, 0, lamp.height() - 1);
    const Colour c = lamp.colourAt(x, y);
    const float a = lamp.alphaAt(x, y);
    return {c.r * a, c.g * a, c.b * a, a};
}

// Bilinear lookup at a point in texel units (texel centres at half-integers).
Premultiplied sample(const Canvas& lamp, float x, float y) {
    const float fx = x - 0.5f;
    const float fy = y - 0.5f;
    const int x0 = static_cast<int>(std::floor(fx));
    const int y0 = static_cast<int>(std::floor(fy));
    const float tx = fx - static_cast<float>(x0);
    const float ty = fy - static_cast<float>(y0);
    const Premultiplied p[4] = {texel(lamp, x0, y0), texel(lamp, x0 + 1, y0),
                                texel(lamp, x0, y0 + 1), texel(lamp, x0 + 1, y0 + 1)};
    const float w[4] = {(1 - tx) * (1 - ty), tx * (1 - ty), (1 - tx) * ty, tx * ty};
    Premultiplied out;
    for (int i = 0; i < 4; ++i) {
        out.r += w[i] * p[i].r;
        out.g += w[i] * p[i].g;
        out.b += w[i] * p[i].b;
        out.a += w[i] * p[i].a;
    }
    return out;
}

// A point of a cell, from (0, 0) at its top left to (1, 1), on the lamp's texture.
Premultiplied lampAt(const Canvas& lamp, float cellX, float cellY) {
    const float u = (cellX - 0.5f) / kLampStretch + 0.5f;
    return sample(lamp, u * static_cast<float>(lamp.width()),
                  cellY * static_cast<float>(lamp.height()));
}

// Whether a point of the icon (0 … 1 across it) lies on the hover frame's line.
bool onFrame(float x, float y) {
    const float inner = kMargin * 0.5f + kFrameWidth;
    const float outer = kMargin * 0.5f;
    const float edge = std::min(std::min(x, 1.0f - x), std::min(y, 1.0f - y));
    return edge >= outer && edge < inner;
}

}  // namespace

Image8 makeIcon(int size) {
    // Top row green and red, bottom row blue and green, all lit: a solved block.
    const Canvas lamps[4] = {makeLamp(LampColour::Green, true), makeLamp(LampColour::Red, true),
                             makeLamp(LampColour::Blue, true), makeLamp(LampColour::Green, true)};
    const Colour frame{0.0f, 0.5f, 0.0f};  // the hover frame's brighter green
    const float block = 1.0f - 2.0f * (kMargin + kFrameWidth);
    const float cell = block / 2.0f;
    const float start = kMargin + kFrameWidth;

    Canvas icon(size, size);
    const float step = 1.0f / static_cast<float>(size * kSubsamples);
    for (int y = 0; y < size; ++y) {
        for (int x = 0; x < size; ++x) {
            Premultiplied sum;
            for (int sy = 0; sy < kSubsamples; ++sy) {
                for (int sx = 0; sx < kSubsamples; ++sx) {
                    const float px = (static_cast<float>(x * kSubsamples + sx) + 0.5f) * step;
                    const float py = (static_cast<float>(y * kSubsamples + sy) + 0.5f) * step;
                    Premultiplied p;
                    if (onFrame(px, py)) {
                        p = {frame.r, frame.g, frame.b, 1.0f};
                    } else {
                        const float bx = (px - start) / cell;
                        const float by = (py - start) / cell;
                        if (bx >= 0 && by >= 0 && bx < 2 && by < 2) {
                            const int column = static_cast<int>(bx);
                            const int row = static_cast<int>(by);
                            p = lampAt(lamps[row * 2 + column], bx - static_cast<float>(column),
                                       by - static_cast<float>(row));
                        }
                    }
                    sum.r += p.r;
                    sum.g += p.g;
                    sum.b += p.b;
                    sum.a += p.a;
                }
            }
            const float n = static_cast<float>(kSubsamples * kSubsamples);
            const float a = sum.a / n;
            if (a > 0.0f) {
                icon.blend(x, y, {sum.r / sum.a, sum.g / sum.a, sum.b / sum.a}, a);
            }
        }
    }
    return icon.toImage();
}

std::vector<EncodedPicture> makeIconFiles() {
    std::vector<EncodedPicture> files;
    for (int size : kDesktopIconSizes) {
        files.push_back({"lumenvale-" + std::to_string(size) + ".png", encodePng(makeIcon(size))});
    }
    std::vector<Image8> windowsSizes;
    for (int size : kWindowsIconSizes) {
        windowsSizes.push_back(makeIcon(size));
    }
    files.push_back({"lumenvale.ico", encodeIco(windowsSizes)});
    return files;
}

}  // namespace lumenvale::assets
