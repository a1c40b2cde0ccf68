// Speed of the race screen's drawing: one frame (state, wakes, moving layer) and one full
// background redraw with 50 boats of 2 hours at 1-second samples and 50,000 coastline points on
// an 800 x 800 map.
#include <benchmark/benchmark.h>

#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <cmath>
#include <cstdlib>
#include <memory>

#include "race/racedefinition.h"
#include "ui/display/backgroundrenderer.h"
#include "ui/display/framerenderer.h"

using namespace brisko;

namespace {
constexpr int kBoats = 50;
constexpr int kSamples = 7200;
constexpr int kCoastPoints = 50000;
constexpr int kMapSize = 800;

// The application lives in main, so that it is gone before the program's static objects (Qt's
// own among them) are destroyed.
void ensureGuiApp() {
    if (!QGuiApplication::instance()) std::abort();
}

struct BenchScene {
    RaceDefinition race;
    TrackStore tracks;
    std::vector<double> coastLat, coastLon;
    MapView view;
    DisplayOptions options;
    FrameState frame;
    PlaybackClock clock;
    WindNow wind;
    RaceScene scene;

    BenchScene() {
        race.BoatCount = kBoats;
        race.BoatLength = 8;
        race.RaceStart = parseDateTime("2024/05/03 10:00:00");
        race.MarkCount = 4;
        for (int m = 1; m <= 4; ++m)
            race.Marks[m] = {2100 + 0.5 * std::sin(m), 8400 + 0.5 * std::cos(m)};
        tracks.reset(kBoats);
        for (int b = 1; b <= kBoats; ++b) {
            BoatTrack& t = tracks.boats[b];
            t.reserve(kSamples);
            for (int k = 0; k < kSamples; ++k) {
                const double a = k * 0.001 + b * 0.05;
                t.append(2100 + 0.8 * std::sin(a) + 0.001 * b, 8400 + 0.8 * std::cos(a * 1.3), k);
                t.TrkCourse.back() = std::fmod(k * 0.1 + b * 7, 360);
                t.TrkSpeed.back() = 5 + 0.01 * b;
            }
            race.Boats[b].BoatName = "Boat " + std::to_string(b);
        }
        tracks.HomeLat = 2100;
        tracks.HomeLon = 8400;
        tracks.TrackSpan = 1.6;
        tracks.LonFactor = 0.82;
        tracks.MPerMinLat = 1849;
        tracks.MPerMinLon = 1516;
        coastLat.assign(kCoastPoints + 1, 0);
        coastLon.assign(kCoastPoints + 1, 0);
        for (int i = 1; i <= kCoastPoints; ++i) {
            const double a = i * 0.0021;
            coastLat[i] = 2100 + 1.2 * std::sin(a) * std::cos(a * 0.37);
            coastLon[i] = 8400 + 1.4 * std::cos(a * 0.91);
            if (i % 500 == 1) coastLat[i] = -coastLat[i];
        }
        view.setupForRace(tracks, kMapSize, 1, 0);
        options.resetForRace(kBoats);
        clock.PeriodFrom = -210;
        clock.PeriodTo = kSamples;
        clock.RaceTime = 0;
        clock.TimeStep = 0.15;
        frame.resetForRace(tracks, kBoats, clock);
        scene.clock = &clock;
        scene.race = &race;
        scene.tracks = &tracks;
        scene.coast = {coastLat, coastLon, kCoastPoints};
        scene.view = &view;
        scene.options = &options;
        scene.frame = &frame;
        scene.windNow = &wind;
    }
};
}  // namespace

static void BM_Background(benchmark::State& state) {
    ensureGuiApp();
    BenchScene s;
    s.options.WakeOn = state.range(0) != 0;  // whole tracks on (1) or coastline only (0)
    s.view.Zoom = s.view.ZoomHome = state.range(1) / 100.0;  // 50: the whole area zoomed out
    s.view.recompute();
    QImage img(kMapSize, kMapSize, QImage::Format_RGB32);
    BackgroundRenderer bg;
    for (auto _ : state) {
        QPainter p(&img);
        p.setRenderHint(QPainter::Antialiasing);  // as the race screen draws it
        bg.drawBackground(p, s.scene);
        bg.drawMarksAndLines(p, s.scene);
    }
}
BENCHMARK(BM_Background)
    ->Args({1, 100})
    ->Args({0, 100})
    ->Args({1, 50})
    ->Args({1, 196})
    ->Unit(benchmark::kMillisecond);

static void BM_Frame(benchmark::State& state) {
    ensureGuiApp();
    BenchScene s;
    s.options.WakeOn = false;  // short wakes drawn every frame: the heavier case
    QImage kept(kMapSize, kMapSize, QImage::Format_RGB32);
    kept.fill(Qt::blue);
    QImage shown(kMapSize, kMapSize, QImage::Format_RGB32);
    FrameRenderer fr;
    FrameLayout layout;
    s.clock.RaceTime = 600;
    for (auto _ : state) {
        s.clock.RaceTime += s.clock.TimeStep;
        s.frame.advance(s.tracks, {}, s.clock, 0, kMapSize);
        layout.layOut(s.frame, s.tracks, s.race, s.clock.RaceTime, s.scene.SpeedBarScale, s.view,
                      s.options);
        {
            QPainter k(&kept);
            fr.paint(k, s.scene, layout);
        }
        QPainter p(&shown);
        p.drawImage(0, 0, kept);
        fr.paintMovingLayer(p, s.scene, layout);
    }
}
BENCHMARK(BM_Frame)->Unit(benchmark::kMicrosecond);

int main(int argc, char** argv) {
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    int qtArgc = 1;
    QGuiApplication app(qtArgc, argv);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
