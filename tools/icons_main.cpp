// Writes the game's icons into a folder (packaging/icons/ in the sources):
//   lumenvale_icons <output-dir>
#include <cstdio>
#include <string>

#include "bmp_writer.h"
#include "icons.h"

int main(int argc, char** argv) {
    using namespace lumenvale::assets;
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s <output-dir>\n", argv[0]);
        return 2;
    }
    for (const EncodedPicture& file : makeIconFiles()) {
        const std::string path = std::string(argv[1]) + "/" + file.fileName;
        if (!writeFile(path, file.bytes)) {
            std::fprintf(stderr, "cannot write %s\n", path.c_str());
            return 1;
        }
        std::printf("wrote %s (%zu bytes)\n", path.c_str(), file.bytes.size());
    }
    return 0;
}
