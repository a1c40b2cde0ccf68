// The rules every track reader applies to a fix it has read: the race's hour shift, the race
// times a first fix settles, the time window and the repeated second. Shared by the readers of
// track files, GPX files and NMEA logs so that each kind of log gives the same samples.
#pragma once

#include <algorithm>
#include <cstdint>
#include <optional>
#include <string>

#include "race/racetimes.h"
#include "track/gpstrack.h"
#include "track/trackstore.h"
#include "util/datetime.h"
#include "util/intmath.h"

namespace brisko {

class FixKeeper {
public:
    static constexpr std::int64_t kSecondsPerHour = 3600;
    // A race that has no start time starts this long after the first fix.
    static constexpr std::int64_t kStartAfterFirstFix = 240;

    FixKeeper(RaceTimes& race, BoatTrack& track, GpsTrackStats& stats)
        : race_(race), track_(track), stats_(stats) {
        raceStart_ = race.RaceStart;
        raceEnd_ = race.RaceEnd;
        viewStart_ = race.ViewStart;
        viewEnd_ = race.ViewEnd;
        firstFix_ = race.FirstFix;
        shift_ = static_cast<std::int64_t>(race.TimeDiff) * kSecondsPerHour;
    }

    // Samples to make room for at the first kept fix (a bound on the fixes the file holds).
    void setRoom(std::size_t samples) { room_ = samples; }

    // One readable fix at `receiverTime` (whole seconds of the receiver's clock, before the
    // race's hour shift), latitude and longitude in minutes of arc.
    inline void offer(double lat, double lon, CivilSeconds receiverTime) {
        const CivilSeconds fix = receiverTime + shift_;
        if (!firstFix_) {
            firstFix_ = fix;
            race_.FirstFix = fix;
        }
        // A finish given without a start is no window either: the tracks settle both, and the
        // finish's minute cuts none of the boats read after the first.
        if (!raceStart_) {
            raceStart_ = *firstFix_ + kStartAfterFirstFix;
            viewStart_ = *firstFix_;
            raceEnd_.reset();
            race_.RaceStart = raceStart_;
            race_.ViewStart = viewStart_;
            race_.RaceEnd.reset();
            race_.ViewEnd.reset();
        }
        // The window is compared in whole minutes: a fix in the minute of ViewStart or of
        // ViewEnd is inside. A bound that is not set does not limit.
        const bool inWindow =
            !raceEnd_ || ((!viewStart_ || wholeMinute(fix) >= wholeMinute(*viewStart_)) &&
                          (!viewEnd_ || wholeMinute(*viewEnd_) >= wholeMinute(fix)));
        if (!inWindow) {
            ++stats_.outsideWindow;
        } else if (fix == prevKept_) {
            ++stats_.sameSecond;
        } else {
            if (!roomTaken_) {
                roomTaken_ = true;
                constexpr std::size_t kMostRoom = std::size_t{1} << 28;
                if (room_ > 0)
                    track_.reserve(track_.count() + static_cast<int>(std::min(room_, kMostRoom)));
            }
            append(lat, lon, static_cast<double>(fix - *raceStart_));
            ++stats_.kept;
            prevKept_ = fix;
        }
        lastLine_ = fix;
    }

    // At the end of the file: the finish and the last fix it settles.
    void finish() {
        if (!raceEnd_ && prevKept_) race_.RaceEnd = prevKept_;
        if (lastLine_) race_.LastFix = lastLine_;
        if (!race_.RaceEnd && race_.LastFix) {
            race_.RaceEnd = race_.LastFix;
            race_.ViewEnd = race_.LastFix;
        }
    }

private:
    static std::int64_t wholeMinute(CivilSeconds t) { return floorDiv(t, 60); }

    // BoatTrack::append, kept inline on the readers' hot path.
    inline void append(double lat, double lon, double sec) {
        BoatTrack& t = track_;
        if (t.TrkLat.empty())
            for (auto* v : {&t.TrkLat, &t.TrkLon, &t.TrkSec, &t.TrkDist, &t.TrkSpeed, &t.TrkCourse})
                v->push_back(0.0);
        t.TrkLat.push_back(lat);
        t.TrkLon.push_back(lon);
        t.TrkSec.push_back(sec);
        t.TrkDist.push_back(0.0);
        t.TrkSpeed.push_back(0.0);
        t.TrkCourse.push_back(0.0);
    }

    RaceTimes& race_;
    BoatTrack& track_;
    GpsTrackStats& stats_;
    std::optional<CivilSeconds> raceStart_, raceEnd_, viewStart_, viewEnd_, firstFix_;
    std::optional<CivilSeconds> prevKept_, lastLine_;
    std::int64_t shift_ = 0;
    std::size_t room_ = 0;
    bool roomTaken_ = false;
};

}  // namespace brisko
