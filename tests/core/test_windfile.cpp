// The wind data file: reading with the time window, missing and extra fields, the growth rule,
// and the writer's round trip.
#include <gtest/gtest.h>
#include <stdlib.h>
#include <sys/stat.h>

#include <cmath>
#include <fstream>

#include "race/racedefinition.h"
#include "track/windfile.h"
#include "util/fileutil.h"

using namespace brisko;

namespace {

RaceDefinition race(bool withEnd = true) {
    RaceDefinition r;
    r.RaceStart = parseDateTime("2005/08/11 10:00:00");
    r.ViewStart = parseDateTime("2005/08/11 09:56:30");
    if (withEnd) r.RaceEnd = r.ViewEnd = parseDateTime("2005/08/11 11:00:00");
    return r;
}

}  // namespace

TEST(WindFile, ReadsSamplesInTheWindow) {
    WindStore w;
    const std::string text =
        "anything at all\r\n"
        "2005/08/11 09:55:59,3,200\r\n"  // the minute before ViewStart: dropped
        "2005/08/11 09:56:00,4,210\r\n"  // same minute as ViewStart: kept
        "2005/08/11 10:10:30,5.5,225.25,x,y\r\n"
        "2005/08/11 11:00:59,6,230\r\n"
        "2005/08/11 11:01:00,7,240\r\n";  // after ViewEnd's minute: dropped
    auto r = parseWindText(text, race(), w);
    EXPECT_TRUE(r.ok);
    ASSERT_EQ(w.WindCount, 3);
    EXPECT_EQ(w.WindSec[1], -240);
    EXPECT_EQ(w.WindSpeed[1], 4);
    EXPECT_EQ(w.WindSec[2], 630);
    EXPECT_EQ(w.WindSpeed[2], 5.5);
    EXPECT_EQ(w.WindDir[2], 225.25);
    EXPECT_EQ(w.WindSec[3], 3659);

    // Without a finish every sample is kept.
    parseWindText(text, race(false), w);
    EXPECT_EQ(w.WindCount, 5);
    // A header alone gives no samples.
    parseWindText("TIME,WIND SPEED,WIND DIRECTION (Mag)\r\n", race(), w);
    EXPECT_EQ(w.WindCount, 0);
    parseWindText("", race(), w);
    EXPECT_EQ(w.WindCount, 0);
}

TEST(WindFile, MissingExtraAndBadFields) {
    WindStore w;
    std::string many = "2005/08/11 10:00:03,8,90";
    for (int i = 0; i < 80; ++i) many += ",9";
    auto r = parseWindText(
        "h\n"
        "2005/08/11 10:00:01\n"       // no speed, no direction
        "2005/08/11 10:00:02,abc,\n"  // unreadable numbers: 0
            + many +
            "\n"
            "not a date,1,2\n"
            "\n"
            "2005/02/30 10:00:00,1,2\n",
        race(), w);
    ASSERT_EQ(w.WindCount, 3);
    EXPECT_EQ(w.WindSpeed[1], 0);
    EXPECT_EQ(w.WindDir[1], 0);
    EXPECT_EQ(w.WindSec[2], 2);
    EXPECT_EQ(w.WindSpeed[2], 0);
    EXPECT_EQ(w.WindSpeed[3], 8);
    EXPECT_EQ(w.WindDir[3], 90);
    EXPECT_EQ(r.linesSkipped, 2);

    // No start time to measure from: nothing is read, nothing fails.
    RaceDefinition none;
    parseWindText("h\n2005/08/11 10:00:01,1,2\n", none, w);
    EXPECT_EQ(w.WindCount, 0);
}

TEST(WindFile, GrowsByTwentyKeepingItsSamples) {
    WindStore w;
    for (int i = 1; i <= 90; ++i) w.append(i, 1, 2);
    EXPECT_EQ(w.capacity, 100);
    w.append(91, 1, 2);  // 91 > 100 - 10
    EXPECT_EQ(w.capacity, 120);
    for (int i = 92; i <= 95; ++i) w.append(i, 1, 2);
    EXPECT_EQ(w.capacity, 120);
    EXPECT_EQ(w.WindSec[1], 1);
    EXPECT_EQ(w.WindSec[95], 95);
    w.clear();
    EXPECT_EQ(w.capacity, 100);
    EXPECT_EQ(w.WindCount, 0);
}

TEST(WindFile, WriteThenReadGivesTheSameStore) {
    std::string tmpl = ::testing::TempDir() + "windfile_XXXXXX";
    const std::string app = ::mkdtemp(tmpl.data());
    AppSettings settings;
    settings.AppPath = app;
    RaceDefinition r = race();
    r.RaceFileName = "race1.txt";
    r.WindFileName = windFileNameFor(r.RaceFileName);
    EXPECT_EQ(r.WindFileName, "race1_WIND.CSV");
    EXPECT_EQ(windFileNameFor("a.b.txt"), "a_WIND.CSV");

    WindStore w;
    w.append(-200, 4.5, 215);
    w.append(0, 5, 220.125);
    w.append(1800.4, 0.1, 359.9);
    auto written = writeRaceWindFile(settings, r, w);
    ASSERT_TRUE(written.ok) << written.error;
    const std::string path = windFilePath(settings, r);
    EXPECT_EQ(*readFileBytes(path),
              "TIME,WIND SPEED,WIND DIRECTION (Mag)\r\n"
              "2005/08/11 09:56:40,4.5,215\r\n"
              "2005/08/11 10:00:00,5,220.125\r\n"
              "2005/08/11 10:30:00,0.1,359.9\r\n");
    WindStore back;
    ASSERT_TRUE(readWindFile(path, r, back).ok);
    ASSERT_EQ(back.WindCount, 3);
    for (int i = 1; i <= 3; ++i) {
        EXPECT_EQ(back.WindSec[i], std::round(w.WindSec[i]));
        EXPECT_EQ(back.WindSpeed[i], w.WindSpeed[i]);
        EXPECT_EQ(back.WindDir[i], w.WindDir[i]);
    }

    // A name that would leave the wind folder, or a race without a start, writes nothing and
    // leaves the file as it was.
    RaceDefinition bad = r;
    bad.WindFileName = "../escape.csv";
    EXPECT_FALSE(writeRaceWindFile(settings, bad, w).ok);
    bad = r;
    bad.RaceStart.reset();
    EXPECT_FALSE(writeWindFile(path, bad, WindStore{}).ok);
    const WriteResult noStart = writeRaceWindFile(settings, bad, w);
    EXPECT_FALSE(noStart.ok);
    EXPECT_NE(noStart.error.find("スタート時刻"), std::string::npos) << noStart.error;
    // A read-only wind file is left as it is, and the user is told in the chosen language.
    ::chmod(path.c_str(), 0444);
    settings.Lang = 1;
    const WriteResult locked = writeRaceWindFile(settings, r, WindStore{});
    EXPECT_FALSE(locked.ok);
    EXPECT_EQ(locked.failure, WriteFailure::ReadOnlyFile);
    EXPECT_NE(locked.error.find("The wind file could not be saved"), std::string::npos);
    EXPECT_NE(locked.error.find("read-only"), std::string::npos) << locked.error;
    EXPECT_TRUE(readWindFile(path, r, back).ok);
    EXPECT_EQ(back.WindCount, 3);
    EXPECT_FALSE(readWindFile(app + "/none.csv", r, back).ok);
    std::system(("rm -rf '" + app + "'").c_str());
}
