// Writes the game's pictures into a data directory:
//   lumenvale_assets <output-dir> [font-file]
#include <cstdio>
#include <string>

#include "asset_set.h"
#include "bmp_writer.h"

#ifndef LUMENVALE_DEFAULT_FONT
#define LUMENVALE_DEFAULT_FONT "/usr/share/fonts/truetype/dejavu/DejaVuSans-Bold.ttf"
#endif

int main(int argc, char** argv) {
    using namespace lumenvale::assets;
    if (argc < 2 || argc > 3) {
        std::fprintf(stderr, "usage: %s <output-dir> [font-file]\n", argv[0]);
        return 2;
    }
    const std::string outputDir = argv[1];
    const std::string fontPath = argc == 3 ? argv[2] : LUMENVALE_DEFAULT_FONT;

    GlyphRasterizer font;
    std::string error;
    if (!font.open(fontPath, &error)) {
        std::fprintf(stderr, "%s\n", error.c_str());
        return 1;
    }
    for (const EncodedPicture& picture : makeAllPictures(font)) {
        const std::string path = outputDir + "/" + picture.fileName;
        if (!writeFile(path, picture.bytes)) {
            std::fprintf(stderr, "cannot write %s\n", path.c_str());
            return 1;
        }
        std::printf("wrote %s (%zu bytes)\n", path.c_str(), picture.bytes.size());
    }
    return 0;
}
