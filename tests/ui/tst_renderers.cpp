// Draws the map layers onto plain images and checks pixels: coastline, tracks, boats at their
// transformed positions in their colours, wind triangle, and the boat symbols' shapes; and the
// picture widget that keeps what is drawn.
#include <QImage>
#include <QPainter>
#include <QtTest>

#include "ui/display/backgroundrenderer.h"
#include "ui/display/framerenderer.h"
#include "ui/display/overviewmap.h"
#include "ui/display/windindicator.h"
#include "ui/widgets/picturewidget.h"

using namespace brisko;

namespace {
constexpr int kSize = 400;

// A scene around (2000', 8000'): boat 1 sails east, boat 2 north; a coastline of two polylines.
struct Fixture {
    RaceDefinition race;
    AppSettings settings;
    TrackStore tracks;
    std::vector<double> coastLat, coastLon;
    MapView view;
    DisplayOptions options;
    FrameState frame;
    PlaybackClock clock;
    WindNow wind;
    RaceScene scene;

    Fixture() {
        race.BoatCount = 2;
        race.Boats[1].BoatName = "Alpha";
        race.Boats[2].BoatName = "Bravo";
        race.BoatLength = 8;
        race.RaceStart = parseDateTime("2024/05/03 10:00:00");
        race.WindDirNow = 0;
        tracks.reset(2);
        for (int k = 0; k <= 100; ++k) {
            tracks.boats[1].append(2000, 7999.5 + 0.01 * k, 10.0 * k);
            tracks.boats[1].TrkCourse.back() = 90;
            tracks.boats[1].TrkSpeed.back() = 5;
            tracks.boats[2].append(1999.5 + 0.01 * k, 8000.2, 10.0 * k);
            tracks.boats[2].TrkCourse.back() = 0;
            tracks.boats[2].TrkSpeed.back() = 6;
        }
        tracks.HomeLat = 2000;
        tracks.HomeLon = 8000;
        tracks.TrackSpan = 1;
        tracks.LonFactor = 1;
        tracks.MPerMinLat = 1852;
        tracks.MPerMinLon = 1852;
        // Polyline 1: a north-south coast at lon 8000.4; polyline 2 far outside the box.
        coastLat = {0, -1999.6, 2000.4, -2010, 2010.5};
        coastLon = {0, 8000.4, 8000.4, 7990, 8010};
        view.setupForRace(tracks, kSize, 1, 0);
        options.resetForRace(2);
        options.WakeOn = false;
        clock.PeriodFrom = -210;
        clock.PeriodTo = 1000;
        clock.RaceTime = 0;
        clock.TimeStep = 1;
        frame.resetForRace(tracks, 2, clock);
        scene.clock = &clock;
        scene.race = &race;
        scene.settings = &settings;
        scene.tracks = &tracks;
        scene.coast = {coastLat, coastLon, 4};
        scene.view = &view;
        scene.options = &options;
        scene.frame = &frame;
        scene.windNow = &wind;
    }
    // The frame at the clock's time, as the race session advances it.
    void advance() { frame.advance(tracks, {}, clock, scene.windDirNow(), kSize); }
    // The frame advanced and laid out as the race session does it, then its wakes and names
    // painted into the kept picture as the window does.
    void draw(const FrameRenderer& fr, FrameLayout& layout, QImage& kept) {
        advance();
        layout.layOut(frame, tracks, race, clock.RaceTime, scene.SpeedBarScale, view, options);
        QPainter p(&kept);
        fr.paint(p, scene, layout);
    }
};

QImage blank() {
    QImage img(kSize, kSize, QImage::Format_RGB32);
    img.fill(Qt::black);
    return img;
}

bool anyPixelNear(const QImage& img, QPointF at, int radius, const QColor& colour) {
    for (int dy = -radius; dy <= radius; ++dy)
        for (int dx = -radius; dx <= radius; ++dx) {
            const QPoint q(qRound(at.x()) + dx, qRound(at.y()) + dy);
            if (img.rect().contains(q) && img.pixelColor(q) == colour) return true;
        }
    return false;
}
}  // namespace

class TstRenderers : public QObject {
    Q_OBJECT
private slots:
    void coastDrawnOnlyWhereAnEndIsInside();
    void southernCoastKeepsItsPolylines();
    void tracksFollowTheReplayPeriod();
    void boatDrawnAtItsPositionInItsColour();
    void symbolSizeAndHeading();
    void windTrianglePointsToTheWind();
    void overviewDotsAndMarks();
    void timeMarksShareTheMinutesColour();
    void namesComparisonAndLayLines();
    void readableOnEverySea();
    void overviewFitsTheBoatsStillRacing();
    void pictureKeepsWhatFitsWhenResized();
    void pictureAsShownHasItsOverlayAndChildren();
    void pictureTakesTheWheelOnlyWhenListenedTo();
};

void TstRenderers::coastDrawnOnlyWhereAnEndIsInside() {
    Fixture f;
    QImage img = blank();
    {
        QPainter p(&img);
        BackgroundRenderer bg;
        bg.drawBackground(p, f.scene);
    }
    const QColor sea = toQColor(f.options.SeaColour);
    const QColor ink = toQColor(f.options.InkColour);
    QCOMPARE(img.pixelColor(5, 5), sea);
    const ScreenPoint onCoast = f.view.toScreen(2000, 8000.4);
    QVERIFY(anyPixelNear(img, {onCoast.x, onCoast.y}, 1, ink));
    // The second polyline crosses the whole box with both ends outside: not drawn.
    const ScreenPoint across = f.view.toScreen(2000.25, 8000.25);
    QCOMPARE(img.pixelColor(qRound(across.x), qRound(across.y)), sea);
    // The scale bar's left tick in ink.
    QCOMPARE(img.pixelColor(40, kSize - 22), ink);

    // Through the paint engine (an image format written by painting only) the same coast shows.
    QImage packed(kSize, kSize, QImage::Format_RGB888);
    {
        QPainter p(&packed);
        BackgroundRenderer().drawBackground(p, f.scene);
    }
    QVERIFY(anyPixelNear(packed, {onCoast.x, onCoast.y}, 1, ink));
    QCOMPARE(packed.pixelColor(qRound(across.x), qRound(across.y)), sea);

    // Map off: no coastline.
    f.options.MapOn = false;
    QImage img2 = blank();
    {
        QPainter p(&img2);
        BackgroundRenderer().drawBackground(p, f.scene);
    }
    QVERIFY(!anyPixelNear(img2, {onCoast.x, onCoast.y}, 1, ink));
}

// South of the equator every latitude is negative: the start flags, not the sign, open the
// polylines, and a start's stored latitude is its true one negated.
void TstRenderers::southernCoastKeepsItsPolylines() {
    Fixture f;
    f.tracks.HomeLat = -2000;
    f.view.setupForRace(f.tracks, kSize, 1, 0);
    const std::vector<double> lat = {0, 1999.6, -2000.4, 2010, -2010.5};
    const std::vector<double> lon = {0, 8000.4, 8000.4, 7990, 8010};
    const std::vector<char> start = {0, 1, 0, 1, 0};
    const CoastPoints coast{lat, lon, 4, start};
    const QColor ink(Qt::black);
    QImage img = blank();
    {
        QPainter p(&img);
        BackgroundRenderer::drawCoastline(p, coast, f.view, ink, 1, kSize, kSize);
    }
    const ScreenPoint onCoast = f.view.toScreen(-2000, 8000.4);
    QVERIFY(anyPixelNear(img, {onCoast.x, onCoast.y}, 1, ink));
}

void TstRenderers::tracksFollowTheReplayPeriod() {
    Fixture f;
    int s = 0, e = 0;
    BackgroundRenderer::trackRange(f.tracks, 1, -210, 1000, s, e);
    QCOMPARE(s, 1);  // the track starts after the period's start: from sample 1
    QCOMPARE(e, 101);
    BackgroundRenderer::trackRange(f.tracks, 1, 205, 300, s, e);
    QCOMPARE(s, 21);
    QCOMPARE(e, 31);  // the segment holding the period's end is drawn
    BackgroundRenderer::trackRange(f.tracks, 1, 2000, 3000, s, e);
    QVERIFY(e <= s);  // the period lies after the track: nothing

    f.options.WakeOn = true;
    f.clock.PeriodFrom = 0;
    f.clock.PeriodTo = 400;
    QImage img = blank();
    {
        QPainter p(&img);
        BackgroundRenderer().drawBackground(p, f.scene);
    }
    const QColor red = toQColor(f.options.BoatColour[1]);
    const ScreenPoint early = f.view.toScreen(2000, 7999.5 + 0.01 * 20);
    const ScreenPoint late = f.view.toScreen(2000, 7999.5 + 0.01 * 80);
    QVERIFY(anyPixelNear(img, {early.x, early.y}, 0, red));
    QVERIFY(!anyPixelNear(img, {late.x, late.y}, 0, red));
}

void TstRenderers::boatDrawnAtItsPositionInItsColour() {
    Fixture f;
    f.clock.RaceTime = 505;  // boat 1 between samples 51 and 52
    QImage kept = blank();
    FrameRenderer fr;
    FrameLayout layout;
    f.draw(fr, layout, kept);
    QVERIFY(layout.anyInView);
    QVERIFY(f.frame.Boats[1].visible);
    const ScreenPoint sp = f.view.toScreen(2000, 7999.5 + 0.505);
    QCOMPARE(layout.boats[1].x, sp.x);
    QCOMPARE(layout.boats[1].y, sp.y);
    // Short wakes go into the kept picture (whole tracks are off).
    const ScreenPoint prev = f.view.toScreen(2000, 7999.5 + 0.49);
    QVERIFY(anyPixelNear(kept, {prev.x, prev.y}, 1, Qt::white));

    QImage shown = kept.copy();
    {
        QPainter p(&shown);
        fr.paintMovingLayer(p, f.scene, layout);
    }
    QVERIFY(anyPixelNear(shown, {sp.x, sp.y}, 3, toQColor(f.options.BoatColour[1])));
    const ScreenPoint sp2 = f.view.toScreen(1999.5 + 0.505, 8000.2);
    QVERIFY(anyPixelNear(shown, {sp2.x, sp2.y}, 3, toQColor(f.options.BoatColour[2])));
    // The moving layer never touches the kept picture.
    QVERIFY(!anyPixelNear(kept, {sp2.x, sp2.y}, 2, toQColor(f.options.BoatColour[2])));

    QCOMPARE(layout.clockText, std::string("00:08:25"));
    QCOMPARE(toQColor(layout.clockColour), QColor(0, 0, 255));
    QCOMPARE(layout.timeOfDay, std::string("10:08:25"));
    QCOMPARE(layout.panel[2].speedText, std::string("6.00"));
    QVERIFY(layout.panel[2].speedChanged);
    QCOMPARE(FrameRenderer::timeBarCursorY(100, 0.5, 1000), 30 + 450.0);

    // A boat outside its track time is not drawn.
    f.clock.RaceTime = 1500;
    f.clock.PeriodTo = 2000;
    f.draw(fr, layout, kept);
    QVERIFY(!f.frame.Boats[1].visible);
    QVERIFY(!layout.boats[1].drawn);
}

void TstRenderers::symbolSizeAndHeading() {
    // The bow vertex points along the screen heading.
    QPolygonF hull = FrameRenderer::hullPolygon({100, 100}, 20, 90, false);
    QCOMPARE(hull.size(), 7);
    QCOMPARE(hull[0], QPointF(110, 100));  // box top-left (90, 90) + (c + 10, c)
    QCOMPARE(FrameRenderer::hullPolygon({100, 100}, 20, 0, true).size(), 8);
}

void TstRenderers::windTrianglePointsToTheWind() {
    QPolygonF east = WindIndicator::windTriangle(50, 60, 90, 0);
    QCOMPARE(qRound(east[0].x()), 73);
    QCOMPARE(qRound(east[0].y()), 60);
    QPolygonF up = WindIndicator::windTriangle(50, 60, 200, 200);
    QCOMPARE(qRound(up[0].x()), 50);
    QCOMPARE(qRound(up[0].y()), 37);

    Fixture f;
    f.race.WindDirNow = 90;
    std::vector<double> sec{0, 0, 100}, speed{0, 4, 6}, dir{0, 350, 10};
    f.scene.windShown = true;
    // The race session keeps the wind in force; the indicator only shows it.
    QVERIFY(f.wind.update(WindSamples{sec, speed, dir}, 50, 1, -7));
    QImage panel(100, 100, QImage::Format_RGB32);
    WindIndicator wi;
    {
        QPainter p(&panel);
        wi.draw(p, f.scene, 100, Qt::gray);
    }
    QCOMPARE(wi.directionText(), QString("0"));
    QCOMPARE(wi.speedText(), QString("5.0"));
    QCOMPARE(f.wind.WindDirNow, 353.0);
    // The red triangle sits just above the circle (wind from 353 in north-up).
    const QPolygonF tri = WindIndicator::windTriangle(50, 60, 353, 0);
    const QPointF mid = (tri[0] + tri[1] + tri[2]) / 3;
    QVERIFY(mid.y() < 60 - 20);
    QCOMPARE(panel.pixelColor(mid.toPoint()), QColor(255, 0, 0));
}

void TstRenderers::overviewDotsAndMarks() {
    Fixture f;
    f.race.MarkCount = 1;
    f.race.Marks[1] = {2000.1, 8000.1};
    f.race.CourseCount = 1;
    f.race.Course[1] = "MK1";
    f.options.AutoTrace = true;
    f.clock.LastRoundedIndex = 1;
    f.clock.LastRoundedText = "2:05";
    QImage img = blank();
    {
        QPainter p(&img);
        BackgroundRenderer bg;
        bg.drawBackground(p, f.scene);
        bg.drawMarksAndLines(p, f.scene);
    }
    const ScreenPoint m = f.view.toScreen(2000.1, 8000.1);
    QCOMPARE(img.pixelColor(qRound(m.x), qRound(m.y)), QColor(255, 255, 0));
    // The red elapsed time sits about 50 px above the rounded mark.
    bool red = false;
    for (int y = qRound(m.y) - 50; y < qRound(m.y) - 30; ++y)
        for (int x = qRound(m.x) - 20; x < qRound(m.x) + 20; ++x)
            red = red || img.pixelColor(x, y) == QColor(255, 0, 0);
    QVERIFY(red);

    f.clock.RaceTime = 505;
    f.advance();
    OverviewMap ov;
    QImage small(120, 120, QImage::Format_RGB32);
    {
        QPainter p(&small);
        ov.draw(p, f.scene, 120, 120);
        ov.drawDots(p, f.scene);
    }
    const QPointF dot = ov.dotPosition({f.frame.Boats[2].lat, f.frame.Boats[2].lon});
    QCOMPARE(small.pixelColor(dot.toPoint()), toQColor(f.options.BoatColour[2]));
    QCOMPARE(OverviewMap::overviewState(f.view, 120, 100).OvPxPerMinLat, 0.75 * 120 / 1);
}

void TstRenderers::timeMarksShareTheMinutesColour() {
    // Minutes 0 and 6 share red; the cycle has six colours.
    QCOMPARE(BackgroundRenderer::timeMarkColour(0), QColor(255, 0, 0));
    QCOMPARE(BackgroundRenderer::timeMarkColour(6), QColor(255, 0, 0));
    QCOMPARE(BackgroundRenderer::timeMarkColour(5), QColor(0, 0, 0));

    Fixture f;
    f.clock.PeriodFrom = 0;
    f.clock.PeriodTo = 600;
    QImage img = blank();
    {
        QPainter p(&img);
        BackgroundRenderer().drawTimeMarks(p, f.scene);
    }
    // Boat 2 at minute 1 (t = 60): white fill at its position.
    const ScreenPoint m1 = f.view.toScreen(1999.5 + 0.06, 8000.2);
    QCOMPARE(img.pixelColor(qRound(m1.x), qRound(m1.y)), QColor(255, 255, 255));
}

void TstRenderers::namesComparisonAndLayLines() {
    Fixture f;
    f.view.setWindUp(0);  // wind from north: the map is not turned, but it is wind-up
    f.options.CompareLines = true;
    f.options.AutoTrace = true;
    f.options.BoatNames = true;
    f.clock.RaceTime = 505;
    QImage kept = blank();
    FrameRenderer fr;
    FrameLayout layout;
    f.draw(fr, layout, kept);
    const QPointF c(layout.boats[2].x, layout.boats[2].y);
    const QColor blue = toQColor(f.options.BoatColour[2]);
    // The name label lies right of the symbol in the kept picture.
    bool named = false;
    for (int y = qRound(c.y()) - 5; y < qRound(c.y()) + 8; ++y)
        for (int x = qRound(c.x() + layout.boats[2].size / 2 + 5); x < qRound(c.x()) + 80; ++x)
            named = named || kept.pixelColor(x, y) == blue;
    QVERIFY(named);
    // The comparison line runs across the whole box, level with the boat.
    QImage shown = kept.copy();
    {
        QPainter p(&shown);
        fr.paintMovingLayer(p, f.scene, layout);
    }
    QCOMPARE(shown.pixelColor(2, qRound(c.y())), blue);
    QCOMPARE(shown.pixelColor(kSize - 2, qRound(c.y())), blue);
    // North up: no comparison lines.
    f.view.setNorthUp();
    QImage plain = kept.copy();
    {
        QPainter p(&plain);
        fr.paintMovingLayer(p, f.scene, layout);
    }
    QVERIFY(plain.pixelColor(2, qRound(c.y())) != blue);

    // Lay lines with the wind from north: the downwind set's middle ray points straight up
    // (into the wind), the upwind set's straight down.
    f.options.AutoTrace = false;
    f.options.LayLines = true;
    f.race.MarkCount = 1;
    f.race.Marks[1] = {2000, 8000};
    QImage img = blank();
    {
        QPainter p(&img);
        BackgroundRenderer().drawMarksAndLines(p, f.scene);
    }
    const ScreenPoint m = f.view.toScreen(2000, 8000);
    const QColor lay = toQColor(kLayLineColour);
    QCOMPARE(img.pixelColor(qRound(m.x), qRound(m.y) - 40), lay);
    QCOMPARE(img.pixelColor(qRound(m.x), qRound(m.y) + 40), lay);
    QVERIFY(img.pixelColor(qRound(m.x) + 40, qRound(m.y)) != lay);
}

void TstRenderers::readableOnEverySea() {
    // Lay lines stand out from every sea swatch, the light cyan included.
    auto luminance = [](const QColor& c) {
        return 0.299 * c.red() + 0.587 * c.green() + 0.114 * c.blue();
    };
    for (const SeaSwatch& sw : kSeaSwatches) {
        const QColor lay = BackgroundRenderer::layLineColour(sw.sea);
        QVERIFY(std::abs(luminance(lay) - luminance(toQColor(sw.sea))) >= 60);
    }

    // A boat symbol hides nothing of the map beyond its hull and sail.
    QImage img(40, 40, QImage::Format_RGB32);
    img.fill(Qt::blue);
    {
        QPainter p(&img);
        p.setPen(Qt::yellow);
        p.drawLine(0, 11, 39, 11);  // a line through the symbol box's top edge
        FrameRenderer::drawBoat(p, {20, 20}, 20, 0, 0, 90, false, Qt::red, false);
    }
    QCOMPARE(img.pixelColor(11, 11), QColor(Qt::yellow));
    QCOMPARE(img.pixelColor(28, 28), QColor(Qt::blue));

    // Names on a dark sea carry a halo.
    QImage dark(120, 30, QImage::Format_RGB32);
    dark.fill(QColor(0, 0, 96));
    {
        QPainter p(&dark);
        FrameRenderer::drawHaloText(p, {5, 20}, QStringLiteral("Bravo"), QColor(0, 0, 192));
    }
    bool halo = false;
    for (int y = 0; y < 30; ++y)
        for (int x = 0; x < 120; ++x) halo = halo || dark.pixelColor(x, y).lightness() > 200;
    QVERIFY(halo);

    // A finishing list fits its longest name.
    Fixture f;
    f.race.Boats[1].BoatName = "Sea Breeze of the Northern Bay";
    f.race.CourseCount = 2;
    RoundingResults r;
    r.setRoundTime(2, 1, 300);
    r.setRoundTime(2, 2, 310);
    f.scene.roundings = &r;
    f.clock.RaceTime = 400;
    FrameState fs;
    fs.resetForRace(f.tracks, 2, f.clock);
    FinishInputs fin = f.scene.finishInputs();
    fin.leadFinish = 300;
    fs.updateFinishes(fin, 400);
    f.scene.frame = &fs;
    QCOMPARE(fs.FinishCount, 2);
    const QFontMetricsF fm(BackgroundRenderer::labelFont(9, 1));
    QVERIFY(FrameRenderer::finishNameRight(f.scene) >=
            16 + fm.horizontalAdvance(QString::fromStdString(f.race.Boats[1].BoatName)));

    // A black track on the light sea, where the coastline is black too, is dashed.
    Fixture g;
    g.options.WakeOn = true;
    g.options.applySwatch(1);
    g.options.BoatColour[1] = kBlack;
    QImage sea = blank();
    {
        QPainter p(&sea);
        BackgroundRenderer::drawBackground(p, g.scene);
    }
    const ScreenPoint a = g.view.toScreen(2000, 7999.6), b = g.view.toScreen(2000, 8000.2);
    int black = 0, gaps = 0;
    for (int x = qRound(a.x); x < qRound(b.x); ++x)
        (sea.pixelColor(x, qRound(a.y)) == QColor(Qt::black) ? black : gaps)++;
    QVERIFY(black > 10);
    QVERIFY(gaps > 10);
}

void TstRenderers::overviewFitsTheBoatsStillRacing() {
    Fixture f;
    // Boat 2 retired and sailed 30 minutes of latitude away; boat 1 finished.
    for (int k = 0; k <= 100; ++k) f.tracks.boats[2].TrkLat[k + 1] = 1999.5 + 0.3 * k;
    f.view.TrackSpan = 30;  // the race area the track store gives with the retired boat
    f.race.CourseCount = 2;
    RoundingResults r;
    r.setRoundTime(2, 1, 900);
    f.scene.roundings = &r;
    const MapView whole = OverviewMap::overviewView(f.view, 120, 120);
    const MapView fleet = OverviewMap::fleetView(f.scene, 120, 120);
    QVERIFY(fleet.TrackSpan < whole.TrackSpan / 5);
    QVERIFY(fleet.TrackSpan <= 1.01);  // boat 1's track: one minute east to west
    const ScreenPoint mid = fleet.toScreen(2000, 8000);
    QVERIFY(mid.x > 0 && mid.x < 120 && mid.y > 0 && mid.y < 120);
}

void TstRenderers::pictureKeepsWhatFitsWhenResized() {
    PictureWidget w(nullptr, Qt::blue);
    // Hidden, the widget hears of its size only when shown: the picture follows at once.
    w.setPictureSize(QSize(40, 30));
    QCOMPARE(w.picture().size(), QSize(40, 30));
    w.clear(Qt::white);
    w.picture().setPixelColor(5, 5, Qt::red);
    w.picture().setPixelColor(35, 25, Qt::red);
    QSignalSpy resized(&w, &PictureWidget::resized);
    w.setPictureSize(QSize(20, 50));
    QCOMPARE(w.picture().size(), QSize(20, 50));
    QCOMPARE(w.picture().pixelColor(5, 5), QColor(Qt::red));      // kept where it fits
    QCOMPARE(w.picture().pixelColor(10, 40), QColor(Qt::white));  // the background now
    w.show();
    QVERIFY(QTest::qWaitForWindowExposed(&w));
    QVERIFY(resized.count() >= 1);
    QCOMPARE(w.picture().pixelColor(5, 5), QColor(Qt::red));
    // Cleared, the picture takes the widget's size and the new background.
    w.clear(Qt::black);
    QCOMPARE(w.picture().size(), w.size());
    QCOMPARE(w.picture().pixelColor(5, 5), QColor(Qt::black));
}

void TstRenderers::pictureAsShownHasItsOverlayAndChildren() {
    PictureWidget w(nullptr, Qt::white);
    w.setPictureSize(QSize(60, 60));
    w.clear(Qt::white);
    w.setOverlay([](QPainter& p) { p.fillRect(QRect(0, 0, 10, 10), Qt::red); });
    auto* shown = new QWidget(&w);
    shown->setGeometry(30, 30, 10, 10);
    shown->setAutoFillBackground(true);
    shown->setPalette(QPalette(Qt::green));
    auto* hidden = new QWidget(&w);
    hidden->setGeometry(45, 45, 10, 10);
    hidden->setAutoFillBackground(true);
    hidden->setPalette(QPalette(Qt::green));
    hidden->hide();
    const QImage img = w.composed();
    QCOMPARE(img.pixelColor(5, 5), QColor(Qt::red));
    QCOMPARE(img.pixelColor(35, 35), QColor(Qt::green));
    QCOMPARE(img.pixelColor(50, 50), QColor(Qt::white));
    // The overlay is painted over the kept picture, never into it.
    QCOMPARE(w.picture().pixelColor(5, 5), QColor(Qt::white));
}

void TstRenderers::pictureTakesTheWheelOnlyWhenListenedTo() {
    PictureWidget w;
    w.setPictureSize(QSize(80, 80));
    const auto turn = [&] {
        QWheelEvent e(QPointF(10, 20), QPointF(10, 20), QPoint(), QPoint(0, -120), Qt::NoButton,
                      Qt::NoModifier, Qt::NoScrollPhase, false);
        QApplication::sendEvent(&w, &e);
        return e.isAccepted();
    };
    // Nobody listens: the wheel is left to the parent (a scroll area scrolls the picture).
    QVERIFY(!turn());
    // A listener takes it, and hears the notch where the mouse is.
    QList<QPointF> at;
    QList<int> angles;
    QObject::connect(&w, &PictureWidget::wheel, [&](double x, double y, int a) {
        at << QPointF(x, y);
        angles << a;
    });
    QVERIFY(turn());
    QCOMPARE(angles, QList<int>{-120});
    QCOMPARE(at, QList<QPointF>{QPointF(10, 20)});
}

QTEST_MAIN(TstRenderers)
#include "tst_renderers.moc"
