// The race screen's controls around a race set-up: prepared before a race opens (mode, race
// list, view option), filled from the race session after it opened (times, buttons by what the
// race holds, orientation, wind boxes), and the controls whose function is not built yet.
// Works on the controls alone; the window opens the race and draws.
#pragma once

#include <string>

#include "app/appsettings.h"

class QWidget;

namespace brisko {

class RaceSession;
struct RaceControls;

class RaceSetup {
public:
    RaceSetup(RaceControls& controls, const AppSettings& settings)
        : c_(controls), settings_(settings) {}

    // Enables a control unless its function is not built yet.
    static void setAvailable(QWidget* w, bool on);

    // Before a race opens: the view option, zoom slider, mode-dependent controls, hints hidden.
    void prepareControls(bool browserMode);
    // The race list: the race files of the race folder (only files that exist), showing
    // `current` when it is one of them.
    void fillRaceList(const std::string& current);
    // After a race opened: times, the buttons that depend on what the race holds, the mean
    // wind, the orientation and the wind boxes.
    void showRaceControls(const RaceSession& session);

private:
    RaceControls& c_;
    const AppSettings& settings_;
};

}  // namespace brisko
