// The frame as the map box and the window's panels show it, worked out once each time the replay
// moves: where every boat's symbol lies on the map box and how big it is, its short wake and its
// name label, whether any boat is in view, the clock, countdown and time-of-day texts, the boat
// panel's values and the boats' places on the overview at a previewed time. The race session
// fills it; painting, the panels and the hit test of the mouse only read it.
#pragma once

#include <array>
#include <string>
#include <vector>

#include "display/displayoptions.h"
#include "display/framestate.h"
#include "display/mapview.h"
#include "race/racedefinition.h"

namespace brisko {

struct TrackStore;

// A boat's symbol on the map box.
struct BoatPlace {
    // The short wake reaches back over the samples of the boat's segment and the four before.
    static constexpr int kWakeSamples = 5;

    bool drawn = false;   // the boat has a position now and the chart is shown
    double x = 0, y = 0;  // symbol centre, map box pixels
    double size = 0;      // symbol side in pixels; 0 when not drawn
    bool inView = false;  // the centre lies inside the map box
    double heading = 0;   // degrees true

    // The short wake: the boat's position, then the track samples behind it, newest first.
    int wakePoints = 0;  // 0 when no wake is drawn
    std::array<ScreenPoint, kWakeSamples + 1> wake{};
    // The name label beside the symbol; empty when no name is shown.
    std::string label;
};

// One boat's row in the boat panel after a frame.
struct BoatPanelRow {
    bool speedChanged = false;  // the speed text is to be rewritten
    std::string speedText;      // "##.#0"
    std::string twaText;        // "##0"
    double barLength = 0;       // pixels, 0 when the boat is not shown
};

// A boat's dot on the overview while the time bar previews a time.
struct PreviewDot {
    int boat = 0;
    GeoPoint at;
};

// A boat's label on the map and in its hint: its name and its speed in knots in brackets,
// "Name (5.25)".
std::string boatLabelText(const std::string& name, double speed);

class FrameLayout {
public:
    static constexpr double kMinSymbol = 3;  // pixels: a symbol is never smaller

    // Symbol side for a boat length at a scale: the boat's real size, or at least minEnlarged
    // when enlarging, and never below 3 pixels. realSize is false when it was enlarged.
    static double symbolSize(double boatLength, double pxPerMetre, bool enlarge, double minEnlarged,
                             bool& realSize);

    // Whether a boat with a position lies inside the map box at the frame's positions (or any
    // boat has a position while the chart is not shown). The replay crosses stretches where
    // none does faster.
    static bool anyBoatInView(const FrameState& frame, const MapView& view,
                              const DisplayOptions& options);

    // Lays out the frame at raceTime as the frame state derived it, on the view with the
    // display options. The boat panel's speeds and the time of day follow only while a boat is
    // in view.
    void layOut(const FrameState& frame, const TrackStore& tracks, const RaceDefinition& race,
                double raceTime, double speedBarScale, const MapView& view,
                const DisplayOptions& options);

    // A new race: no speed shown yet, no symbol on the map.
    void resetForRace();

    // The shown boat whose symbol covers map box pixel (x, y), 0 when none (the higher number
    // wins, as it is painted on top).
    int boatAt(double x, double y) const;

    // The overview's preview of time t: each boat at the sample that starts its track segment
    // holding t; boats with no segment there have no dot.
    void previewAt(const TrackStore& tracks, int boats, double t);
    void endPreview();

    // The frame laid out.
    int boatCount = 0;
    double raceTime = 0;
    bool mapMode = true;  // the chart is shown (not a graph or the data view)
    std::array<BoatPlace, kMaxBoats + 1> boats{};
    bool anyInView = false;
    bool realSize = true;         // the symbols are the boats' real size, not enlarged
    long long framesLaidOut = 0;  // since the race was set up

    // The time panel.
    std::string clockText = "00:00:00";
    Rgb clockColour = kBlack;
    bool countdownVisible = false;
    std::string countdownText;
    Rgb countdownColour = kBlack;
    std::string timeOfDay;  // the last shown while a boat was in view; empty before

    // The boat panel, per boat (1-based); the speed last written to it.
    std::array<BoatPanelRow, kMaxBoats + 1> panel{};
    std::array<double, kMaxBoats + 1> shownSpeed{};

    // The overview's preview.
    bool previewing = false;
    double previewTime = 0;
    std::vector<PreviewDot> preview;
};

}  // namespace brisko
