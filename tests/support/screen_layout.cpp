// Writes where the menu lies and the levels the screen readers judge by as JSON, so the browser
// tests read the screen by the same numbers as the game draws and the C++ readers use.
#include <cstdio>
#include <utility>

#include "game/MenuLayout.h"
#include "tests/support/GameScreen.h"

extern const int LayoutFrameWidth, LayoutFrameHeight;

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s OUTPUT.json\n", argv[0]);
        return 2;
    }
    FILE* out = std::fopen(argv[1], "w");
    if (out == nullptr) {
        std::perror(argv[1]);
        return 1;
    }
    namespace menu = MenuLayout;
    namespace levels = e2e::levels;
    const e2e::ButtonFillRule& fill = e2e::ButtonFill;
    std::fprintf(out, "{\n  \"frame\": {\"width\": %d, \"height\": %d},\n  \"rects\": {\n",
                 LayoutFrameWidth, LayoutFrameHeight);
    const std::pair<const char*, MenuLayout::Rect> rects[] = {
        {"Play", menu::Play},   {"Authors", menu::Authors},      {"Exit", menu::Exit},
        {"Size4", menu::Size4}, {"Size6", menu::Size6},          {"Size8", menu::Size8},
        {"Back", menu::Back},   {"AboutBox", menu::AboutBox},    {"Planet", menu::Planet},
        {"Title", menu::Title}, {"CreditLine", menu::CreditLine}};
    const char* separator = "";
    for (const auto& [name, rect] : rects) {
        std::fprintf(out, "%s    \"%s\": [%.7g, %.7g, %.7g, %.7g]", separator, name, rect.x1,
                     rect.y1, rect.x2, rect.y2);
        separator = ",\n";
    }
    std::fprintf(out,
                 "\n  },\n  \"glyphs\": {\"button\": [%.7g, %.7g], \"about\": [%.7g, %.7g], "
                 "\"credit\": [%.7g, %.7g]},\n",
                 menu::ButtonGlyph.width, menu::ButtonGlyph.height, menu::AboutGlyph.width,
                 menu::AboutGlyph.height, menu::CreditGlyph.width, menu::CreditGlyph.height);
    std::fprintf(out, "  \"aboutLines\": %d,\n", menu::AboutLines);
    std::fprintf(out,
                 "  \"levels\": {\"lit\": %.7g, \"clearlyLit\": %.7g, \"clearlyDark\": %.7g, "
                 "\"ink\": %d, \"titleInk\": %d, \"blankShare\": %.7g},\n",
                 levels::Lit, levels::ClearlyLit, levels::ClearlyDark, levels::Ink,
                 levels::TitleInk, levels::BlankShare);
    std::fprintf(out,
                 "  \"buttonFill\": {\"maxRed\": %d, \"minGreen\": %d, \"maxGreen\": %d, "
                 "\"greenOverBlue\": %d, \"share\": %.7g, \"leftInset\": %d, \"rightInset\": %d, "
                 "\"patch\": %d},\n",
                 fill.maxRed, fill.minGreen, fill.maxGreen, fill.greenOverBlue, fill.share,
                 fill.leftInset, fill.rightInset, fill.patch);
    std::fprintf(out, "  \"nowhere\": [%d, %d]\n}\n", e2e::Nowhere.x, e2e::Nowhere.y);
    if (std::fclose(out) != 0) {
        std::perror(argv[1]);
        return 1;
    }
    return 0;
}
