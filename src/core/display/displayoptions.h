// What the race screen's option controls set and the renderers read: colours, shown and marked
// boats, the check boxes' flags and the overview scale. Filled by the race window, read by the
// background, frame and overview drawing.
#pragma once

#include <array>
#include <cstdint>

#include "race/racedefinition.h"

namespace brisko {

struct Rgb {
    std::uint8_t r = 0, g = 0, b = 0;
    constexpr bool operator==(const Rgb&) const = default;
};

constexpr Rgb kWhite{255, 255, 255};
constexpr Rgb kBlack{0, 0, 0};
constexpr Rgb kRed{255, 0, 0};
constexpr Rgb kBlue{0, 0, 255};
constexpr Rgb kYellow{255, 255, 0};
constexpr Rgb kGridColour{128, 192, 255};
constexpr Rgb kLayLineColour{192, 192, 255};

// The colour of boat k (1..50) from the fifteen-colour table; other numbers get boat 1's.
Rgb boatColourFor(int boat);

// The six map background swatches and the ink colour each one goes with.
struct SeaSwatch {
    Rgb sea;
    Rgb ink;
};
constexpr std::array<SeaSwatch, 6> kSeaSwatches{{
    {{0, 255, 255}, kBlack},
    {{0, 180, 240}, kWhite},
    {{0, 115, 240}, kWhite},
    {{0, 70, 205}, kWhite},
    {{0, 70, 136}, kWhite},
    {{0, 0, 96}, kWhite},
}};

enum class ViewModeKind { Map = 1, SpeedGraph = 2, Analysis = 3 };

struct DisplayOptions {
    static constexpr double kMinEnlargedSize = 15;  // pixels

    // The display check boxes of the race screen.
    bool WakeOn = true;      // whole tracks in the background
    bool MapOn = true;       // coastline
    bool AutoTrace = false;  // the view follows the boats
    bool LayLines = false;
    bool BoatNames = false;     // names in auto trace
    bool Enlarge = true;        // symbols at least MinEnlargedSize
    bool CompareLines = false;  // cross-wind comparison lines (wind-up only)
    bool TimeMarks = false;
    bool HintsOn = true;
    bool Manoeuvres = false;  // the focused boats' tacks, gybes and penalty turns on the chart
    ViewModeKind ViewMode = ViewModeKind::Map;

    Rgb SeaColour = kSeaSwatches[1].sea;  // map background
    Rgb InkColour = kWhite;               // coastline, scale bar, labels
    double MinEnlargedSize = kMinEnlargedSize;
    double FontScale = 1.0;

    int FocusBoat = -1;  // 0-based boat under the mouse, -1 none

    // Per boat, 1-based (element 0 unused).
    std::array<bool, kMaxBoats + 1> BoatShown{};   // the boat's name box ticked
    std::array<bool, kMaxBoats + 1> BoatMarked{};  // the boat's mark box ticked: shown and focused
    std::array<Rgb, kMaxBoats + 1> BoatColour{};

    // Set-up for a race: every boat shown, none marked, the colour table.
    void resetForRace(int boatCount);
    // Applies background swatch 1..6 (other numbers are ignored).
    void applySwatch(int swatch);
    // Whether boat k (1-based) is drawn with the red focus ring.
    bool focused(int boat) const {
        return boat >= 1 && boat <= kMaxBoats && (BoatMarked[boat] || boat - 1 == FocusBoat);
    }
    bool shown(int boat) const { return boat >= 1 && boat <= kMaxBoats && BoatShown[boat]; }
};

// The overview picture's scale: the whole race area centred on HomeLat, HomeLon.
struct OverviewState {
    double OvHeight = 0, OvWidth = 0;
    double OvPxPerMinLat = 0, OvPxPerMinLon = 0;
    double OvCx = 0, OvCy = 0;
};

}  // namespace brisko
