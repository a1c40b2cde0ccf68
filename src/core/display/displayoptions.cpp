// Boat colours and the display options' set-up (see displayoptions.h).
#include "display/displayoptions.h"

namespace brisko {

namespace {
constexpr int kColourTableSize = 15;
constexpr std::array<Rgb, kColourTableSize + 1> kBoatColours{{
    {0, 0, 0},  // unused
    {255, 0, 0},
    {0, 0, 255},
    {0, 128, 0},
    {128, 128, 0},
    {128, 0, 128},
    {0, 128, 128},
    {0, 0, 0},
    {128, 128, 128},
    {192, 192, 0},
    {96, 96, 0},
    {192, 0, 0},
    {0, 0, 192},
    {0, 128, 0},
    {128, 128, 0},
    {128, 0, 128},
}};
}  // namespace

Rgb boatColourFor(int boat) {
    if (boat < 1 || boat > kMaxBoats) return kBoatColours[1];
    // Boats 16..30 repeat boats 1..15, and boats 31..50 repeat the colours of boats 1..20.
    if (boat > 30) boat -= 30;
    if (boat > kColourTableSize) boat -= kColourTableSize;
    return kBoatColours[boat];
}

void DisplayOptions::resetForRace(int boatCount) {
    BoatShown.fill(false);
    BoatMarked.fill(false);
    BoatColour.fill(kBlack);
    for (int k = 1; k <= kMaxBoats; ++k) {
        BoatColour[k] = boatColourFor(k);
        BoatShown[k] = k <= boatCount;
    }
    FocusBoat = -1;
    WakeOn = true;
}

void DisplayOptions::applySwatch(int swatch) {
    if (swatch < 1 || swatch > static_cast<int>(kSeaSwatches.size())) return;
    SeaColour = kSeaSwatches[swatch - 1].sea;
    InkColour = kSeaSwatches[swatch - 1].ink;
}

}  // namespace brisko
