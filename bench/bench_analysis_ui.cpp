// Speed of the analysis views' drawing on the benchmark scene of 50 boats of 2 hours at 1-second
// samples: the speed and course graph with wind, every kind of the data view, and the time
// bar's upwind/downwind strip.
#include <benchmark/benchmark.h>

#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <cmath>
#include <cstdlib>
#include <memory>

#include "race/racedefinition.h"
#include "ui/analysis/legviewpainter.h"
#include "ui/analysis/speedgraphpainter.h"

using namespace brisko;

namespace {
constexpr int kBoats = 50;
constexpr int kSamples = 7200;
constexpr int kEntries = 8;
constexpr int kSize = 800;

void ensureGuiApp() {
    static std::unique_ptr<QGuiApplication> app;
    if (app) return;
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    static int argc = 1;
    static char name[] = "bench_analysis_ui";
    static char* argv[] = {name, nullptr};
    app = std::make_unique<QGuiApplication>(argc, argv);
}

struct Scene {
    RaceDefinition race;
    TrackStore tracks;
    WindStore wind;
    RoundingResults roundings;
    DisplayOptions options;
    Scene() {
        race.BoatCount = kBoats;
        race.RaceStart = parseDateTime("2024/05/03 10:00:00");
        race.RaceSeconds = kSamples;
        race.RaceSecondsPlus = kSamples + 240;
        race.MeanWindDir = 200;
        race.CourseCount = kEntries;
        tracks.reset(kBoats);
        roundings.entryCount = kEntries;
        roundings.boatCount = kBoats;
        for (int b = 1; b <= kBoats; ++b) {
            BoatTrack& t = tracks.boats[b];
            t.reserve(kSamples);
            for (int k = 0; k < kSamples; ++k) {
                t.append(2100, 8400, k - 60);
                t.TrkCourse.back() = std::fmod(k * 0.1 + b * 7, 360);
                t.TrkSpeed.back() = 5 + 2 * std::sin(k * 0.01 + b);
            }
            race.Boats[b].BoatName = "Boat " + std::to_string(b);
            for (int e = 1; e <= kEntries; ++e) {
                roundings.setRoundTime(e, b, e * 800 + b * 3.7);
                roundings.setLegDist(e, b, e * 1.1 + b * 0.003);
            }
        }
        for (int e = 1; e <= kEntries; ++e) race.Course[e] = "MK" + std::to_string(e);
        for (int i = 0; i < kSamples / 60; ++i)
            wind.append(i * 60.0, 8 + std::sin(i), 200 + i % 20);
        options.resetForRace(kBoats);
    }
};
}  // namespace

static void BM_SpeedGraph(benchmark::State& state) {
    ensureGuiApp();
    Scene s;
    QImage img(static_cast<int>(kGraphWidth), kSize, QImage::Format_RGB32);
    SpeedGraphInput in;
    in.race = &s.race;
    in.tracks = &s.tracks;
    in.wind = &s.wind;
    in.options = &s.options;
    in.boats = kBoats;
    in.hasWind = true;
    const SpeedGraphScale scale = speedGraphScaleFor(s.race, kSize);
    for (auto _ : state) {
        QPainter p(&img);
        drawSpeedGraph(p, in, scale, img.size());
    }
}
BENCHMARK(BM_SpeedGraph)->Unit(benchmark::kMillisecond);

static void BM_DataView(benchmark::State& state) {
    ensureGuiApp();
    Scene s;
    LegViewInput in;
    in.race = &s.race;
    in.roundings = &s.roundings;
    in.options = &s.options;
    in.boats = kBoats;
    in.kind = static_cast<TableKind>(state.range(0));
    for (auto _ : state) {
        const LegViewLayout l = layoutLegView(in, QSize(kSize, kSize));
        QImage img(l.size, QImage::Format_RGB32);
        QPainter p(&img);
        p.setRenderHint(QPainter::Antialiasing);
        drawLegView(p, in, l);
    }
}
BENCHMARK(BM_DataView)->DenseRange(1, 4)->Unit(benchmark::kMillisecond);

static void BM_TimeBarStrip(benchmark::State& state) {
    ensureGuiApp();
    Scene s;
    QImage img(30, kSize, QImage::Format_RGB32);
    TimeBarScale scale;
    scale.RaceSeconds = kSamples;
    scale.RaceSecondsPlus = kSamples + 240;
    scale.Height = kSize;
    for (auto _ : state) {
        QPainter p(&img);
        drawTimeBarStrip(p, s.tracks, s.race, scale, img.size());
    }
}
BENCHMARK(BM_TimeBarStrip)->Unit(benchmark::kMillisecond);
