// The JSON writer of brisko-analyse: separators, escaping, text that is not UTF-8, numbers that
// read back exactly, and null for values that do not exist; the coach's keys and tables with
// their nulls and empty cells.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>

// The writers belong to the tool, not to the core library; they are compiled into this test.
#include "../../src/tools/analyse/coachoutput.cpp"
#include "../../src/tools/analyse/jsonwriter.cpp"

using namespace brisko;

TEST(AnalyseJson, NestingSeparatorsAndValues) {
    JsonWriter w;
    w.beginObject();
    w.key("count").value(3);
    w.key("speed").value(4.662101564492834);
    w.key("none").null();
    w.key("inf").value(std::numeric_limits<double>::infinity());
    w.key("nan").value(std::nan(""));
    w.key("empty");
    w.beginArray();
    w.endArray();
    w.key("rows");
    w.beginArray();
    for (int i = 0; i < 2; ++i) {
        w.beginArray();
        w.value(-240.0);
        w.valueOrNull(i == 0, 0.1);
        w.endArray();
    }
    w.beginObject();
    w.key("ok").value(true);
    w.endObject();
    w.endArray();
    w.endObject();
    EXPECT_EQ(w.text(), R"({"count":3,"speed":4.662101564492834,"none":null,"inf":null,"nan":null,)"
                        R"("empty":[],"rows":[[-240,0.1],[-240,null],{"ok":true}]})");
}

TEST(AnalyseJson, StringsAreEscapedAndAlwaysUtf8) {
    EXPECT_EQ(JsonWriter::quote("はやぶさ"), "\"はやぶさ\"");
    EXPECT_EQ(JsonWriter::quote("a\"b\\c\n\t\r"), R"("a\"b\\c\n\t\r")");
    EXPECT_EQ(JsonWriter::quote(std::string("x\x01y\x7f", 4)), R"("x\u0001y\u007f")");
    EXPECT_EQ(JsonWriter::quote(std::string("nul\0", 4)), R"("nul\u0000")");
    // CP932 bytes, a cut sequence, an overlong form and a surrogate: each bad byte becomes U+FFFD.
    EXPECT_EQ(JsonWriter::quote("\x83\x75"), "\"\xEF\xBF\xBDu\"");
    EXPECT_EQ(JsonWriter::quote("\xE3\x81"), "\"\xEF\xBF\xBD\xEF\xBF\xBD\"");
    EXPECT_EQ(JsonWriter::quote("\xC0\xAF"), "\"\xEF\xBF\xBD\xEF\xBF\xBD\"");
    EXPECT_EQ(JsonWriter::quote("\xED\xA0\x80").size(), 2 + 3 * 3u);
    EXPECT_EQ(JsonWriter::quote("\xF0\x9F\x8C\x8A"), "\"\xF0\x9F\x8C\x8A\"");
}

TEST(AnalyseJson, NumbersReadBackToTheSameDouble) {
    for (double v : {2116.2054, 1846.3942825556505, 0.1 + 0.2, -7.0, 1e-7, 123456789012.5, 3e20}) {
        JsonWriter w;
        w.value(v);
        EXPECT_EQ(std::stod(w.text()), v) << w.text();
    }
}

namespace {

// Two boats and three course entries: boat 1 with everything, boat 2 with nothing it could not
// have (no fix at the gun, a missed mark, a manoeuvre whose loss is not known).
CoachAnalysis coachSample() {
    CoachAnalysis a;
    a.wind.source = WindSource::Estimated;
    a.wind.samples = {{-300, 355.5}, {600, 10}};
    a.startLine = StartLineAnalysis{200, 2, -0.25, std::nullopt, 0.5};
    a.starts.resize(3);
    a.starts[1] = BoatStart{12.5, 0.25, 5, false, 3, 5.5, 0.5};
    a.starts[2] = BoatStart{};
    a.starts[2]->crossTime = -4;
    a.manoeuvres.resize(3);
    Manoeuvre m;
    m.time = 125;
    m.kind = ManoeuvreKind::Gybe;
    m.lat = 2100.5;
    m.lon = 8100.25;
    m.duration = 9;
    m.turn = -80;
    m.speedIn = 6, m.speedMin = 4.5, m.speedOut = 5.75;
    m.confident = false;
    a.manoeuvres[2] = {m};
    a.manoeuvres[2][0].lossM = 12.5;
    a.manoeuvres[2].push_back(m);
    a.manoeuvres[2][1].kind = ManoeuvreKind::Penalty;
    a.legs.assign(3, std::vector<std::optional<LegStats>>(4));
    a.legs[1][2] = LegStats{LegType::Upwind, 1.25, 1, 5, 3.5, 4, 3, 0, 20};
    a.legs[1][3] = LegStats{LegType::Reach, 1, 1, 6, std::nullopt, 6, 0, 1, 0};
    a.gaps.assign(3, std::vector<std::optional<Gap>>(4));
    a.gaps[1][1] = Gap{0, 0};
    a.gaps[2][1] = Gap{-7, -12.5};
    return a;
}

}  // namespace

TEST(AnalyseJson, CoachKeysWithTheirNulls) {
    const CoachAnalysis a = coachSample();
    JsonWriter w;
    w.beginObject();
    writeCoachRaceKeys(w, a);
    for (int b = 1; b <= 2; ++b) writeCoachBoatKeys(w, a, b, 3);
    w.endObject();
    EXPECT_EQ(w.text(),
              R"({"wind_source":"estimated","wind_estimate":[[-300,355.5],[600,10]],)"
              R"("start_line":{"length_m":200,"wind_dir":2,"bias_deg":-0.25,"favoured_end":null,)"
              R"("advantage_m":0.5},)"
              R"("start":{"gun_dist_m":12.5,"gun_along":0.25,"gun_speed":5,"ocs":false,)"
              R"("cross_time":3,"cross_speed":5.5,"cross_along":0.5},"manoeuvres":[],)"
              R"("legs":[null,{"type":"upwind","sailed_nm":1.25,"rhumb_nm":1,"sog":5,"vmg":3.5,)"
              R"("vmc":4,"tacks":3,"gybes":0,"loss_m":20},{"type":"reach","sailed_nm":1,)"
              R"("rhumb_nm":1,"sog":6,"vmg":null,"vmc":6,"tacks":0,"gybes":1,"loss_m":0}],)"
              R"("gaps":[[0,0],null,null],)"
              R"("start":{"gun_dist_m":null,"gun_along":null,"gun_speed":null,"ocs":false,)"
              R"("cross_time":-4,"cross_speed":null,"cross_along":null},)"
              R"("manoeuvres":[{"time":125,"kind":"gybe","lat":2100.5,"lon":8100.25,)"
              R"("duration":9,"turn":-80,"speed_in":6,"speed_min":4.5,"speed_out":5.75,)"
              R"("loss_m":12.5,"loss_s":null,"confident":false},{"time":125,"kind":"penalty",)"
              R"("lat":2100.5,"lon":8100.25,"duration":9,"turn":-80,"speed_in":6,)"
              R"("speed_min":4.5,"speed_out":5.75,"loss_m":null,"loss_s":null,"confident":false}],)"
              R"("legs":[null,null,null],"gaps":[[-7,-12.5],null,null]})");

    // The wind from the file or the race file is no estimate; a race without a start line and
    // a boat beyond the lists get nulls, not reads past their ends.
    CoachAnalysis none;
    none.wind.source = WindSource::File;
    none.wind.samples = {{0, 90}};
    JsonWriter n;
    n.beginObject();
    writeCoachRaceKeys(n, none);
    writeCoachBoatKeys(n, none, 1, 2);
    n.endObject();
    EXPECT_EQ(n.text(), R"({"wind_source":"file","wind_estimate":[],"start_line":null,)"
                        R"("start":null,"manoeuvres":[],"legs":[null,null],"gaps":[null,null]})");
}

TEST(AnalyseJson, CoachTablesAsCsv) {
    const CoachAnalysis a = coachSample();
    RaceDefinition race;
    race.Boats[1].BoatName = "はやぶさ";
    race.Boats[2].BoatName = "Ghost, \"the\" second";
    race.CourseCount = 3;
    race.Course = {"", "L1", " MK1", "MK2 "};
    RoundingResults r;
    r.entryCount = 3;

    CoachCsvKind kind;
    ASSERT_TRUE(coachCsvKind("start", kind));
    EXPECT_EQ(coachCsv(kind, race, r, a),
              "Boat,gun_dist_m,gun_along,gun_speed,ocs,cross_time,cross_speed,cross_along\n"
              "はやぶさ,12.5,0.25,5,false,3,5.5,0.5\n"
              "\"Ghost, \"\"the\"\" second\",,,,false,-4,,\n");
    ASSERT_TRUE(coachCsvKind("manoeuvres", kind));
    EXPECT_EQ(
        coachCsv(kind, race, r, a),
        "Boat,time,kind,lat,lon,duration,turn,speed_in,speed_min,speed_out,loss_m,loss_s,"
        "confident\n"
        "\"Ghost, \"\"the\"\" second\",125,gybe,2100.5,8100.25,9,-80,6,4.5,5.75,12.5,,false\n"
        "\"Ghost, \"\"the\"\" second\",125,penalty,2100.5,8100.25,9,-80,6,4.5,5.75,,,false\n");
    ASSERT_TRUE(coachCsvKind("legs", kind));
    EXPECT_EQ(coachCsv(kind, race, r, a),
              "Boat,Entry,type,sailed_nm,rhumb_nm,sog,vmg,vmc,tacks,gybes,loss_m\n"
              "はやぶさ,MK1,upwind,1.25,1,5,3.5,4,3,0,20\n"
              "はやぶさ,MK2,reach,1,1,6,,6,0,1,0\n"
              "\"Ghost, \"\"the\"\" second\",MK1,,,,,,,,,\n"
              "\"Ghost, \"\"the\"\" second\",MK2,,,,,,,,,\n");
    // Without a start line every boat's row is empty.
    CoachAnalysis noLine = a;
    noLine.starts.assign(3, std::nullopt);
    ASSERT_TRUE(coachCsvKind("start", kind));
    EXPECT_EQ(coachCsv(kind, race, r, noLine),
              "Boat,gun_dist_m,gun_along,gun_speed,ocs,cross_time,cross_speed,cross_along\n"
              "はやぶさ,,,,,,,\n\"Ghost, \"\"the\"\" second\",,,,,,,\n");
    EXPECT_FALSE(coachCsvKind("time", kind));
    EXPECT_FALSE(coachCsvKind("", kind));
}
