// The game's icon: a 2 × 2 block of lit lamps, the block the game's one move flips, drawn
// from the board's own lamp pictures and outlined in the green of the hover frame.
#pragma once

#include <vector>

#include "asset_set.h"
#include "canvas.h"

namespace lumenvale::assets {

// The sizes the desktop's icon theme gets, and those the Windows icon holds.
constexpr int kDesktopIconSizes[] = {48, 64, 128, 256};
constexpr int kWindowsIconSizes[] = {16, 24, 32, 48, 64, 128, 256};

// The icon at one size, square, transparent around the lamps.
Image8 makeIcon(int size);

// lumenvale-<size>.png for each desktop size and lumenvale.ico.
std::vector<EncodedPicture> makeIconFiles();

}  // namespace lumenvale::assets
