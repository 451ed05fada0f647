#include "asset_set.h"

#include "bmp_writer.h"
#include "font_atlas.h"
#include "pictures.h"

namespace lumenvale::assets {

namespace {

EncodedPicture overlay(const std::string& name, const Canvas& canvas) {
    return {name, encodeBmp(canvas.toImage(), BmpDepth::Bgra32)};
}

}  // namespace

std::vector<EncodedPicture> makeAllPictures(GlyphRasterizer& font) {
    std::vector<EncodedPicture> pictures;
    pictures.push_back({"Font.bmp", encodeBmp(makeFontAtlas(font), BmpDepth::Bgra32)});
    const struct {
        LampColour colour;
        const char* name;
    } lamps[] = {
        {LampColour::Green, "Green"}, {LampColour::Red, "Red"}, {LampColour::Blue, "Blue"}};
    for (const auto& lamp : lamps) {
        pictures.push_back(
            overlay(std::string("On_") + lamp.name + ".bmp", makeLamp(lamp.colour, true)));
        pictures.push_back(
            overlay(std::string("Off_") + lamp.name + ".bmp", makeLamp(lamp.colour, false)));
    }
    pictures.push_back(overlay("On_TrueLamp.bmp", makeTrueLamp(true)));
    pictures.push_back(overlay("Off_TrueLamp.bmp", makeTrueLamp(false)));
    pictures.push_back(overlay("Title.bmp", makeTitle(font)));
    pictures.push_back(overlay("Cursor.bmp", makeCursor()));
    // Drawn without blending, so it is stored opaque.
    pictures.push_back({"Planet.bmp", encodeBmp(makePlanet().toImage(), BmpDepth::Bgr24)});
    return pictures;
}

}  // namespace lumenvale::assets
