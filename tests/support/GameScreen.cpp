#include "tests/support/GameScreen.h"

#include <algorithm>
#include <cmath>

namespace e2e {
namespace {

// The hover frame is drawn opaque in (0, 0.25, 0) and (0, 0.5, 0): exact greens that no lamp
// picture blended over black comes close to.
bool FrameGreen(const uint8_t* p) {
    return p[0] <= 3 && p[2] <= 3 && ((p[1] >= 60 && p[1] <= 68) || (p[1] >= 122 && p[1] <= 132));
}

LampReading ReadLamp(const Screenshot& shot, const PixelBox& box) {
    const Colour mean = MeanColour(shot, box);
    const double level = mean.Max();
    const bool red = mean.red >= mean.green && mean.red >= mean.blue;
    const int colour = red ? 1 : (mean.blue > mean.green ? 2 : 0);
    return {level >= levels::Lit, colour, level,
            level >= levels::ClearlyLit || level <= levels::ClearlyDark};
}

// Share of the points, every third pixel along a line from `from` to `to` at `across`, with
// frame green within two pixels across the line.
double EdgeShare(const Screenshot& shot, int from, int to, int across, bool horizontalLine) {
    int samples = 0, green = 0;
    for (int along = from + 2; along <= to - 2; along += 3, ++samples) {
        bool seen = false;
        for (int d = -2; d <= 2 && !seen; ++d) {
            const int x = horizontalLine ? along : across + d;
            const int y = horizontalLine ? across + d : along;
            seen = shot.Contains(x, y) && FrameGreen(shot.At(x, y));
        }
        green += seen ? 1 : 0;
    }
    return samples == 0 ? 0.0 : double(green) / samples;
}

// Calls `visit` with every pixel of the box that lies on the screen; gives the box's size.
long VisitPixels(const Screenshot& shot, const PixelBox& box,
                 const std::function<void(const uint8_t*)>& visit) {
    for (int y = std::max(box.y, 0); y < std::min(box.y + box.height, shot.height); ++y) {
        for (int x = std::max(box.x, 0); x < std::min(box.x + box.width, shot.width); ++x) {
            visit(shot.At(x, y));
        }
    }
    return std::max(box.width, 0) * long(std::max(box.height, 0));
}

// Share of the outline of a block drawn in the hover frame's two greens, the worst of its four
// sides (0 … 1).
double HoverFrameScore(const Screenshot& shot, Point block, int columns, int rows) {
    const Point lowerLeft = BlockCorner(block.x - 1, block.y - 1, columns, rows);
    const Point upperRight = BlockCorner(block.x + 1, block.y + 1, columns, rows);
    const int left = lowerLeft.x, bottom = lowerLeft.y, right = upperRight.x, top = upperRight.y;
    return std::min(
        {EdgeShare(shot, left, right, top, true), EdgeShare(shot, left, right, bottom, true),
         EdgeShare(shot, top, bottom, left, false), EdgeShare(shot, top, bottom, right, false)});
}

bool MenuShown(const Screenshot& shot) {
    return LitShare(shot, ToPixels(menu::Title), levels::TitleInk) > 0.05;
}

char LampLetter(const LampReading& lamp, bool indicator) {
    if (!lamp.clear) {
        return '?';
    }
    char letter = indicator ? 'i' : "grb"[lamp.colour];
    return lamp.lit ? static_cast<char>(letter - 'a' + 'A') : letter;
}

}  // namespace

Point PixelAt(double glX, double glY) {
    return {static_cast<int>(std::lround(PixelX(glX))), static_cast<int>(std::lround(PixelY(glY)))};
}

PixelBox ToPixels(const GlRect& rect, int inset) {
    const int left = static_cast<int>(std::ceil(PixelX(rect.x1))) + inset;
    const int right = static_cast<int>(std::floor(PixelX(rect.x2))) - inset;
    const int top = static_cast<int>(std::ceil(PixelY(rect.y2))) + inset;
    const int bottom = static_cast<int>(std::floor(PixelY(rect.y1))) - inset;
    return {left, top, right - left, bottom - top};
}

PixelBox Around(double x, double y, int width, int height) {
    int left = static_cast<int>(std::lround(x - width / 2.0));
    int top = static_cast<int>(std::lround(y - height / 2.0));
    return {left, top, width, height};
}

Colour MeanColour(const Screenshot& shot, const PixelBox& box) {
    Colour sum;
    int count = 0;
    VisitPixels(shot, box, [&](const uint8_t* p) {
        sum.red += p[0];
        sum.green += p[1];
        sum.blue += p[2];
        ++count;
    });
    const int divisor = std::max(count, 1);
    return {sum.red / divisor, sum.green / divisor, sum.blue / divisor};
}

double Share(const Screenshot& shot, const PixelBox& box,
             const std::function<bool(const uint8_t*)>& test) {
    long accepted = 0;
    const long total =
        VisitPixels(shot, box, [&](const uint8_t* p) { accepted += test(p) ? 1 : 0; });
    return total == 0 ? 0.0 : double(accepted) / total;
}

double LitShare(const Screenshot& shot, const PixelBox& box, int level) {
    return Share(shot, box, [level](const uint8_t* p) {
        return p[0] > level || p[1] > level || p[2] > level;
    });
}

FrameOnScreen FrameOnScreen::Of(const xsession::WindowInfo& window) {
    const PixelBox box = FrameInClient(window.width, window.height, 1280, 1024);
    return {double(window.x + box.x), double(window.y + box.y), box.width / 1280.0,
            box.height / 1024.0};
}

Point FrameOnScreen::ToScreen(Point inFrame) const {
    return {static_cast<int>(std::lround(left + inFrame.x * scaleX)),
            static_cast<int>(std::lround(top + inFrame.y * scaleY))};
}

Screenshot FrameOnScreen::View(const Screenshot& screen) const {
    Screenshot view;
    view.width = 1280;
    view.height = 1024;
    view.rgb.assign(size_t(view.width) * view.height * 3, 0);
    for (int y = 0; y < view.height; ++y) {
        int sy = static_cast<int>(std::floor(top + (y + 0.5) * scaleY));
        for (int x = 0; x < view.width; ++x) {
            int sx = static_cast<int>(std::floor(left + (x + 0.5) * scaleX));
            if (screen.Contains(sx, sy)) {
                std::copy_n(screen.At(sx, sy), 3, &view.rgb[(size_t(y) * view.width + x) * 3]);
            }
        }
    }
    return view;
}

bool FrameOnScreen::BlackBeside(const Screenshot& screen) const {
    const int besideX = static_cast<int>(left), besideY = static_cast<int>(top);
    const PixelBox beside[] = {{0, 0, besideX, screen.height},
                               {screen.width - besideX, 0, besideX, screen.height},
                               {0, 0, screen.width, besideY},
                               {0, screen.height - besideY, screen.width, besideY}};
    for (const PixelBox& box : beside) {
        if (box.width > 0 && box.height > 0 && LitShare(screen, box) > 0) {
            return false;
        }
    }
    return besideX > 0 || besideY > 0;
}

bool FindCursorPicture(const Screenshot& shot, Point near, int radius, double* x, double* y) {
    int left = near.x + radius, right = near.x - radius;
    int top = near.y + radius, bottom = near.y - radius;
    for (int py = near.y - radius; py <= near.y + radius; ++py) {
        for (int px = near.x - radius; px <= near.x + radius; ++px) {
            if (!shot.Contains(px, py)) {
                continue;
            }
            const uint8_t* p = shot.At(px, py);
            if (std::max({p[0], p[1], p[2]}) > 60) {
                left = std::min(left, px);
                right = std::max(right, px);
                top = std::min(top, py);
                bottom = std::max(bottom, py);
            }
        }
    }
    if (left > right) {
        return false;
    }
    *x = (left + right) / 2.0;
    *y = (top + bottom) / 2.0;
    return true;
}

Point Centre(const GlRect& rect) {
    return PixelAt((rect.x1 + rect.x2) / 2, (rect.y1 + rect.y2) / 2);
}

bool ButtonFillSeen(const Screenshot& shot, const GlRect& rect) {
    const ButtonFillRule& rule = ButtonFill;
    auto fill = [&rule](const uint8_t* p) {
        return p[0] <= rule.maxRed && p[1] >= rule.minGreen && p[1] <= rule.maxGreen &&
               p[1] >= rule.greenOverBlue * p[2];
    };
    double midY = PixelY((rect.y1 + rect.y2) / 2);
    PixelBox leftEnd = Around(PixelX(rect.x1) + rule.leftInset, midY, rule.patch, rule.patch);
    PixelBox rightEnd = Around(PixelX(rect.x2) - rule.rightInset, midY, rule.patch, rule.patch);
    return Share(shot, leftEnd, fill) > rule.share && Share(shot, rightEnd, fill) > rule.share;
}

bool Blank(const Screenshot& shot, const GlRect& rect) {
    return LitShare(shot, ToPixels(rect, 2)) < levels::BlankShare;
}

bool BoardReading::Clear() const {
    auto clear = [](const LampReading& lamp) { return lamp.clear; };
    return std::all_of(lamps.begin(), lamps.end(), clear) &&
           std::all_of(left.begin(), left.end(), clear) &&
           std::all_of(right.begin(), right.end(), clear);
}

bool BoardReading::AllLit() const {
    return std::all_of(lamps.begin(), lamps.end(), [](const LampReading& l) { return l.lit; });
}

bool BoardReading::Solvable() const {
    std::vector<int> darkInRow(rows), darkInColumn(columns);
    for (int r = 0; r < rows; ++r) {
        for (int c = 0; c < columns; ++c) {
            darkInRow[r] += Lamp(c, r).lit ? 0 : 1;
            darkInColumn[c] += Lamp(c, r).lit ? 0 : 1;
        }
    }
    auto even = [](int dark) { return dark % 2 == 0; };
    return std::all_of(darkInRow.begin(), darkInRow.end(), even) &&
           std::all_of(darkInColumn.begin(), darkInColumn.end(), even);
}

bool BoardReading::IndicatorsFollowRows() const {
    for (int pair = 0; pair * 2 < rows; ++pair) {
        bool rowsLit = true;
        for (int r = pair * 2; r < pair * 2 + 2 && r < rows; ++r) {
            for (int c = 0; c < columns; ++c) {
                rowsLit = rowsLit && Lamp(c, r).lit;
            }
        }
        if (left[pair].lit != rowsLit || right[pair].lit != rowsLit) {
            return false;
        }
    }
    return true;
}

bool BoardReading::SameLamps(const BoardReading& other) const {
    return SameColours(other) &&
           std::equal(lamps.begin(), lamps.end(), other.lamps.begin(),
                      [](const LampReading& a, const LampReading& b) { return a.lit == b.lit; });
}

bool BoardReading::SameColours(const BoardReading& other) const {
    return columns == other.columns && rows == other.rows && lamps.size() == other.lamps.size() &&
           std::equal(
               lamps.begin(), lamps.end(), other.lamps.begin(),
               [](const LampReading& a, const LampReading& b) { return a.colour == b.colour; });
}

std::string BoardReading::Describe() const {
    std::string text;
    for (int r = rows - 1; r >= 0; --r) {
        text += LampLetter(left[r / 2], true);
        text += ' ';
        for (int c = 0; c < columns; ++c) {
            text += LampLetter(Lamp(c, r), false);
        }
        text += ' ';
        text += LampLetter(right[r / 2], true);
        text += '\n';
    }
    return text;
}

Point BlockCorner(int column, int row, int columns, int rows) {
    return PixelAt(double(column + 1) / columns - 0.5, double(row + 1) / rows - 0.5);
}

BoardReading ReadBoard(const Screenshot& shot, int columns, int rows) {
    BoardReading board;
    board.columns = columns;
    board.rows = rows;
    const double lampWidth = 640.0 / columns, lampHeight = 512.0 / rows;
    const int patchWidth = std::max(4, int(lampWidth / 6)),
              patchHeight = std::max(4, int(lampHeight / 6));
    for (int r = 0; r < rows; ++r) {
        for (int c = 0; c < columns; ++c) {
            const Point centre = PixelAt((c + 0.5) / columns - 0.5, (r + 0.5) / rows - 0.5);
            board.lamps.push_back(
                ReadLamp(shot, Around(centre.x, centre.y, patchWidth, patchHeight)));
        }
    }
    for (int pair = 0; pair * 2 < rows; ++pair) {
        double y = PixelY(double(pair * 2 + 1) / rows - 0.5);
        double leftX = PixelX(-0.5 - 0.5 / columns), rightX = PixelX(0.5 + 0.5 / columns);
        board.left.push_back(ReadLamp(shot, Around(leftX, y, patchWidth, patchHeight)));
        board.right.push_back(ReadLamp(shot, Around(rightX, y, patchWidth, patchHeight)));
    }
    return board;
}

bool PickBlock(Point pointer, int columns, int rows, Point* block) {
    // The game keeps the pointer's GL position in floats.
    float x = static_cast<float>(pointer.x / 640.0 - 1.0);
    float y = static_cast<float>(1.0 - pointer.y / 512.0);
    if (!(x > -0.5f && x < 0.5f && y > -0.5f && y < 0.5f)) {
        return false;
    }
    // The nearest inner lamp corner, an exact half going up, kept inside the board.
    int bx = static_cast<int>(std::floor((double(x) + 0.5) * columns + 0.5));
    int by = static_cast<int>(std::floor((double(y) + 0.5) * rows + 0.5));
    bx = std::clamp(bx, 1, columns - 1);
    by = std::clamp(by, 1, rows - 1);
    *block = {bx - 1, by - 1};
    return true;
}

std::vector<Point> FramedBlocks(const Screenshot& shot, int columns, int rows) {
    std::vector<Point> framed;
    for (int r = 0; r + 1 < rows; ++r) {
        for (int c = 0; c + 1 < columns; ++c) {
            if (HoverFrameScore(shot, {c, r}, columns, rows) >= 0.6) {
                framed.push_back({c, r});
            }
        }
    }
    return framed;
}

int FrameGreenPixels(const Screenshot& shot) {
    const PixelBox around{300, 236, 680, 552};
    return static_cast<int>(
        std::lround(Share(shot, around, FrameGreen) * around.width * around.height));
}

bool MainGroupShown(const Screenshot& shot) {
    return MenuShown(shot) && ButtonFillSeen(shot, menu::Exit) && Blank(shot, menu::Size8);
}

bool SizeGroupShown(const Screenshot& shot) {
    return MenuShown(shot) && ButtonFillSeen(shot, menu::Size8);
}

bool AboutBoxShown(const Screenshot& shot) {
    return !Blank(shot, menu::AboutBox);
}

bool BoardShown(const Screenshot& shot, int size, BoardReading* reading) {
    BoardReading board = ReadBoard(shot, size, size);
    bool shown = Blank(shot, menu::Title) && board.Clear();
    if (reading != nullptr) {
        *reading = std::move(board);
    }
    return shown;
}

BoardReading Flipped(BoardReading board, Point block) {
    for (int r = block.y; r <= block.y + 1; ++r) {
        for (int c = block.x; c <= block.x + 1; ++c) {
            board.lamps[r * board.columns + c].lit = !board.lamps[r * board.columns + c].lit;
        }
    }
    return board;
}

}  // namespace e2e
