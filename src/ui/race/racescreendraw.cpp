// The race screen's drawing: a frame derived from the race session's clock, and the layers of
// the map, the overview and the wind panel redrawn in their fixed order. See racescreen.h.
#include <QCheckBox>
#include <QLabel>
#include <QPainter>
#include <QRadioButton>
#include <cmath>

#include "session/racesession.h"
#include "ui/widgets/colour.h"
#include "ui/analysis/analysisviews.h"
#include "ui/display/backgroundrenderer.h"
#include "ui/display/boatpanel.h"
#include "ui/display/mapflags.h"
#include "ui/display/timebar.h"
#include "ui/display/timepanel.h"
#include "ui/widgets/picturewidget.h"
#include "ui/race/playback.h"
#include "ui/race/racescreen.h"
#include "ui/race/windcontrols.h"
#include "ui/widgets/colour.h"

namespace brisko {

namespace {
constexpr int kPreviewDotHalf = 2;
constexpr int kMarksWindEvery = 5;  // seconds between lay-line updates following the wind

}  // namespace

void RaceScreen::buildOverlays() {
    mapPicture->setOverlay([this](QPainter& p) {
        if (session_) renderer_.drawMovingLayer(p, scene_);
        paintMouseLayer(p);
    });
    overviewPicture->setOverlay([this](QPainter& p) {
        if (!session_) return;
        if (std::isnan(previewTime_)) {
            overview_.drawDots(p, scene_);
            return;
        }
        // Preview: each boat at the sample that starts its segment at the previewed time.
        const TrackStore& t = session_->tracks();
        for (int k = 1; k <= session_->boatCount(); ++k) {
            const int n = t.TrkCount(k);
            int i = 0;
            for (int j = 1; j < n; ++j)
                if (t.TrkSec(k, j) <= previewTime_ && previewTime_ < t.TrkSec(k, j + 1)) {
                    i = j;
                    break;
                }
            if (i == 0) continue;
            const QPointF c = overview_.dotPosition({t.TrkLat(k, i), t.TrkLon(k, i)});
            const QRectF dot(c.x() - kPreviewDotHalf, c.y() - kPreviewDotHalf,
                             2 * kPreviewDotHalf + 1, 2 * kPreviewDotHalf + 1);
            p.fillRect(dot, toQColor(options_.BoatColour[k]));
            p.setPen(Qt::white);
            p.drawRect(dot);
        }
    });
}

void RaceScreen::buildAnalysis() {
    analysis_ = new AnalysisViews(this, sidePanel, settings_, sink_, platform_);
}

bool RaceScreen::showFrame() {
    if (!session_) return false;
    view_.MapSize = layout_.mapSize;
    view_.recompute();
    const RaceSession::FrameAdvance a = session_->advanceFrame(view_.MapSize);
    if (a.events.playGun) playGun();
    if (options_.AutoTrace) {
        // The view follows the boats at the time just reached, then the boats are drawn on it.
        fitViewToBoats();
    } else if (a.windChanged && options_.LayLines &&
               FrameState::wholeSecond(session_->clock().RaceTime) % kMarksWindEvery == 0 &&
               session_->windDirNow() != lastMarksWind_) {
        // The lay lines follow the wind: the whole background again, so that the old ones go.
        redrawBackground();
    }
    if (a.windChanged) redrawWindPanel();
    return paintFrame();
}

bool RaceScreen::paintFrame() {
    if (!session_) return false;
    const FrameResult r = renderer_.drawFrame(scene_, mapPicture->picture());
    timePanel->setClock(renderer_.clockText(), renderer_.clockColour());
    timePanel->setCountdown(renderer_.countdownVisible(), renderer_.countdownText(),
                            renderer_.countdownColour());
    timePanel->setTimeOfDay(renderer_.timeOfDayText());
    const int boats = std::min(session_->boatCount(), boatPanel->rowCount());
    for (int k = 1; k <= boats; ++k) {
        const BoatPanelValues& v = renderer_.panel(k);
        if (v.speedChanged) boatPanel->setSpeed(k, v.speedText);
        boatPanel->setTwa(k, v.twaText);
        boatPanel->setBar(k, v.barLength);
    }
    timeBar->setCursorTime(session_->clock().RaceTime);
    analysis_->timeShown(session_->clock().RaceTime);
    flags_->followFrame(session_->frame(), &scene_, timePanelOnMap());
    mapPicture->update();
    overviewPicture->update();
    playback_->setBoatInView(r.anyBoatInView);
    return r.anyBoatInView;
}

void RaceScreen::redrawBackground() {
    if (!session_) return;
    view_.MapSize = layout_.mapSize;
    view_.applyZoomFloor();
    view_.recompute();
    {
        QPainter p(&mapPicture->picture());
        p.setRenderHint(QPainter::Antialiasing);
        // Background, time marks, then marks and lines over them. Auto trace redraws the map
        // as the boats move and shows no time marks (their box is disabled then).
        BackgroundRenderer::drawBackground(p, scene_);
        if (options_.TimeMarks && !options_.AutoTrace) BackgroundRenderer::drawTimeMarks(p, scene_);
        BackgroundRenderer::drawMarksAndLines(p, scene_);
    }
    // The lay lines now shown follow this wind.
    lastMarksWind_ = session_->windDirNow();
    mapPicture->update();
}

void RaceScreen::redrawOverview() {
    overviewPicture->clear(toQColor(options_.SeaColour));
    if (!session_) return;
    QPainter p(&overviewPicture->picture());
    p.setRenderHint(QPainter::Antialiasing);
    overview_.draw(p, scene_, overviewPicture->width(), overviewPicture->height());
    overviewPicture->update();
}

void RaceScreen::redrawWindPanel() {
    PictureWidget* dial = wind_->dial();
    dial->clear(toQColor(options_.SeaColour));
    if (!session_) return;
    QPainter p(&dial->picture());
    p.setRenderHint(QPainter::Antialiasing);
    windIndicator_.draw(p, scene_, dial->width(), toQColor(options_.SeaColour));
    wind_->showWindNow(windIndicator_.directionText(), windIndicator_.speedText());
    dial->update();
}

void RaceScreen::fitViewToBoats() {
    if (!session_) return;
    if (view_.fitToBoats(session_->frame().positionsForFit(options_))) redrawBackground();
}

}  // namespace brisko
