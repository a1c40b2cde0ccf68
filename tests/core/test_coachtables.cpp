// The coach's tables of the data view: which rows each lists and what their cells print in both
// languages, the moment a row leads to, the sorting of a column (numbers as numbers, empty cells
// last either way round), the race clock texts and the manoeuvres' hints.
#include <gtest/gtest.h>

#include <limits>

#include "analysis/coachtables.h"

using namespace brisko;

namespace {

Manoeuvre manoeuvre(double time, ManoeuvreKind kind, std::optional<double> lossM,
                    bool confident = true) {
    Manoeuvre m;
    m.time = time;
    m.kind = kind;
    m.turn = kind == ManoeuvreKind::Gybe ? -75 : 92.4;
    m.duration = 8.25;
    m.speedIn = 6.04;
    m.speedMin = 3.96;
    m.speedOut = 5.5;
    m.lossM = lossM;
    if (lossM) m.lossS = *lossM / 3;
    m.confident = confident;
    return m;
}

// Three boats; boat 2 was over the line at the gun and came back, boat 3 never crossed.
struct Fleet {
    RaceDefinition race;
    CoachAnalysis a;
    Fleet() {
        race.BoatCount = 3;
        race.Boats[1].BoatName = "Orca";
        race.Boats[2].BoatName = "Blue Wing";
        race.Boats[3].BoatName = "海風";
        race.CourseCount = 3;
        race.Course[1] = "L1";
        race.Course[2] = "MK1";
        race.Course[3] = "L2";
        a.starts.resize(4);
        a.manoeuvres.resize(4);
        a.legs.resize(4);
        a.gaps.resize(4);
        StartLineAnalysis line;
        line.lengthM = 212.4;
        line.windDir = 205;
        line.biasDeg = 4.26;
        line.favouredEnd = 2;
        line.advantageM = 15.8;
        a.startLine = line;
        BoatStart s1;
        s1.gunDistM = 12.34;
        s1.gunAlong = 0.5;
        s1.gunSpeed = 5.26;
        s1.crossTime = 4.4;
        s1.crossSpeed = 6;
        a.starts[1] = s1;
        BoatStart s2;
        s2.gunDistM = -3;
        s2.gunAlong = 1.2;
        s2.gunSpeed = 4;
        s2.ocs = true;
        s2.crossTime = -65.6;
        a.starts[2] = s2;
        a.starts[3] = BoatStart{};
        a.manoeuvres[1] = {manoeuvre(120, ManoeuvreKind::Tack, 9.5),
                           manoeuvre(725, ManoeuvreKind::Gybe, std::nullopt)};
        a.manoeuvres[2] = {manoeuvre(300, ManoeuvreKind::Penalty, 40.2, false)};
        LegStats up;
        up.type = LegType::Upwind;
        up.sailedNm = 1.234;
        up.rhumbNm = 0.9;
        up.sog = 5.55;
        up.vmg = 3.9;
        up.vmc = 3.876;
        up.tacks = 7;
        up.lossM = 66.66;
        a.legs[1] = {std::nullopt, std::nullopt, up, std::nullopt};
        LegStats down = up;
        down.type = LegType::Downwind;
        down.vmg.reset();
        down.tacks = 0;
        down.gybes = 2;
        a.legs[2] = {std::nullopt, std::nullopt, up, down};
    }
};

std::vector<std::string> column(const CoachTable& t, int c, const std::vector<int>& order) {
    std::vector<std::string> out;
    for (int i : order) out.push_back(t.rows[i].cells[c].text);
    return out;
}

std::vector<std::string> column(const CoachTable& t, int c) {
    std::vector<int> order(t.rows.size());
    for (size_t i = 0; i < order.size(); ++i) order[i] = static_cast<int>(i);
    return column(t, c, order);
}

}  // namespace

TEST(CoachTables, StartTableListsEveryBoatWithItsMomentAndTheLine) {
    Fleet f;
    const CoachTable en = buildCoachTable(CoachTableKind::Start, f.a, f.race, nullptr, true);
    ASSERT_EQ(en.headers.size(), 7u);
    EXPECT_EQ(en.headers[1], "To line at gun (m)");
    EXPECT_EQ(en.headers[4], "OCS");
    ASSERT_EQ(en.rows.size(), 3u);
    EXPECT_EQ(column(en, 0), (std::vector<std::string>{"Orca", "Blue Wing", "海風"}));
    EXPECT_EQ(en.rows[0].cells[1].text, "12.3");
    EXPECT_EQ(en.rows[0].cells[2].text, "0.50");
    EXPECT_EQ(en.rows[0].cells[3].text, "5.3");
    EXPECT_EQ(column(en, 4), (std::vector<std::string>{"", "OCS", ""}));
    // Crossing times to the whole second, before the gun negative.
    EXPECT_EQ(column(en, 5), (std::vector<std::string>{"0:04", "-1:06", ""}));
    EXPECT_EQ(en.rows[1].cells[6].text, "");  // no speed known at the crossing
    // A click goes to the crossing, or to the gun for a boat that never crossed.
    EXPECT_DOUBLE_EQ(*en.rows[0].moment, 4.4);
    EXPECT_DOUBLE_EQ(*en.rows[1].moment, -65.6);
    EXPECT_DOUBLE_EQ(*en.rows[2].moment, 0);
    EXPECT_EQ(en.rows[2].cells.size(), en.headers.size());
    EXPECT_EQ(en.note, "Start line 212 m, wind 205°, bias 4.3°, end 2 favoured by 16 m");

    const CoachTable ja = buildCoachTable(CoachTableKind::Start, f.a, f.race, nullptr, false);
    EXPECT_EQ(ja.headers[0], "艇名");
    EXPECT_EQ(ja.headers[5], "ライン通過");
    EXPECT_EQ(ja.note, "スタートライン 212 m、風向 205°、バイアス 4.3°、2 端が有利 16 m");
    f.a.startLine->favouredEnd.reset();
    EXPECT_NE(buildCoachTable(CoachTableKind::Start, f.a, f.race, nullptr, true)
                  .note.find("square to the wind"),
              std::string::npos);
}

TEST(CoachTables, NoStartLineNoStartRows) {
    Fleet f;
    f.a.startLine.reset();
    const CoachTable t = buildCoachTable(CoachTableKind::Start, f.a, f.race, nullptr, true);
    EXPECT_TRUE(t.rows.empty());
    EXPECT_EQ(t.headers.size(), 7u);
    EXPECT_EQ(t.note, "The course does not begin at a start line");
}

TEST(CoachTables, ManoeuvreRowsOfTheShownBoatsInTimeOrder) {
    Fleet f;
    const CoachTable t = buildCoachTable(CoachTableKind::Manoeuvres, f.a, f.race, nullptr, true);
    ASSERT_EQ(t.rows.size(), 3u);
    EXPECT_EQ(column(t, 1), (std::vector<std::string>{"2:00", "12:05", "5:00"}));
    EXPECT_EQ(column(t, 2), (std::vector<std::string>{"tack", "gybe", "penalty turn ?"}));
    EXPECT_EQ(column(t, 3), (std::vector<std::string>{"92", "-75", "92"}));
    EXPECT_EQ(t.rows[0].cells[4].text, "8.3");
    EXPECT_EQ(t.rows[0].cells[5].text, "6.0");
    EXPECT_EQ(t.rows[0].cells[6].text, "4.0");
    EXPECT_EQ(column(t, 8), (std::vector<std::string>{"9.5", "", "40.2"}));
    EXPECT_EQ(column(t, 9), (std::vector<std::string>{"3.2", "", "13.4"}));
    EXPECT_FALSE(t.rows[0].doubtful);
    EXPECT_TRUE(t.rows[2].doubtful);
    EXPECT_EQ(t.rows[2].boat, 2);
    EXPECT_DOUBLE_EQ(*t.rows[1].moment, 725);
    EXPECT_EQ(t.note, "Wind: the race file's mean direction");

    // Unticked boats are left out; Japanese words.
    DisplayOptions shown;
    shown.resetForRace(3);
    shown.BoatShown[1] = false;
    const CoachTable ja = buildCoachTable(CoachTableKind::Manoeuvres, f.a, f.race, &shown, false);
    ASSERT_EQ(ja.rows.size(), 1u);
    EXPECT_EQ(ja.rows[0].cells[0].text, "Blue Wing");
    EXPECT_EQ(ja.rows[0].cells[2].text, "ペナルティターン ?");
    EXPECT_EQ(ja.headers[8], "損失 (m)");
    f.a.wind.source = WindSource::Estimated;
    EXPECT_EQ(buildCoachTable(CoachTableKind::Manoeuvres, f.a, f.race, &shown, false).note,
              "風: 艇団のタック・ジャイブから推定");
}

TEST(CoachTables, LegRowsNameTheirCourseEntryAndHaveNoMoment) {
    Fleet f;
    const CoachTable t = buildCoachTable(CoachTableKind::Legs, f.a, f.race, nullptr, true);
    ASSERT_EQ(t.rows.size(), 3u);  // boat 1: leg 2; boat 2: legs 2 and 3; boat 3: none
    EXPECT_EQ(column(t, 1), (std::vector<std::string>{"2 MK1", "2 MK1", "3 L2"}));
    EXPECT_DOUBLE_EQ(*t.rows[2].cells[1].key, 3);
    EXPECT_EQ(column(t, 2), (std::vector<std::string>{"upwind", "upwind", "downwind"}));
    EXPECT_EQ(t.rows[0].cells[3].text, "1.23");
    EXPECT_EQ(t.rows[0].cells[7].text, "3.88");
    EXPECT_EQ(column(t, 6), (std::vector<std::string>{"3.90", "3.90", ""}));
    EXPECT_EQ(column(t, 8), (std::vector<std::string>{"7", "7", "0"}));
    EXPECT_EQ(column(t, 9), (std::vector<std::string>{"0", "0", "2"}));
    EXPECT_EQ(t.rows[0].cells[10].text, "66.7");
    EXPECT_FALSE(t.rows[0].moment);
    const CoachTable ja = buildCoachTable(CoachTableKind::Legs, f.a, f.race, nullptr, false);
    EXPECT_EQ(ja.rows[2].cells[2].text, "下り");
    EXPECT_EQ(ja.headers[3], "帆走距離 (nm)");
}

TEST(CoachTables, AnAnalysisWithFewerBoatsThanTheRaceIsReadOnlyAsFarAsItGoes) {
    Fleet f;
    f.a.manoeuvres.resize(2);  // boat 1 only
    f.a.starts.clear();
    const CoachTable t = buildCoachTable(CoachTableKind::Manoeuvres, f.a, f.race, nullptr, true);
    EXPECT_EQ(t.rows.size(), 2u);
    EXPECT_TRUE(buildCoachTable(CoachTableKind::Start, f.a, f.race, nullptr, true).rows.empty());
    EXPECT_TRUE(
        buildCoachTable(CoachTableKind::Legs, CoachAnalysis{}, f.race, nullptr, true).rows.empty());
}

TEST(CoachTables, NumbersSortAsNumbersAndEmptyCellsGoLast) {
    CoachTable t;
    t.headers = {"Boat", "Loss"};
    t.numeric = {false, true};
    auto row = [](std::string name, std::optional<double> v) {
        CoachRow r;
        r.cells = {{name, std::nullopt}, v ? CoachCell{std::to_string(int(*v)), v} : CoachCell{}};
        return r;
    };
    t.rows = {row("b", 10), row("", std::nullopt), row("a", 9), row("c", 100), row("d", 9)};
    // 9 before 10 before 100, ties in the table's order, the empty loss last either way.
    EXPECT_EQ(column(t, 1, sortedRowOrder(t, 1, true)),
              (std::vector<std::string>{"9", "9", "10", "100", ""}));
    EXPECT_EQ(sortedRowOrder(t, 1, true), (std::vector<int>{2, 4, 0, 3, 1}));
    EXPECT_EQ(sortedRowOrder(t, 1, false), (std::vector<int>{3, 0, 2, 4, 1}));
    // Texts by their letters, the empty name last either way.
    EXPECT_EQ(sortedRowOrder(t, 0, true), (std::vector<int>{2, 0, 3, 4, 1}));
    EXPECT_EQ(sortedRowOrder(t, 0, false), (std::vector<int>{4, 3, 0, 2, 1}));
    // No column: the table's own order.
    EXPECT_EQ(sortedRowOrder(t, -1, true), (std::vector<int>{0, 1, 2, 3, 4}));
    EXPECT_EQ(sortedRowOrder(t, 7, true), (std::vector<int>{0, 1, 2, 3, 4}));
}

TEST(CoachTables, RaceClockText) {
    EXPECT_EQ(raceClockText(0), "0:00");
    EXPECT_EQ(raceClockText(59.6), "1:00");
    EXPECT_EQ(raceClockText(-4.6), "-0:05");
    EXPECT_EQ(raceClockText(-0.4), "0:00");
    EXPECT_EQ(raceClockText(3725), "62:05");
    EXPECT_EQ(raceClockText(std::numeric_limits<double>::quiet_NaN()), "");
    EXPECT_EQ(raceClockText(std::numeric_limits<double>::infinity()), "");
    EXPECT_FALSE(raceClockText(1e300).empty());
}

TEST(CoachTables, ManoeuvreHintsInBothLanguages) {
    const Manoeuvre tack = manoeuvre(754, ManoeuvreKind::Tack, 15.24);
    EXPECT_EQ(manoeuvreHintText("Orca", tack, true), "Orca: tack 12:34, loss 15.2 m (5.1 s)");
    EXPECT_EQ(manoeuvreHintText("Orca", tack, false), "Orca: タック 12:34、損失 15.2 m (5.1 秒)");
    const Manoeuvre gybe = manoeuvre(30, ManoeuvreKind::Gybe, std::nullopt, false);
    EXPECT_EQ(manoeuvreHintText("海風", gybe, true), "海風: gybe 0:30 (doubtful)");
    EXPECT_EQ(manoeuvreHintText("海風", gybe, false), "海風: ジャイブ 0:30（不確か）");
}
