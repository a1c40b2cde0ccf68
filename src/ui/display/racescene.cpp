// The race scene's helpers (see racescene.h).
#include "ui/display/racescene.h"

namespace brisko {

FinishInputs RaceScene::finishInputs() const {
    FinishInputs in;
    if (!race) return in;
    in.courseCount = std::clamp(race->CourseCount, 0, kMaxCourse);
    if (in.courseCount == 0) return in;
    if (leadTime) in.leadFinish = leadTime(in.courseCount);
    if (roundTime)
        for (int k = 1; k <= std::min(race->BoatCount, kMaxBoats); ++k)
            in.finishTime[k] = roundTime(in.courseCount, k);
    return in;
}

}  // namespace brisko
