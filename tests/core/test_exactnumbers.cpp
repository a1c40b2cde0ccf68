// Numbers are read exactly: track coordinates and the shared leading-number conversion give,
// bit for bit, what strtod gives for the same text, over a million random texts of each kind.
#include <gtest/gtest.h>

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <limits>
#include <random>
#include <string>
#include <vector>

#include "race/racedefinition.h"
#include "track/gpstrack.h"
#include "track/windfile.h"
#include "util/numbers.h"

using namespace brisko;

namespace {

constexpr int kSamples = 1000000;

// Minutes of arc from the number of a coordinate, computed from strtod's value of the text.
double referenceMinutes(const std::string& number, CoordinateForm form) {
    const double v = std::fabs(std::strtod(number.c_str(), nullptr));
    switch (form) {
        case CoordinateForm::DecimalDegrees:
            return 60 * v;
        case CoordinateForm::DegreesMinutesSeconds: {
            const double deg = std::floor(v / 10000), r = v - 10000 * deg;
            const double mm = std::floor(r / 100);
            return 60 * deg + mm + (r - 100 * mm) / 60;
        }
        case CoordinateForm::DegreesMinutes:
        default: {
            const double deg = std::floor(v / 100);
            return 60 * deg + (v - 100 * deg);
        }
    }
}

bool sameBits(double a, double b) {
    return std::bit_cast<std::uint64_t>(a) == std::bit_cast<std::uint64_t>(b);
}

// Random number texts in the shapes the track files hold, and the odd ones around them.
class NumberTexts {
public:
    explicit NumberTexts(unsigned seed) : rng_(seed) {}

    int below(int n) { return static_cast<int>(rng_() % static_cast<unsigned>(n)); }

    std::string digits(int n) {
        std::string s;
        for (int k = 0; k < n; ++k) s += static_cast<char>('0' + below(10));
        return s;
    }

    std::string padded(int value, int width) {
        std::string s = std::to_string(value);
        return std::string(width > static_cast<int>(s.size()) ? width - s.size() : 0, '0') + s;
    }

    // A coordinate's number: degrees (2 or 3 digits) and the rest by the form.
    std::string coordinate(bool latitude, CoordinateForm form) {
        const int kind = below(64);
        if (kind == 0) return extreme(latitude);
        if (kind == 1) return digits(17 + below(24));  // 17 to 40 digits
        if (kind == 2)                                 // leading zeros past every quick reading
            return std::string(12 + below(30), '0') + digits(4) + "." + digits(1 + below(8));
        if (kind < 8) {  // any digits with the point anywhere, within the doubles' exact range
            std::string s = digits(1 + below(19));
            s.insert(static_cast<size_t>(below(static_cast<int>(s.size()) + 1)), ".");
            return s;
        }
        const int degWidth = latitude ? 2 : 3;
        std::string whole = padded(below(latitude ? 90 : 180), degWidth);
        int fracMax = 10;
        if (form == CoordinateForm::DegreesMinutes) {
            whole += padded(below(60), 2);
        } else if (form == CoordinateForm::DegreesMinutesSeconds) {
            whole += padded(below(60), 2) + padded(below(60), 2);
            fracMax = 5;
        } else {
            fracMax = 16;
        }
        // Without its leading zeros ("535.25" for 5 degrees 35.25), or with more of them.
        const int zeros = below(4);
        if (zeros == 0) {
            while (whole.size() > 1 && whole[0] == '0') whole.erase(0, 1);
        } else if (zeros == 1) {
            whole = std::string(static_cast<size_t>(below(4)), '0') + whole;
        }
        const int frac = below(fracMax + 1);
        if (frac == 0) return below(2) ? whole : whole + ".";
        return whole + "." + digits(frac);
    }

    // Numbers at the ends of what a coordinate may be, and tiny ones.
    std::string extreme(bool latitude) {
        static const char* const kLat[] = {"9000",
                                           "9000.0000000",
                                           "0",
                                           "0.",
                                           ".0",
                                           "00000",
                                           "8959.9999",
                                           "0.00000000000000000001",
                                           ".5",
                                           "7.",
                                           "8959.999999999999999999",
                                           "9000.00000000000000001"};
        static const char* const kLon[] = {
            "18000",      "18000.000", "0",  "17959.99999",
            "0000000.01", "1e-400",    "01", "18000.0000000000000001"};
        return latitude ? kLat[below(std::size(kLat))] : kLon[below(std::size(kLon))];
    }

    // A text for the leading-number conversion: blanks, a sign, digits and point, an exponent,
    // and trailing characters that are not part of the number.
    std::string anyNumber() {
        std::string s;
        if (below(8) == 0) s += below(2) ? " " : "\t ";
        if (const int sign = below(4); sign == 1)
            s += '+';
        else if (sign == 2)
            s += '-';
        if (below(8) == 0) s += std::string(static_cast<size_t>(below(25)), '0');
        const int intDigits = below(8) == 0 ? below(40) : below(10);
        s += digits(intDigits);
        if (below(3)) s += "." + digits(below(8) == 0 ? below(40) : below(12));
        if (below(6) == 0) {
            s += below(2) ? 'e' : 'E';
            if (const int sign = below(3); sign == 1)
                s += '+';
            else if (sign == 2)
                s += '-';
            s += below(6) == 0 ? std::to_string(250 + below(200)) : std::to_string(below(40));
        }
        if (below(6) == 0) s += "x,e.5"[below(5)];
        return s;
    }

private:
    std::mt19937_64 rng_;
};

const char* markOf(int which, bool latitude) {
    static const char* const kLat[] = {"N", "S", "+", "-"};
    static const char* const kLon[] = {"E", "W", "+", "-"};
    return latitude ? kLat[which] : kLon[which];
}
double signOf(int which) { return which % 2 ? -1 : 1; }

}  // namespace

TEST(ExactNumbers, TrackLinesReadAsStrtod) {
    // Whole track files, so the reading a real log takes (the quick one for the usual line)
    // is the one tested; half a million lines with two coordinates each, in all three forms.
    NumberTexts gen(20250501);
    const CoordinateForm forms[] = {CoordinateForm::DegreesMinutes, CoordinateForm::DecimalDegrees,
                                    CoordinateForm::DegreesMinutesSeconds};
    const char* const units[] = {"U  LAT LON DM\r\n", "U  LAT LON DEG\r\n", "U  LAT LON DMS\r\n"};
    constexpr int kLinesPerFile = 50000;
    int checked = 0, mismatches = 0, dropped = 0;
    std::string firstMismatch;
    for (int file = 0; checked < kSamples; ++file) {
        const int f = file % 3;
        std::string text = "H  SOFTWARE NAME & VERSION\r\n";
        text += units[f];
        std::vector<double> wantLat, wantLon;
        std::vector<std::string> lines;
        for (int i = 0; i < kLinesPerFile; ++i) {
            const int latMark = gen.below(4), lonMark = gen.below(4);
            const std::string lat = gen.coordinate(true, forms[f]);
            const std::string lon = gen.coordinate(false, forms[f]);
            char clock[16];
            std::snprintf(clock, sizeof clock, "%02d:%02d:%02d", i / 3600, i / 60 % 60, i % 60);
            std::string line = std::string("T  ") + markOf(latMark, true) + lat + " " +
                               markOf(lonMark, false) + lon + " 11-08-05 " + clock + " 00012";
            text += line + (i + 1 < kLinesPerFile ? "\r\n" : "");  // the last line ends the file
            const double la = signOf(latMark) * referenceMinutes(lat, forms[f]);
            const double lo = signOf(lonMark) * referenceMinutes(lon, forms[f]);
            if (std::isfinite(la) && std::isfinite(lo) && std::fabs(la) <= 90 * 60 &&
                std::fabs(lo) <= 180 * 60) {
                wantLat.push_back(la);
                wantLon.push_back(lo);
                lines.push_back(std::move(line));
            } else {
                ++dropped;
            }
        }
        RaceDefinition race;
        BoatTrack track;
        const GpsTrackStats stats = parseGpsTrack(text, race, track);
        ASSERT_EQ(stats.unreadable, kLinesPerFile - static_cast<int>(wantLat.size()));
        ASSERT_EQ(track.count(), static_cast<int>(wantLat.size()));
        for (size_t k = 0; k < wantLat.size(); ++k) {
            const bool same = sameBits(track.TrkLat[k + 1], wantLat[k]) &&
                              sameBits(track.TrkLon[k + 1], wantLon[k]);
            if (!same && mismatches++ == 0) firstMismatch = lines[k];
        }
        checked += 2 * kLinesPerFile;
    }
    EXPECT_EQ(mismatches, 0) << "first: " << firstMismatch;
    EXPECT_GT(dropped, 0);  // the shapes reach beyond the globe too
}

TEST(ExactNumbers, CoordinateFieldsReadAsStrtod) {
    // The field alone, as the reading of a line of any other shape takes it, the mark written
    // in front or after the number, and numbers followed by text that is not part of them.
    NumberTexts gen(7);
    const CoordinateForm forms[] = {CoordinateForm::DegreesMinutes, CoordinateForm::DecimalDegrees,
                                    CoordinateForm::DegreesMinutesSeconds};
    int mismatches = 0;
    std::string firstMismatch;
    for (int i = 0; i < kSamples; ++i) {
        const CoordinateForm form = forms[i % 3];
        const bool latitude = gen.below(2);
        const int mark = gen.below(4);
        std::string number = gen.coordinate(latitude, form);
        if (gen.below(16) == 0) number += gen.below(2) ? "e2" : "x";
        const std::string field = gen.below(8) == 0 && mark < 2 ? number + markOf(mark, latitude)
                                                                : markOf(mark, latitude) + number;
        const double want = signOf(mark) * referenceMinutes(number, form);
        if (!sameBits(readCoordinate(field, latitude, form), want) && mismatches++ == 0)
            firstMismatch = field;
    }
    EXPECT_EQ(mismatches, 0) << "first: " << firstMismatch;
}

TEST(ExactNumbers, LeadingNumberConversionIsStrtod) {
    // The shared conversion behind the wind files, race files and every other number: the same
    // value and the same length as strtod, except that a number too large for a double is held
    // at the largest one instead of becoming infinite.
    NumberTexts gen(3);
    constexpr double kBig = std::numeric_limits<double>::max();
    int mismatches = 0;
    std::string firstMismatch;
    for (int i = 0; i < kSamples; ++i) {
        const std::string s = gen.anyNumber();
        char* stop = nullptr;
        double want = std::strtod(s.c_str(), &stop);
        if (std::isinf(want)) want = want > 0 ? kBig : -kBig;
        const size_t wantUsed = static_cast<size_t>(stop - s.c_str());
        size_t used = 0;
        const double got = numericPrefix(s, used);
        if ((!sameBits(got, want) || used != wantUsed) && mismatches++ == 0) firstMismatch = s;
    }
    EXPECT_EQ(mismatches, 0) << "first: \"" << firstMismatch << "\"";
}

TEST(ExactNumbers, LongCoordinatesAreReadOrRefusedSafely) {
    // 17 to 40 digits once overflowed the quick reading's whole number. Leading zeros keep the
    // position on the globe; a long number that is not refused gives strtod's value.
    const std::string zeros(30, '0');
    const double want = 60 * 21 + (std::strtod("2116.98653", nullptr) - 2100);
    EXPECT_TRUE(sameBits(
        readCoordinate("N" + zeros + "2116.98653", true, CoordinateForm::DegreesMinutes), want));
    std::string text = "H  SOFTWARE NAME & VERSION\r\n";
    for (int n = 17; n <= 40; ++n) {
        const std::string digits = std::string(static_cast<size_t>(n) - 4, '0') + "2116";
        text += "T  N" + digits + ".98653 E" + std::string(static_cast<size_t>(n), '9') +
                " 11-08-05 01:00:" + std::to_string(n + 10) + " 0\r\n";
        text += "T  N" + digits + ".98653 E0" + digits +
                " 11-08-05 02:00:" + std::to_string(n + 10) + " 0\r\n";
    }
    RaceDefinition race;
    BoatTrack track;
    const GpsTrackStats stats = parseGpsTrack(text, race, track);
    EXPECT_EQ(stats.unreadable, 24);  // the 17-40 nines are far off the globe
    ASSERT_EQ(track.count(), 24);
    for (int k = 1; k <= 24; ++k) {
        EXPECT_TRUE(sameBits(track.TrkLat[k], want)) << k;
        EXPECT_TRUE(sameBits(track.TrkLon[k], 60 * 21 + (2116.0 - 2100))) << k;
    }
}

TEST(ExactNumbers, WindSamplesReadAsStrtod) {
    // Speeds and directions of a wind file, with the blanks and signs people leave in them.
    NumberTexts gen(5);
    RaceDefinition race;
    race.RaceStart = parseDateTime("2005/08/11 10:00:00");
    std::string text = "TIME,WIND SPEED,WIND DIRECTION (Mag)\r\n";
    std::vector<std::string> speeds, dirs;
    for (int i = 0; i < 20000; ++i) {
        speeds.push_back(gen.anyNumber());
        std::replace(speeds.back().begin(), speeds.back().end(), ',', 'x');  // one field each
        dirs.push_back(std::to_string(gen.below(360)) + "." + gen.digits(gen.below(16)));
        char clock[16];
        std::snprintf(clock, sizeof clock, "%02d:%02d:%02d", 10 + i / 3600, i / 60 % 60, i % 60);
        text +=
            std::string("2005/08/11 ") + clock + "," + speeds.back() + ", " + dirs.back() + "\r\n";
    }
    WindStore wind;
    ASSERT_TRUE(parseWindText(text, race, wind).ok);
    ASSERT_EQ(wind.WindCount, 20000);
    int mismatches = 0;
    for (int i = 0; i < 20000; ++i) {
        double speed = std::strtod(speeds[i].c_str(), nullptr);
        if (std::isinf(speed)) speed = std::copysign(std::numeric_limits<double>::max(), speed);
        if (!sameBits(wind.WindSpeed[i + 1], speed) ||
            !sameBits(wind.WindDir[i + 1], std::strtod(dirs[i].c_str(), nullptr))) {
            if (mismatches++ == 0) ADD_FAILURE() << "first: " << speeds[i] << "," << dirs[i];
        }
    }
    EXPECT_EQ(mismatches, 0);
}
