// The race screen's set-up sequence: prepares the controls, opens the race through the core's
// one open-race sequence (race file, tracks, wind, kinematics, roundings) with its progress on
// the splash or over the map, then builds the boat rows and draws map, overview and wind panel.
// Also the check of confirmed start and finish times.
#pragma once

#include <string>

#include "race/racedefinition.h"

namespace brisko {

class RaceDisp;

// Whether typed start and finish times are accepted: the start in [first fix, last fix), the
// finish in (first fix, last fix], in whole seconds, and the start before the finish.
bool acceptableRaceTimes(const std::string& start, const std::string& finish,
                         const std::string& firstFix, const std::string& lastFix);

// A typed race file name made ready to save: ".txt" appended unless it holds ".txt" already
// (in any letter case). Empty when the answer is empty or not a plain file name.
std::string raceFileNameFromAnswer(const std::string& answer);

class RaceSetup {
public:
    explicit RaceSetup(RaceDisp& window) : w_(window) {}

    // SetUpRace in its order; true when a race with tracks is shown.
    bool run();

private:
    void prepareControls();
    void modeControls();
    bool openTheRace();
    void afterOpen();
    void showEmptyRace();
    void fillRaceList();

    RaceDisp& w_;
};

}  // namespace brisko
